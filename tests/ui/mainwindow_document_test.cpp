// New, open, overwrite save, save as, the modified marker and the history
// button of the main window.

#include "core/caption.h"
#include "core/cp932.h"
#include "mainwindowfixture.h"
#include "richtext/documentfile.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolButton>

namespace tess::testing {
namespace {

using Answer = Prompter::Answer;

const QString kQuestion = QStringLiteral("yesnocancel: 内容の変更を保存しますか？");
const QString kFilter = QStringLiteral(
    "open: ﾃｷｽﾄﾌｧｲﾙ(*.TXT)|*.TXT|ﾘｯﾁﾃｷｽﾄﾌｧｲﾙ(*.RTF)|*.RTF|全てのﾌｧｲﾙ|*.*");

TEST(ModifiedMarker, IsSevenBytesInShiftJis) {
    EXPECT_EQ(caption::kModifiedMarker, QStringLiteral(" (更新)"));
    EXPECT_EQ(cp932::encode(caption::kModifiedMarker).size(), 7);
}

TEST_F(MainWindowTest, TypingAddsTheMarkerOnceAndCleanStateRemovesIt) {
    start();
    QTest::keyClicks(memo(), QStringLiteral("abc"));
    EXPECT_EQ(title(), QStringLiteral("Tessarine  // NewFile (更新)"));
    EXPECT_EQ(w().state().LblUpdate, flag::kSet);
    type(QStringLiteral("more"));
    EXPECT_EQ(title(), QStringLiteral("Tessarine  // NewFile (更新)"));
    w().MarkClean();
    EXPECT_EQ(title(), QStringLiteral("Tessarine  // NewFile"));
    EXPECT_FALSE(memo()->document()->isModified());
    EXPECT_TRUE(w().state().LblUpdate.isEmpty());
    type(QStringLiteral("x"));
    EXPECT_EQ(title(), QStringLiteral("Tessarine  // NewFile (更新)"));
}

TEST_F(MainWindowTest, NewDocumentOnACleanEditorAsksNothing) {
    start();
    w().state().setLblGName(QStringLiteral("G"));
    w().state().setLblFullName(QStringLiteral("A.TXT"));
    w().state().setLblFName(QStringLiteral("A.TXT"));
    type(QStringLiteral("text"));
    w().MarkClean();
    widget<QToolButton>(QStringLiteral("SpeedButton6"))->click();
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_EQ(title(), QStringLiteral("Tessarine  // NewFile"));
    EXPECT_TRUE(memo()->toPlainText().isEmpty());
    EXPECT_FALSE(memo()->document()->isModified());
    EXPECT_TRUE(w().state().LblGName().isEmpty());
    EXPECT_TRUE(w().state().LblFName().isEmpty());
    EXPECT_TRUE(w().state().LblFullName().isEmpty());
}

TEST_F(MainWindowTest, NewDocumentWithCancelKeepsTheText) {
    start();
    type(QStringLiteral("keep"));
    prompter.yesNoCancel.push_back(Answer::Cancel);
    w().SpeedButton6Click();
    EXPECT_EQ(prompter.shown, QStringList{kQuestion});
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("keep"));
    EXPECT_EQ(title(), QStringLiteral("Tessarine  // NewFile (更新)"));
}

TEST_F(MainWindowTest, YesForANeverSavedDocumentOpensSaveAsAndLeavingItAbandons) {
    start();
    type(QStringLiteral("keep"));
    prompter.yesNoCancel.push_back(Answer::Yes);
    w().SpeedButton6Click();
    EXPECT_EQ(prompter.shown, (QStringList{kQuestion, QStringLiteral("saveas")}));
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("keep"));
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
    EXPECT_FALSE(memo()->document()->isModified());
    EXPECT_TRUE(w().state().LblUpdate.isEmpty());
}

TEST_F(MainWindowTest, OpenFromElsewhereStoresTheFullPathAndKeepsTheGroup) {
    ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("sub")));
    const QString file = path(QStringLiteral("sub/Other.RTF"));
    QTextDocument source;
    QTextCursor c(&source);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.insertText(QStringLiteral("太字"), bold);
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

TEST_F(MainWindowTest, CancelledOpenDialogChangesNothing) {
    start();
    type(QStringLiteral("x"));
    w().MarkClean();
    prompter.openFiles.push_back(QString());
    w().SpeedButton7Click();
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("x"));
    EXPECT_EQ(title(), QStringLiteral("Tessarine  // NewFile"));
}

// A file that cannot be read leaves the open document as it was, and a save
// afterwards writes the document, not an empty one.
TEST_F(MainWindowTest, FailedOpenKeepsTheDocument) {
    start();
    w().state().setLblGName(QStringLiteral("G"));
    w().state().setLblFullName(QStringLiteral("A.TXT"));
    w().state().setLblFName(QStringLiteral("A.TXT"));
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
    EXPECT_TRUE(memo()->document()->isModified());
    EXPECT_EQ(title(), before);
    EXPECT_EQ(w().state().LblFullName(), QStringLiteral("A.TXT"));
    EXPECT_EQ(w().state().LblFName(), QStringLiteral("A.TXT"));
    EXPECT_EQ(w().state().GrdR.entries(), QStringList{QStringLiteral("A.TXT")});

    w().SpeedButton1Click();
    EXPECT_EQ(readFile(path(QStringLiteral("A.TXT"))), cp932::encode(u"大事な文"));
}

struct SaveCase {
    const char* name;
    QString documentPath;  // as LblFullName holds it; "{}" stands for the program folder
    QString file;          // where it lands, relative to the program folder
    bool rich;
};
void PrintTo(const SaveCase& s, std::ostream* os) { *os << s.name; }

class OverwriteSave : public MainWindowTest, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(OverwriteSave, WritesTheFormatThePathSelectsAndKeepsTheCaption) {
    const SaveCase& s = GetParam();
    start();
    QString documentPath = s.documentPath;
    documentPath.replace(QStringLiteral("{}"), folder);
    w().state().setLblFullName(documentPath);
    w().state().setLblGName(QStringLiteral("G"));
    w().RirekiSet();
    type(QStringLiteral("一行目\n二行目"));
    const QString captionBefore = caption::withoutMarker(title());

    w().SpeedButton1Click();
    const QByteArray bytes = readFile(path(s.file));
    if (s.rich) {
        EXPECT_TRUE(bytes.startsWith("{\\rtf")) << bytes.left(20).constData();
    } else {
        EXPECT_EQ(bytes, cp932::encode(u"一行目\r\n二行目"));
    }
    EXPECT_EQ(title(), captionBefore);
    EXPECT_FALSE(memo()->document()->isModified());
    EXPECT_EQ(w().state().GrdR.entries(), QStringList{documentPath});
    EXPECT_TRUE(prompter.shown.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Paths, OverwriteSave,
    ::testing::Values(SaveCase{"BareNameIntoProgramFolder", QStringLiteral("MEMO.TXT"), QStringLiteral("MEMO.TXT"), false},
                      SaveCase{"NoExtensionIsPlain", QStringLiteral("NOTES"), QStringLiteral("NOTES"), false},
                      SaveCase{"DocIsPlain", QStringLiteral("A.DOC"), QStringLiteral("A.DOC"), false},
                      SaveCase{"RtfIsRich", QStringLiteral("A.RTF"), QStringLiteral("A.RTF"), true},
                      SaveCase{"LowerCaseRtfIsRich", QStringLiteral("b.rtf"), QStringLiteral("b.rtf"), true},
                      SaveCase{"FullPath", QStringLiteral("{}FULL.TXT"), QStringLiteral("FULL.TXT"), false}),
    [](const ::testing::TestParamInfo<SaveCase>& info) { return info.param.name; });

TEST_F(MainWindowTest, SaveWithoutAPathGoesToSaveAs) {
    start();
    type(QStringLiteral("x"));
    w().SpeedButton1Click();
    EXPECT_EQ(prompter.shown, QStringList{QStringLiteral("saveas")});
    widget<QToolButton>(QStringLiteral("SpeedButton8"))->click();
    EXPECT_EQ(prompter.shown.size(), 2);
}

TEST_F(MainWindowTest, FailedSaveReportsThePathAndStaysModified) {
    start();
    // A folder where the file should be: the write cannot replace it.
    const QString blocked = path(QStringLiteral("DIR.TXT"));
    ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("DIR.TXT")));
    w().state().setLblFullName(QStringLiteral("DIR.TXT"));
    type(QStringLiteral("new"));
    w().SpeedButton1Click();
    EXPECT_EQ(prompter.errors(), QStringList{QStringLiteral("ﾌｧｲﾙ ") + blocked + QStringLiteral(" を作成できません")});
    EXPECT_TRUE(memo()->document()->isModified());
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
    EXPECT_TRUE(memo()->document()->isModified());

    // Declining at close is a save that did not happen: the close is refused.
    prompter.yesNoCancel.push_back(Answer::Yes);
    prompter.yesNo.push_back(false);
    EXPECT_FALSE(requestClose());
    EXPECT_FALSE(QFile::exists(settingsPath()));

    prompter.yesNo.push_back(true);
    w().SpeedButton1Click();
    EXPECT_EQ(readFile(path(QStringLiteral("U.TXT"))), QByteArray("a?b?c?"));
    EXPECT_FALSE(memo()->document()->isModified());
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

TEST_F(MainWindowTest, ShortcutsRunTheButtonHandlers) {
    start();
    w().show();
    w().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    type(QStringLiteral("x"));

    QTest::keyClick(memo(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(prompter.shown, QStringList{QStringLiteral("saveas")});
    QTest::keyClick(memo(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(prompter.shown.size(), 2) << "no path: the save goes to save as";
    prompter.shown.clear();

    prompter.yesNoCancel.push_back(Answer::Cancel);
    QTest::keyClick(memo(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(prompter.shown, QStringList{kQuestion});
    prompter.shown.clear();

    w().MarkClean();
    prompter.openFiles.push_back(QString());
    QTest::keyClick(memo(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(prompter.shown, QStringList{kFilter});

    // The editor's own undo still works.
    QTest::keyClick(memo(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(memo()->toPlainText().isEmpty());
}

TEST_F(MainWindowTest, HistoryButtonShowsThePlaceholderForAnEmptyHistory) {
    start();
    w().state().setLblGName(QStringLiteral("G"));
    widget<QToolButton>(QStringLiteral("SpeedButton5"))->click();
    auto* list = widget<QListWidget>(QStringLiteral("PanelPass"));
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("..ﾌｧｲﾙ履歴無し.."));
    EXPECT_EQ(widget<QLabel>(QStringLiteral("Panel1"))->text(), QStringLiteral("ﾌｧｲﾙ使用履歴"));
    EXPECT_TRUE(widget(QStringLiteral("PnlLst"))->isVisibleTo(window.get()));
    EXPECT_TRUE(w().state().LblGName().isEmpty());
}

TEST_F(MainWindowTest, HistoryModeListFollowsEveryRecordingOtherModesDoNot) {
    start();
    w().state().setLblFullName(QStringLiteral("A.TXT"));
    w().RirekiSet();
    w().PGFClick();
    auto* list = widget<QListWidget>(QStringLiteral("PanelPass"));
    EXPECT_EQ(list->count(), 1);
    w().state().setLblFullName(QStringLiteral("B.TXT"));
    w().RirekiSet();
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("B.TXT"));
    EXPECT_EQ(list->item(1)->text(), QStringLiteral("A.TXT"));

    widget<QLabel>(QStringLiteral("Panel1"))->setText(QStringLiteral("G"));
    w().state().setLblFullName(QStringLiteral("C.TXT"));
    w().RirekiSet();
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(w().state().GrdR.place(1), QStringLiteral("C.TXT"));
}

} // namespace
} // namespace tess::testing
