#include "support.h"
#include "core/filehistory.h"
#include "core/groupregistry.h"

#include <tuple>

using namespace tess;
using tess::test::ScriptedNotifier;

namespace {

const QString kProgramFolder = QStringLiteral("C:\\TESS\\");
const QString kHeading = QStringLiteral("グループ名");
const QString kFgHeadings = QStringLiteral("グループ名|フォルダのパス");

struct Fixture {
    explicit Fixture(PathStyle style = PathStyle::windows())
        : reg(style, style.isWindows() ? kProgramFolder : QStringLiteral("/opt/tess/")) {}
    GroupRegistry reg;
    FileHistory history;
    ScriptedNotifier notifier;

    void addFolderGroup(const QString& name, const QString& path) {
        notifier.answers.append(false);
        ASSERT_EQ(reg.Touroku(kind::kFolder, name, path, history, notifier), TourokuResult::Registered);
    }
    // Inner groups ask nothing: the notifier fails the test on a question.
    void addInnerGroup(const QString& name) {
        ASSERT_EQ(reg.Touroku(kind::kInner, name, QStringLiteral("X"), history, notifier),
                  TourokuResult::Registered);
    }
    void setHistory(const QStringList& list) {
        for (int i = 0; i < list.size(); ++i) history.setPlace(i + 1, list[i]);
    }
};

// Each row of a table, its cells joined by '|'.
QStringList rows(const TextGrid& g) {
    QStringList out;
    for (int r = 0; r < g.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < g.colCount(); ++c) cells.append(g.cell(c, r));
        out.append(cells.join(u'|'));
    }
    return out;
}

} // namespace

struct RefusalCase {
    const char* label;
    PathStyle style;
    QString kind;
    QString name;
    QString path;
    TourokuResult result;
    QString message;
};

TEST(GroupRegistry, TourokuRefusalsLeaveTablesUnchanged) {
    const QString noName = QStringLiteral("グループ名が入力されていません");
    const QString noPath = QStringLiteral("フォルダへのパスが入力されていません");
    const QString badPath = QStringLiteral("フォルダへのパスが不正です");
    const QString dupMemo = QStringLiteral("グループ名 \"MEMO\" は既に登録されています");
    const PathStyle win = PathStyle::windows(), posix = PathStyle::posix();
    const RefusalCase cases[] = {
        {"empty name", win, kind::kFolder, "", "C:\\A", TourokuResult::NoName, noName},
        {"blank name", win, kind::kFolder, QStringLiteral(" 　 "), "C:\\A", TourokuResult::NoName, noName},
        {"blank inner name", win, kind::kInner, QStringLiteral("　"), "X", TourokuResult::NoName, noName},
        {"empty path", win, kind::kFolder, "NEW", "", TourokuResult::NoPath, noPath},
        {"blank path", win, kind::kFolder, "NEW", QStringLiteral(" 　"), TourokuResult::NoPath, noPath},
        {"drive root", win, kind::kFolder, "NEW", "C:\\", TourokuResult::BadPath, badPath},
        {"network path", win, kind::kFolder, "NEW", "\\\\SERVER\\SHARE", TourokuResult::BadPath, badPath},
        {"relative path", win, kind::kFolder, "NEW", "DOCS\\A", TourokuResult::BadPath, badPath},
        {"inner name as folder group", win, kind::kFolder, "MEMO", "C:\\A", TourokuResult::Duplicate, dupMemo},
        {"folder name as inner group", win, kind::kInner, "WORK", "X", TourokuResult::Duplicate,
         QStringLiteral("グループ名 \"WORK\" は既に登録されています")},
        {"lower-case duplicate", win, kind::kInner, "memo", "X", TourokuResult::Duplicate, dupMemo},
        {"posix root", posix, kind::kFolder, "NEW", "/", TourokuResult::BadPath, badPath},
        {"posix relative path", posix, kind::kFolder, "NEW", "docs", TourokuResult::BadPath, badPath},
        {"windows path under posix", posix, kind::kFolder, "NEW", "C:\\DOCS", TourokuResult::BadPath, badPath},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.label);
        Fixture f(c.style);
        f.addFolderGroup("WORK", c.style.isWindows() ? "C:\\WORK" : "/work");
        f.addInnerGroup("MEMO");
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

TEST(GroupRegistry, GroupsFillTheFirstRowThenGrowAndNamesFold) {
    Fixture f;
    EXPECT_EQ(rows(f.reg.GrdFG()), (QStringList{kFgHeadings, "|"}));
    EXPECT_EQ(rows(f.reg.GrdIG()), (QStringList{kHeading + "|", "|"}));
    EXPECT_EQ(rows(f.reg.GrdGF()), (QStringList{"", ""}));
    EXPECT_FALSE(f.reg.hasGroups());

    f.addFolderGroup("work", "c:\\my docs");
    EXPECT_EQ(rows(f.reg.GrdFG()), (QStringList{kFgHeadings, "WORK|C:\\MY DOCS"}));
    EXPECT_EQ(rows(f.reg.GrdGF()), (QStringList{"WORK", ""}));
    const QString wide = QStringLiteral("ＡＢ　");  // kept as typed, blanks included
    f.addInnerGroup(wide);
    f.addFolderGroup("DOCS", "C:\\DOCS");
    EXPECT_EQ(rows(f.reg.GrdFG()), (QStringList{kFgHeadings, "WORK|C:\\MY DOCS", "DOCS|C:\\DOCS"}));
    EXPECT_EQ(rows(f.reg.GrdIG()), (QStringList{kHeading + "|", wide + "|X"}));
    EXPECT_EQ(rows(f.reg.GrdGF()), (QStringList{"WORK|" + wide + "|DOCS", "||"}));
    // Folder groups first, then inner groups.
    EXPECT_EQ(f.reg.groupList(), (QStringList{"WORK", "DOCS", wide}));
    EXPECT_EQ(f.reg.folderOfFolderGroup("WORK"), "C:\\MY DOCS");
}

TEST(GroupRegistry, HeadingTextIsAnOrdinaryGroupName) {
    Fixture f;
    const TextGrid ig = f.reg.GrdIG();
    f.addInnerGroup(kHeading);
    EXPECT_EQ(f.reg.groupList(), QStringList{kHeading});
    EXPECT_TRUE(f.reg.isInnerGroup(kHeading));
    f.reg.Sakujyo(kind::kInner, kHeading);
    EXPECT_TRUE(f.reg.groupList().isEmpty());
    EXPECT_EQ(f.reg.GrdIG(), ig);  // the heading stays
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
    bool answer;
    QStringList expected;  // the new group's column below its name
};

TEST(GroupRegistry, HistoryImport) {
    const QStringList winHistory = {"C:\\DOCS\\A.TXT", "C:\\DOCS\\SUB\\B.TXT", "C.TXT", "D:\\DOCS\\E.TXT",
                                    "C:\\DOCS\\F.RTF"};
    const QStringList posixHistory = {"/home/u/docs/a.txt", "/home/u/docs/sub/b.txt", "c.txt",
                                      "/home/u/DOCS/e.txt", "/home/u/docs/F.rtf"};
    const ImportCase cases[] = {
        {"windows yes", PathStyle::windows(), "C:\\DOCS", true, {"A.TXT", "F.RTF"}},
        {"windows no", PathStyle::windows(), "C:\\DOCS", false, {""}},
        {"windows trailing separator", PathStyle::windows(), "C:\\DOCS\\", true, {""}},
        {"windows lower-case input folds", PathStyle::windows(), "c:\\docs", true, {"A.TXT", "F.RTF"}},
        {"posix yes, case kept", PathStyle::posix(), "/home/u/docs", true, {"a.txt", "F.rtf"}},
        {"posix trailing separator", PathStyle::posix(), "/home/u/docs/", true, {""}},
        {"posix other case is another folder", PathStyle::posix(), "/home/u/DOCS", true, {"e.txt"}},
    };
    for (const ImportCase& c : cases) {
        SCOPED_TRACE(c.label);
        Fixture f(c.style);
        f.setHistory(c.style.isWindows() ? winHistory : posixHistory);
        f.notifier.answers = {c.answer};
        EXPECT_EQ(f.reg.Touroku(kind::kFolder, "DOCS", c.path, f.history, f.notifier),
                  TourokuResult::Registered);
        ASSERT_EQ(f.notifier.questions.size(), 1);
        EXPECT_EQ(f.notifier.questions[0], registry_text::importQuestion(c.style.foldPath(c.path)));
        EXPECT_TRUE(f.notifier.messages.isEmpty());
        EXPECT_EQ(rows(f.reg.GrdGF()), QStringList{"DOCS"} + c.expected);
        EXPECT_EQ(f.reg.GrdFG().cell(1, 1), c.style.foldPath(c.path));
    }
}

TEST(GroupRegistry, FileGroupSetGrowsEveryColumnAndSkipsDuplicates) {
    Fixture f;
    f.addFolderGroup("WORK", "C:\\WORK");
    f.addInnerGroup("MEMO");
    f.reg.FileGroupSet("WORK", "A.TXT");
    f.reg.FileGroupSet("WORK", "A.TXT");
    EXPECT_EQ(rows(f.reg.GrdGF()), (QStringList{"WORK|MEMO", "A.TXT|"}));
    f.reg.FileGroupSet("WORK", "B.TXT");
    EXPECT_EQ(rows(f.reg.GrdGF()), (QStringList{"WORK|MEMO", "A.TXT|", "B.TXT|"}));
    // A column with room takes the file without growing the table.
    f.reg.FileGroupSet("MEMO", "C.TXT");
    EXPECT_EQ(rows(f.reg.GrdGF()), (QStringList{"WORK|MEMO", "A.TXT|C.TXT", "B.TXT|"}));
    // Unknown groups change nothing.
    const TextGrid before = f.reg.GrdGF();
    f.reg.FileGroupSet("NONE", "Z.TXT");
    EXPECT_EQ(f.reg.GrdGF(), before);
}

TEST(GroupRegistry, ReorderWritesCellsAsGivenAndFileGroupSetFillsTheFirstHole) {
    Fixture f;
    f.addInnerGroup("MEMO");
    for (const char* n : {"A.TXT", "B.TXT"}) f.reg.FileGroupSet("MEMO", n);
    f.reg.reorder("MEMO", {"B.TXT", "", "A.TXT"});  // grows rather than drop a cell
    EXPECT_EQ(rows(f.reg.GrdGF()), (QStringList{"MEMO", "B.TXT", "", "A.TXT"}));
    f.reg.reorder("MEMO", {"A.TXT"});  // rows below are kept
    EXPECT_EQ(rows(f.reg.GrdGF()), (QStringList{"MEMO", "A.TXT", "", "A.TXT"}));
    EXPECT_EQ(f.reg.filesOf("MEMO"), (QStringList{"A.TXT", "A.TXT"}));
    // The last cell is taken, so the table grows first; then the hole is filled.
    f.reg.FileGroupSet("MEMO", "C.TXT");
    EXPECT_EQ(rows(f.reg.GrdGF()), (QStringList{"MEMO", "A.TXT", "C.TXT", "A.TXT", ""}));
}

TEST(GroupRegistry, SakujyoOfTheMiddleOfThree) {
    Fixture f;
    for (const char* g : {"ONE", "TWO", "THREE"}) {
        f.addFolderGroup(g, QStringLiteral("C:\\") + g);
        f.reg.FileGroupSet(g, g + QStringLiteral(".TXT"));
    }
    const TextGrid fg = f.reg.GrdFG(), gf = f.reg.GrdGF();
    f.reg.Sakujyo(kind::kFolder, "NONE");
    EXPECT_EQ(f.reg.GrdFG(), fg);
    EXPECT_EQ(f.reg.GrdGF(), gf);

    f.reg.Sakujyo(kind::kFolder, "TWO");
    EXPECT_EQ(rows(f.reg.GrdFG()), (QStringList{kFgHeadings, "ONE|C:\\ONE", "THREE|C:\\THREE"}));
    EXPECT_EQ(rows(f.reg.GrdGF()), (QStringList{"ONE|THREE", "ONE.TXT|THREE.TXT"}));

    f.reg.Sakujyo(kind::kFolder, "ONE");
    f.reg.Sakujyo(kind::kFolder, "THREE");
    const Fixture empty;
    EXPECT_EQ(f.reg.GrdFG(), empty.reg.GrdFG());
    EXPECT_EQ(f.reg.GrdGF(), empty.reg.GrdGF());
    EXPECT_FALSE(f.reg.hasGroups());
}

struct KaijyoCase {
    const char* label;
    QString group;
    QString file;
    QString fullPath;
    bool ok;
    QStringList messages;
    QStringList gfAfter;
    QStringList historyAfter;
};

TEST(GroupRegistry, KaijyoMessagesAndState) {
    const QStringList files = {"WORK|MEMO", "A.TXT|M.TXT", "B.TXT|"};
    const QStringList history = {"C:\\WORK\\A.TXT", "M.TXT", "OTHER.TXT"};
    const KaijyoCase cases[] = {
        {"folder group file", "WORK", "A.TXT", "C:\\WORK\\A.TXT", true, {}, {"WORK|MEMO", "B.TXT|M.TXT", "|"},
         {"M.TXT", "OTHER.TXT"}},
        {"inner group file", "MEMO", "M.TXT", "C:\\TESS\\M.TXT", true, {}, {"WORK|MEMO", "A.TXT|", "B.TXT|"},
         {"C:\\WORK\\A.TXT", "OTHER.TXT"}},
        {"no such group", "NONE", "A.TXT", "", false, {QStringLiteral("ｸﾞﾙｰﾌﾟ名検索ｴﾗｰ // frmTSMain.Kaijyo")},
         files, history},
        {"group without column", "LOST", "A.TXT", "C:\\LOST\\A.TXT", false,
         {QStringLiteral("ｸﾞﾙｰﾌﾟ名検索ｴﾗｰ // frmTSMain.Kaijyo2")}, files, history},
        {"no such file", "WORK", "Z.TXT", "C:\\WORK\\Z.TXT", false,
         {QStringLiteral("ﾌｧｲﾙ名検索ｴﾗｰ // frmTSMain.Kaijyo")}, files, history},
        {"not in history", "WORK", "B.TXT", "C:\\WORK\\B.TXT", false,
         {QStringLiteral("ﾌｧｲﾙ履歴検索ｴﾗｰ // frmTSMain.Kaijyo")}, {"WORK|MEMO", "A.TXT|M.TXT", "|"}, history},
    };
    for (const KaijyoCase& c : cases) {
        SCOPED_TRACE(c.label);
        Fixture f;
        f.addFolderGroup("WORK", "C:\\WORK");
        f.addInnerGroup("MEMO");
        f.reg.FileGroupSet("WORK", "A.TXT");
        f.reg.FileGroupSet("WORK", "B.TXT");
        f.reg.FileGroupSet("MEMO", "M.TXT");
        // A folder group whose column went missing (a hand-edited store).
        f.reg.GrdFG().setRowCount(3);
        f.reg.GrdFG().setCell(0, 2, "LOST");
        f.reg.GrdFG().setCell(1, 2, "C:\\LOST");
        f.setHistory(history);
        const KaijyoResult r = f.reg.Kaijyo(c.group, c.file, f.history, f.notifier);
        EXPECT_EQ(r.fullPath, c.fullPath);
        EXPECT_EQ(r.ok, c.ok);
        EXPECT_EQ(f.notifier.messages, c.messages);
        EXPECT_EQ(rows(f.reg.GrdGF()), c.gfAfter);  // never shrinks
        EXPECT_EQ(f.history.entries(), c.historyAfter);
    }
}

TEST(GroupRegistry, KaijyoAndFolderOfUnderPosixAndAfterATrailingSeparator) {
    Fixture f(PathStyle::posix());
    f.addFolderGroup("Work", "/home/u/Work");
    f.addInnerGroup("memo");
    f.reg.FileGroupSet("WORK", "a.txt");
    f.addFolderGroup("Slash", "/home/u/slash/");
    f.reg.FileGroupSet("MEMO", "m.txt");
    f.reg.FileGroupSet("SLASH", "s.txt");
    f.setHistory({"/home/u/Work/a.txt", "m.txt", "/home/u/slash//s.txt"});
    const auto work = f.reg.folderOf("WORK"), memo = f.reg.folderOf("MEMO");
    ASSERT_TRUE(work && memo);
    EXPECT_EQ((QStringList{work->kind, work->folder, memo->kind, memo->folder}),
              (QStringList{"FG", "/home/u/Work", "IG", "/opt/tess/"}));
    EXPECT_FALSE(f.reg.folderOf("NONE"));
    EXPECT_FALSE(f.reg.folderOf(""));
    // The separator is added even after a folder that ends with one.
    for (const auto& [group, file, path] : {std::tuple{"WORK", "a.txt", "/home/u/Work/a.txt"},
                                            {"MEMO", "m.txt", "/opt/tess/m.txt"},
                                            {"SLASH", "s.txt", "/home/u/slash//s.txt"}}) {
        const KaijyoResult r = f.reg.Kaijyo(group, file, f.history, f.notifier);
        EXPECT_EQ(r.fullPath, path);
        EXPECT_TRUE(r.ok);
    }
    EXPECT_EQ(f.history.count(), 0);
    EXPECT_TRUE(f.notifier.messages.isEmpty());
}

TEST(GroupRegistry, TrimGroupFilesKeepsTwoRows) {
    Fixture f;
    f.addInnerGroup("ONE");
    f.addInnerGroup("TWO");
    f.reg.GrdGF().setRowCount(6);
    f.reg.GrdGF().setCell(0, 1, "A.TXT");
    f.reg.GrdGF().setCell(1, 2, "B.TXT");
    f.reg.trimGroupFiles();
    EXPECT_EQ(rows(f.reg.GrdGF()), (QStringList{"ONE|TWO", "A.TXT|", "|B.TXT"}));

    f.reg.GrdGF().setCell(0, 1, "");
    f.reg.GrdGF().setCell(1, 2, "");
    f.reg.trimGroupFiles();
    EXPECT_EQ(f.reg.GrdGF().rowCount(), 2);
    f.reg.trimGroupFiles();
    EXPECT_EQ(f.reg.GrdGF().rowCount(), 2);
}
