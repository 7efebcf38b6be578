// The save-as dialog: where a document goes, what is registered and recorded,
// and what a refused or failed save leaves behind.

#include "fakehost.h"
#include "scriptedprompter.h"

#include "core/caption.h"
#include "core/editorstate.h"
#include "core/groupregistry.h"
#include "dialogs/TSSave.h"
#include "dialogs/savepath.h"
#include "mainwindow/documenthost.h"
#include "richtext/documentfile.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

namespace tess {
namespace {

using testing::FakeHost;

using testing::ScriptedPrompter;

QString slash(const QString& folder) { return folder.endsWith(u'/') ? folder : folder + u'/'; }

// Registers a folder group without importing anything from the history.
void addFolderGroup(GroupRegistry& registry, const QString& name, const QString& folder) {
    ScriptedPrompter answers;
    answers.yesNo.push_back(false);
    ASSERT_EQ(registry.Touroku(kind::kFolder, name, folder, FileHistory(), answers),
              TourokuResult::Registered);
}
void addInnerGroup(GroupRegistry& registry, const QString& name) {
    ScriptedPrompter none;
    ASSERT_EQ(registry.Touroku(kind::kInner, name, registry_text::kInnerPlaceholder, FileHistory(), none),
              TourokuResult::Registered);
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// The dialog over a fake host, with its widgets found by name.
struct Rig {
    explicit Rig(const QString& programFolder, PathStyle style = PathStyle::posix())
        : host(programFolder, style), dialog(host, prompter) {
        combo = dialog.findChild<QComboBox*>(QStringLiteral("ComboBox1"));
        edit = dialog.findChild<QLineEdit*>(QStringLiteral("Edit1"));
        rich = dialog.findChild<QPushButton*>(QStringLiteral("BitBtn1"));
        plain = dialog.findChild<QPushButton*>(QStringLiteral("BitBtn2"));
        cancel = dialog.findChild<QPushButton*>(QStringLiteral("BitBtn3"));
        icon = dialog.findChild<QWidget*>(QStringLiteral("P1"));
        folderIcon = dialog.findChild<QWidget*>(QStringLiteral("ImgF"));
        EXPECT_TRUE(combo && edit && rich && plain && cancel && icon && folderIcon);
    }
    // Shows the dialog as the caller would, types a name and presses a button.
    void saveWith(const QString& name, QPushButton* button, int groupIndex = 0) {
        dialog.show();
        combo->setCurrentIndex(groupIndex);
        edit->setText(name);
        button->click();
    }
    bool accepted() const { return !dialog.isVisible() && dialog.result() == QDialog::Accepted; }
    std::string shown() const { return prompter.shown.join(u'|').toStdString(); }

    ScriptedPrompter prompter;
    FakeHost host;
    TfrmSave dialog;
    QComboBox* combo = nullptr;
    QLineEdit* edit = nullptr;
    QPushButton* rich = nullptr;
    QPushButton* plain = nullptr;
    QPushButton* cancel = nullptr;
    QWidget* icon = nullptr;
    QWidget* folderIcon = nullptr;
};

QString programIn(const QTemporaryDir& dir) {
    EXPECT_TRUE(dir.isValid());
    const QString program = slash(dir.path() + QStringLiteral("/prog"));
    EXPECT_TRUE(QDir().mkpath(program));
    return program;
}

class SaveAsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString program = programIn(dir);
    Rig r{program};
    GroupRegistry& registry() { return r.host.registry(); }
    EditorState& state() { return r.host.state(); }
};

TEST_F(SaveAsTest, WindowTexts) {
    TfrmSave& d = r.dialog;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("名前を付けて保存"));
    EXPECT_TRUE(d.windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(d.size(), QSize(323, 197));
    EXPECT_EQ(d.font().pixelSize(), 15);
    EXPECT_TRUE(d.font().bold());
    EXPECT_EQ(d.font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("Label2"))->text(), QStringLiteral("グループ："));
    EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("ファイル名："));
    EXPECT_EQ(r.rich->text(), QStringLiteral("ﾘｯﾁﾃｷｽﾄﾌｧｲﾙ(．RTF)として保存"));
    EXPECT_EQ(r.plain->text(), QStringLiteral("通常ﾃｷｽﾄﾌｧｲﾙ(．TXT)として保存"));
    EXPECT_EQ(r.rich->palette().color(QPalette::ButtonText), QColor(128, 0, 128));
    EXPECT_EQ(r.plain->palette().color(QPalette::ButtonText), QColor(0, 0, 255));
    // The cancel button shows only its symbol.
    EXPECT_TRUE(r.cancel->text().isEmpty());
    EXPECT_FALSE(r.cancel->icon().isNull());
    EXPECT_FALSE(r.combo->isEditable());
    for (const char* name : {"Image1", "ImgI1", "ImgF"}) {
        const QLabel* picture = d.findChild<QLabel*>(QString::fromLatin1(name));
        ASSERT_NE(picture, nullptr) << name;
        EXPECT_FALSE(picture->pixmap().isNull()) << name;
    }
    const auto* memo = d.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
    ASSERT_NE(memo, nullptr);
    EXPECT_FALSE(memo->isEnabled());
    EXPECT_EQ(memo->toPlainText(),
              QStringLiteral("　ﾌｫﾙﾀﾞｸﾞﾙｰﾌﾟを選択すると 自動的に登録されたﾌｫﾙﾀﾞ\n"
                             "に保存されます。\n"
                             "　ｲﾝﾅｰｸﾞﾙｰﾌﾟ及び \"ｸﾞﾙｰﾌﾟ 無し\" の場合は すべてソ\n"
                             "フトの起動ﾌｫﾙﾀﾞ内に保存されます。"));
}

// Without a group a document goes to the program folder under a bare name,
// is recorded and marked clean, registered nowhere, and offered next time.
TEST_F(SaveAsTest, NamesAndTheirFiles) {
    struct Case {
        QString name;
        bool richText;
        QString file;
    };
    const QList<Case> cases = {
        {QStringLiteral("MEMO.TXT"), false, QStringLiteral("MEMO.TXT")},
        {QStringLiteral("MEMO.TXT"), true, QStringLiteral("MEMO.RTF")},
        {QStringLiteral("A.TXT.RTF"), false, QStringLiteral("A.TXT")},
        {QStringLiteral("A.TXT.RTF"), true, QStringLiteral("A.RTF")},
        {QStringLiteral("A.DOC"), false, QStringLiteral("A.DOC.TXT")},
        {QStringLiteral("A.DOC"), true, QStringLiteral("A.DOC.RTF")},
        {QStringLiteral("MY MEMO"), false, QStringLiteral("MY MEMO.TXT")},
        {QStringLiteral("　メモ　"), false, QStringLiteral("　メモ　.TXT")},
        // An ending typed in another letter case is kept as typed.
        {QStringLiteral("notes.txt"), false, QStringLiteral("notes.txt")},
        {QStringLiteral("Plan.Rtf"), true, QStringLiteral("Plan.Rtf")},
        {QStringLiteral("notes.txt"), true, QStringLiteral("notes.RTF")},
    };
    QStringList files;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        r.host.document.setModified(true);
        state().LblUpdate = flag::kSet;
        r.saveWith(c.name, c.richText ? r.rich : r.plain);
        EXPECT_TRUE(r.accepted());
        files << c.file;
        QFile file(program + c.file);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.readAll().startsWith(c.richText ? "{\\rtf" : "hello "));
        EXPECT_EQ(state().LblFullName(), c.file);
        EXPECT_EQ(state().LblFName(), c.file);
        EXPECT_EQ(state().LblGName(), QString());
        EXPECT_EQ(r.host.caption, QStringLiteral("Tessarine  // [ｸﾞﾙｰﾌﾟなし] / ") + c.file);
        EXPECT_EQ(state().GrdR.place(1), c.file);
        EXPECT_FALSE(r.host.document.isModified());
        EXPECT_TRUE(state().LblUpdate.isEmpty());
        // The next showing offers the new name, bare, with no group.
        r.dialog.show();
        EXPECT_EQ(r.edit->text(), c.file);
        EXPECT_EQ(r.combo->currentIndex(), 0);
        r.dialog.hide();
    }
    files.sort();
    EXPECT_EQ(filesIn(program), files);
    EXPECT_EQ(state().GrdR.count(), cases.size());
    EXPECT_FALSE(registry().hasGroups());
    EXPECT_TRUE(r.prompter.shown.isEmpty()) << r.shown();
}

// A document "b.txt" of a folder group saved again through save-as with the
// offered name stays that one file: no "b.TXT" appears beside it, no question
// is asked about replacing it, and the group lists it once.
TEST_F(SaveAsTest, OfferedLowerCaseNameSavesTheSameFile) {
    const QString docs = dir.path() + QStringLiteral("/Docs");
    ASSERT_TRUE(QDir().mkpath(docs));
    addFolderGroup(registry(), QStringLiteral("DOCS"), docs);
    const QString own = docs + QStringLiteral("/b.txt");
    QFile f(own);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old text\r\n");
    f.close();
    registry().FileGroupSet(QStringLiteral("DOCS"), QStringLiteral("b.txt"));
    state().setLblGName(QStringLiteral("DOCS"));
    state().setLblFName(QStringLiteral("b.txt"));
    state().setLblFullName(own);
    r.host.document.setModified(true);

    r.dialog.show();
    ASSERT_EQ(r.edit->text(), QStringLiteral("b.txt"));
    ASSERT_EQ(r.combo->currentText(), QStringLiteral("DOCS"));
    r.plain->click();
    ASSERT_TRUE(r.accepted());
    EXPECT_TRUE(r.prompter.shown.isEmpty()) << r.shown();
    EXPECT_EQ(r.host.writes, QStringList{own});
    EXPECT_EQ(filesIn(docs), QStringList{QStringLiteral("b.txt")});
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("hello "));
    EXPECT_EQ(registry().filesOf(QStringLiteral("DOCS")), QStringList{QStringLiteral("b.txt")});
    EXPECT_EQ(state().LblFullName(), own);
    EXPECT_EQ(state().LblFName(), QStringLiteral("b.txt"));

    // Another document under the typed name is still asked about, by the name
    // that is really replaced.
    QFile other(docs + QStringLiteral("/c.Txt"));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.close();
    r.prompter.yesNo.push_back(false);
    r.saveWith(QStringLiteral("c.Txt"), r.plain, 1);
    EXPECT_EQ(r.prompter.shown,
              QStringList{QStringLiteral("yesno: ﾌｧｲﾙ \"c.Txt\" は既にあります。\n置き換えますか？")});
    EXPECT_EQ(filesIn(docs), (QStringList{QStringLiteral("b.txt"), QStringLiteral("c.Txt")}));
}

// Blank names, and names that would leave the group's folder by the path
// style's own rules, are refused and change nothing; on POSIX "\\" and ":" are
// ordinary characters.
TEST(SaveAsNames, RefusedNamesChangeNothing) {
    QTemporaryDir dir;
    const QString blank = QStringLiteral("message: ﾌｧｲﾙ名が記入されていません");
    const QString windowsSeparator = QStringLiteral("message: ﾌｧｲﾙ名に \\ や / は使えません");
    const QString posixSeparator = QStringLiteral("message: ﾌｧｲﾙ名に / は使えません");
    struct Case {
        bool windows;
        QString name;
        QString message;  // empty: saved
    };
    const QList<Case> cases = {
        {false, QStringLiteral("　　"), blank},      {false, QStringLiteral(" "), blank},
        {false, QString(), blank},                    {false, QStringLiteral(" 　 "), blank},
        {false, QStringLiteral(".TXT"), blank},       {false, QStringLiteral(" .RTF.TXT"), blank},
        {true, QStringLiteral(" .TXT"), blank},       {true, QStringLiteral("SUB\\A"), windowsSeparator},
        {true, QStringLiteral("../A"), windowsSeparator}, {true, QStringLiteral("D:A"), windowsSeparator},
        {false, QStringLiteral("SUB/A"), posixSeparator}, {false, QStringLiteral("../A"), posixSeparator},
        {false, QStringLiteral("A\\B"), QString()},   {false, QStringLiteral("A:B"), QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.windows ? "windows " : "posix ") + c.name.toStdString());
        Rig s(c.windows ? QStringLiteral("C:\\PROG\\") : dir.path() + u'/',
              c.windows ? PathStyle::windows() : PathStyle::posix());
        s.host.state().setLblFName(QStringLiteral("OLD.TXT"));
        s.saveWith(c.name, s.plain);
        if (c.message.isEmpty()) {
            EXPECT_TRUE(s.prompter.shown.isEmpty()) << s.shown();
            EXPECT_TRUE(QFile::exists(dir.path() + u'/' + c.name + QStringLiteral(".TXT")));
            EXPECT_FALSE(s.dialog.isVisible());
            continue;
        }
        EXPECT_EQ(s.prompter.shown, QStringList{c.message});
        // A blank name is cleared; a refused one is left to correct.
        EXPECT_EQ(s.edit->text(), c.message == blank ? QString() : c.name);
        EXPECT_TRUE(s.dialog.isVisible());
        EXPECT_TRUE(s.host.writes.isEmpty());
        EXPECT_EQ(s.host.state().LblFName(), QStringLiteral("OLD.TXT"));
        EXPECT_TRUE(s.host.state().LblFullName().isEmpty());
        EXPECT_TRUE(s.host.document.isModified());
        EXPECT_EQ(s.host.caption, caption::kNewFile + caption::kModifiedMarker);
    }
    EXPECT_EQ(filesIn(dir.path()), (QStringList{QStringLiteral("A:B.TXT"), QStringLiteral("A\\B.TXT")}));
}

// A folder group saves into its folder, registering a name once however often
// it is saved; an inner group saves into the program folder; a folder group
// on the program folder (without its trailing separator) gives a bare name.
TEST_F(SaveAsTest, GroupsDecideTheFolderAndRegisterTheName) {
    const QString docs = dir.path() + QStringLiteral("/Docs");
    ASSERT_TRUE(QDir().mkpath(docs));
    addFolderGroup(registry(), QStringLiteral("DOCS"), docs);
    addInnerGroup(registry(), QStringLiteral("メモ帳"));
    addFolderGroup(registry(), QStringLiteral("HOME"), program.chopped(1));
    struct Case {
        int index;
        QString name;
        bool richText;
        QString fullName, group, file;
    };
    const QString inDocs = docs + QStringLiteral("/A.TXT");
    const QList<Case> cases = {
        {1, QStringLiteral("A"), false, inDocs, QStringLiteral("DOCS"), QStringLiteral("A.TXT")},
        {1, QStringLiteral("A"), false, inDocs, QStringLiteral("DOCS"), QStringLiteral("A.TXT")},  // again
        {3, QStringLiteral("B"), true, QStringLiteral("B.RTF"), QStringLiteral("メモ帳"), QStringLiteral("B.RTF")},
        {2, QStringLiteral("C"), false, QStringLiteral("C.TXT"), QStringLiteral("HOME"), QStringLiteral("C.TXT")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fullName.toStdString());
        r.host.document.setModified(true);
        r.saveWith(c.name, c.richText ? r.rich : r.plain, c.index);
        ASSERT_TRUE(r.accepted());
        EXPECT_EQ(state().LblFullName(), c.fullName);
        EXPECT_EQ(state().LblGName(), c.group);
        EXPECT_EQ(state().GrdR.place(1), c.fullName);
        EXPECT_EQ(r.host.caption, QStringLiteral("Tessarine  // ") + c.group + QStringLiteral(" / ") + c.file);
    }
    EXPECT_TRUE(QFile::exists(inDocs));
    EXPECT_EQ(filesIn(program), (QStringList{QStringLiteral("B.RTF"), QStringLiteral("C.TXT")}));
    EXPECT_EQ(registry().filesOf(QStringLiteral("DOCS")), QStringList{QStringLiteral("A.TXT")});
    EXPECT_EQ(registry().filesOf(QStringLiteral("メモ帳")), QStringList{QStringLiteral("B.RTF")});
    EXPECT_EQ(registry().filesOf(QStringLiteral("HOME")), QStringList{QStringLiteral("C.TXT")});
    EXPECT_EQ(state().GrdR.count(), 3);
    EXPECT_TRUE(r.prompter.shown.isEmpty()) << r.shown();
}

// Only a folder written exactly like the program folder makes the path a bare
// name: the history entry must stay what unregistering the group builds.
// The program folder is compared as the path style folds it, as the open
// dialog compares it: under Windows a folder reported in other letter case is
// still the program folder, and unregistering finds the same history key.
TEST(SaveAsProgramFolder, ComparedAsThePathStyleFoldsIt) {
    const struct {
        QString programFolder;  // as the system reports it
        QString fullName;
    } cases[] = {
        {QStringLiteral("C:\\Prog\\"), QStringLiteral("C.TXT")},
        {QStringLiteral("C:\\PROG\\"), QStringLiteral("C.TXT")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.programFolder.toStdString());
        Rig s(c.programFolder, PathStyle::windows());
        s.host.forced = DocumentHost::WriteOutcome::Written;
        addFolderGroup(s.host.registry(), QStringLiteral("HOME"), QStringLiteral("C:\\prog"));
        s.saveWith(QStringLiteral("C"), s.plain, 1);
        EXPECT_EQ(s.host.writes, QStringList{QStringLiteral("C:\\PROG\\C.TXT")});
        EXPECT_EQ(s.host.state().LblFullName(), c.fullName);
        EXPECT_EQ(s.host.state().GrdR.place(1), c.fullName);
        EXPECT_TRUE(s.prompter.shown.isEmpty()) << s.shown();
        ScriptedPrompter quiet;
        EXPECT_TRUE(s.host.registry().Kaijyo(QStringLiteral("HOME"), QStringLiteral("C.TXT"), s.host.state().GrdR, quiet).ok);
        EXPECT_TRUE(s.host.state().GrdR.place(1).isEmpty());
    }
}

// A missing folder, a file that cannot be created (blamed on the group's
// folder) or any other failed write (the system's reason): the dialog stays
// open and nothing is recorded.
TEST_F(SaveAsTest, FailedSavesRecordNothing) {
    const QString nowhere = dir.path() + QStringLiteral("/nowhere");
    addFolderGroup(registry(), QStringLiteral("GONE"), nowhere);
    addInnerGroup(registry(), QStringLiteral("IN"));
    const struct {
        int index;
        std::optional<DocumentHost::WriteOutcome> forced;
        QString shown;
    } cases[] = {
        {1, std::nullopt, QStringLiteral("message: ｸﾞﾙｰﾌﾟ \"GONE\" に指定されたﾌｫﾙﾀﾞが存在しません")},
        {2, DocumentHost::WriteOutcome::CannotCreate,
         QStringLiteral("message: ｸﾞﾙｰﾌﾟ \"IN\" に指定されたﾌｫﾙﾀﾞが存在しません")},
        {2, DocumentHost::WriteOutcome::Failed,
         QStringLiteral("error: forced: ") + program + QStringLiteral("A.TXT")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown.toStdString());
        r.prompter.shown.clear();
        r.host.forced = c.forced;
        r.saveWith(QStringLiteral("A"), r.plain, c.index);
        EXPECT_EQ(r.prompter.shown, QStringList{c.shown});
        EXPECT_TRUE(r.dialog.isVisible());
        EXPECT_EQ(state().LblFName(), QStringLiteral("A.TXT"));
        EXPECT_EQ(r.edit->text(), QStringLiteral("A.TXT"));
        EXPECT_TRUE(state().LblFullName().isEmpty());
        EXPECT_TRUE(registry().filesOf(QStringLiteral("GONE")).isEmpty());
        EXPECT_TRUE(registry().filesOf(QStringLiteral("IN")).isEmpty());
        EXPECT_EQ(state().GrdR.count(), 0);
        EXPECT_TRUE(r.host.document.isModified());
        EXPECT_EQ(r.host.caption, caption::kNewFile + caption::kModifiedMarker);
    }
    EXPECT_FALSE(QDir(nowhere).exists());
}

TEST(SaveAsFailure, MissingProgramFolderNamesTheNoGroupEntry) {
    QTemporaryDir dir;
    Rig s(slash(dir.path() + QStringLiteral("/missing")));
    s.saveWith(QStringLiteral("A"), s.rich);
    EXPECT_EQ(s.prompter.shown,
              QStringList{QStringLiteral("message: ｸﾞﾙｰﾌﾟ \"[グループ無し]\" に指定されたﾌｫﾙﾀﾞが存在しません")});
    EXPECT_TRUE(s.dialog.isVisible());
    EXPECT_TRUE(s.host.document.isModified());
    EXPECT_EQ(s.host.state().GrdR.count(), 0);
}

TEST_F(SaveAsTest, DeclinedPlainTextKeepsTheDialogOpen) {
    addInnerGroup(registry(), QStringLiteral("IN"));
    r.host.document.setPlainText(QStringLiteral("emoji \U0001F600 cannot be Shift-JIS"));
    r.host.document.setModified(true);
    r.saveWith(QStringLiteral("E"), r.plain, 1);

    EXPECT_TRUE(r.prompter.shown.isEmpty()) << r.shown();
    EXPECT_TRUE(r.dialog.isVisible());
    EXPECT_EQ(r.host.writes, QStringList{program + QStringLiteral("E.TXT")});
    EXPECT_FALSE(QFile::exists(program + QStringLiteral("E.TXT")));
    EXPECT_TRUE(registry().filesOf(QStringLiteral("IN")).isEmpty());
    EXPECT_TRUE(state().LblFullName().isEmpty());
    EXPECT_TRUE(r.host.document.isModified());

    // Rich text holds every character: the same name then saves.
    r.rich->click();
    EXPECT_TRUE(r.accepted());
    EXPECT_EQ(state().LblFullName(), QStringLiteral("E.RTF"));
}

// Every showing rebuilds the choices, preselects the current group (none when
// it is no longer registered) and shows its kind icon.
TEST_F(SaveAsTest, PreselectionAndKindIcon) {
    addFolderGroup(registry(), QStringLiteral("DOCS"), dir.path());
    addInnerGroup(registry(), QStringLiteral("IN1"));
    addFolderGroup(registry(), QStringLiteral("WORK"), dir.path());
    addInnerGroup(registry(), QStringLiteral("IN2"));
    const struct {
        QString current;
        int index;
        bool icon;
        bool folder;
    } cases[] = {
        {QString(), 0, false, false},
        {QStringLiteral("DOCS"), 1, true, true},
        {QStringLiteral("WORK"), 2, true, true},
        {QStringLiteral("IN1"), 3, true, false},
        {QStringLiteral("IN2"), 4, true, false},
        {QStringLiteral("OLD"), 0, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.current.toStdString());
        state().setLblGName(c.current);
        state().setLblFName(QStringLiteral("X") + c.current + QStringLiteral(".TXT"));
        r.dialog.show();
        QStringList items;
        for (int i = 0; i < r.combo->count(); ++i) items << r.combo->itemText(i);
        EXPECT_EQ(items, (QStringList{QStringLiteral("[グループ無し]"), QStringLiteral("DOCS"),
                                      QStringLiteral("WORK"), QStringLiteral("IN1"), QStringLiteral("IN2")}));
        EXPECT_EQ(r.combo->currentIndex(), c.index);
        EXPECT_EQ(!r.icon->isHidden(), c.icon);
        if (c.icon) {
            EXPECT_EQ(!r.folderIcon->isHidden(), c.folder);
        }
        EXPECT_EQ(r.edit->text(), QStringLiteral("X") + c.current + QStringLiteral(".TXT"));
        r.dialog.hide();
    }
    addInnerGroup(registry(), QStringLiteral("IN3"));
    r.dialog.show();
    EXPECT_EQ(r.combo->count(), 6);

    // Picking another group updates the icon at once.
    r.combo->setCurrentIndex(2);
    EXPECT_FALSE(r.icon->isHidden());
    EXPECT_FALSE(r.folderIcon->isHidden());
    r.combo->setCurrentIndex(4);
    EXPECT_FALSE(r.icon->isHidden());
    EXPECT_TRUE(r.folderIcon->isHidden());
    r.combo->setCurrentIndex(0);
    EXPECT_TRUE(r.icon->isHidden());
}

TEST_F(SaveAsTest, CancelEscapeAndEnterChangeNothing) {
    addInnerGroup(registry(), QStringLiteral("IN"));
    state().setLblFName(QStringLiteral("KEEP.TXT"));
    const auto unchanged = [&] {
        EXPECT_TRUE(r.host.writes.isEmpty());
        EXPECT_TRUE(filesIn(program).isEmpty());
        EXPECT_EQ(state().LblFName(), QStringLiteral("KEEP.TXT"));
        EXPECT_TRUE(state().LblFullName().isEmpty());
        EXPECT_TRUE(state().LblGName().isEmpty());
        EXPECT_TRUE(registry().filesOf(QStringLiteral("IN")).isEmpty());
        EXPECT_TRUE(r.host.document.isModified());
        EXPECT_TRUE(r.prompter.shown.isEmpty());
    };

    r.dialog.show();
    r.combo->setCurrentIndex(1);
    r.edit->setText(QStringLiteral("NEW"));
    r.cancel->click();
    EXPECT_FALSE(r.dialog.isVisible());
    EXPECT_EQ(r.dialog.result(), QDialog::Rejected);
    unchanged();

    r.dialog.show();
    r.edit->setFocus();
    QTest::keyClick(r.edit, Qt::Key_Return);
    QTest::keyClick(r.edit, Qt::Key_Enter);
    EXPECT_TRUE(r.dialog.isVisible());
    unchanged();

    QTest::keyClick(r.edit, Qt::Key_Escape);
    EXPECT_FALSE(r.dialog.isVisible());
    EXPECT_EQ(r.dialog.result(), QDialog::Rejected);
    unchanged();
}

TEST(SaveAsNameField, FoldsAsThePathStyleStoresNames) {
    QTemporaryDir dir;
    Rig windows(QStringLiteral("C:\\PROG\\"), PathStyle::windows());
    windows.dialog.show();
    windows.edit->setFocus();
    QTest::keyClicks(windows.edit, QStringLiteral("memo"));
    EXPECT_EQ(windows.edit->text(), QStringLiteral("MEMO"));
    EXPECT_EQ(windows.edit->cursorPosition(), 4);
    windows.edit->setText(QStringLiteral("ｍｅｍｏ.txt 日記"));
    EXPECT_EQ(windows.edit->text(), QStringLiteral("ｍｅｍｏ.TXT 日記"));
    windows.dialog.hide();

    Rig posix(dir.path() + u'/');
    posix.dialog.show();
    posix.edit->setFocus();
    QTest::keyClicks(posix.edit, QStringLiteral("Memo"));
    EXPECT_EQ(posix.edit->text(), QStringLiteral("Memo"));
}

// Names are upper case on Windows, so only an upper-case ending is dropped
// there; POSIX ignores the ending's letter case.
TEST(BuildSavePath, EndingsFoldersAndPathStyles) {
    ScriptedPrompter answers;
    answers.yesNo = {false, false, false};
    GroupRegistry win(PathStyle::windows(), QStringLiteral("C:\\PROG\\"));
    win.Touroku(kind::kFolder, QStringLiteral("DOCS"), QStringLiteral("D:\\DOCS"), FileHistory(), answers);
    win.Touroku(kind::kFolder, QStringLiteral("ROOT"), QStringLiteral("E:\\A\\"), FileHistory(), answers);
    win.Touroku(kind::kInner, QStringLiteral("IN"), QStringLiteral("X"), FileHistory(), answers);
    ASSERT_EQ(win.groupList(), (QStringList{QStringLiteral("DOCS"), QStringLiteral("ROOT"), QStringLiteral("IN")}));
    GroupRegistry posix(PathStyle::posix(), QStringLiteral("/opt/tess/"));
    posix.Touroku(kind::kFolder, QStringLiteral("DOCS"), QStringLiteral("/home/u/Docs"), FileHistory(), answers);

    struct Case {
        bool windows;
        QString name, group, path;
    };
    const QList<Case> cases = {
        {true, QStringLiteral("MEMO.TXT"), QString(), QStringLiteral("C:\\PROG\\MEMO")},
        {true, QStringLiteral("MEMO.RTF"), QStringLiteral("IN"), QStringLiteral("C:\\PROG\\MEMO")},
        {true, QStringLiteral("A.TXT.RTF"), QString(), QStringLiteral("C:\\PROG\\A")},
        {true, QStringLiteral("A.RTF.TXT"), QString(), QStringLiteral("C:\\PROG\\A")},
        {true, QStringLiteral("A..TXTTXT"), QString(), QStringLiteral("C:\\PROG\\A")},
        {true, QStringLiteral("A.T.RTFXT"), QString(), QStringLiteral("C:\\PROG\\A")},
        {true, QStringLiteral(".TXTB.TXT"), QString(), QStringLiteral("C:\\PROG\\B")},
        {true, QStringLiteral("A.DOC"), QStringLiteral("DOCS"), QStringLiteral("D:\\DOCS\\A.DOC")},
        {true, QStringLiteral("MY MEMO"), QStringLiteral("DOCS"), QStringLiteral("D:\\DOCS\\MY MEMO")},
        {true, QStringLiteral("A.TXTX"), QStringLiteral("DOCS"), QStringLiteral("D:\\DOCS\\AX")},
        {true, QStringLiteral("a.txt"), QString(), QStringLiteral("C:\\PROG\\a.txt")},
        // The separator follows the folder as registered, like the history key.
        {true, QStringLiteral("B"), QStringLiteral("ROOT"), QStringLiteral("E:\\A\\\\B")},
        {true, QStringLiteral("B"), QStringLiteral("NOT REGISTERED"), QStringLiteral("C:\\PROG\\B")},
        {false, QStringLiteral("memo.txt"), QString(), QStringLiteral("/opt/tess/memo")},
        {false, QStringLiteral("Notes.Rtf"), QStringLiteral("DOCS"), QStringLiteral("/home/u/Docs/Notes")},
        {false, QStringLiteral("a.TxT.rtf"), QString(), QStringLiteral("/opt/tess/a")},
        {false, QStringLiteral("Plan.doc"), QString(), QStringLiteral("/opt/tess/Plan.doc")},
        {false, QStringLiteral("My Memo"), QStringLiteral("DOCS"), QStringLiteral("/home/u/Docs/My Memo")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.name + u'|' + c.group).toStdString());
        EXPECT_EQ(BuildSavePath(c.name, c.group, c.windows ? win : posix,
                                c.windows ? QStringLiteral("C:\\PROG\\") : QStringLiteral("/opt/tess/")),
                  c.path);
    }
}

} // namespace
} // namespace tess

namespace tess {
namespace {

// Another document under the chosen name is replaced only after a Yes; the
// open document saved again under its own name is not a question.
TEST_F(SaveAsTest, ReplacingAnotherDocumentAsksFirst) {
    const QString other = program + QStringLiteral("memo.TXT");
    QFile f(other);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("another document");
    f.close();
    const QString question =
        QStringLiteral("yesno: ﾌｧｲﾙ \"memo.TXT\" は既にあります。\n置き換えますか？");

    r.prompter.yesNo.push_back(false);
    r.saveWith(QStringLiteral("memo"), r.plain);
    EXPECT_EQ(r.prompter.shown, QStringList{question});
    EXPECT_TRUE(r.dialog.isVisible());
    EXPECT_TRUE(r.host.writes.isEmpty());
    EXPECT_TRUE(state().LblFullName().isEmpty());
    EXPECT_TRUE(r.host.document.isModified());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "another document");
    f.close();

    r.prompter.shown.clear();
    r.prompter.yesNo.push_back(true);
    r.plain->click();
    EXPECT_EQ(r.prompter.shown, QStringList{question});
    EXPECT_TRUE(r.accepted());
    EXPECT_EQ(state().LblFullName(), QStringLiteral("memo.TXT"));

    // Now it is the open document's own file: saved again without a question,
    // and a new name that exists nowhere is no question either.
    r.prompter.shown.clear();
    r.saveWith(QStringLiteral("memo"), r.plain);
    EXPECT_TRUE(r.accepted());
    r.saveWith(QStringLiteral("fresh"), r.rich);
    EXPECT_TRUE(r.accepted());
    EXPECT_TRUE(r.prompter.shown.isEmpty()) << r.shown();
    EXPECT_EQ(filesIn(program), (QStringList{QStringLiteral("fresh.RTF"), QStringLiteral("memo.TXT")}));
}

} // namespace
} // namespace tess
