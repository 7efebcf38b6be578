#include "support.h"
#include "core/caption.h"
#include "core/cp932.h"
#include "core/editorstate.h"
#include "core/quicklists.h"
#include "core/textgrid.h"

using namespace tess;
using namespace tess::test;

TEST(TextGrid, GrowsWithEmptyCellsAndShrinksDroppingThem) {
    TextGrid g(1, 2);
    g.setCell(0, 1, "A");
    g.setColCount(3);
    g.setRowCount(4);
    EXPECT_EQ(g.cell(2, 3), QString());
    g.setCell(2, 3, "Z");
    g.setRowCount(2);
    g.setRowCount(4);
    EXPECT_EQ(g.cell(2, 3), QString());
    g.setCell(5, 0, "ignored");
    g.setCell(0, -1, "ignored");
    EXPECT_EQ(g.cell(5, 0), QString());
    EXPECT_EQ(g.cell(-1, 0), QString());
    EXPECT_EQ(g, [] { TextGrid e(3, 4); e.setCell(0, 1, "A"); return e; }());
}

TEST(EditorState, StartsEmptyAndFieldsFoldAsTheyAreStored) {
    EditorState win(PathStyle::windows());
    EditorState posix(PathStyle::posix());
    EXPECT_EQ(win.LblGName() + win.LblFName() + win.LblFullName() + win.LblQS + win.LblGF + win.LblCS1 + win.L1,
              QString());
    EXPECT_FALSE(win.LblUpdate.isEmpty());  // start-up changes add no marker
    EXPECT_EQ(win.GrdR.count(), 0);
    for (EditorState* s : {&win, &posix}) {
        s->setLblGName(QStringLiteral("my グループ ｘ"));
        s->setLblFName("memo.txt");
        s->setLblFullName("c:\\docs\\memo.txt");
        s->setUpEdt("abc");
    }
    // Group names fold everywhere; only ASCII letters fold.
    EXPECT_EQ(win.LblGName(), QStringLiteral("MY グループ ｘ"));
    EXPECT_EQ(posix.LblGName(), QStringLiteral("MY グループ ｘ"));
    EXPECT_EQ(win.LblFName(), "MEMO.TXT");
    EXPECT_EQ(win.LblFullName(), "C:\\DOCS\\MEMO.TXT");
    EXPECT_EQ(win.UpEdt(), "ABC");
    EXPECT_EQ(posix.LblFName(), "memo.txt");
    EXPECT_EQ(posix.LblFullName(), "c:\\docs\\memo.txt");
    EXPECT_EQ(posix.UpEdt(), "abc");
}

TEST(Caption, Forms) {
    const PathStyle win = PathStyle::windows();
    EXPECT_EQ(caption::kNewFile, "Tessarine  // NewFile");
    EXPECT_EQ(caption::forDocument("WORK", "C:\\WORK\\A.TXT", win), "Tessarine  // WORK / A.TXT");
    EXPECT_EQ(caption::forDocument("", "MEMO.TXT", win), QStringLiteral("Tessarine  // [ｸﾞﾙｰﾌﾟなし] / MEMO.TXT"));
    EXPECT_EQ(caption::forDocument("", "D:A.TXT", win), QStringLiteral("Tessarine  // [ｸﾞﾙｰﾌﾟなし] / A.TXT"));
    EXPECT_EQ(caption::forDocument("W", "/home/u/a:b.txt", PathStyle::posix()), "Tessarine  // W / a:b.txt");
    EXPECT_EQ(cp932::byteLength(caption::kModifiedMarker), 7);
    const QString marked = caption::forDocument("W", "A.TXT", win) + caption::kModifiedMarker;
    EXPECT_EQ(marked, QStringLiteral("Tessarine  // W / A.TXT (更新)"));
    EXPECT_TRUE(caption::hasMarker(marked));
    EXPECT_EQ(caption::withoutMarker(marked), "Tessarine  // W / A.TXT");
    EXPECT_FALSE(caption::hasMarker(caption::kNewFile));
    EXPECT_EQ(caption::withoutMarker(caption::kNewFile), caption::kNewFile);
}

TEST(QuickLists, WrittenAndReadBack) {
    TempFile f("QuickLists");
    ASSERT_TRUE(writeQuickLists(f.path(), {QStringLiteral("予定.TXT"), " B.TXT ", "", "LOST.TXT"}));
    EXPECT_EQ(readBytes(f.path()), "2\r\n" + cp932::encode(QStringLiteral("予定.TXT")) + "\r\n B.TXT \r\n");
    const QuickListsRead r = readQuickLists(f.path());
    EXPECT_EQ(r.status, QuickListsRead::Status::Ok);
    EXPECT_EQ(r.entries, (QStringList{QStringLiteral("予定.TXT"), " B.TXT "}));
    // A line break in an entry keeps it one entry.
    ASSERT_TRUE(writeQuickLists(f.path(), {"A\r\nB", "C"}));
    EXPECT_EQ(readQuickLists(f.path()).entries, (QStringList{"A\r\nB", "C"}));
    // Entries stop at the first empty one.
    ASSERT_TRUE(writeQuickLists(f.path(), {"", "A"}));
    EXPECT_EQ(readBytes(f.path()), "0\r\n");
}

struct ReadCase {
    const char* label;
    QByteArray bytes;
    QuickListsRead::Status status;
    QStringList entries;
    QString badCount;
};

TEST(QuickLists, ReadingEdgeCases) {
    using S = QuickListsRead::Status;
    const ReadCase cases[] = {
        {"missing", {}, S::Missing, {}, ""},
        {"zero", "0\r\nSTALE\r\n", S::Ok, {}, ""},
        {"short file pads with empty entries", "3\r\nA\r\n", S::Ok, {"A", "", ""}, ""},
        {"more lines than the count", "1\r\nA\r\nB\r\n", S::Ok, {"A"}, ""},
        {"bare line feeds, no last line end", "2\nA\nB", S::Ok, {"A", "B"}, ""},
        {"empty file", "", S::BadCount, {}, ""},
        {"not a number", "x\r\nA\r\n", S::BadCount, {}, "x"},
        {"negative", "-1\r\n", S::BadCount, {}, "-1"},
        {"absurd count", "2000000000\r\nA\r\n", S::BadCount, {}, "2000000000"},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.label);
        TempFile f("QuickLists");
        if (!c.bytes.isNull()) writeBytes(f.path(), c.bytes);
        const QuickListsRead r = readQuickLists(f.path());
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.entries, c.entries);
        EXPECT_EQ(r.badCount, c.badCount);
    }
    EXPECT_EQ(kQuickListsMissing, QStringLiteral("ｸｲｯｸｾｰﾌﾞのﾘｽﾄﾌｧｲﾙ \"QuickList\" が見つかりません"));
}

TEST(QuickLists, ProblemsNameTheFileAndTheReason) {
    const QString file = QStringLiteral("ｸｲｯｸｾｰﾌﾞのﾘｽﾄﾌｧｲﾙ \"QuickLists\"");
    const std::pair<QByteArray, QString> cases[] = {
        {"-1\r\n", QStringLiteral(" の件数 \"-1\" は負の数です")},
        {"99999999999\r\n", QStringLiteral(" の件数 \"99999999999\" は大きすぎます")},
        {"2000000000\r\nA\r\nB\r\n", QStringLiteral(" の件数 \"2000000000\" は大きすぎます（ﾌｧｲﾙには 2 行しかありません）")},
        // Garbage is shown harmlessly, not as raw bytes.
        {"\x01\xff" "2\r\n", QStringLiteral(" の件数 \"\uFFFD\uFFFD" "2\" は整数ではありません")},
    };
    for (const auto& [bytes, reason] : cases) {
        TempFile f("QuickLists");
        writeBytes(f.path(), bytes);
        EXPECT_EQ(quickListsProblem(readQuickLists(f.path())), file + reason);
    }
    // A file far beyond any list is not read at all.
    TempFile f("QuickLists");
    writeBytes(f.path(), "1\r\n" + QByteArray(17 * 1024 * 1024, 'A'));
    const QuickListsRead huge = readQuickLists(f.path());
    EXPECT_EQ(huge.status, QuickListsRead::Status::TooLarge);
    EXPECT_TRUE(huge.entries.isEmpty());
    EXPECT_EQ(quickListsProblem(huge), file + QStringLiteral(" は大きすぎるため読み込みませんでした"));
}
