// New, open, overwrite save, save as, the modified marker and the history
// button of the main window; the close question's way through the save-as
// dialog.

#include "core/caption.h"
#include "core/cp932.h"
#include "dialogs/TSSave.h"
#include "mainwindow/filelist.h"
#include "mainwindowfixture.h"
#include "richtext/documentfile.h"
#include "richtext/richtext.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolButton>

#include <optional>

namespace tess::testing {
namespace {

using Answer = Prompter::Answer;

const QString kFilter = QStringLiteral(
    "open: ﾃｷｽﾄﾌｧｲﾙ(*.TXT)|*.TXT|ﾘｯﾁﾃｷｽﾄﾌｧｲﾙ(*.RTF)|*.RTF|全てのﾌｧｲﾙ|*.*");

TEST_F(MainWindowTest, TypingAddsTheMarkerOnceAndCleanStateRemovesIt) {
    start();
    QTest::keyClicks(memo(), QStringLiteral("abc"));
    EXPECT_EQ(title(), QStringLiteral("Tessarine  // NewFile (更新)"));
    EXPECT_EQ(w().state().LblUpdate, flag::kSet);
    type(QStringLiteral("more"));
    EXPECT_EQ(title(), QStringLiteral("Tessarine  // NewFile (更新)"));
    w().MarkClean();
    EXPECT_EQ(title(), QStringLiteral("Tessarine  // NewFile"));
    EXPECT_FALSE(modified());
    EXPECT_TRUE(w().state().LblUpdate.isEmpty());
    type(QStringLiteral("x"));
    EXPECT_EQ(title(), QStringLiteral("Tessarine  // NewFile (更新)"));
}

// New on a document in a group: a clean one is replaced without a question,
// a modified one as the answer says; Yes without a path goes to save as and,
// that left, keeps the text.
TEST_F(MainWindowTest, NewDocumentFollowsTheSaveQuestion) {
    const struct {
        const char* name;
        bool named;
        std::optional<Answer> answer;  // none: the document is clean
        QStringList shown;
        bool replaced;
    } cases[] = {
        {"clean", true, std::nullopt, {}, true},
        {"cancel", true, Answer::Cancel, {kSaveQuestion}, false},
        {"no", true, Answer::No, {kSaveQuestion}, true},
        {"yes without a path", false, Answer::Yes, {kSaveQuestion, QStringLiteral("saveas")}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompter.shown.clear();
        start();
        w().state().setLblGName(QStringLiteral("G"));
        if (c.named) nameDocument(QStringLiteral("A.TXT"));
        type(QStringLiteral("keep"));
        if (c.answer) prompter.yesNoCancel.push_back(*c.answer);
        else w().MarkClean();
        const QString before = title();
        widget<QToolButton>(QStringLiteral("SpeedButton6"))->click();
        EXPECT_EQ(prompter.shown, c.shown);
        if (c.replaced) {
            EXPECT_EQ(title(), QStringLiteral("Tessarine  // NewFile"));
            EXPECT_TRUE(memo()->toPlainText().isEmpty());
            EXPECT_FALSE(modified());
            EXPECT_TRUE(w().state().LblGName().isEmpty());
            EXPECT_TRUE(w().state().LblFName().isEmpty());
            EXPECT_TRUE(w().state().LblFullName().isEmpty());
        } else {
            EXPECT_EQ(memo()->toPlainText(), QStringLiteral("keep"));
            EXPECT_EQ(title(), before);
        }
    }
}

TEST_F(MainWindowTest, OpenFromTheProgramFolderStoresTheBareName) {
    writeFile(path(QStringLiteral("memo.txt")), cp932::encode(u"一行目\r\n二行目"));
    start();
    prompter.openFiles.push_back(path(QStringLiteral("memo.txt")));
    widget<QToolButton>(QStringLiteral("SpeedButton7"))->click();
    EXPECT_EQ(prompter.shown, QStringList{kFilter});
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("一行目\n二行目"));
    EXPECT_EQ(w().state().LblFullName(), QStringLiteral("memo.txt"));
    EXPECT_EQ(w().state().LblFName(), QStringLiteral("memo.txt"));
    EXPECT_EQ(title(), QStringLiteral("Tessarine  // [ｸﾞﾙｰﾌﾟなし] / memo.txt"));
    EXPECT_EQ(w().state().GrdR.place(1), QStringLiteral("memo.txt"));
    EXPECT_FALSE(modified());
    EXPECT_TRUE(w().state().LblUpdate.isEmpty());
}

TEST_F(MainWindowTest, OpenFromElsewhereStoresTheFullPathAndKeepsTheGroup) {
    ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("sub")));
    const QString file = path(QStringLiteral("sub/Other.RTF"));
    QTextDocument source;
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    QTextCursor(&source).insertText(QStringLiteral("太字"), bold);
    ASSERT_TRUE(WriteDocument(file, source, PathStyle::posix()).ok());

    start();
    w().state().setLblGName(QStringLiteral("G"));
    prompter.openFiles.push_back(file);
    w().SpeedButton7Click();
    EXPECT_EQ(w().state().LblFullName(), file);
    EXPECT_EQ(w().state().LblFName(), QStringLiteral("Other.RTF"));
    EXPECT_EQ(w().state().LblGName(), QStringLiteral("G"));
    EXPECT_EQ(title(), QStringLiteral("Tessarine  // G / Other.RTF"));
    EXPECT_EQ(memo()->document()->begin().begin().fragment().charFormat().fontWeight(), QFont::Bold);
}

// A file that cannot be read leaves the open document as it was, and a save
// afterwards writes the document, not an empty one.
TEST_F(MainWindowTest, FailedOpenKeepsTheDocument) {
    start();
    w().state().setLblGName(QStringLiteral("G"));
    nameDocument(QStringLiteral("A.TXT"));
    w().RirekiSet();
    type(QStringLiteral("大事な文"));
    const QString before = title();
    ASSERT_EQ(before, QStringLiteral("Tessarine  // G / A.TXT (更新)"));

    const QString missing = path(QStringLiteral("gone.txt"));
    prompter.yesNoCancel.push_back(Answer::No);
    prompter.openFiles.push_back(missing);
    w().SpeedButton7Click();
    EXPECT_EQ(prompter.messages(), QStringList{QStringLiteral("\"") + missing + QStringLiteral("\" が見つかりません")});
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("大事な文"));
    EXPECT_TRUE(modified());
    EXPECT_EQ(title(), before);
    EXPECT_EQ(w().state().LblFullName(), QStringLiteral("A.TXT"));
    EXPECT_EQ(w().state().LblFName(), QStringLiteral("A.TXT"));
    EXPECT_EQ(w().state().GrdR.entries(), QStringList{QStringLiteral("A.TXT")});

    w().SpeedButton1Click();
    EXPECT_EQ(readFile(path(QStringLiteral("A.TXT"))), cp932::encode(u"大事な文"));
}

// A large file shows while the rest goes in: a save straight after the open
// writes all of it, and a new document taken meanwhile stays empty.
TEST_F(MainWindowTest, LargeFileStillGoingInIsSavedWholeAndLeftByANewDocument) {
    QByteArray bytes;
    for (int i = 0; bytes.size() < 2 * 1024 * 1024; ++i) bytes += cp932::encode(QStringLiteral("%1行目の文章\r\n").arg(i));
    const QString file = path(QStringLiteral("LARGE.TXT"));
    writeFile(file, bytes);
    start();
    prompter.openFiles.push_back(file);
    w().SpeedButton7Click();
    ASSERT_TRUE(textPending(*memo()->document()));
    w().SpeedButton1Click();
    EXPECT_EQ(readFile(file), bytes);

    prompter.openFiles.push_back(file);
    w().SpeedButton7Click();
    ASSERT_TRUE(textPending(*memo()->document()));
    w().SpeedButton6Click();
    for (int i = 0; i < 1000; ++i) QApplication::processEvents();
    EXPECT_EQ(memo()->toPlainText(), QString());
    EXPECT_FALSE(modified());
    type(QStringLiteral("新"));
    EXPECT_TRUE(memo()->document()->isUndoAvailable());
}

// The path's ending picks the format; the caption loses only its marker.
TEST_F(MainWindowTest, OverwriteSaveWritesTheFormatThePathSelects) {
    // "{}" stands for the program folder, where every file lands.
    const std::pair<QString, bool> cases[] = {
        {QStringLiteral("MEMO.TXT"), false}, {QStringLiteral("NOTES"), false},
        {QStringLiteral("A.DOC"), false},    {QStringLiteral("A.RTF"), true},
        {QStringLiteral("b.rtf"), true},     {QStringLiteral("{}FULL.TXT"), false},
    };
    for (const auto& [name, rich] : cases) {
        SCOPED_TRACE(name.toStdString());
        start();
        const QString documentPath = QString(name).replace(QStringLiteral("{}"), folder);
        w().state().setLblFullName(documentPath);
        w().state().setLblGName(QStringLiteral("G"));
        w().RirekiSet();
        type(QStringLiteral("一行目\n二行目"));
        const QString captionBefore = caption::withoutMarker(title());

        w().SpeedButton1Click();
        const QByteArray bytes = readFile(path(QString(name).remove(QStringLiteral("{}"))));
        if (rich) EXPECT_TRUE(bytes.startsWith("{\\rtf")) << bytes.left(20).constData();
        else EXPECT_EQ(bytes, cp932::encode(u"一行目\r\n二行目"));
        EXPECT_EQ(title(), captionBefore);
        EXPECT_FALSE(modified());
        EXPECT_EQ(w().state().GrdR.entries(), QStringList{documentPath});
        EXPECT_TRUE(prompter.shown.isEmpty());
    }
}

// Each file action from its tool button and from its key; a named document
// is saved in place, one without a path goes to save as; a cancelled question
// or open dialog keeps the text.
TEST_F(MainWindowTest, ButtonsAndShortcutsRunTheFileActions) {
    const struct {
        const char* button;
        QKeySequence key;
        bool named, clean;
        QStringList shown;
    } actions[] = {
        {"SpeedButton6", QKeySequence(Qt::CTRL | Qt::Key_N), false, false, {kSaveQuestion}},
        {"SpeedButton7", QKeySequence(Qt::CTRL | Qt::Key_O), false, true, {kFilter}},
        {"SpeedButton1", QKeySequence(Qt::CTRL | Qt::Key_S), true, false, {}},
        {"SpeedButton1", QKeySequence(Qt::CTRL | Qt::Key_S), false, false, {QStringLiteral("saveas")}},
        {"SpeedButton8", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), true, false, {QStringLiteral("saveas")}},
    };
    for (const auto& a : actions) {
        for (bool byKey : {false, true}) {
            SCOPED_TRACE(std::string(a.button) + (byKey ? " key" : " button") + (a.named ? " named" : ""));
            prompter.shown.clear();
            QFile::remove(path(QStringLiteral("A.TXT")));
            start();
            showActive();
            if (a.named) nameDocument(QStringLiteral("A.TXT"));
            type(QStringLiteral("x"));
            if (a.clean) w().MarkClean();
            if (a.shown == QStringList{kSaveQuestion}) prompter.yesNoCancel.push_back(Answer::Cancel);
            if (a.shown == QStringList{kFilter}) prompter.openFiles.push_back(QString());
            if (byKey) QTest::keySequence(memo(), a.key);
            else widget<QToolButton>(QString::fromLatin1(a.button))->click();
            EXPECT_EQ(prompter.shown, a.shown);
            EXPECT_EQ(memo()->toPlainText(), QStringLiteral("x"));
            EXPECT_EQ(QFile::exists(path(QStringLiteral("A.TXT"))), a.named && a.shown.isEmpty());
        }
    }
    // The editor's own undo keeps its key.
    QTest::keyClick(memo(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(memo()->toPlainText().isEmpty());
}

// A missing folder at close and a folder in the file's place at save: both
// report the path, write nothing and leave the document modified.
TEST_F(MainWindowTest, FailedSaveReportsThePathAndStaysModified) {
    start();
    const QString missing = folder + QStringLiteral("no-such-folder/A.TXT");
    w().state().setLblFullName(missing);
    type(QStringLiteral("new"));
    const auto before = snapshot();
    prompter.yesNoCancel.push_back(Answer::Yes);
    EXPECT_FALSE(requestClose());
    EXPECT_EQ(prompter.errors(), QStringList{QStringLiteral("ﾌｧｲﾙ ") + missing + QStringLiteral(" を作成できません\n") +
                                             missing + QStringLiteral(": ファイルまたはフォルダが見つかりません (No such file or directory)")});
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(title().endsWith(caption::kModifiedMarker));

    prompter.shown.clear();
    const QString blocked = path(QStringLiteral("DIR.TXT"));
    ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("DIR.TXT")));
    w().state().setLblFullName(QStringLiteral("DIR.TXT"));
    w().SpeedButton1Click();
    EXPECT_EQ(prompter.errors(), QStringList{QStringLiteral("ﾌｧｲﾙ ") + blocked + QStringLiteral(" を作成できません\n") +
                                             blocked + QStringLiteral(": フォルダです (Is a directory)")});
    EXPECT_TRUE(modified());
    EXPECT_TRUE(title().endsWith(caption::kModifiedMarker));
    EXPECT_TRUE(QFileInfo(blocked).isDir());
    // The same document saved where it can be written is then clean.
    w().state().setLblFullName(QStringLiteral("OK.TXT"));
    w().SpeedButton1Click();
    EXPECT_EQ(readFile(path(QStringLiteral("OK.TXT"))), QByteArray("new"));
    EXPECT_FALSE(title().endsWith(caption::kModifiedMarker));
}

TEST_F(MainWindowTest, PlainTextThatShiftJisCannotHoldAsksFirst) {
    start();
    w().state().setLblFullName(QStringLiteral("U.TXT"));
    type(QStringLiteral("a😀b한c😀"));
    const QString question = QStringLiteral(
        "yesno: この文書には Shift-JIS で保存できない文字 「😀」「한」 が含まれています。\n"
        "これらの文字を \"?\" に置き換えて保存しますか？");

    prompter.yesNo.push_back(false);
    w().SpeedButton1Click();
    EXPECT_EQ(prompter.shown, QStringList{question});
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("U.TXT"))));
    EXPECT_TRUE(modified());

    // Declining at close is a save that did not happen: the close is refused.
    prompter.yesNoCancel.push_back(Answer::Yes);
    prompter.yesNo.push_back(false);
    EXPECT_FALSE(requestClose());
    EXPECT_FALSE(QFile::exists(settingsPath()));

    prompter.yesNo.push_back(true);
    w().SpeedButton1Click();
    EXPECT_EQ(readFile(path(QStringLiteral("U.TXT"))), QByteArray("a?b?c?"));
    EXPECT_FALSE(modified());

    // A no-break space is named by its code, and written as a blank.
    prompter.shown.clear();
    type(QStringLiteral("\u00A0d"));
    prompter.yesNo.push_back(true);
    w().SpeedButton1Click();
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_TRUE(prompter.shown.first().contains(QStringLiteral("「U+00A0」"))) << prompter.shown.first().toStdString();
    EXPECT_TRUE(readFile(path(QStringLiteral("U.TXT"))).endsWith(" d"));
}

TEST_F(MainWindowTest, DocumentHostWritesTheEditorForTheSaveAsDialog) {
    start();
    type(QStringLiteral("rich"));
    QString error;
    EXPECT_EQ(w().writeDocument(path(QStringLiteral("X.RTF")), &error),
              DocumentHost::WriteOutcome::Written);
    EXPECT_TRUE(readFile(path(QStringLiteral("X.RTF"))).startsWith("{\\rtf"));
    // A missing folder is told apart from a write that failed.
    EXPECT_EQ(w().writeDocument(path(QStringLiteral("none/X.TXT")), &error),
              DocumentHost::WriteOutcome::CannotCreate);
    EXPECT_FALSE(error.isEmpty());
}

// Yes at close on a never-saved document: the save-as dialog saves it into a
// group, the close goes ahead and the settings name the new file.
TEST_F(MainWindowTest, YesAtCloseSavesThroughTheSaveAsDialogThenCloses) {
    start();
    registerGroup(QStringLiteral("MEMOS"));
    TfrmSave dialog(w(), prompter);
    prompter.onSaveAs = [&] {
        dialog.FormShow();
        auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("ComboBox1"));
        combo->setCurrentIndex(combo->findText(QStringLiteral("MEMOS")));
        dialog.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("todo"));
        dialog.BitBtn2Click();
    };
    type(QStringLiteral("買い物"));
    prompter.yesNoCancel.push_back(Answer::Yes);

    EXPECT_TRUE(requestClose());
    EXPECT_EQ(prompter.shown, (QStringList{kSaveQuestion, QStringLiteral("saveas")}));
    EXPECT_EQ(readFile(path(QStringLiteral("todo.TXT"))), cp932::encode(u"買い物"));
    EXPECT_EQ(w().state().LblFullName(), QStringLiteral("todo.TXT"));
    EXPECT_EQ(title(), QStringLiteral("Tessarine  // MEMOS / todo.TXT"));
    EXPECT_EQ(setting(ini::kOpendFile, QStringLiteral("Opend1")).value, QStringLiteral("todo.TXT"));
    EXPECT_EQ(setting(ini::kGroupFiles, ini::kFiles).value, QStringLiteral("o"));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("GroupFiles"))));
}

TEST_F(MainWindowTest, HistoryButtonShowsThePlaceholderForAnEmptyHistory) {
    start();
    w().state().setLblGName(QStringLiteral("G"));
    widget<QToolButton>(QStringLiteral("SpeedButton5"))->click();
    auto* list = widget<QListWidget>(QStringLiteral("PanelPass"));
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("..ﾌｧｲﾙ履歴無し.."));
    EXPECT_EQ(labelText(QStringLiteral("Panel1")), QStringLiteral("ﾌｧｲﾙ使用履歴"));
    EXPECT_TRUE(visible(QStringLiteral("PnlLst")));
    EXPECT_TRUE(w().state().LblGName().isEmpty());
}

TEST_F(MainWindowTest, HistoryModeListFollowsEveryRecordingOtherModesDoNot) {
    start();
    auto record = [&](const char* name) {
        w().state().setLblFullName(QString::fromLatin1(name));
        w().RirekiSet();
    };
    record("A.TXT");
    w().PGFClick();
    auto* list = widget<QListWidget>(QStringLiteral("PanelPass"));
    EXPECT_EQ(list->count(), 1);
    record("B.TXT");
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("B.TXT"));
    EXPECT_EQ(list->item(1)->text(), QStringLiteral("A.TXT"));

    registerGroup(QStringLiteral("G"));
    w().state().setLblGName(QStringLiteral("G"));
    w().GourpFileSet();
    const QStringList groupList = w().fileList().entries();
    record("C.TXT");
    EXPECT_EQ(w().fileList().entries(), groupList);
    EXPECT_EQ(w().state().GrdR.place(1), QStringLiteral("C.TXT"));
}

} // namespace
} // namespace tess::testing
