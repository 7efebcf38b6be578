// Find and replace in the main window: the keys, the panel, the notes, the
// width-insensitive option on Japanese text, replace-all as one undo step;
// and files opened from outside (a drop, the command line).

#include "mainwindowfixture.h"

#include "core/caption.h"
#include "mainwindow/filedrop.h"
#include "mainwindow/findreplace.h"

#include <QCheckBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTextCursor>
#include <QUrl>

namespace tess::testing {
namespace {

using namespace Qt::StringLiterals;
using search::Options;

class FindTest : public MainWindowTest {
protected:
    FindReplace& find() { return w().findReplace(); }
    QString selected() { return memo()->textCursor().selectedText(); }
    int selectionStart() { return memo()->textCursor().selectionStart(); }
    void setText(const QString& text) {
        memo()->setPlainText(text);
        memo()->moveCursor(QTextCursor::Start);
    }
};

TEST_F(FindTest, KeysOpenThePanelInsideTheEditorAreaWithOurTexts) {
    start();
    w().resize(700, 500);
    showActive();
    setText(u"検索する文字"_s);
    QTextCursor c = memo()->textCursor();
    c.setPosition(2);
    c.setPosition(4, QTextCursor::KeepAnchor);
    memo()->setTextCursor(c);

    QTest::keyClick(memo(), Qt::Key_F, Qt::ControlModifier);
    auto* panel = widget<QFrame>(u"PnlFind"_s);
    ASSERT_TRUE(panel->isVisible());
    EXPECT_EQ(widget<QLineEdit>(u"EdtFind"_s)->text(), u"する"_s);
    EXPECT_FALSE(widget<QLineEdit>(u"EdtReplace"_s)->isVisible());
    EXPECT_TRUE(widget<QLineEdit>(u"EdtFind"_s)->hasFocus());
    // Inside the editor area: never over the tool column, the list or the preview.
    EXPECT_EQ(panel->parentWidget(), widget(u"Panel8"_s));
    EXPECT_TRUE(QRect(QPoint(), panel->parentWidget()->size()).contains(panel->geometry()));

    QTest::keyClick(memo(), Qt::Key_H, Qt::ControlModifier);
    EXPECT_TRUE(widget<QLineEdit>(u"EdtReplace"_s)->isVisible());
    EXPECT_TRUE(widget<QLineEdit>(u"EdtReplace"_s)->hasFocus());

    const std::pair<const char*, QString> texts[] = {
        {"CBMatchCase", u"大文字と小文字を区別"_s}, {"CBWholeWord", u"単語単位"_s},
        {"CBRegex", u"正規表現"_s},                {"CBWidth", u"全角/半角・かな/ｶﾅを同一視"_s},
        {"BtnFindNext", u"次を検索"_s},            {"BtnFindPrevious", u"前を検索"_s},
        {"BtnReplace", u"置換"_s},                 {"BtnReplaceAll", u"全て置換"_s},
        {"BtnFindClose", u"閉じる"_s},
    };
    for (const auto& [name, text] : texts) {
        auto* b = widget<QAbstractButton>(QString::fromLatin1(name));
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->text(), text) << name;
    }

    // Escape closes it and gives the editor its focus back.
    QTest::keyClick(widget<QLineEdit>(u"EdtReplace"_s), Qt::Key_Escape);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_TRUE(memo()->hasFocus());
}

TEST_F(FindTest, F3AndShiftF3StepThroughMatchesAndWrapWithANote) {
    start();
    showActive();
    setText(u"ｱｲｳ あいう\nアイウ"_s);
    find().setQuery(u"あいう"_s, {}, Options{.widthInsensitive = true});

    QTest::keyClick(memo(), Qt::Key_F3);
    EXPECT_EQ(selected(), u"ｱｲｳ"_s);
    EXPECT_EQ(find().note(), QString());
    QTest::keyClick(memo(), Qt::Key_F3);
    EXPECT_EQ(selected(), u"あいう"_s);
    QTest::keyClick(memo(), Qt::Key_F3);
    EXPECT_EQ(selected(), u"アイウ"_s);
    QTest::keyClick(memo(), Qt::Key_F3);
    EXPECT_EQ(selectionStart(), 0);
    EXPECT_EQ(find().note(), u"文末まで検索しました。文頭から検索を続けます"_s);
    QTest::keyClick(memo(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(selected(), u"アイウ"_s);
    EXPECT_EQ(find().note(), u"文頭まで検索しました。文末から検索を続けます"_s);
    QTest::keyClick(memo(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(selected(), u"あいう"_s);

    // Without the option only the exact form matches.
    find().setQuery(u"あいう"_s, {}, Options{});
    memo()->moveCursor(QTextCursor::Start);
    EXPECT_TRUE(find().findNext());
    EXPECT_EQ(selectionStart(), 4);
    EXPECT_TRUE(find().findNext());
    EXPECT_EQ(selectionStart(), 4);
}

TEST_F(FindTest, NothingFoundAndABadPatternAreToldAndChangeNothing) {
    start();
    setText(u"本文"_s);
    const struct {
        QString pattern;
        Options options;
        QString note;
    } cases[] = {
        {u"ない"_s, {}, u"「ない」が見つかりません"_s},
        {u"(本"_s, {.regex = true}, u"正規表現ｴﾗｰ: "_s + QRegularExpression(u"(本"_s).errorString()},
    };
    for (const auto& c : cases) {
        find().setQuery(c.pattern, u"x"_s, c.options);
        EXPECT_FALSE(find().findNext());
        EXPECT_EQ(find().note(), c.note);
        EXPECT_EQ(find().replaceAll(), 0);
        EXPECT_EQ(memo()->toPlainText(), u"本文"_s);
        EXPECT_FALSE(modified());
    }
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(FindTest, ReplaceAllIsOneUndoStepAndTellsHowMany) {
    start();
    setText(u"ﾃｽﾄ と テスト と てすと と test"_s);
    find().setQuery(u"テスト"_s, u"試験"_s, Options{.widthInsensitive = true});
    EXPECT_EQ(find().replaceAll(), 3);
    EXPECT_EQ(memo()->toPlainText(), u"試験 と 試験 と 試験 と test"_s);
    EXPECT_EQ(find().note(), u"3 件置換しました"_s);
    EXPECT_TRUE(modified());
    EXPECT_TRUE(title().endsWith(caption::kModifiedMarker));
    memo()->undo();
    EXPECT_EQ(memo()->toPlainText(), u"ﾃｽﾄ と テスト と てすと と test"_s);
    EXPECT_FALSE(memo()->document()->isUndoAvailable());
}

// What F3 steps through is what replace-all replaces, also for patterns that
// can match nothing, half-width kana under the width option and a text with
// an unpaired surrogate.
TEST_F(FindTest, FindNextAndReplaceAllAgree) {
    start();
    const QString lone = QString(QChar(0xD800));
    const struct {
        const char* name;
        QString pattern;
        Options options;
        QString text;
        QStringList found;
        QString replaced;
    } cases[] = {
        {"voiced kana, regex and width", u"ｶﾞ"_s, {.regex = true, .widthInsensitive = true}, u"ｶﾞ か ガ"_s,
         {u"ｶﾞ"_s, u"ガ"_s}, u"# か #"_s},
        {"semi-voiced kana, regex and width", u"ﾊﾟﾝ"_s, {.regex = true, .widthInsensitive = true},
         u"パン ﾊﾟﾝ"_s, {u"パン"_s, u"ﾊﾟﾝ"_s}, u"# #"_s},
        {"empty alternative", u"|;"_s, {.regex = true}, u"a;b;"_s, {u";"_s, u";"_s}, u"a#b#"_s},
        {"lazy repeat", u"a*?"_s, {.regex = true}, u"baab"_s, {u"a"_s, u"a"_s}, u"b##b"_s},
        {"unpaired surrogate", u"本"_s, {}, u"本"_s + lone + u"本"_s, {u"本"_s, u"本"_s}, u"#"_s + lone + u"#"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setText(c.text);
        find().setQuery(c.pattern, u"#"_s, c.options);
        QStringList found;
        for (qsizetype i = 0; i < c.found.size(); ++i) {
            EXPECT_TRUE(find().findNext());
            found << selected();
        }
        EXPECT_EQ(found, c.found);
        EXPECT_EQ(find().replaceAll(), c.found.size());
        EXPECT_EQ(memo()->toPlainText(), c.replaced);
    }
}

TEST_F(FindTest, ReplaceReplacesTheSelectedMatchThenSelectsTheNext) {
    start();
    setText(u"a1 b22 c333"_s);
    find().setQuery(u"(\\w)(\\d+)"_s, u"\\2\\1"_s, Options{.regex = true});
    find().replaceOne();  // nothing selected yet: it only finds
    EXPECT_EQ(selected(), u"a1"_s);
    find().replaceOne();
    EXPECT_EQ(memo()->toPlainText(), u"1a b22 c333"_s);
    EXPECT_EQ(selected(), u"b22"_s);
    // A selection that is not a match is not replaced.
    QTextCursor c = memo()->textCursor();
    c.setPosition(0);
    c.setPosition(1, QTextCursor::KeepAnchor);
    memo()->setTextCursor(c);
    find().replaceOne();
    EXPECT_EQ(memo()->toPlainText(), u"1a b22 c333"_s);
    EXPECT_EQ(selected(), u"b22"_s);
}

TEST_F(FindTest, ReplacingKeepsTheFormattingOfTheText) {
    start();
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    QTextCursor c(memo()->document());
    c.insertText(u"前 "_s);
    c.insertText(u"赤字"_s, bold);
    c.insertText(u" 後"_s, QTextCharFormat());
    find().setQuery(u"赤字"_s, u"太字"_s, {});
    EXPECT_EQ(find().replaceAll(), 1);
    QTextCursor at(memo()->document());
    at.setPosition(3);
    EXPECT_EQ(at.charFormat().fontWeight(), QFont::Bold);
    EXPECT_EQ(memo()->toPlainText(), u"前 太字 後"_s);
}

// Files from outside: dropped on the editor, or named on the command line.
TEST_F(FindTest, ADroppedFileOpensAsTheOpenDialogWouldAfterTheQuestion) {
    writeFile(path(u"DROP.TXT"_s), "dropped");
    start();
    type(u"unsaved"_s);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path(u"DROP.TXT"_s))});
    auto* drop = w().findChild<FileDrop*>();
    ASSERT_NE(drop, nullptr);
    // Cancel first: the document stays.
    prompter.yesNoCancel.push_back(Prompter::Answer::Cancel);
    EXPECT_TRUE(drop->drop(&data));
    EXPECT_TRUE(prompter.shown.isEmpty());  // not inside the drop
    QApplication::processEvents();
    EXPECT_EQ(prompter.shown, QStringList{kSaveQuestion});
    EXPECT_EQ(memo()->toPlainText(), u"unsaved"_s);

    prompter.yesNoCancel.push_back(Prompter::Answer::No);
    EXPECT_TRUE(drop->drop(&data));
    QApplication::processEvents();
    EXPECT_EQ(memo()->toPlainText(), u"dropped"_s);
    EXPECT_EQ(w().state().LblFullName(), u"DROP.TXT"_s);
    EXPECT_EQ(title(), u"Tessarine  // [ｸﾞﾙｰﾌﾟなし] / DROP.TXT"_s);
    EXPECT_EQ(w().state().GrdR.place(1), u"DROP.TXT"_s);

    // Text dropped is still text for the editor.
    QMimeData text;
    text.setText(u"plain"_s);
    EXPECT_FALSE(drop->drop(&text));
    QMimeData remote;
    remote.setUrls({QUrl(u"https://example.com/a.txt"_s)});
    EXPECT_FALSE(drop->drop(&remote));
}

TEST_F(FindTest, AFileFromTheCommandLineThatIsMissingKeepsTheDocument) {
    start();
    type(u"keep"_s);
    prompter.yesNoCancel.push_back(Prompter::Answer::No);
    w().openFromOutside(path(u"MISSING.TXT"_s));
    EXPECT_EQ(prompter.messages(), QStringList{u"\""_s + path(u"MISSING.TXT"_s) + u"\" が見つかりません"_s});
    EXPECT_EQ(memo()->toPlainText(), u"keep"_s);
    EXPECT_TRUE(modified());
}

} // namespace
} // namespace tess::testing
