// The file list's entry rules, the document path of a file, the picker's
// slots and scrolling, and the explorer's grid rows.

#include "support.h"
#include "core/grouppanels.h"
#include "core/groupregistry.h"
#include "core/listentry.h"

using namespace tess;
using tess::test::ScriptedNotifier;

namespace {

struct Registry {
    explicit Registry(PathStyle style = PathStyle::posix())
        : reg(style, style.isWindows() ? QStringLiteral("C:\\Tess\\") : QStringLiteral("/opt/tess/")) {}
    GroupRegistry reg;
    FileHistory history;
    ScriptedNotifier notifier;

    void folder(const QString& name, const QString& path) {
        notifier.answers.append(false);
        ASSERT_EQ(reg.Touroku(kind::kFolder, name, path, history, notifier), TourokuResult::Registered);
    }
    void inner(const QString& name) {
        ASSERT_EQ(reg.Touroku(kind::kInner, name, QStringLiteral("X"), history, notifier),
                  TourokuResult::Registered);
    }
    void files(const QString& group, const QStringList& names) {
        for (const QString& n : names) reg.FileGroupSet(group, n);
    }
};

QStringList names(const PickerSlots& picked) {
    QStringList out;
    for (const PickerSlot& s : picked) out << s.name + (s.folder ? QStringLiteral("*") : QString());
    return out;
}

QStringList texts(const QList<ExplorerRow>& rows) {
    QStringList out;
    for (const ExplorerRow& r : rows) out << r.count + u'|' + r.file;
    return out;
}

TEST(ResolveListEntry, HistoryAndGroupModes) {
    Registry r;
    r.folder(QStringLiteral("WORK"), QStringLiteral("/w/docs"));
    r.folder(QStringLiteral("SLASHED"), QStringLiteral("/w/s/"));
    r.inner(QStringLiteral("MEMO"));
    using S = ResolvedEntry::Status;
    const struct {
        QString entry;
        bool history;
        QString heading;
        S status;
        QString path;
    } cases[] = {
        {QStringLiteral("MEMO.TXT"), true, QStringLiteral("ﾌｧｲﾙ使用履歴"), S::Path, QStringLiteral("/opt/tess/MEMO.TXT")},
        {QStringLiteral("/d/work/A.RTF"), true, {}, S::Path, QStringLiteral("/d/work/A.RTF")},
        {QStringLiteral("SUB/X.TXT"), true, {}, S::Outside, {}},
        {QStringLiteral(".."), true, {}, S::Outside, {}},
        {QStringLiteral("A.TXT"), false, QStringLiteral("WORK"), S::Path, QStringLiteral("/w/docs/A.TXT")},
        // The separator follows the folder as it was registered.
        {QStringLiteral("A.TXT"), false, QStringLiteral("SLASHED"), S::Path, QStringLiteral("/w/s//A.TXT")},
        {QStringLiteral("B.TXT"), false, QStringLiteral("MEMO"), S::Path, QStringLiteral("/opt/tess/B.TXT")},
        {QStringLiteral("B.TXT"), false, QStringLiteral("GONE"), S::NoSuchGroup, {}},
        {QStringLiteral("../B.TXT"), false, QStringLiteral("WORK"), S::Outside, {}},
        {QStringLiteral("."), false, QStringLiteral("MEMO"), S::Outside, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry.toStdString() + " / " + c.heading.toStdString());
        const ResolvedEntry got = ResolveListEntry(c.entry, c.history, c.heading, r.reg);
        EXPECT_EQ(got.status, c.status);
        EXPECT_EQ(got.path, c.path);
    }
    // Under Windows a drive colon or a backslash leaves the folder too.
    Registry win(PathStyle::windows());
    win.inner(QStringLiteral("MEMO"));
    for (const char* bad : {"D:A.TXT", "SUB\\A.TXT"})
        EXPECT_EQ(ResolveListEntry(QString::fromLatin1(bad), false, QStringLiteral("MEMO"), win.reg).status,
                  S::Outside) << bad;
    EXPECT_EQ(ResolveListEntry(QStringLiteral("D:\\WORK\\A.RTF"), true, {}, win.reg).path,
              QStringLiteral("D:\\WORK\\A.RTF"));
}

TEST(DocumentPath, BareInTheProgramFolderElseFull) {
    const struct {
        PathStyle style;
        QString programFolder;
        QString path;
        QString documentPath;
    } cases[] = {
        {PathStyle::windows(), QStringLiteral("C:\\Tess\\"), QStringLiteral("c:\\TESS\\memo.txt"), QStringLiteral("MEMO.TXT")},
        {PathStyle::windows(), QStringLiteral("C:\\Tess\\"), QStringLiteral("C:\\Tess\\Sub\\a.txt"), QStringLiteral("C:\\TESS\\SUB\\A.TXT")},
        {PathStyle::posix(), QStringLiteral("/opt/tess/"), QStringLiteral("/opt/tess/memo.txt"), QStringLiteral("memo.txt")},
        // Letter case is another folder on POSIX.
        {PathStyle::posix(), QStringLiteral("/opt/tess/"), QStringLiteral("/opt/Tess/memo.txt"), QStringLiteral("/opt/Tess/memo.txt")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(documentPathOf(c.path, c.programFolder, c.style), c.documentPath) << c.path.toStdString();
    // And back: the file a document path names.
    EXPECT_EQ(fileOfDocumentPath(QStringLiteral("memo.txt"), QStringLiteral("/opt/tess/"), PathStyle::posix()),
              QStringLiteral("/opt/tess/memo.txt"));
    EXPECT_EQ(fileOfDocumentPath(QStringLiteral("C:\\TESS\\SUB\\A.TXT"), QStringLiteral("C:\\Tess\\"), PathStyle::windows()),
              QStringLiteral("C:\\TESS\\SUB\\A.TXT"));
    EXPECT_EQ(fileOfDocumentPath(QString(), QStringLiteral("/opt/tess/"), PathStyle::posix()), QString());
}

TEST(GroupOfOpenedFile, LastFolderGroupOrFirstInnerGroupThatListsIt) {
    Registry r;
    r.folder(QStringLiteral("OLD"), QStringLiteral("/w/docs"));
    r.folder(QStringLiteral("NEW"), QStringLiteral("/w/docs"));
    r.folder(QStringLiteral("OTHER"), QStringLiteral("/w/other"));
    r.inner(QStringLiteral("FIRST"));
    r.inner(QStringLiteral("SECOND"));
    r.files(QStringLiteral("SECOND"), {QStringLiteral("B.TXT"), QStringLiteral("C.TXT")});
    r.files(QStringLiteral("FIRST"), {QStringLiteral("C.TXT")});
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("/w/docs/A.TXT"), QStringLiteral("NEW")},
        {QStringLiteral("/w/other/A.TXT"), QStringLiteral("OTHER")},
        {QStringLiteral("/w/elsewhere/A.TXT"), QString()},
        {QStringLiteral("/opt/tess/B.TXT"), QStringLiteral("SECOND")},
        {QStringLiteral("/opt/tess/C.TXT"), QStringLiteral("FIRST")},
        {QStringLiteral("/opt/tess/D.TXT"), QString()},
    };
    for (const auto& [path, group] : cases) EXPECT_EQ(groupOfOpenedFile(path, r.reg), group) << path.toStdString();
}

TEST(PickerSlots, FolderGroupsFirstFromThePosition) {
    Registry r;
    for (int i = 1; i <= 4; ++i) r.folder(QStringLiteral("F%1").arg(i), QStringLiteral("/f%1").arg(i));
    for (int i = 1; i <= 3; ++i) r.inner(QStringLiteral("I%1").arg(i));
    QStringList expected{QStringLiteral("F1*"), QStringLiteral("F2*"), QStringLiteral("F3*"), QStringLiteral("F4*"),
                         QStringLiteral("I1"), QStringLiteral("I2"), QStringLiteral("I3")};
    while (expected.size() < kPickerSlots) expected << QString();
    EXPECT_EQ(names(fillSlots(r.reg, 1)), expected);
    // Position 6 of 4 folder groups is the second inner group.
    EXPECT_EQ(fillSlots(r.reg, 6)[0].name, QStringLiteral("I2"));
    EXPECT_FALSE(fillSlots(r.reg, 6)[0].folder);
    EXPECT_EQ(fillSlots(r.reg, 3)[0].name, QStringLiteral("F3"));
    // Beyond the list every slot is empty.
    EXPECT_EQ(names(fillSlots(r.reg, 9)), QStringList(kPickerSlots, QString()));
    EXPECT_EQ(names(fillSlots(Registry().reg, 1)), QStringList(kPickerSlots, QString()));
    // Seven groups: neither down nor last moves.
    EXPECT_FALSE(picker_scroll::down(1, fillSlots(r.reg, 1)));
    EXPECT_FALSE(picker_scroll::last(7));
    EXPECT_FALSE(picker_scroll::up(1));
    EXPECT_EQ(picker_scroll::up(3), 2);
}

TEST(PickerSlots, TwelveGroupsScrollToFourAndStop) {
    Registry r;
    for (int i = 1; i <= 12; ++i) r.inner(QStringLiteral("G%1").arg(i));
    const int n = int(r.reg.groupList().size());
    ASSERT_EQ(picker_scroll::last(n), 4);
    const PickerSlots atLast = fillSlots(r.reg, 4);
    EXPECT_EQ(atLast[0].name, QStringLiteral("G4"));
    EXPECT_EQ(atLast[8].name, QStringLiteral("G12"));
    EXPECT_TRUE(atLast[9].name.isEmpty());
    EXPECT_FALSE(picker_scroll::down(4, atLast));

    int top = 1;
    std::vector<int> steps;
    while (const std::optional<int> next = picker_scroll::down(top, fillSlots(r.reg, top))) {
        top = *next;
        steps.push_back(top);
        ASSERT_LT(steps.size(), 20u);
    }
    EXPECT_EQ(steps, (std::vector<int>{2, 3, 4}));
}

TEST(ExplorerRows, ShorterGroupBesideALongerOne) {
    Registry r;
    r.folder(QStringLiteral("DOCS"), QStringLiteral("/w/docs"));
    r.inner(QStringLiteral("LONG"));
    r.inner(QStringLiteral("EMPTY"));
    r.files(QStringLiteral("DOCS"), {QStringLiteral("A.TXT"), QStringLiteral("B.TXT")});
    r.files(QStringLiteral("LONG"), {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")});
    EXPECT_EQ(texts(*explorerRows(r.reg, QStringLiteral("DOCS"))),
              (QStringList{QStringLiteral("◇1|A.TXT"), QStringLiteral("◇2|B.TXT"), QStringLiteral("|")}));
    EXPECT_EQ(explorerRows(r.reg, QStringLiteral("LONG"))->size(), 4);
    EXPECT_EQ(texts(*explorerRows(r.reg, QStringLiteral("EMPTY"))), QStringList{QStringLiteral("|...登録ﾌｧｲﾙ無し...")});
    EXPECT_EQ(texts(*explorerRows(r.reg, QString())), QStringList{QStringLiteral("|...登録ｸﾞﾙｰﾌﾟ無し...")});
    EXPECT_FALSE(explorerRows(r.reg, QStringLiteral("NOWHERE")));

    // A file moved below an empty row leaves the first cell empty: the group
    // still lists it.
    r.reg.reorder(QStringLiteral("DOCS"), {QString(), QStringLiteral("B.TXT"), QStringLiteral("A.TXT")});
    EXPECT_EQ(texts(*explorerRows(r.reg, QStringLiteral("DOCS"))),
              (QStringList{QStringLiteral("|"), QStringLiteral("◇2|B.TXT"), QStringLiteral("◇3|A.TXT")}));
}

TEST(ExplorerRows, AfterUnregisterAndReorderCells) {
    const QList<ExplorerRow> rows{{QStringLiteral("◇1"), QStringLiteral("A.TXT")},
                                  {QStringLiteral("◇2"), QStringLiteral("B.TXT")},
                                  {}};
    // The counts stay where they are; the last row goes.
    EXPECT_EQ(texts(rowsAfterUnregister(rows, QStringLiteral("A.TXT"))),
              (QStringList{QStringLiteral("◇1|B.TXT"), QStringLiteral("◇2|")}));
    EXPECT_EQ(texts(rowsAfterUnregister(rows, QStringLiteral("NOT.TXT"))), texts(rows));
    const QList<ExplorerRow> one{{QStringLiteral("◇1"), QStringLiteral("A.TXT")}};
    const QList<ExplorerRow> emptied = rowsAfterUnregister(one, QStringLiteral("A.TXT"));
    EXPECT_EQ(texts(emptied), QStringList{QStringLiteral("◇1|...登録ﾌｧｲﾙ無し...")});
    // A marker is never stored as a file name.
    EXPECT_EQ(reorderCells(emptied), QStringList{QString()});
    EXPECT_EQ(reorderCells(rows), (QStringList{QStringLiteral("A.TXT"), QStringLiteral("B.TXT"), QString()}));
}

TEST(Kaijyo, ReportsTheRemovedRegistrationAlsoWithoutAHistoryEntry) {
    Registry r;
    r.inner(QStringLiteral("MEMO"));
    r.files(QStringLiteral("MEMO"), {QStringLiteral("A.TXT"), QStringLiteral("B.TXT")});
    r.history.setPlace(1, QStringLiteral("B.TXT"));
    KaijyoResult got = r.reg.Kaijyo(QStringLiteral("MEMO"), QStringLiteral("A.TXT"), r.history, r.notifier);
    EXPECT_TRUE(got.unregistered);
    EXPECT_FALSE(got.ok);
    got = r.reg.Kaijyo(QStringLiteral("MEMO"), QStringLiteral("A.TXT"), r.history, r.notifier);
    EXPECT_FALSE(got.unregistered);
    EXPECT_EQ(got.fullPath, QStringLiteral("/opt/tess/A.TXT"));
    got = r.reg.Kaijyo(QStringLiteral("MEMO"), QStringLiteral("B.TXT"), r.history, r.notifier);
    EXPECT_TRUE(got.unregistered && got.ok);
    EXPECT_EQ(r.notifier.messages, (QStringList{QStringLiteral("ﾌｧｲﾙ履歴検索ｴﾗｰ // frmTSMain.Kaijyo"),
                                             QStringLiteral("ﾌｧｲﾙ名検索ｴﾗｰ // frmTSMain.Kaijyo")}));
}

} // namespace
