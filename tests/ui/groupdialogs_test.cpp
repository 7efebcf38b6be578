// The registration dialog, the group picker and the group file explorer.

#include "fakehost.h"
#include "mainwindowfixture.h"
#include "scriptedprompter.h"

#include "core/groupregistry.h"
#include "dialogs/TSExplorer.h"
#include "dialogs/TSGName.h"
#include "dialogs/TSGSet.h"
#include "mainwindow/elided.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QImage>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QToolButton>

namespace tess::testing {
namespace {

template <typename T = QWidget>
T* child(QWidget& parent, const char* name) {
    T* w = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// A mouse release over a data row (1..) of a grid.
void releaseOver(QTableWidget* grid, int row, int column = 0) {
    const QRect cell = grid->visualRect(grid->model()->index(row - 1, column));
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

class GroupSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        host = std::make_unique<FakeHost>(dir.path() + u'/');
        gset = std::make_unique<TfrmGSet>(*host, prompter);
        gset->show();
        QApplication::processEvents();
    }
    QLineEdit* edit(const char* name) { return child<QLineEdit>(*gset, name); }
    QPushButton* button(const char* name) { return child<QPushButton>(*gset, name); }
    // Which of BB1..BB4 are enabled, as "1010".
    QString enabled() {
        QString out;
        for (const char* n : {"BB1", "BB2", "BB3", "BB4"}) out += button(n)->isEnabled() ? u'1' : u'0';
        return out;
    }
    QString focused() { return gset->focusWidget() ? gset->focusWidget()->objectName() : QString(); }

    QTemporaryDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<FakeHost> host;
    std::unique_ptr<TfrmGSet> gset;
};

TEST_F(GroupSetTest, KeyboardRegistersAFolderGroupAndImportsItsHistory) {
    EXPECT_EQ(enabled(), QStringLiteral("0000"));
    EXPECT_EQ(focused(), QStringLiteral("Edit1"));
    host->state().GrdR.setPlace(1, QStringLiteral("/home/u/docs/A.TXT"));
    host->state().GrdR.setPlace(2, QStringLiteral("/home/u/docs/sub/B.TXT"));
    // A blank typed into the empty input vanishes; Enter then goes nowhere.
    QTest::keyClicks(edit("Edit1"), QStringLiteral(" "));
    EXPECT_TRUE(edit("Edit1")->text().isEmpty());
    QTest::keyClicks(edit("Edit1"), QStringLiteral("docs"));
    EXPECT_EQ(edit("Edit1")->text(), QStringLiteral("DOCS"));
    QTest::keyClick(edit("Edit1"), Qt::Key_Return);
    EXPECT_EQ(focused(), QStringLiteral("Edit2"));
    QTest::keyClicks(edit("Edit2"), QStringLiteral("/home/u/docs"));
    EXPECT_EQ(enabled(), QStringLiteral("1000"));
    QTest::keyClick(edit("Edit2"), Qt::Key_Return);
    ASSERT_EQ(focused(), QStringLiteral("BB1"));
    prompter.yesNo.push_back(true);
    QTest::keyClick(button("BB1"), Qt::Key_Return);
    EXPECT_EQ(prompter.shown, QStringList{QStringLiteral("yesno: ﾌｧｲﾙの使用履歴の中に\n\rﾌｫﾙﾀﾞ \"/home/u/docs\" のﾌｧｲﾙがあればここで登録しますか？")});
    EXPECT_EQ(host->registry().filesOf(QStringLiteral("DOCS")), QStringList{QStringLiteral("A.TXT")});
    EXPECT_EQ(child<QTableWidget>(*gset, "GrdFG")->item(0, 0)->text(), QStringLiteral("DOCS"));
    EXPECT_EQ(focused(), QStringLiteral("Edit1"));
    EXPECT_EQ(enabled(), QStringLiteral("0000"));
    EXPECT_TRUE(edit("Edit2")->text().isEmpty());
}

TEST_F(GroupSetTest, DeleteButtonsFollowTheirOwnHalf) {
    auto* grdFG = child<QTableWidget>(*gset, "GrdFG");
    auto* grdIG = child<QTableWidget>(*gset, "GrdIG");
    // Empty grids: a click changes nothing.
    releaseOver(grdFG, 1);
    releaseOver(grdIG, 1);
    EXPECT_EQ(enabled(), QStringLiteral("0000"));
    EXPECT_TRUE(edit("Edit1")->text().isEmpty());

    prompter.yesNo.push_back(false);
    host->registry().Touroku(kind::kFolder, QStringLiteral("WORK"), QStringLiteral("/w"), host->state().GrdR, prompter);
    host->registry().Touroku(kind::kInner, QStringLiteral("MEMO"), QStringLiteral("X"), host->state().GrdR, prompter);
    gset->FormShow();

    releaseOver(grdFG, 1);
    EXPECT_EQ(edit("Edit1")->text(), QStringLiteral("WORK"));
    EXPECT_EQ(edit("Edit2")->text(), QStringLiteral("/w"));
    EXPECT_EQ(enabled(), QStringLiteral("0100"));
    EXPECT_EQ(focused(), QStringLiteral("BB2"));
    // The other half leaves it alone; its own half disables it.
    QTest::keyClicks(edit("Edit3"), QStringLiteral("n"));
    EXPECT_EQ(enabled(), QStringLiteral("0110"));
    QTest::keyClicks(edit("Edit1"), QStringLiteral("2"));
    EXPECT_EQ(enabled(), QStringLiteral("1010"));
    prompter.yesNo.push_back(false);
    button("BB1")->click();
    EXPECT_EQ(host->registry().folderGroupNames(), (QStringList{QStringLiteral("WORK"), QStringLiteral("WORK2")}));

    releaseOver(grdIG, 1);
    EXPECT_EQ(edit("Edit3")->text(), QStringLiteral("MEMO"));
    EXPECT_TRUE(edit("Edit1")->text().isEmpty());
    EXPECT_EQ(enabled(), QStringLiteral("0001"));
    button("BB4")->click();
    EXPECT_TRUE(host->registry().innerGroupNames().isEmpty());
    EXPECT_EQ(focused(), QStringLiteral("Edit3"));

    // A refused path keeps the inputs and goes back to the path.
    QTest::keyClicks(edit("Edit1"), QStringLiteral("bad"));
    QTest::keyClicks(edit("Edit2"), QStringLiteral("relative"));
    button("BB1")->click();
    EXPECT_EQ(prompter.messages(), QStringList{QStringLiteral("フォルダへのパスが不正です")});
    EXPECT_EQ(focused(), QStringLiteral("Edit2"));
    EXPECT_EQ(edit("Edit1")->text(), QStringLiteral("BAD"));
    // A path keeps its letter case under POSIX.
    EXPECT_EQ(edit("Edit2")->text(), QStringLiteral("relative"));
}

// How many pixels of a widget's picture are exactly `colour`.
int pixelsOf(QWidget* w, const QColor& colour) {
    const QImage image = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (QColor(image.pixel(x, y)) == colour) ++n;
    return n;
}

// A disabled button shows no text in its colour, the enabled one does: the
// registration dialog's four buttons and the explorer's two.
TEST(DisabledButtons, LookDisabled) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    FakeHost host(dir.path() + u'/');
    ScriptedPrompter prompter;
    TfrmGSet gset(host, prompter);
    QWidget window;
    window.resize(400, 500);
    TfrmExplorer explorer(host, prompter, &window, nullptr);
    gset.show();
    window.show();
    explorer.open();
    const QList<QPushButton*> buttons = {child<QPushButton>(gset, "BB1"), child<QPushButton>(gset, "BB2"),
                                         child<QPushButton>(gset, "BB3"), child<QPushButton>(gset, "BB4"),
                                         child<QPushButton>(explorer, "BB1"), child<QPushButton>(explorer, "BB2")};
    for (QPushButton* b : buttons) {
        SCOPED_TRACE(b->objectName().toStdString() + " in " + b->window()->objectName().toStdString());
        ASSERT_FALSE(b->isEnabled());
        const QColor colour = b->palette().color(QPalette::Active, QPalette::ButtonText);
        EXPECT_EQ(pixelsOf(b, colour), 0);
        b->setEnabled(true);
        EXPECT_GT(pixelsOf(b, colour), 0);
        b->setEnabled(false);
    }
}

class PickerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        host = std::make_unique<FakeHost>(dir.path() + u'/');
    }
    void groups(int folders, int inner) {
        for (int i = 1; i <= folders; ++i) {
            prompter.yesNo.push_back(false);
            host->registry().Touroku(kind::kFolder, QStringLiteral("F&%1").arg(i), QStringLiteral("/f%1").arg(i),
                                     host->state().GrdR, prompter);
        }
        for (int i = 1; i <= inner; ++i)
            host->registry().Touroku(kind::kInner, QStringLiteral("I%1").arg(i), QStringLiteral("X"),
                                     host->state().GrdR, prompter);
    }
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<FakeHost> host;
};

TEST_F(PickerTest, SlotsIconsScrollingAndChoosing) {
    groups(2, 10);
    TfrmGName picker(*host);
    picker.show();
    auto* slot1 = child<QToolButton>(picker, "SB1");
    // A "&" in a name shows as itself.
    EXPECT_EQ(slot1->text(), QStringLiteral("F&&1"));
    EXPECT_TRUE(child(picker, "I1")->isVisibleTo(&picker));
    EXPECT_TRUE(child(picker, "P3")->isVisibleTo(&picker));
    EXPECT_FALSE(child(picker, "I3")->isVisibleTo(&picker));

    child<QToolButton>(picker, "SpeedButton4")->click();
    EXPECT_EQ(picker.LblTop(), 4);
    EXPECT_EQ(picker.slotGroup(9), QStringLiteral("I10"));
    EXPECT_FALSE(child<QToolButton>(picker, "SB10")->isEnabled());
    EXPECT_FALSE(child(picker, "P10")->isVisibleTo(&picker));
    child<QToolButton>(picker, "SpeedButton3")->click();
    EXPECT_EQ(picker.LblTop(), 4);
    // The position lasts from one showing to the next.
    picker.hide();
    picker.show();
    EXPECT_EQ(picker.slotGroup(1), QStringLiteral("I2"));
    QTest::keyClick(&picker, Qt::Key_Home);
    EXPECT_EQ(picker.LblTop(), 1);

    child<QToolButton>(picker, "SB2")->click();
    EXPECT_EQ(host->state().LblGName(), QStringLiteral("F&2"));
    EXPECT_EQ(host->groupFileSets, QStringList{QStringLiteral("F&2")});
    EXPECT_FALSE(picker.isVisible());

    // Esc closes it without choosing.
    picker.show();
    QTest::keyClick(&picker, Qt::Key_Escape);
    EXPECT_FALSE(picker.isVisible());
    EXPECT_EQ(host->groupFileSets.size(), 1);
}

// A long group name is cut at the end of its slot with "…", whole in the
// tooltip; a short one shows whole, a "&" as itself.
TEST_F(PickerTest, LongNamesAreCutAtTheEndOfTheirSlot) {
    const QString longName = QStringLiteral("とても長いグループの名前が続いていく最後の部分");
    for (const QString& name : {longName, QStringLiteral("A&B")})
        host->registry().Touroku(kind::kInner, name, QStringLiteral("X"), host->state().GrdR, prompter);
    TfrmGName picker(*host);
    picker.show();
    auto* first = child<ElidedToolButton>(picker, "SB1");
    auto* second = child<ElidedToolButton>(picker, "SB2");
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->toolTip(), longName);
    const QString shown = first->shownText();
    ASSERT_TRUE(shown.endsWith(QStringLiteral("…"))) << qPrintable(shown);
    EXPECT_TRUE(longName.startsWith(shown.chopped(1)));
    EXPECT_LT(first->fontMetrics().horizontalAdvance(shown), first->width());
    EXPECT_EQ(second->shownText(), QStringLiteral("A&B"));
    EXPECT_EQ(second->toolTip(), QStringLiteral("A&B"));
    EXPECT_TRUE(child<ElidedToolButton>(picker, "SB3")->toolTip().isEmpty());
}

// In the main window: SB1 opens and closes the popup, and its hint is off
// while the popup is open.
TEST_F(MainWindowTest, PickerButtonTogglesThePopupAndItsHint) {
    start();
    registerGroup(QStringLiteral("MEMO"));
    auto* sb1 = widget<QToolButton>(QStringLiteral("SB1"));
    sb1->click();
    EXPECT_TRUE(picker->isVisible());
    EXPECT_EQ(w().state().L1, flag::kPickerOpened);
    EXPECT_TRUE(sb1->toolTip().isEmpty());
    EXPECT_EQ(sb1->accessibleName(), QStringLiteral("グループからファイルを開く"));
    // A click back into the main window hides it; the button then closes it.
    showActive();
    EXPECT_FALSE(picker->isVisible());
    EXPECT_EQ(w().state().L1, flag::kPickerClosed);
    EXPECT_TRUE(sb1->toolTip().isEmpty());
    sb1->click();
    EXPECT_FALSE(picker->isVisible());
    EXPECT_TRUE(w().state().L1.isEmpty());
    EXPECT_EQ(sb1->toolTip(), QStringLiteral("グループからファイルを開く"));

    sb1->click();
    child<QToolButton>(*picker, "SB1")->click();
    EXPECT_EQ(w().state().LblGName(), QStringLiteral("MEMO"));
    EXPECT_EQ(labelText(QStringLiteral("Panel1")), QStringLiteral("MEMO"));
    EXPECT_EQ(widget<QListWidget>(QStringLiteral("PanelPass"))->item(0)->text(), QStringLiteral("..ｸﾞﾙｰﾌﾟﾌｧｲﾙ無し.."));
    EXPECT_TRUE(visible(QStringLiteral("PnlLst")));
    EXPECT_FALSE(picker->isVisible());
}

class ExplorerTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        start();
        docs = folder + QStringLiteral("docs");
        ASSERT_TRUE(QDir().mkpath(docs));
        prompter.yesNo.push_back(false);
        w().registry().Touroku(kind::kFolder, QStringLiteral("DOCS"), docs, w().state().GrdR, prompter);
        registerGroup(QStringLiteral("MEMO"));
        for (const char* f : {"A.TXT", "B.TXT"}) {
            w().registry().FileGroupSet(QStringLiteral("DOCS"), QString::fromLatin1(f));
            writeFile(docs + u'/' + QString::fromLatin1(f), "x");
        }
        for (const char* f : {"M1.TXT", "M2.TXT", "M3.TXT", "M4.TXT"}) {
            w().registry().FileGroupSet(QStringLiteral("MEMO"), QString::fromLatin1(f));
            writeFile(path(QString::fromLatin1(f)), "x");
            w().state().GrdR.setPlace(w().state().GrdR.count() + 1, QString::fromLatin1(f));
        }
        w().state().GrdR.setPlace(w().state().GrdR.count() + 1, docs + QStringLiteral("/A.TXT"));
        // Deleted files go to the trash of a new account's empty home; the
        // working folder must stay as empty as it starts.
        oldHome = qgetenv("HOME");
        oldData = qgetenv("XDG_DATA_HOME");
        oldCwd = QDir::currentPath();
        ASSERT_TRUE(QDir().mkpath(home()));
        ASSERT_TRUE(QDir().mkpath(work()));
        qputenv("HOME", QFile::encodeName(home()));
        qunsetenv("XDG_DATA_HOME");
        ASSERT_TRUE(QDir::setCurrent(work()));
        prompter.shown.clear();
    }
    void TearDown() override {
        QDir::setCurrent(oldCwd);
        EXPECT_TRUE(QDir(work()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        qputenv("HOME", oldHome);
        qputenv("XDG_DATA_HOME", oldData);
        MainWindowTest::TearDown();
    }
    QString home() const { return dir() + QStringLiteral("/home"); }
    QString work() const { return dir() + QStringLiteral("/work"); }
    QString homeTrash() const { return home() + QStringLiteral("/.local/share/Trash"); }
    QString dir() const { return folder.chopped(1); }
    QTableWidget* grid() { return widget<QTableWidget>(QStringLiteral("Grd1")); }
    QStringList shownRows() {
        QStringList out;
        for (const ExplorerRow& r : explorer->rows()) out << r.count + u'|' + r.file;
        return out;
    }
    void choose(const QString& group) {
        auto* combo = widget<QComboBox>(QStringLiteral("ComboBox1"));
        combo->setCurrentIndex(combo->findText(group));
    }
    QString docs;
    QByteArray oldHome, oldData;
    QString oldCwd;
};

TEST_F(ExplorerTest, OpensOverTheListShowsRowsAndReorders) {
    w().PGFClick();
    widget<QToolButton>(QStringLiteral("SpeedButton3"))->click();
    EXPECT_TRUE(visible(QStringLiteral("PnlExp")));
    EXPECT_FALSE(visible(QStringLiteral("PnlLst")));
    EXPECT_TRUE(widget(QStringLiteral("ImgF"))->isVisibleTo(explorer));
    // The longer group beside it gives one empty row.
    EXPECT_EQ(shownRows(), (QStringList{QStringLiteral("◇1|A.TXT"), QStringLiteral("◇2|B.TXT"), QStringLiteral("|")}));
    EXPECT_FALSE(widget<QPushButton>(QStringLiteral("BB1"))->isEnabled());

    // Drag B.TXT by its count cell above A.TXT.
    const QRect from = grid()->visualRect(grid()->model()->index(1, 0));
    const QRect to = grid()->visualRect(grid()->model()->index(0, 1));
    QTest::mousePress(grid()->viewport(), Qt::LeftButton, {}, from.center());
    QTest::mouseRelease(grid()->viewport(), Qt::LeftButton, {}, to.center());
    EXPECT_EQ(shownRows(), (QStringList{QStringLiteral("◇2|B.TXT"), QStringLiteral("◇1|A.TXT"), QStringLiteral("|")}));
    EXPECT_EQ(w().registry().filesOf(QStringLiteral("DOCS")), (QStringList{QStringLiteral("B.TXT"), QStringLiteral("A.TXT")}));
    EXPECT_EQ(labelText(QStringLiteral("Label9")), QStringLiteral("B.TXT"));
    // The empty row carries nothing and is no selection.
    explorer->moveRow(3, 1);
    EXPECT_EQ(w().registry().filesOf(QStringLiteral("DOCS")), (QStringList{QStringLiteral("B.TXT"), QStringLiteral("A.TXT")}));
    releaseOver(grid(), 3, 1);
    EXPECT_TRUE(labelText(QStringLiteral("Label9")).isEmpty());
    EXPECT_FALSE(widget<QPushButton>(QStringLiteral("BB2"))->isEnabled());

    // Esc closes it; the list stays hidden.
    QTest::keyClick(grid(), Qt::Key_Escape);
    EXPECT_FALSE(visible(QStringLiteral("PnlExp")));
    EXPECT_FALSE(visible(QStringLiteral("PnlLst")));
}

TEST_F(ExplorerTest, UnregisterThenAStaleSecondPressDeletesNothing) {
    widget<QToolButton>(QStringLiteral("SpeedButton3"))->click();
    releaseOver(grid(), 1, 1);
    ASSERT_EQ(labelText(QStringLiteral("Label9")), QStringLiteral("A.TXT"));
    prompter.okCancel = {false, true, true};
    widget<QPushButton>(QStringLiteral("BB1"))->click();
    EXPECT_EQ(w().registry().filesOf(QStringLiteral("DOCS")).size(), 2) << "Cancel changes nothing";
    widget<QPushButton>(QStringLiteral("BB1"))->click();
    EXPECT_EQ(prompter.shown.last(), QStringLiteral("okcancel: ﾌｧｲﾙ \"A.TXT\" を\r\nｸﾞﾙｰﾌﾟ \"DOCS\" から解除します"));
    EXPECT_EQ(w().registry().filesOf(QStringLiteral("DOCS")), QStringList{QStringLiteral("B.TXT")});
    EXPECT_FALSE(w().state().GrdR.entries().contains(docs + QStringLiteral("/A.TXT")));
    EXPECT_EQ(shownRows(), (QStringList{QStringLiteral("◇1|B.TXT"), QStringLiteral("◇2|")}));
    EXPECT_EQ(explorer->LblDelete(), docs + QStringLiteral("/A.TXT"));

    // The same selection again: the registry says so, and no file goes.
    widget<QPushButton>(QStringLiteral("BB2"))->click();
    EXPECT_EQ(prompter.messages(), QStringList{QStringLiteral("ﾌｧｲﾙ名検索ｴﾗｰ // frmTSMain.Kaijyo")});
    EXPECT_TRUE(QFile::exists(docs + QStringLiteral("/A.TXT")));
}

TEST_F(ExplorerTest, DeleteMovesAnInnerGroupFileToTheTrashAndReportsAFailure) {
    widget<QToolButton>(QStringLiteral("SpeedButton3"))->click();
    choose(QStringLiteral("MEMO"));
    EXPECT_FALSE(widget(QStringLiteral("ImgF"))->isVisibleTo(explorer));
    releaseOver(grid(), 2, 1);
    prompter.okCancel = {true, true};
    widget<QPushButton>(QStringLiteral("BB2"))->click();
    EXPECT_EQ(prompter.shown, QStringList{QStringLiteral("okcancel: ﾌｧｲﾙ \"M2.TXT\" を\r\nｸﾞﾙｰﾌﾟﾌｫﾙﾀﾞ \"MEMO\" 内から削除します")});
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("M2.TXT"))));
    EXPECT_TRUE(QFile::exists(homeTrash() + QStringLiteral("/files/M2.TXT")));
    QFile info(homeTrash() + QStringLiteral("/info/M2.TXT.trashinfo"));
    ASSERT_TRUE(info.open(QIODevice::ReadOnly));
    EXPECT_TRUE(info.readAll().startsWith("[Trash Info]\nPath=" +
                                          QFile::encodeName(QFileInfo(folder).canonicalFilePath()) + "/M2.TXT\n"));
    EXPECT_EQ(w().registry().filesOf(QStringLiteral("MEMO")),
              (QStringList{QStringLiteral("M1.TXT"), QStringLiteral("M3.TXT"), QStringLiteral("M4.TXT")}));

    // A file that vanished meanwhile: unregistered, and the failed delete is told.
    releaseOver(grid(), 2, 1);
    ASSERT_EQ(labelText(QStringLiteral("Label9")), QStringLiteral("M3.TXT"));
    QFile::remove(path(QStringLiteral("M3.TXT")));
    prompter.shown.clear();
    widget<QPushButton>(QStringLiteral("BB2"))->click();
    EXPECT_EQ(prompter.messages(), QStringList{QStringLiteral("\"") + path(QStringLiteral("M3.TXT")) +
                                               QStringLiteral("\" を削除できません\nﾌｧｲﾙが存在しません")});
    EXPECT_EQ(w().registry().filesOf(QStringLiteral("MEMO")), (QStringList{QStringLiteral("M1.TXT"), QStringLiteral("M4.TXT")}));
}

// Past ten files the file column stands beside the vertical scroll bar: no
// horizontal bar, no name under the vertical one.
TEST_F(ExplorerTest, FileColumnLeavesRoomForTheScrollBar) {
    for (int i = 1; i <= 20; ++i) w().registry().FileGroupSet(QStringLiteral("DOCS"), QStringLiteral("F%1.TXT").arg(i));
    w().show();
    widget<QToolButton>(QStringLiteral("SpeedButton3"))->click();
    choose(QStringLiteral("DOCS"));
    QApplication::processEvents();
    ASSERT_GT(grid()->rowCount(), 12);
    EXPECT_TRUE(grid()->verticalScrollBar()->isVisible());
    EXPECT_FALSE(grid()->horizontalScrollBar()->isVisible());
    EXPECT_LE(grid()->columnViewportPosition(1) + grid()->columnWidth(1), grid()->viewport()->width());
    EXPECT_GE(grid()->columnWidth(1), grid()->viewport()->width() - grid()->columnWidth(0) - 1);
}

// No trash can take the file (the data folder is a file): the user is asked
// before it is deleted for good, and a No keeps it.
TEST_F(ExplorerTest, DeleteWithoutATrashAsksFirst) {
    writeFile(dir() + QStringLiteral("/data"), "not a folder");
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir() + QStringLiteral("/data")));
    widget<QToolButton>(QStringLiteral("SpeedButton3"))->click();
    choose(QStringLiteral("MEMO"));
    const QString reason = QStringLiteral("\"") + dir() +
                           QStringLiteral("/data/Trash\" をごみ箱として使えません: フォルダではありません (Not a directory)");
    struct Case {
        int row;
        const char* file;
        bool yes;
    };
    for (const Case& c : {Case{1, "M1.TXT", false}, Case{1, "M2.TXT", true}}) {
        SCOPED_TRACE(c.file);
        const QString file = path(QString::fromLatin1(c.file));
        releaseOver(grid(), c.row, 1);
        ASSERT_EQ(labelText(QStringLiteral("Label9")), QString::fromLatin1(c.file));
        prompter.shown.clear();
        prompter.okCancel = {true};
        prompter.yesNo = {c.yes};
        widget<QPushButton>(QStringLiteral("BB2"))->click();
        ASSERT_EQ(prompter.shown.size(), 2);
        EXPECT_EQ(prompter.shown[1], QStringLiteral("yesno: \"") + file + QStringLiteral("\" をごみ箱に移せません。\n") +
                                         reason + QStringLiteral("\nごみ箱を使わずに完全に削除しますか？\n(元に戻すことはできません)"));
        EXPECT_EQ(QFile::exists(file), !c.yes);
    }
    EXPECT_EQ(w().registry().filesOf(QStringLiteral("MEMO")), (QStringList{QStringLiteral("M3.TXT"), QStringLiteral("M4.TXT")}));
}

TEST_F(ExplorerTest, NoGroupsShowTheMarkerAndClicksDoNothing) {
    w().registry().reset();
    widget<QToolButton>(QStringLiteral("SpeedButton3"))->click();
    EXPECT_EQ(shownRows(), QStringList{QStringLiteral("|...登録ｸﾞﾙｰﾌﾟ無し...")});
    EXPECT_FALSE(widget(QStringLiteral("P1"))->isVisibleTo(explorer));
    releaseOver(grid(), 1, 1);
    EXPECT_FALSE(widget<QPushButton>(QStringLiteral("BB1"))->isEnabled());
    widget<QToolButton>(QStringLiteral("SpeedButton3"))->click();
    EXPECT_FALSE(visible(QStringLiteral("PnlExp")));
}

} // namespace
} // namespace tess::testing
