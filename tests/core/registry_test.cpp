#include "qtprint.h"
#include "core/filehistory.h"
#include "core/groupregistry.h"
#include "scriptednotifier.h"

#include <gtest/gtest.h>

using namespace tess;
using tess::test::ScriptedNotifier;

namespace {

const QString kProgramFolder = QStringLiteral("C:\\TESS\\");

struct Fixture {
    explicit Fixture(PathStyle style = PathStyle::windows(), QString folder = kProgramFolder)
        : reg(style, folder) {}
    GroupRegistry reg;
    FileHistory history;
    ScriptedNotifier notifier;

    void addFolderGroup(const QString& name, const QString& path) {
        notifier.answers.append(false);
        ASSERT_EQ(reg.Touroku(kind::kFolder, name, path, history, notifier), TourokuResult::Registered);
    }
    void addInnerGroup(const QString& name) {
        ASSERT_EQ(reg.Touroku(kind::kInner, name, QStringLiteral("X"), history, notifier),
                  TourokuResult::Registered);
    }
};

QStringList column(const TextGrid& g, int col) {
    QStringList out;
    for (int r = 0; r < g.rowCount(); ++r) out.append(g.cell(col, r));
    return out;
}

} // namespace

TEST(GroupRegistry, StartStateHasHeadingsAndOneEmptyRow) {
    GroupRegistry reg(PathStyle::windows(), kProgramFolder);
    EXPECT_EQ(reg.GrdFG().rowCount(), 2);
    EXPECT_EQ(reg.GrdFG().colCount(), 2);
    EXPECT_EQ(reg.GrdFG().cell(0, 0), QStringLiteral("グループ名"));
    EXPECT_EQ(reg.GrdFG().cell(1, 0), QStringLiteral("フォルダのパス"));
    EXPECT_EQ(reg.GrdIG().cell(0, 0), QStringLiteral("グループ名"));
    EXPECT_EQ(reg.GrdIG().cell(1, 0), QString());
    EXPECT_EQ(reg.GrdGF().colCount(), 1);
    EXPECT_EQ(reg.GrdGF().rowCount(), 2);
    EXPECT_FALSE(reg.hasGroups());
    EXPECT_TRUE(reg.groupList().isEmpty());
}

struct RefusalCase {
    const char* label;
    QString kind;
    QString name;
    QString path;
    TourokuResult result;
    QString message;
};

TEST(GroupRegistry, TourokuRefusalsLeaveTablesUnchanged) {
    const QString dupMessage = QStringLiteral("グループ名 \"MEMO\" は既に登録されています");
    const QString dupFolderMessage = QStringLiteral("グループ名 \"WORK\" は既に登録されています");
    const RefusalCase cases[] = {
        {"empty name", kind::kFolder, "", "C:\\A", TourokuResult::NoName, registry_text::kNoName},
        {"blank name", kind::kFolder, QStringLiteral(" 　 "), "C:\\A", TourokuResult::NoName,
         QStringLiteral("グループ名が入力されていません")},
        {"blank inner name", kind::kInner, QStringLiteral("　"), "X", TourokuResult::NoName,
         QStringLiteral("グループ名が入力されていません")},
        {"empty path", kind::kFolder, "NEW", "", TourokuResult::NoPath,
         QStringLiteral("フォルダへのパスが入力されていません")},
        {"blank path", kind::kFolder, "NEW", QStringLiteral(" 　"), TourokuResult::NoPath,
         QStringLiteral("フォルダへのパスが入力されていません")},
        {"drive root", kind::kFolder, "NEW", "C:\\", TourokuResult::BadPath,
         QStringLiteral("フォルダへのパスが不正です")},
        {"network path", kind::kFolder, "NEW", "\\\\SERVER\\SHARE", TourokuResult::BadPath,
         QStringLiteral("フォルダへのパスが不正です")},
        {"relative path", kind::kFolder, "NEW", "DOCS\\A", TourokuResult::BadPath,
         QStringLiteral("フォルダへのパスが不正です")},
        {"inner name as folder group", kind::kFolder, "MEMO", "C:\\A", TourokuResult::Duplicate, dupMessage},
        {"folder name as inner group", kind::kInner, "WORK", "X", TourokuResult::Duplicate, dupFolderMessage},
        {"lower-case duplicate", kind::kInner, "memo", "X", TourokuResult::Duplicate, dupMessage},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.label);
        Fixture f;
        f.addFolderGroup("WORK", "C:\\WORK");
        f.addInnerGroup("MEMO");
        f.notifier.messages.clear();
        f.notifier.questions.clear();
        const TextGrid fg = f.reg.GrdFG(), ig = f.reg.GrdIG(), gf = f.reg.GrdGF();
        EXPECT_EQ(f.reg.Touroku(c.kind, c.name, c.path, f.history, f.notifier), c.result);
        EXPECT_EQ(f.notifier.messages, QStringList{c.message});
        EXPECT_TRUE(f.notifier.questions.isEmpty());
        EXPECT_EQ(f.reg.GrdFG(), fg);
        EXPECT_EQ(f.reg.GrdIG(), ig);
        EXPECT_EQ(f.reg.GrdGF(), gf);
    }
}

TEST(GroupRegistry, FirstAndSecondGroupPlacement) {
    Fixture f;
    f.addFolderGroup("WORK", "C:\\WORK");
    EXPECT_EQ(f.reg.GrdFG().rowCount(), 2);
    EXPECT_EQ(f.reg.GrdFG().cell(0, 1), "WORK");
    EXPECT_EQ(f.reg.GrdFG().cell(1, 1), "C:\\WORK");
    EXPECT_EQ(f.reg.GrdGF().colCount(), 1);
    EXPECT_EQ(f.reg.GrdGF().rowCount(), 2);
    EXPECT_EQ(f.reg.GrdGF().cell(0, 0), "WORK");

    f.addInnerGroup("MEMO");
    EXPECT_EQ(f.reg.GrdIG().rowCount(), 2);
    EXPECT_EQ(f.reg.GrdIG().cell(0, 1), "MEMO");
    EXPECT_EQ(f.reg.GrdIG().cell(1, 1), "X");
    EXPECT_EQ(f.reg.GrdGF().colCount(), 2);
    EXPECT_EQ(f.reg.GrdGF().cell(1, 0), "MEMO");

    f.addFolderGroup("DOCS", "C:\\DOCS");
    EXPECT_EQ(f.reg.GrdFG().rowCount(), 3);
    EXPECT_EQ(f.reg.GrdFG().cell(0, 2), "DOCS");
    EXPECT_EQ(f.reg.GrdGF().cell(2, 0), "DOCS");
    // Folder groups first, then inner groups.
    EXPECT_EQ(f.reg.groupList(), (QStringList{"WORK", "DOCS", "MEMO"}));
}

TEST(GroupRegistry, NamesAreStoredFoldedWithTheirBlanks) {
    Fixture f;
    const QString name = QStringLiteral("ＡＢ　");
    f.addInnerGroup(name);
    f.addFolderGroup("my group", "c:\\my docs");
    EXPECT_EQ(f.reg.innerGroupNames(), QStringList{name});
    EXPECT_EQ(f.reg.folderGroupNames(), QStringList{"MY GROUP"});
    EXPECT_EQ(f.reg.folderOfFolderGroup("MY GROUP"), "C:\\MY DOCS");
}

TEST(GroupRegistry, HeadingTextIsAnOrdinaryGroupName) {
    Fixture f;
    const QString heading = QStringLiteral("グループ名");
    f.addInnerGroup(heading);
    EXPECT_EQ(f.reg.groupList(), QStringList{heading});
    EXPECT_TRUE(f.reg.isInnerGroup(heading));
    f.reg.Sakujyo(kind::kInner, heading);
    EXPECT_TRUE(f.reg.groupList().isEmpty());
    EXPECT_EQ(f.reg.GrdIG().cell(0, 0), heading);  // the heading stays
    EXPECT_FALSE(f.reg.hasGroups());
}

TEST(GroupRegistry, ImportQuestionHasItsExactText) {
    EXPECT_EQ(registry_text::importQuestion("C:\\DOCS"),
              QStringLiteral("ﾌｧｲﾙの使用履歴の中に\n\rﾌｫﾙﾀﾞ \"C:\\DOCS\" のﾌｧｲﾙがあればここで登録しますか？"));
}

struct ImportCase {
    const char* label;
    PathStyle style;
    QString path;
    QStringList history;
    bool answer;
    QStringList expected;  // the new group's column below its name
};

TEST(GroupRegistry, HistoryImport) {
    const QStringList winHistory = {"C:\\DOCS\\A.TXT", "C:\\DOCS\\SUB\\B.TXT", "C.TXT", "D:\\DOCS\\E.TXT",
                                    "C:\\DOCS\\F.RTF"};
    const QStringList posixHistory = {"/home/u/docs/a.txt", "/home/u/docs/sub/b.txt", "c.txt",
                                      "/home/u/DOCS/e.txt", "/home/u/docs/F.rtf"};
    const ImportCase cases[] = {
        {"windows yes", PathStyle::windows(), "C:\\DOCS", winHistory, true, {"A.TXT", "F.RTF"}},
        {"windows no", PathStyle::windows(), "C:\\DOCS", winHistory, false, {""}},
        {"windows trailing separator", PathStyle::windows(), "C:\\DOCS\\", winHistory, true, {""}},
        {"windows lower-case input folds", PathStyle::windows(), "c:\\docs", winHistory, true,
         {"A.TXT", "F.RTF"}},
        {"posix yes, case kept", PathStyle::posix(), "/home/u/docs", posixHistory, true, {"a.txt", "F.rtf"}},
        {"posix trailing separator", PathStyle::posix(), "/home/u/docs/", posixHistory, true, {""}},
        {"posix other case is another folder", PathStyle::posix(), "/home/u/DOCS", posixHistory, true,
         {"e.txt"}},
    };
    for (const ImportCase& c : cases) {
        SCOPED_TRACE(c.label);
        Fixture f(c.style, c.style.isWindows() ? kProgramFolder : QStringLiteral("/opt/tess/"));
        for (int i = 0; i < c.history.size(); ++i) f.history.setPlace(i + 1, c.history[i]);
        f.notifier.answers = {c.answer};
        EXPECT_EQ(f.reg.Touroku(kind::kFolder, "DOCS", c.path, f.history, f.notifier),
                  TourokuResult::Registered);
        ASSERT_EQ(f.notifier.questions.size(), 1);
        EXPECT_EQ(f.notifier.questions[0], registry_text::importQuestion(c.style.foldPath(c.path)));
        EXPECT_TRUE(f.notifier.messages.isEmpty());
        EXPECT_EQ(column(f.reg.GrdGF(), 0), QStringList{"DOCS"} + c.expected);
        EXPECT_EQ(f.reg.GrdFG().cell(1, 1), c.style.foldPath(c.path));
    }
}

TEST(GroupRegistry, ImportGrowsTheSharedRowCount) {
    Fixture f;
    f.addInnerGroup("MEMO");
    f.reg.FileGroupSet("MEMO", "M.TXT");
    f.history.setPlace(1, "C:\\DOCS\\A.TXT");
    f.history.setPlace(2, "C:\\DOCS\\B.TXT");
    f.history.setPlace(3, "C:\\DOCS\\C.TXT");
    f.notifier.answers = {true};
    f.reg.Touroku(kind::kFolder, "DOCS", "C:\\DOCS", f.history, f.notifier);
    EXPECT_EQ(f.reg.GrdGF().rowCount(), 4);
    EXPECT_EQ(column(f.reg.GrdGF(), 0), (QStringList{"MEMO", "M.TXT", "", ""}));
    EXPECT_EQ(column(f.reg.GrdGF(), 1), (QStringList{"DOCS", "A.TXT", "B.TXT", "C.TXT"}));
}

TEST(GroupRegistry, InnerGroupsAskNothing) {
    Fixture f;
    f.history.setPlace(1, "C:\\DOCS\\A.TXT");
    EXPECT_EQ(f.reg.Touroku(kind::kInner, "MEMO", "X", f.history, f.notifier), TourokuResult::Registered);
    EXPECT_TRUE(f.notifier.questions.isEmpty());
}

TEST(GroupRegistry, FileGroupSetGrowsEveryColumnAndSkipsDuplicates) {
    Fixture f;
    f.addFolderGroup("WORK", "C:\\WORK");
    f.addInnerGroup("MEMO");
    f.reg.FileGroupSet("WORK", "A.TXT");
    EXPECT_EQ(f.reg.GrdGF().rowCount(), 2);
    f.reg.FileGroupSet("WORK", "A.TXT");
    EXPECT_EQ(f.reg.GrdGF().rowCount(), 2);
    EXPECT_EQ(f.reg.filesOf("WORK"), QStringList{"A.TXT"});
    f.reg.FileGroupSet("WORK", "B.TXT");
    EXPECT_EQ(f.reg.GrdGF().rowCount(), 3);
    EXPECT_EQ(column(f.reg.GrdGF(), 1), (QStringList{"MEMO", "", ""}));
    // A column with room takes the file without growing the table.
    f.reg.FileGroupSet("MEMO", "C.TXT");
    EXPECT_EQ(f.reg.GrdGF().rowCount(), 3);
    EXPECT_EQ(column(f.reg.GrdGF(), 1), (QStringList{"MEMO", "C.TXT", ""}));
    // Unknown groups change nothing.
    const TextGrid before = f.reg.GrdGF();
    f.reg.FileGroupSet("NONE", "Z.TXT");
    EXPECT_EQ(f.reg.GrdGF(), before);
}

TEST(GroupRegistry, FileGroupSetFillsTheFirstHole) {
    Fixture f;
    f.addInnerGroup("MEMO");
    f.reg.reorder("MEMO", {"", "B.TXT"});
    EXPECT_EQ(f.reg.GrdGF().rowCount(), 3);
    // The last cell is taken, so the table grows first; the hole is filled.
    f.reg.FileGroupSet("MEMO", "A.TXT");
    EXPECT_EQ(column(f.reg.GrdGF(), 0), (QStringList{"MEMO", "A.TXT", "B.TXT", ""}));
    f.reg.FileGroupSet("MEMO", "C.TXT");
    EXPECT_EQ(column(f.reg.GrdGF(), 0), (QStringList{"MEMO", "A.TXT", "B.TXT", "C.TXT"}));
}

TEST(GroupRegistry, SakujyoOfTheMiddleOfThree) {
    Fixture f;
    f.addFolderGroup("ONE", "C:\\ONE");
    f.addFolderGroup("TWO", "C:\\TWO");
    f.addFolderGroup("THREE", "C:\\THREE");
    f.reg.FileGroupSet("ONE", "1.TXT");
    f.reg.FileGroupSet("TWO", "2.TXT");
    f.reg.FileGroupSet("THREE", "3.TXT");
    f.reg.Sakujyo(kind::kFolder, "TWO");
    EXPECT_EQ(f.reg.GrdFG().rowCount(), 3);
    EXPECT_EQ(column(f.reg.GrdFG(), 0), (QStringList{QStringLiteral("グループ名"), "ONE", "THREE"}));
    EXPECT_EQ(column(f.reg.GrdFG(), 1), (QStringList{QStringLiteral("フォルダのパス"), "C:\\ONE", "C:\\THREE"}));
    EXPECT_EQ(f.reg.GrdGF().colCount(), 2);
    EXPECT_EQ(column(f.reg.GrdGF(), 0), (QStringList{"ONE", "1.TXT"}));
    EXPECT_EQ(column(f.reg.GrdGF(), 1), (QStringList{"THREE", "3.TXT"}));
    // Rows of the file table stay.
    EXPECT_EQ(f.reg.GrdGF().rowCount(), 2);

    f.reg.Sakujyo(kind::kFolder, "ONE");
    f.reg.Sakujyo(kind::kFolder, "THREE");
    GroupRegistry empty(PathStyle::windows(), kProgramFolder);
    EXPECT_EQ(f.reg.GrdFG(), empty.GrdFG());
    EXPECT_EQ(f.reg.GrdGF(), empty.GrdGF());
    EXPECT_FALSE(f.reg.hasGroups());
}

TEST(GroupRegistry, SakujyoOfAnUnknownNameChangesNothing) {
    Fixture f;
    f.addFolderGroup("ONE", "C:\\ONE");
    const TextGrid fg = f.reg.GrdFG(), gf = f.reg.GrdGF();
    f.reg.Sakujyo(kind::kFolder, "NONE");
    EXPECT_EQ(f.reg.GrdFG(), fg);
    EXPECT_EQ(f.reg.GrdGF(), gf);
    EXPECT_TRUE(f.notifier.messages.isEmpty());
}

struct KaijyoCase {
    const char* label;
    QString group;
    QString file;
    QString fullPath;
    bool ok;
    QStringList messages;
    QStringList filesAfter;
    int historyAfter;
};

TEST(GroupRegistry, KaijyoMessagesAndState) {
    const KaijyoCase cases[] = {
        {"success folder", "WORK", "A.TXT", "C:\\WORK\\A.TXT", true, {}, {"B.TXT"}, 1},
        {"no such group", "NONE", "A.TXT", "", false, {registry_text::kKaijyoGroup}, {"A.TXT", "B.TXT"}, 2},
        {"group without column", "LOST", "A.TXT", "C:\\LOST\\A.TXT", false,
         {QStringLiteral("ｸﾞﾙｰﾌﾟ名検索ｴﾗｰ // frmTSMain.Kaijyo2")}, {"A.TXT", "B.TXT"}, 2},
        {"no such file", "WORK", "Z.TXT", "C:\\WORK\\Z.TXT", false,
         {QStringLiteral("ﾌｧｲﾙ名検索ｴﾗｰ // frmTSMain.Kaijyo")}, {"A.TXT", "B.TXT"}, 2},
        {"not in history", "WORK", "B.TXT", "C:\\WORK\\B.TXT", false,
         {QStringLiteral("ﾌｧｲﾙ履歴検索ｴﾗｰ // frmTSMain.Kaijyo")}, {"A.TXT"}, 2},
    };
    for (const KaijyoCase& c : cases) {
        SCOPED_TRACE(c.label);
        Fixture f;
        f.addFolderGroup("WORK", "C:\\WORK");
        f.reg.FileGroupSet("WORK", "A.TXT");
        f.reg.FileGroupSet("WORK", "B.TXT");
        // A folder group whose column went missing (a hand-edited store).
        f.reg.GrdFG().setRowCount(3);
        f.reg.GrdFG().setCell(0, 2, "LOST");
        f.reg.GrdFG().setCell(1, 2, "C:\\LOST");
        f.history.setPlace(1, "C:\\WORK\\A.TXT");
        f.history.setPlace(2, "OTHER.TXT");
        const KaijyoResult r = f.reg.Kaijyo(c.group, c.file, f.history, f.notifier);
        EXPECT_EQ(r.fullPath, c.fullPath);
        EXPECT_EQ(r.ok, c.ok);
        EXPECT_EQ(f.notifier.messages, c.messages);
        EXPECT_EQ(f.reg.filesOf("WORK"), c.filesAfter);
        EXPECT_EQ(f.reg.GrdGF().rowCount(), 3);  // never shrinks
        EXPECT_EQ(f.history.count(), c.historyAfter);
    }
}

TEST(GroupRegistry, KaijyoOfAnInnerGroupFile) {
    Fixture f;
    f.addInnerGroup("MEMO");
    f.reg.FileGroupSet("MEMO", "M.TXT");
    f.history.setPlace(1, "A.TXT");
    f.history.setPlace(2, "M.TXT");
    f.history.setPlace(3, "B.TXT");
    const KaijyoResult r = f.reg.Kaijyo("MEMO", "M.TXT", f.history, f.notifier);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.fullPath, "C:\\TESS\\M.TXT");
    EXPECT_EQ(f.history.entries(), (QStringList{"A.TXT", "B.TXT"}));
    EXPECT_EQ(column(f.reg.GrdGF(), 0), (QStringList{"MEMO", ""}));
}

TEST(GroupRegistry, KaijyoKeepsTheSeparatorAfterAFolderEndingInOne) {
    Fixture f;
    f.addFolderGroup("ROOTISH", "C:\\DOCS\\");
    f.reg.FileGroupSet("ROOTISH", "A.TXT");
    f.history.setPlace(1, "C:\\DOCS\\\\A.TXT");
    const KaijyoResult r = f.reg.Kaijyo("ROOTISH", "A.TXT", f.history, f.notifier);
    EXPECT_EQ(r.fullPath, "C:\\DOCS\\\\A.TXT");
    EXPECT_TRUE(r.ok);
}

TEST(GroupRegistry, KaijyoUnderPosix) {
    Fixture f(PathStyle::posix(), "/opt/tess/");
    f.addFolderGroup("Work", "/home/u/Work");
    f.addInnerGroup("memo");
    f.reg.FileGroupSet("WORK", "a.txt");
    f.reg.FileGroupSet("MEMO", "m.txt");
    f.history.setPlace(1, "/home/u/Work/a.txt");
    f.history.setPlace(2, "m.txt");
    KaijyoResult r = f.reg.Kaijyo("WORK", "a.txt", f.history, f.notifier);
    EXPECT_EQ(r.fullPath, "/home/u/Work/a.txt");
    EXPECT_TRUE(r.ok);
    r = f.reg.Kaijyo("MEMO", "m.txt", f.history, f.notifier);
    EXPECT_EQ(r.fullPath, "/opt/tess/m.txt");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(f.history.count(), 0);
    EXPECT_TRUE(f.notifier.messages.isEmpty());
}

TEST(GroupRegistry, PosixFolderPathRules) {
    Fixture f(PathStyle::posix(), "/opt/tess/");
    EXPECT_EQ(f.reg.Touroku(kind::kFolder, "ROOT", "/", f.history, f.notifier), TourokuResult::BadPath);
    EXPECT_EQ(f.reg.Touroku(kind::kFolder, "REL", "docs", f.history, f.notifier), TourokuResult::BadPath);
    EXPECT_EQ(f.reg.Touroku(kind::kFolder, "WIN", "C:\\DOCS", f.history, f.notifier), TourokuResult::BadPath);
    f.notifier.answers = {false};
    EXPECT_EQ(f.reg.Touroku(kind::kFolder, "TMP", "/t", f.history, f.notifier), TourokuResult::Registered);
    EXPECT_EQ(f.reg.folderOf("TMP")->folder, "/t");
}

TEST(GroupRegistry, FolderOfAGroup) {
    Fixture f;
    f.addFolderGroup("WORK", "C:\\WORK");
    f.addInnerGroup("MEMO");
    const auto work = f.reg.folderOf("WORK");
    ASSERT_TRUE(work);
    EXPECT_EQ(work->kind, "FG");
    EXPECT_EQ(work->folder, "C:\\WORK");
    const auto memo = f.reg.folderOf("MEMO");
    ASSERT_TRUE(memo);
    EXPECT_EQ(memo->kind, "IG");
    EXPECT_EQ(memo->folder, kProgramFolder);
    EXPECT_FALSE(f.reg.folderOf("NONE"));
    EXPECT_FALSE(f.reg.folderOf(""));
}

TEST(GroupRegistry, ReorderWritesCellsAsGivenAndKeepsRowsBelow) {
    Fixture f;
    f.addInnerGroup("MEMO");
    for (const char* n : {"A.TXT", "B.TXT", "C.TXT"}) f.reg.FileGroupSet("MEMO", n);
    f.reg.reorder("MEMO", {"B.TXT", "", "A.TXT"});
    EXPECT_EQ(column(f.reg.GrdGF(), 0), (QStringList{"MEMO", "B.TXT", "", "A.TXT"}));
    f.reg.reorder("MEMO", {"A.TXT"});
    EXPECT_EQ(column(f.reg.GrdGF(), 0), (QStringList{"MEMO", "A.TXT", "", "A.TXT"}));
    EXPECT_EQ(f.reg.filesOf("MEMO"), (QStringList{"A.TXT", "A.TXT"}));
}

TEST(GroupRegistry, TrimGroupFiles) {
    Fixture f;
    f.addInnerGroup("ONE");
    f.addInnerGroup("TWO");
    f.reg.GrdGF().setRowCount(6);
    f.reg.GrdGF().setCell(0, 1, "A.TXT");
    f.reg.GrdGF().setCell(1, 2, "B.TXT");
    f.reg.trimGroupFiles();
    EXPECT_EQ(f.reg.GrdGF().rowCount(), 3);
    EXPECT_EQ(f.reg.GrdGF().cell(1, 2), "B.TXT");

    f.reg.GrdGF().setCell(0, 1, "");
    f.reg.GrdGF().setCell(1, 2, "");
    f.reg.trimGroupFiles();
    EXPECT_EQ(f.reg.GrdGF().rowCount(), 2);
    f.reg.trimGroupFiles();
    EXPECT_EQ(f.reg.GrdGF().rowCount(), 2);
}
