// The file list and its preview in the main window: both list modes, the
// preview, the open from the list and its failures.

#include "mainwindowfixture.h"

#include "core/groupregistry.h"
#include "core/settingsfile.h"
#include "dialogs/TSGSet.h"
#include "mainwindow/elided.h"
#include "mainwindow/filelist.h"
#include "richtext/documentfile.h"

#include <QListWidget>
#include <QToolButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace tess::testing {
namespace {

using Answer = Prompter::Answer;

class FileListTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        start();
        ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("work")));
        work = folder + QStringLiteral("work");
    }
    QListWidget* list() { return widget<QListWidget>(QStringLiteral("PanelPass")); }
    QPlainTextEdit* preview() { return widget<QPlainTextEdit>(QStringLiteral("Memo2")); }
    void addFolderGroup(const QString& name, const QString& path) {
        prompter.yesNo.push_back(false);
        ASSERT_EQ(w().registry().Touroku(kind::kFolder, name, path, w().state().GrdR, prompter),
                  TourokuResult::Registered);
    }
    void showGroup(const QString& group) {
        w().state().setLblGName(group);
        w().GourpFileSet();
    }
    int row(const QString& entry) {
        const QList<QListWidgetItem*> found = list()->findItems(entry, Qt::MatchExactly);
        return found.isEmpty() ? -1 : list()->row(found.first());
    }
    // A click on the entry: it becomes the selection.
    void select(const QString& entry) {
        const int r = row(entry);
        ASSERT_GE(r, 0) << qPrintable(entry);
        list()->setCurrentRow(r);
    }
    void openEntry(const QString& entry) {
        select(entry);
        QTest::keyClick(list(), Qt::Key_Return);
    }
    QString work;
};

TEST_F(FileListTest, PreviewsATxtFormattedAndEverythingElseAsPlainText) {
    // A ".TXT" that holds rich text, and an ".RTF".
    const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 plain {\\b bold}\\par}";
    writeFile(path(QStringLiteral("RICH.TXT")), rtf);
    writeFile(work + QStringLiteral("/A.RTF"), rtf);
    for (const QString& p : {QStringLiteral("RICH.TXT"), work + QStringLiteral("/A.RTF")}) {
        nameDocument(p);
        w().RirekiSet();
    }
    w().PGFClick();
    ASSERT_EQ(w().fileList().entries(), (QStringList{work + QStringLiteral("/A.RTF"), QStringLiteral("RICH.TXT")}));

    const auto boldRuns = [&] {
        int bold = 0;
        for (QTextBlock b = preview()->document()->begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().fontWeight() >= QFont::Bold) ++bold;
        return bold;
    };
    select(QStringLiteral("RICH.TXT"));
    EXPECT_EQ(preview()->toPlainText(), QStringLiteral("plain bold"));
    EXPECT_EQ(boldRuns(), 1);
    EXPECT_EQ(labelText(QStringLiteral("Panel5")),
              path(QStringLiteral("RICH.TXT")) + QStringLiteral(" プレビュー　　　// クリックで終了"));
    EXPECT_TRUE(visible(QStringLiteral("Panel4")));
    EXPECT_EQ(preview()->font().family(), QStringLiteral("ＭＳゴシック"));
    EXPECT_EQ(preview()->font().pointSize(), 10);

    select(work + QStringLiteral("/A.RTF"));
    EXPECT_EQ(preview()->toPlainText(), QStringLiteral("plain bold"));
    EXPECT_EQ(boldRuns(), 0);
    EXPECT_TRUE(labelText(QStringLiteral("Panel5")).startsWith(work + QStringLiteral("/A.RTF プレビュー")));

    // A file gone since: the heading changes, the text stays.
    QFile::remove(path(QStringLiteral("RICH.TXT")));
    select(QStringLiteral("RICH.TXT"));
    EXPECT_EQ(prompter.messages(), QStringList{QStringLiteral("指定されたﾌｫﾙﾀﾞ あるいはﾌｧｲﾙが存在しません")});
    EXPECT_EQ(preview()->toPlainText(), QStringLiteral("plain bold"));
    EXPECT_TRUE(labelText(QStringLiteral("Panel5")).startsWith(path(QStringLiteral("RICH.TXT"))));
}

// The open works out the document path and the group from where the file
// lies, whatever group the list showed.
TEST_F(FileListTest, OpensUnderTheFolderGroupOrTheFirstInnerGroupThatListsIt) {
    addFolderGroup(QStringLiteral("WORK"), work);
    registerGroup(QStringLiteral("FIRST"));
    registerGroup(QStringLiteral("SECOND"));
    w().registry().FileGroupSet(QStringLiteral("WORK"), QStringLiteral("A.TXT"));
    w().registry().FileGroupSet(QStringLiteral("SECOND"), QStringLiteral("B.TXT"));
    w().registry().FileGroupSet(QStringLiteral("FIRST"), QStringLiteral("B.TXT"));
    writeFile(work + QStringLiteral("/A.TXT"), "in work\r\n");
    writeFile(path(QStringLiteral("B.TXT")), "inner\r\n");

    const struct {
        QString group, entry, fullName, openedGroup, text;
    } cases[] = {
        {QStringLiteral("WORK"), QStringLiteral("A.TXT"), work + QStringLiteral("/A.TXT"), QStringLiteral("WORK"),
         QStringLiteral("in work\n")},
        {QStringLiteral("SECOND"), QStringLiteral("B.TXT"), QStringLiteral("B.TXT"), QStringLiteral("FIRST"),
         QStringLiteral("inner\n")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry.toStdString());
        showGroup(c.group);
        select(c.entry);
        ASSERT_TRUE(visible(QStringLiteral("Panel4")));
        type(QStringLiteral("edit"));
        prompter.yesNoCancel.push_back(Answer::No);
        openEntry(c.entry);
        EXPECT_EQ(memo()->toPlainText(), c.text);
        EXPECT_EQ(w().state().LblFullName(), c.fullName);
        EXPECT_EQ(w().state().LblGName(), c.openedGroup);
        EXPECT_EQ(w().state().LblFName(), c.entry);
        EXPECT_EQ(w().state().GrdR.place(1), c.fullName);
        EXPECT_EQ(title(), QStringLiteral("Tessarine  // ") + c.openedGroup + QStringLiteral(" / ") + c.entry);
        EXPECT_FALSE(modified());
        EXPECT_FALSE(visible(QStringLiteral("Panel4")));
    }
    EXPECT_EQ(prompter.shown.count(kSaveQuestion), 2);
}

// The narrow list shows each entry's whole path as its tooltip, in both
// modes; placeholders have none.
TEST_F(FileListTest, EntriesShowTheirWholePathAsATooltip) {
    addFolderGroup(QStringLiteral("WORK"), work);
    w().registry().FileGroupSet(QStringLiteral("WORK"), QStringLiteral("A.TXT"));
    showGroup(QStringLiteral("WORK"));
    EXPECT_EQ(list()->item(row(QStringLiteral("A.TXT")))->toolTip(), work + QStringLiteral("/A.TXT"));

    const QString deep = QStringLiteral("/home/user/とても長いフォルダ名/さらに下/議事録.TXT");
    w().state().setLblFullName(QStringLiteral("MEMO.TXT"));
    w().RirekiSet();
    w().state().setLblFullName(deep);
    w().RirekiSet();
    w().PGFClick();
    EXPECT_EQ(list()->item(row(deep))->toolTip(), deep);
    EXPECT_EQ(list()->item(row(QStringLiteral("MEMO.TXT")))->toolTip(), path(QStringLiteral("MEMO.TXT")));

    w().state().GrdR.clear();
    w().PGFClick();
    EXPECT_TRUE(list()->item(0)->toolTip().isEmpty());
}

TEST_F(FileListTest, AFailedOpenKeepsTheDocumentAndSaysSo) {
    registerGroup(QStringLiteral("MEMO"));
    w().registry().FileGroupSet(QStringLiteral("MEMO"), QStringLiteral("GONE.TXT"));
    nameDocument(QStringLiteral("KEEP.TXT"));
    w().RirekiSet();
    type(QStringLiteral("unsaved"));
    const QString caption = title();
    showGroup(QStringLiteral("MEMO"));
    prompter.yesNoCancel.push_back(Answer::No);
    openEntry(QStringLiteral("GONE.TXT"));
    // The click that selects it has tried the preview already.
    EXPECT_EQ(prompter.messages(), (QStringList{QStringLiteral("指定されたﾌｫﾙﾀﾞ あるいはﾌｧｲﾙが存在しません"),
                                                QStringLiteral("\"") + path(QStringLiteral("GONE.TXT")) +
                                                    QStringLiteral("\" が見つかりません")}));
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("unsaved"));
    EXPECT_EQ(w().state().LblFullName(), QStringLiteral("KEEP.TXT"));
    EXPECT_EQ(w().state().GrdR.entries(), QStringList{QStringLiteral("KEEP.TXT")});
    EXPECT_EQ(title(), caption);
    EXPECT_TRUE(modified());
}

TEST_F(FileListTest, PlaceholdersUnknownGroupsAndEntriesOutsideTheirFolder) {
    // No history: the placeholder, and a double click on it asks first.
    w().PGFClick();
    ASSERT_EQ(w().fileList().entries(), QStringList{QStringLiteral("..ﾌｧｲﾙ履歴無し..")});
    type(QStringLiteral("x"));
    prompter.yesNoCancel.push_back(Answer::No);
    openEntry(QStringLiteral("..ﾌｧｲﾙ履歴無し.."));
    EXPECT_EQ(prompter.shown, QStringList{kSaveQuestion});
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("x"));

    // A group without files shows its placeholder; one without a column is not recognised.
    registerGroup(QStringLiteral("EMPTY"));
    showGroup(QStringLiteral("EMPTY"));
    EXPECT_EQ(w().fileList().entries(), QStringList{QStringLiteral("..ｸﾞﾙｰﾌﾟﾌｧｲﾙ無し..")});
    w().registry().Sakujyo(kind::kInner, QStringLiteral("EMPTY"));
    w().fileList().Panel1Click();
    showGroup(QStringLiteral("EMPTY"));
    EXPECT_TRUE(w().fileList().entries().isEmpty());
    EXPECT_EQ(labelText(QStringLiteral("Panel1")), QStringLiteral("EMPTY"));
    EXPECT_FALSE(visible(QStringLiteral("PnlLst")));

    // A history entry that leaves the program folder is never previewed.
    writeFile(folder + QStringLiteral("work/X.TXT"), "x");
    w().state().GrdR.setPlace(1, QStringLiteral("work/X.TXT"));
    w().PGFClick();
    prompter.shown.clear();
    select(QStringLiteral("work/X.TXT"));
    EXPECT_EQ(prompter.messages(),
              QStringList{QStringLiteral("\"work/X.TXT\" はﾌｫﾙﾀﾞの外を指すため開けません")});
    EXPECT_FALSE(visible(QStringLiteral("Panel4")));

    // The list of a group removed meanwhile cannot resolve its entries.
    registerGroup(QStringLiteral("LATER"));
    w().registry().FileGroupSet(QStringLiteral("LATER"), QStringLiteral("L.TXT"));
    showGroup(QStringLiteral("LATER"));
    w().registry().Sakujyo(kind::kInner, QStringLiteral("LATER"));
    prompter.shown.clear();
    select(QStringLiteral("L.TXT"));
    EXPECT_EQ(prompter.messages(), QStringList{QStringLiteral("ﾌｧｲﾙｸﾞﾙｰﾌﾟ検索エラー：frmTSMain.PanelPassClick")});
}

// A folder group named like the history's heading lists, previews and opens
// its own files, not the program folder's of the same name; the mode comes
// back as it was after a quick-save exit.
TEST_F(FileListTest, AGroupNamedLikeTheHistoryIsStillAGroup) {
    const QString name = QStringLiteral("ﾌｧｲﾙ使用履歴");
    addFolderGroup(name, work);
    w().registry().FileGroupSet(name, QStringLiteral("A.TXT"));
    prompter.shown.clear();
    writeFile(work + QStringLiteral("/A.TXT"), "the group's\r\n");
    writeFile(path(QStringLiteral("A.TXT")), "the program folder's\r\n");

    const auto checkListsTheGroup = [&] {
        EXPECT_EQ(w().fileList().mode(), FileList::Mode::Group);
        EXPECT_EQ(w().fileList().group(), name);
        EXPECT_EQ(labelText(QStringLiteral("Panel1")), name);
        select(QStringLiteral("A.TXT"));
        EXPECT_EQ(preview()->toPlainText(), QStringLiteral("the group's\n"));
    };
    showGroup(name);
    EXPECT_EQ(list()->item(row(QStringLiteral("A.TXT")))->toolTip(), work + QStringLiteral("/A.TXT"));
    checkListsTheGroup();

    w().SpeedButton11Click();
    EXPECT_EQ(setting(ini::kQuickSave, ini::kListMode).value, QStringLiteral("Group"));
    start();
    // The registration window reads the group store as the program starts.
    TfrmGSet registration(w(), prompter);
    checkListsTheGroup();
    openEntry(QStringLiteral("A.TXT"));
    EXPECT_EQ(w().state().LblFullName(), work + QStringLiteral("/A.TXT"));
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("the group's\n"));
    EXPECT_TRUE(prompter.shown.isEmpty()) << qPrintable(prompter.shown.join(u'|'));
}

// The mode read back: our own key when it is there; a settings file written
// before it tells the mode by the heading, as it always did.
TEST_F(FileListTest, QuickSaveModeFallsBackToTheHeadingOnlyWithoutItsKey) {
    const QString history = QStringLiteral("ﾌｧｲﾙ使用履歴");
    struct Case {
        QString caption;
        std::optional<QString> mode;
        FileList::Mode expected;
        QString group;
    };
    const QList<Case> cases = {
        {history, QStringLiteral("Group"), FileList::Mode::Group, history},
        {history, QStringLiteral("History"), FileList::Mode::History, QString()},
        {QStringLiteral("WORK"), QStringLiteral("Group"), FileList::Mode::Group, QStringLiteral("WORK")},
        {QStringLiteral("ﾌｧｲﾙﾘｽﾄ"), QStringLiteral("None"), FileList::Mode::None, QString()},
        // Before the key: the heading decides.
        {history, std::nullopt, FileList::Mode::History, QString()},
        {QStringLiteral("WORK"), std::nullopt, FileList::Mode::Group, QStringLiteral("WORK")},
        {QStringLiteral("ﾌｧｲﾙﾘｽﾄ"), std::nullopt, FileList::Mode::None, QString()},
        // A value we never write counts as none.
        {history, QStringLiteral("Sideways"), FileList::Mode::History, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.caption + u'|' + c.mode.value_or(QStringLiteral("(none)"))).toStdString());
        SettingsFile settings(path(QStringLiteral("modes.ini")));
        settings.write(ini::kQuickSave, ini::kFileListCaption, c.caption);
        if (c.mode) settings.write(ini::kQuickSave, ini::kListMode, *c.mode);
        w().fileList().readQuickSave(settings);
        EXPECT_EQ(w().fileList().mode(), c.expected);
        EXPECT_EQ(w().fileList().group(), c.group);
        EXPECT_EQ(labelText(QStringLiteral("Panel1")), c.caption);

        SettingsFile written(path(QStringLiteral("written.ini")));
        w().fileList().writeQuickSave(written);
        EXPECT_EQ(written.read(ini::kQuickSave, ini::kFileListCaption, ini::kWhole).value, c.caption);
        w().fileList().readQuickSave(written);
        EXPECT_EQ(w().fileList().mode(), c.expected);
    }
}

// A group name longer than the heading is cut at its end with "…" and shows
// whole as the tooltip; a short one shows whole.
TEST_F(FileListTest, LongGroupNameIsCutAtItsEndInTheHeading) {
    auto* heading = widget<ElidedLabel>(QStringLiteral("Panel1"));
    ASSERT_NE(heading, nullptr);
    const QString longName = QStringLiteral("とても長いグループの名前はここで終わらずにまだ続いていく最後");
    const QString shortName = QStringLiteral("短い");
    for (const QString& name : {longName, shortName}) {
        registerGroup(name);
        w().show();
        showGroup(name);
        EXPECT_EQ(heading->toolTip(), name);
        EXPECT_EQ(heading->text(), name);
        const QString shown = heading->shownText();
        EXPECT_LE(heading->fontMetrics().horizontalAdvance(shown), heading->contentsRect().width());
        if (name == shortName) {
            EXPECT_EQ(shown, name);
        } else {
            ASSERT_TRUE(shown.endsWith(QStringLiteral("…"))) << qPrintable(shown);
            EXPECT_GT(shown.size(), 3);
            EXPECT_TRUE(name.startsWith(shown.chopped(1)));
        }
    }
}

} // namespace
} // namespace tess::testing
