#include "qtprint.h"
#include "core/caption.h"
#include "core/cp932.h"
#include "core/editorstate.h"
#include "core/quicklists.h"
#include "core/textgrid.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tess;

namespace {

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST(TextGrid, GrowsWithEmptyCellsAndShrinksDroppingThem) {
    TextGrid g(1, 2);
    g.setCell(0, 1, "A");
    g.setColCount(3);
    g.setRowCount(4);
    EXPECT_EQ(g.cell(0, 1), "A");
    EXPECT_EQ(g.cell(2, 3), QString());
    g.setCell(2, 3, "Z");
    g.setRowCount(2);
    g.setRowCount(4);
    EXPECT_EQ(g.cell(2, 3), QString());
    EXPECT_EQ(g.cell(0, 1), "A");
    g.setCell(5, 0, "ignored");
    g.setCell(0, -1, "ignored");
    EXPECT_EQ(g.cell(5, 0), QString());
    EXPECT_EQ(g.cell(-1, 0), QString());
    EXPECT_EQ(g, [] { TextGrid e(3, 4); e.setCell(0, 1, "A"); return e; }());
}

TEST(EditorState, StartValues) {
    EditorState s(PathStyle::windows());
    EXPECT_EQ(s.LblGName(), QString());
    EXPECT_EQ(s.LblFName(), QString());
    EXPECT_EQ(s.LblFullName(), QString());
    EXPECT_FALSE(s.LblUpdate.isEmpty());  // start-up changes add no marker
    EXPECT_EQ(s.LblQS, QString());
    EXPECT_EQ(s.LblGF, QString());
    EXPECT_EQ(s.LblCS1, QString());
    EXPECT_EQ(s.L1, QString());
    EXPECT_EQ(s.GrdR.count(), 0);
}

TEST(EditorState, FieldsFoldAsTheyAreStored) {
    EditorState win(PathStyle::windows());
    EditorState posix(PathStyle::posix());
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
    win.setLblFName(QStringLiteral("予定表.TXT"));
    EXPECT_EQ(win.LblFName(), QStringLiteral("予定表.TXT"));
}

TEST(Caption, Forms) {
    const PathStyle win = PathStyle::windows();
    const PathStyle posix = PathStyle::posix();
    EXPECT_EQ(caption::kNewFile, "Tessarine  // NewFile");
    EXPECT_EQ(caption::forDocument("WORK", "C:\\WORK\\A.TXT", win), "Tessarine  // WORK / A.TXT");
    EXPECT_EQ(caption::forDocument("", "MEMO.TXT", win), QStringLiteral("Tessarine  // [ｸﾞﾙｰﾌﾟなし] / MEMO.TXT"));
    EXPECT_EQ(caption::forDocument("", "D:A.TXT", win), QStringLiteral("Tessarine  // [ｸﾞﾙｰﾌﾟなし] / A.TXT"));
    EXPECT_EQ(caption::forDocument("W", "/home/u/a:b.txt", posix), "Tessarine  // W / a:b.txt");
    EXPECT_EQ(cp932::byteLength(caption::kModifiedMarker), 7);
    const QString marked = caption::forDocument("W", "A.TXT", win) + caption::kModifiedMarker;
    EXPECT_EQ(marked, QStringLiteral("Tessarine  // W / A.TXT (更新)"));
    EXPECT_TRUE(caption::hasMarker(marked));
    EXPECT_EQ(caption::withoutMarker(marked), "Tessarine  // W / A.TXT");
    EXPECT_FALSE(caption::hasMarker(caption::kNewFile));
    EXPECT_EQ(caption::withoutMarker(caption::kNewFile), caption::kNewFile);
}

TEST(QuickLists, EntriesStopAtTheFirstEmptyOne) {
    EXPECT_EQ(quickListEntries({"A", "B", "", "C"}), (QStringList{"A", "B"}));
    EXPECT_EQ(quickListEntries({"", "A"}), QStringList());
    EXPECT_EQ(quickListEntries({QStringLiteral("..ﾌｧｲﾙ履歴無し..")}), QStringList{QStringLiteral("..ﾌｧｲﾙ履歴無し..")});
}

TEST(QuickLists, WrittenAndReadBack) {
    QTemporaryDir dir;
    const QString path = dir.filePath("QuickLists");
    ASSERT_TRUE(writeQuickLists(path, {QStringLiteral("予定.TXT"), " B.TXT ", "", "LOST.TXT"}));
    EXPECT_EQ(readBytes(path), "2\r\n" + cp932::encode(QStringLiteral("予定.TXT")) + "\r\n B.TXT \r\n");
    const QuickListsRead r = readQuickLists(path);
    EXPECT_EQ(r.status, QuickListsRead::Status::Ok);
    EXPECT_EQ(r.entries, (QStringList{QStringLiteral("予定.TXT"), " B.TXT "}));
}

TEST(QuickLists, ALineBreakInAnEntryStaysOneEntry) {
    QTemporaryDir dir;
    const QString path = dir.filePath("QuickLists");
    ASSERT_TRUE(writeQuickLists(path, {"A\r\nB", "C"}));
    EXPECT_EQ(readQuickLists(path).entries, (QStringList{"A  B", "C"}));
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
        QTemporaryDir dir;
        const QString path = dir.filePath("QuickLists");
        writeBytes(path, c.bytes);
        const QuickListsRead r = readQuickLists(path);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.entries, c.entries);
        EXPECT_EQ(r.badCount, c.badCount);
    }
}

TEST(QuickLists, MissingFile) {
    QTemporaryDir dir;
    const QuickListsRead r = readQuickLists(dir.filePath("QuickLists"));
    EXPECT_EQ(r.status, QuickListsRead::Status::Missing);
    EXPECT_TRUE(r.entries.isEmpty());
    EXPECT_EQ(kQuickListsMissing, QStringLiteral("ｸｲｯｸｾｰﾌﾞのﾘｽﾄﾌｧｲﾙ \"QuickList\" が見つかりません"));
}
