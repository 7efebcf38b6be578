// The save-as dialog: where a document goes, what is registered and recorded,
// and what a refused or failed save leaves behind.

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

using testing::ScriptedPrompter;

// Stands in for the main window: the editor's document, the state, the
// registry, and the document steps the dialog calls.
class FakeHost : public DocumentHost {
public:
    FakeHost(const QString& programFolder, PathStyle style = PathStyle::posix())
        : state_(style), registry_(style, programFolder), folder_(programFolder) {
        document.setPlainText(QStringLiteral("hello 日本語"));
        document.setModified(true);
        state_.LblUpdate = flag::kSet;
        caption = caption::kNewFile + caption::kModifiedMarker;
    }

    EditorState& state() override { return state_; }
    GroupRegistry& registry() override { return registry_; }
    QString programFolder() const override { return folder_; }

    WriteOutcome writeDocument(const QString& path, QString* error) override {
        writes << path;
        if (forced) {
            if (error) *error = QStringLiteral("forced: ") + path;
            return *forced;
        }
        const WriteResult r = WriteDocument(path, document, state_.style());
        switch (r.status) {
        case WriteResult::Status::Ok:
            return WriteOutcome::Written;
        case WriteResult::Status::Unencodable:
            return WriteOutcome::Declined;  // as if the user said No
        case WriteResult::Status::CannotCreate:
            if (error) *error = r.error;
            return WriteOutcome::CannotCreate;
        case WriteResult::Status::Failed:
            if (error) *error = r.error;
            return WriteOutcome::Failed;
        }
        return WriteOutcome::Failed;
    }
    void RirekiSet() override {
        state_.GrdR.RirekiSet(state_.LblFullName());
        caption = caption::forDocument(state_.LblGName(), state_.LblFullName(), state_.style());
        if (!state_.LblUpdate.isEmpty()) caption += caption::kModifiedMarker;
    }
    void MarkClean() override {
        document.setModified(false);
        state_.LblUpdate.clear();
        caption = caption::withoutMarker(caption);
    }

    QTextDocument document;
    QString caption;
    QStringList writes;
    std::optional<WriteOutcome> forced;  // answer this instead of writing

private:
    EditorState state_;
    GroupRegistry registry_;
    QString folder_;
};

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

class SaveAsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        program = slash(dir.path() + QStringLiteral("/prog"));
        ASSERT_TRUE(QDir().mkpath(program));
        host = std::make_unique<FakeHost>(program);
        dialog = std::make_unique<TfrmSave>(*host, prompter);
        combo = dialog->findChild<QComboBox*>(QStringLiteral("ComboBox1"));
        edit = dialog->findChild<QLineEdit*>(QStringLiteral("Edit1"));
        rich = dialog->findChild<QPushButton*>(QStringLiteral("BitBtn1"));
        plain = dialog->findChild<QPushButton*>(QStringLiteral("BitBtn2"));
        cancel = dialog->findChild<QPushButton*>(QStringLiteral("BitBtn3"));
        icon = dialog->findChild<QWidget*>(QStringLiteral("P1"));
        folderIcon = dialog->findChild<QWidget*>(QStringLiteral("ImgF"));
        ASSERT_TRUE(combo && edit && rich && plain && cancel && icon && folderIcon);
    }

    // Shows the dialog as the caller would, types a name and presses a button.
    void saveWith(const QString& name, QPushButton* button, int groupIndex = 0) {
        dialog->show();
        combo->setCurrentIndex(groupIndex);
        edit->setText(name);
        button->click();
    }
    bool accepted() const { return !dialog->isVisible() && dialog->result() == QDialog::Accepted; }

    QTemporaryDir dir;
    QString program;
    ScriptedPrompter prompter;
    std::unique_ptr<FakeHost> host;
    std::unique_ptr<TfrmSave> dialog;
    QComboBox* combo = nullptr;
    QLineEdit* edit = nullptr;
    QPushButton* rich = nullptr;
    QPushButton* plain = nullptr;
    QPushButton* cancel = nullptr;
    QWidget* icon = nullptr;
    QWidget* folderIcon = nullptr;
};

TEST_F(SaveAsTest, WindowTextsAndLayout) {
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("名前を付けて保存"));
    EXPECT_TRUE(dialog->windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(dialog->size(), QSize(323, 197));
    EXPECT_EQ(dialog->font().pixelSize(), 15);
    EXPECT_TRUE(dialog->font().bold());
    EXPECT_EQ(dialog->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(dialog->findChild<QLabel*>(QStringLiteral("Label2"))->text(), QStringLiteral("グループ："));
    EXPECT_EQ(dialog->findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("ファイル名："));
    EXPECT_EQ(rich->text(), QStringLiteral("ﾘｯﾁﾃｷｽﾄﾌｧｲﾙ(．RTF)として保存"));
    EXPECT_EQ(plain->text(), QStringLiteral("通常ﾃｷｽﾄﾌｧｲﾙ(．TXT)として保存"));
    EXPECT_EQ(rich->palette().color(QPalette::ButtonText), QColor(128, 0, 128));
    EXPECT_EQ(plain->palette().color(QPalette::ButtonText), QColor(0, 0, 255));
    // The cancel button shows only its symbol.
    EXPECT_TRUE(cancel->text().isEmpty());
    EXPECT_FALSE(cancel->icon().isNull());
    EXPECT_EQ(combo->width(), 186);
    EXPECT_FALSE(combo->isEditable());
    EXPECT_EQ(edit->width(), 186);
    EXPECT_EQ(icon->size(), QSize(20, 20));
    EXPECT_EQ(dialog->findChild<QWidget*>(QStringLiteral("Panel1"))->width(), 20);
    for (const char* name : {"Image1", "ImgI1", "ImgF"}) {
        const QLabel* picture = dialog->findChild<QLabel*>(QString::fromLatin1(name));
        ASSERT_NE(picture, nullptr) << name;
        EXPECT_FALSE(picture->pixmap().isNull()) << name;
    }

    const auto* memo = dialog->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
    ASSERT_NE(memo, nullptr);
    EXPECT_FALSE(memo->isEnabled());
    EXPECT_NE(memo->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(memo->toPlainText(),
              QStringLiteral("　ﾌｫﾙﾀﾞｸﾞﾙｰﾌﾟを選択すると 自動的に登録されたﾌｫﾙﾀﾞ\n"
                             "に保存されます。\n"
                             "　ｲﾝﾅｰｸﾞﾙｰﾌﾟ及び \"ｸﾞﾙｰﾌﾟ 無し\" の場合は すべてソ\n"
                             "フトの起動ﾌｫﾙﾀﾞ内に保存されます。"));
}

TEST_F(SaveAsTest, PlainTextWithoutGroupGoesToTheProgramFolder) {
    saveWith(QStringLiteral("MEMO.TXT"), plain);

    EXPECT_TRUE(accepted());
    EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.shown.join(u'|').toStdString();
    EXPECT_EQ(filesIn(program), QStringList{QStringLiteral("MEMO.TXT")});
    QFile file(program + QStringLiteral("MEMO.TXT"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("hello "));
    EXPECT_EQ(host->state().LblFullName(), QStringLiteral("MEMO.TXT"));
    EXPECT_EQ(host->state().LblFName(), QStringLiteral("MEMO.TXT"));
    EXPECT_EQ(host->state().LblGName(), QString());
    EXPECT_EQ(host->caption, QStringLiteral("Tessarine  // [ｸﾞﾙｰﾌﾟなし] / MEMO.TXT"));
    EXPECT_EQ(host->state().GrdR.entries(), QStringList{QStringLiteral("MEMO.TXT")});
    EXPECT_FALSE(host->document.isModified());
    EXPECT_TRUE(host->state().LblUpdate.isEmpty());
    // A document saved without a group is registered nowhere.
    EXPECT_FALSE(host->registry().hasGroups());
}

TEST_F(SaveAsTest, RichTextReplacesTheEndingAndIsOfferedNextTime) {
    saveWith(QStringLiteral("MEMO.TXT"), rich);

    ASSERT_TRUE(accepted());
    EXPECT_EQ(filesIn(program), QStringList{QStringLiteral("MEMO.RTF")});
    QFile file(program + QStringLiteral("MEMO.RTF"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("{\\rtf"));
    EXPECT_EQ(host->state().LblFullName(), QStringLiteral("MEMO.RTF"));

    // The next showing offers the new name, bare.
    dialog->show();
    EXPECT_EQ(edit->text(), QStringLiteral("MEMO.RTF"));
    EXPECT_EQ(combo->currentIndex(), 0);
}

TEST_F(SaveAsTest, NamesAndTheirFiles) {
    struct Case {
        QString name;
        bool richText;
        QString file;
    };
    const QList<Case> cases = {
        {QStringLiteral("A.TXT.RTF"), false, QStringLiteral("A.TXT")},
        {QStringLiteral("A.TXT.RTF"), true, QStringLiteral("A.RTF")},
        {QStringLiteral("A.DOC"), false, QStringLiteral("A.DOC.TXT")},
        {QStringLiteral("A.DOC"), true, QStringLiteral("A.DOC.RTF")},
        {QStringLiteral("MY MEMO"), false, QStringLiteral("MY MEMO.TXT")},
        {QStringLiteral("　メモ　"), false, QStringLiteral("　メモ　.TXT")},
        {QStringLiteral("notes.txt"), false, QStringLiteral("notes.TXT")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        saveWith(c.name, c.richText ? rich : plain);
        EXPECT_TRUE(accepted());
        EXPECT_TRUE(QFile::exists(program + c.file));
        EXPECT_EQ(host->state().LblFullName(), c.file);
        EXPECT_EQ(edit->text(), c.file);
        EXPECT_EQ(host->state().GrdR.place(1), c.file);
    }
    EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.shown.join(u'|').toStdString();
}

TEST_F(SaveAsTest, BlankNamesAreRefusedAndNothingChanges) {
    host->state().setLblFName(QStringLiteral("OLD.TXT"));
    const QStringList blanks = {QStringLiteral("　　"), QStringLiteral(" "), QString(),
                                QStringLiteral(" 　 "), QStringLiteral(".TXT"),
                                QStringLiteral(" .RTF.TXT")};
    for (const QString& name : blanks) {
        SCOPED_TRACE(name.toStdString());
        prompter.shown.clear();
        saveWith(name, plain);
        EXPECT_EQ(prompter.shown, QStringList{QStringLiteral("message: ﾌｧｲﾙ名が記入されていません")});
        EXPECT_TRUE(edit->text().isEmpty());
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_TRUE(host->writes.isEmpty());
    }
    EXPECT_TRUE(filesIn(program).isEmpty());
    EXPECT_EQ(host->state().LblFName(), QStringLiteral("OLD.TXT"));
    EXPECT_TRUE(host->state().LblFullName().isEmpty());
    EXPECT_TRUE(host->document.isModified());
    EXPECT_EQ(host->caption, caption::kNewFile + caption::kModifiedMarker);
}

// Names that would leave the group's folder are refused by the path style's
// own rules; on POSIX "\\" is an ordinary character.
TEST(SaveAsNames, SeparatorsOfThePathStyleAreRefused) {
    QTemporaryDir dir;
    const QString windowsMessage = QStringLiteral("message: ﾌｧｲﾙ名に \\ や / は使えません");
    const QString posixMessage = QStringLiteral("message: ﾌｧｲﾙ名に / は使えません");
    struct Case {
        bool windows;
        QString name;
        QString message;  // empty: saved
    };
    const QList<Case> cases = {
        {true, QStringLiteral("SUB\\A"), windowsMessage},
        {true, QStringLiteral("../A"), windowsMessage},
        {true, QStringLiteral("D:A"), windowsMessage},
        {false, QStringLiteral("SUB/A"), posixMessage},
        {false, QStringLiteral("../A"), posixMessage},
        {false, QStringLiteral("A\\B"), QString()},
        {false, QStringLiteral("A:B"), QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.windows ? "windows " : "posix ") + c.name.toStdString());
        ScriptedPrompter prompter;
        FakeHost host(c.windows ? QStringLiteral("C:\\PROG\\") : dir.path() + u'/',
                      c.windows ? PathStyle::windows() : PathStyle::posix());
        TfrmSave dialog(host, prompter);
        dialog.show();
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("Edit1"));
        edit->setText(c.name);
        dialog.findChild<QPushButton*>(QStringLiteral("BitBtn2"))->click();
        if (c.message.isEmpty()) {
            EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.shown.join(u'|').toStdString();
            EXPECT_TRUE(QFile::exists(dir.path() + u'/' + c.name + QStringLiteral(".TXT")));
            EXPECT_FALSE(dialog.isVisible());
        } else {
            EXPECT_EQ(prompter.shown, QStringList{c.message});
            EXPECT_EQ(edit->text(), c.name);
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_TRUE(host.writes.isEmpty());
            EXPECT_TRUE(host.document.isModified());
        }
    }
}

TEST_F(SaveAsTest, FolderGroupSavesIntoItsFolderAndRegistersOnce) {
    const QString docs = dir.path() + QStringLiteral("/Docs");
    ASSERT_TRUE(QDir().mkpath(docs));
    addFolderGroup(host->registry(), QStringLiteral("DOCS"), docs);
    addInnerGroup(host->registry(), QStringLiteral("IN"));

    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        host->document.setModified(true);
        saveWith(QStringLiteral("A"), plain, 1);
        ASSERT_TRUE(accepted());
    }
    const QString path = docs + QStringLiteral("/A.TXT");
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_TRUE(filesIn(program).isEmpty());
    EXPECT_EQ(host->state().LblFullName(), path);
    EXPECT_EQ(host->state().LblGName(), QStringLiteral("DOCS"));
    EXPECT_EQ(host->registry().filesOf(QStringLiteral("DOCS")), QStringList{QStringLiteral("A.TXT")});
    EXPECT_TRUE(host->registry().filesOf(QStringLiteral("IN")).isEmpty());
    EXPECT_EQ(host->state().GrdR.entries(), QStringList{path});
    EXPECT_EQ(host->caption, QStringLiteral("Tessarine  // DOCS / A.TXT"));
    EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.shown.join(u'|').toStdString();
}

TEST_F(SaveAsTest, InnerGroupSavesIntoTheProgramFolderUnderItsName) {
    addFolderGroup(host->registry(), QStringLiteral("DOCS"), dir.path());
    addInnerGroup(host->registry(), QStringLiteral("メモ帳"));
    saveWith(QStringLiteral("B"), rich, 2);

    ASSERT_TRUE(accepted());
    EXPECT_TRUE(QFile::exists(program + QStringLiteral("B.RTF")));
    EXPECT_EQ(host->state().LblFullName(), QStringLiteral("B.RTF"));
    EXPECT_EQ(host->state().LblGName(), QStringLiteral("メモ帳"));
    EXPECT_EQ(host->registry().filesOf(QStringLiteral("メモ帳")), QStringList{QStringLiteral("B.RTF")});
    EXPECT_TRUE(host->registry().filesOf(QStringLiteral("DOCS")).isEmpty());
    EXPECT_EQ(host->caption, QStringLiteral("Tessarine  // メモ帳 / B.RTF"));
}

TEST_F(SaveAsTest, FolderGroupWritingTheProgramFolderGivesABareName) {
    // The group's folder is the program folder without its trailing separator.
    addFolderGroup(host->registry(), QStringLiteral("HOME"), program.chopped(1));
    saveWith(QStringLiteral("C"), plain, 1);

    ASSERT_TRUE(accepted());
    EXPECT_TRUE(QFile::exists(program + QStringLiteral("C.TXT")));
    EXPECT_EQ(host->state().LblFullName(), QStringLiteral("C.TXT"));
    EXPECT_EQ(host->registry().filesOf(QStringLiteral("HOME")), QStringList{QStringLiteral("C.TXT")});
}

// Only a folder written exactly like the program folder makes the path a bare
// name: the history entry must stay what unregistering the group builds.
TEST(SaveAsProgramFolder, ComparedExactlyAsWritten) {
    const struct {
        QString programFolder;  // as the system reports it
        QString fullName;
    } cases[] = {
        {QStringLiteral("C:\\Prog\\"), QStringLiteral("C:\\PROG\\C.TXT")},
        {QStringLiteral("C:\\PROG\\"), QStringLiteral("C.TXT")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.programFolder.toStdString());
        ScriptedPrompter prompter;
        FakeHost host(c.programFolder, PathStyle::windows());
        host.forced = DocumentHost::WriteOutcome::Written;
        addFolderGroup(host.registry(), QStringLiteral("HOME"), QStringLiteral("C:\\prog"));
        TfrmSave dialog(host, prompter);
        dialog.show();
        dialog.findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setCurrentIndex(1);
        dialog.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("C"));
        dialog.BitBtn2Click();
        EXPECT_EQ(host.writes, QStringList{QStringLiteral("C:\\PROG\\C.TXT")});
        EXPECT_EQ(host.state().LblFullName(), c.fullName);
        EXPECT_EQ(host.state().GrdR.place(1), c.fullName);
        EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.shown.join(u'|').toStdString();
    }
}

TEST_F(SaveAsTest, MissingFolderIsReportedAndNothingIsRecorded) {
    addFolderGroup(host->registry(), QStringLiteral("GONE"), dir.path() + QStringLiteral("/nowhere"));
    host->state().setLblGName(QStringLiteral("GONE"));
    saveWith(QStringLiteral("A"), plain, 1);

    EXPECT_EQ(prompter.shown,
              QStringList{QStringLiteral("message: ｸﾞﾙｰﾌﾟ \"GONE\" に指定されたﾌｫﾙﾀﾞが存在しません")});
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(host->state().LblFName(), QStringLiteral("A.TXT"));
    EXPECT_EQ(edit->text(), QStringLiteral("A.TXT"));
    EXPECT_TRUE(host->state().LblFullName().isEmpty());
    EXPECT_TRUE(host->registry().filesOf(QStringLiteral("GONE")).isEmpty());
    EXPECT_EQ(host->state().GrdR.count(), 0);
    EXPECT_TRUE(host->document.isModified());
    EXPECT_EQ(host->caption, caption::kNewFile + caption::kModifiedMarker);
    EXPECT_FALSE(QDir(dir.path() + QStringLiteral("/nowhere")).exists());
}

TEST_F(SaveAsTest, MissingProgramFolderNamesTheNoGroupEntry) {
    FakeHost lost(slash(dir.path() + QStringLiteral("/missing")));
    TfrmSave save(lost, prompter);
    save.show();
    save.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("A"));
    save.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();

    EXPECT_EQ(prompter.shown,
              QStringList{QStringLiteral("message: ｸﾞﾙｰﾌﾟ \"[グループ無し]\" に指定されたﾌｫﾙﾀﾞが存在しません")});
    EXPECT_TRUE(save.isVisible());
    EXPECT_TRUE(lost.document.isModified());
    EXPECT_EQ(lost.state().GrdR.count(), 0);
}

// A file that cannot be created is blamed on the group's folder; any other
// write failure is shown with the system's reason. Either way nothing is
// recorded and the dialog stays open.
TEST_F(SaveAsTest, WriteFailuresAreToldApart) {
    addInnerGroup(host->registry(), QStringLiteral("IN"));
    const QString target = program + QStringLiteral("A.TXT");
    const struct {
        DocumentHost::WriteOutcome outcome;
        QString shown;
    } cases[] = {
        {DocumentHost::WriteOutcome::CannotCreate,
         QStringLiteral("message: ｸﾞﾙｰﾌﾟ \"IN\" に指定されたﾌｫﾙﾀﾞが存在しません")},
        {DocumentHost::WriteOutcome::Failed, QStringLiteral("error: forced: ") + target},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown.toStdString());
        prompter.shown.clear();
        host->forced = c.outcome;
        saveWith(QStringLiteral("A"), plain, 1);
        EXPECT_EQ(prompter.shown, QStringList{c.shown});
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(host->state().LblFName(), QStringLiteral("A.TXT"));
        EXPECT_TRUE(host->state().LblFullName().isEmpty());
        EXPECT_TRUE(host->registry().filesOf(QStringLiteral("IN")).isEmpty());
        EXPECT_EQ(host->state().GrdR.count(), 0);
        EXPECT_TRUE(host->document.isModified());
    }
}

TEST_F(SaveAsTest, DeclinedPlainTextKeepsTheDialogOpen) {
    addInnerGroup(host->registry(), QStringLiteral("IN"));
    host->document.setPlainText(QStringLiteral("emoji \U0001F600 cannot be Shift-JIS"));
    host->document.setModified(true);
    saveWith(QStringLiteral("E"), plain, 1);

    EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.shown.join(u'|').toStdString();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(host->writes, QStringList{program + QStringLiteral("E.TXT")});
    EXPECT_FALSE(QFile::exists(program + QStringLiteral("E.TXT")));
    EXPECT_TRUE(host->registry().filesOf(QStringLiteral("IN")).isEmpty());
    EXPECT_TRUE(host->state().LblFullName().isEmpty());
    EXPECT_TRUE(host->document.isModified());

    // Rich text holds every character: the same name then saves.
    rich->click();
    EXPECT_TRUE(accepted());
    EXPECT_EQ(host->state().LblFullName(), QStringLiteral("E.RTF"));
}

TEST_F(SaveAsTest, PreselectionAndKindIcon) {
    GroupRegistry& reg = host->registry();
    addFolderGroup(reg, QStringLiteral("DOCS"), dir.path());
    addInnerGroup(reg, QStringLiteral("IN1"));
    addFolderGroup(reg, QStringLiteral("WORK"), dir.path());
    addInnerGroup(reg, QStringLiteral("IN2"));

    struct Case {
        QString current;
        int index;
        bool icon;
        bool folder;
    };
    const QList<Case> cases = {
        {QString(), 0, false, false},
        {QStringLiteral("DOCS"), 1, true, true},
        {QStringLiteral("WORK"), 2, true, true},
        {QStringLiteral("IN1"), 3, true, false},
        {QStringLiteral("IN2"), 4, true, false},
        {QStringLiteral("OLD"), 0, false, false},  // no longer registered
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.current.toStdString());
        host->state().setLblGName(c.current);
        host->state().setLblFName(QStringLiteral("X") + c.current + QStringLiteral(".TXT"));
        dialog->FormShow();
        QStringList items;
        for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
        EXPECT_EQ(items, (QStringList{QStringLiteral("[グループ無し]"), QStringLiteral("DOCS"),
                                      QStringLiteral("WORK"), QStringLiteral("IN1"), QStringLiteral("IN2")}));
        EXPECT_EQ(combo->currentIndex(), c.index);
        EXPECT_EQ(!icon->isHidden(), c.icon);
        if (c.icon) {
            EXPECT_EQ(!folderIcon->isHidden(), c.folder);
        }
        EXPECT_EQ(edit->text(), QStringLiteral("X") + c.current + QStringLiteral(".TXT"));
    }

    // Picking another group updates the icon at once.
    host->state().setLblGName(QString());
    dialog->FormShow();
    combo->setCurrentIndex(2);
    EXPECT_FALSE(icon->isHidden());
    EXPECT_FALSE(folderIcon->isHidden());
    combo->setCurrentIndex(4);
    EXPECT_FALSE(icon->isHidden());
    EXPECT_TRUE(folderIcon->isHidden());
    combo->setCurrentIndex(0);
    EXPECT_TRUE(icon->isHidden());
}

TEST_F(SaveAsTest, EveryShowingRebuildsTheChoices) {
    addInnerGroup(host->registry(), QStringLiteral("IN1"));
    host->state().setLblGName(QStringLiteral("IN1"));
    dialog->show();
    EXPECT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->currentIndex(), 1);
    dialog->hide();

    // The history view empties the current group; a new group appears.
    host->state().setLblGName(QString());
    addInnerGroup(host->registry(), QStringLiteral("IN2"));
    dialog->show();
    EXPECT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_TRUE(icon->isHidden());
}

TEST_F(SaveAsTest, CancelEscapeAndEnterChangeNothing) {
    addInnerGroup(host->registry(), QStringLiteral("IN"));
    host->state().setLblFName(QStringLiteral("KEEP.TXT"));
    const auto unchanged = [&] {
        EXPECT_TRUE(host->writes.isEmpty());
        EXPECT_TRUE(filesIn(program).isEmpty());
        EXPECT_EQ(host->state().LblFName(), QStringLiteral("KEEP.TXT"));
        EXPECT_TRUE(host->state().LblFullName().isEmpty());
        EXPECT_TRUE(host->state().LblGName().isEmpty());
        EXPECT_TRUE(host->registry().filesOf(QStringLiteral("IN")).isEmpty());
        EXPECT_TRUE(host->document.isModified());
        EXPECT_TRUE(prompter.shown.isEmpty());
    };

    dialog->show();
    combo->setCurrentIndex(1);
    edit->setText(QStringLiteral("NEW"));
    cancel->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    unchanged();

    dialog->show();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Enter);
    EXPECT_TRUE(dialog->isVisible());
    unchanged();

    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    unchanged();
}

TEST(SaveAsNameField, FoldsAsThePathStyleStoresNames) {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    {
        FakeHost host(QStringLiteral("C:\\PROG\\"), PathStyle::windows());
        TfrmSave dialog(host, prompter);
        dialog.show();
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("Edit1"));
        edit->setFocus();
        QTest::keyClicks(edit, QStringLiteral("memo"));
        EXPECT_EQ(edit->text(), QStringLiteral("MEMO"));
        EXPECT_EQ(edit->cursorPosition(), 4);
        edit->setText(QStringLiteral("ｍｅｍｏ.txt 日記"));
        EXPECT_EQ(edit->text(), QStringLiteral("ｍｅｍｏ.TXT 日記"));
    }
    {
        FakeHost host(dir.path() + u'/');
        TfrmSave dialog(host, prompter);
        dialog.show();
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("Edit1"));
        edit->setFocus();
        QTest::keyClicks(edit, QStringLiteral("Memo"));
        EXPECT_EQ(edit->text(), QStringLiteral("Memo"));
    }
}

TEST(BuildSavePath, WindowsStyle) {
    ScriptedPrompter answers;
    answers.yesNo = {false, false};
    GroupRegistry reg(PathStyle::windows(), QStringLiteral("C:\\PROG\\"));
    reg.Touroku(kind::kFolder, QStringLiteral("DOCS"), QStringLiteral("D:\\DOCS"), FileHistory(), answers);
    reg.Touroku(kind::kFolder, QStringLiteral("ROOT"), QStringLiteral("E:\\A\\"), FileHistory(), answers);
    reg.Touroku(kind::kInner, QStringLiteral("IN"), QStringLiteral("X"), FileHistory(), answers);
    ASSERT_EQ(reg.groupList(), (QStringList{QStringLiteral("DOCS"), QStringLiteral("ROOT"), QStringLiteral("IN")}));

    struct Case {
        QString name, group, path;
    };
    const QList<Case> cases = {
        {QStringLiteral("MEMO.TXT"), QString(), QStringLiteral("C:\\PROG\\MEMO")},
        {QStringLiteral("MEMO.RTF"), QStringLiteral("IN"), QStringLiteral("C:\\PROG\\MEMO")},
        {QStringLiteral("A.TXT.RTF"), QString(), QStringLiteral("C:\\PROG\\A")},
        {QStringLiteral("A.RTF.TXT"), QString(), QStringLiteral("C:\\PROG\\A")},
        {QStringLiteral("A..TXTTXT"), QString(), QStringLiteral("C:\\PROG\\A")},
        {QStringLiteral("A.T.RTFXT"), QString(), QStringLiteral("C:\\PROG\\A")},
        {QStringLiteral(".TXTB.TXT"), QString(), QStringLiteral("C:\\PROG\\B")},
        {QStringLiteral("A.DOC"), QStringLiteral("DOCS"), QStringLiteral("D:\\DOCS\\A.DOC")},
        {QStringLiteral("MY MEMO"), QStringLiteral("DOCS"), QStringLiteral("D:\\DOCS\\MY MEMO")},
        {QStringLiteral("A.TXTX"), QStringLiteral("DOCS"), QStringLiteral("D:\\DOCS\\AX")},
        // Names are upper case on Windows: a lower-case ending is part of the name.
        {QStringLiteral("a.txt"), QString(), QStringLiteral("C:\\PROG\\a.txt")},
        // The separator follows the folder as registered, like the history key.
        {QStringLiteral("B"), QStringLiteral("ROOT"), QStringLiteral("E:\\A\\\\B")},
        {QStringLiteral("B"), QStringLiteral("NOT REGISTERED"), QStringLiteral("C:\\PROG\\B")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.name + u'|' + c.group).toStdString());
        EXPECT_EQ(BuildSavePath(c.name, c.group, reg, QStringLiteral("C:\\PROG\\")), c.path);
    }
}

TEST(BuildSavePath, PosixStyleIgnoresTheEndingsLetterCase) {
    ScriptedPrompter answers;
    answers.yesNo = {false};
    GroupRegistry reg(PathStyle::posix(), QStringLiteral("/opt/tess/"));
    reg.Touroku(kind::kFolder, QStringLiteral("DOCS"), QStringLiteral("/home/u/Docs"), FileHistory(), answers);

    struct Case {
        QString name, group, path;
    };
    const QList<Case> cases = {
        {QStringLiteral("memo.txt"), QString(), QStringLiteral("/opt/tess/memo")},
        {QStringLiteral("Notes.Rtf"), QStringLiteral("DOCS"), QStringLiteral("/home/u/Docs/Notes")},
        {QStringLiteral("a.TxT.rtf"), QString(), QStringLiteral("/opt/tess/a")},
        {QStringLiteral("Plan.doc"), QString(), QStringLiteral("/opt/tess/Plan.doc")},
        {QStringLiteral("My Memo"), QStringLiteral("DOCS"), QStringLiteral("/home/u/Docs/My Memo")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.name + u'|' + c.group).toStdString());
        EXPECT_EQ(BuildSavePath(c.name, c.group, reg, QStringLiteral("/opt/tess/")), c.path);
    }
}

} // namespace
} // namespace tess
