// Pasting into the editor: what the documents hold comes along, everything
// else as its text; a copy inside the editor keeps the formats.

#include "mainwindow/editorlayout.h"
#include "mainwindow/editorwidget.h"
#include "richtext/richtext.h"
#include "richtext/softbreaks.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTextBlock>
#include <QTest>
#include <QTextCursor>
#include <QTextLayout>

namespace tess {
namespace {

QTextCharFormat formatAt(QPlainTextEdit& edit, const QString& text) {
    const int at = edit.toPlainText().indexOf(text);
    EXPECT_GE(at, 0) << text.toStdString();
    QTextCursor probe(edit.document());
    probe.setPosition(at + 1);
    return probe.charFormat();
}

TEST(EditorPaste, KeepsParagraphsAndCharacterFormatsAndTheRestAsText) {
    EditorWidget edit;
    edit.setPlainText(QStringLiteral("前後"));
    QTextCursor c = edit.textCursor();
    c.setPosition(1);
    edit.setTextCursor(c);

    auto* html = new QMimeData;  // the clipboard takes it
    html->setHtml(QStringLiteral(
        "<p><b>太字</b><span style=\"color:#ff0000;background-color:#ffff00;font-size:20pt\">赤</span>"
        "<a href=\"https://example.com/\">リンク</a><img src=\"x.png\"><i><u><s>飾り</s></u></i></p>"
        "<ul><li>項目</li></ul><table><tr><td>セル1</td><td>セル2</td></tr></table>"));
    html->setText(QStringLiteral("plain fallback"));
    QApplication::clipboard()->setMimeData(html);
    edit.paste();
    QApplication::clipboard()->clear();

    EXPECT_EQ(edit.toPlainText(), QStringLiteral("前太字赤リンク飾り\n項目\nセル1\nセル2後"));
    EXPECT_EQ(formatAt(edit, QStringLiteral("太字")).fontWeight(), QFont::Bold);
    const QTextCharFormat red = formatAt(edit, QStringLiteral("赤"));
    EXPECT_EQ(red.foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(red.background().color(), QColor(255, 255, 0));
    EXPECT_EQ(red.fontPointSize(), 20);
    const QTextCharFormat link = formatAt(edit, QStringLiteral("リンク"));
    EXPECT_FALSE(link.isAnchor());
    EXPECT_FALSE(link.hasProperty(QTextFormat::AnchorHref));
    EXPECT_FALSE(link.fontUnderline());
    const QTextCharFormat decorated = formatAt(edit, QStringLiteral("飾り"));
    EXPECT_TRUE(decorated.fontItalic());
    EXPECT_TRUE(decorated.fontUnderline());
    EXPECT_TRUE(decorated.fontStrikeOut());
    // No list, table or picture made it into the document.
    for (QTextBlock b = edit.document()->begin(); b.isValid(); b = b.next()) EXPECT_EQ(b.textList(), nullptr);
    EXPECT_FALSE(edit.toPlainText().contains(QChar::ObjectReplacementCharacter));

    // One undo takes the whole paste back.
    edit.undo();
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("前後"));
}

TEST(EditorPaste, CopyInsideTheEditorKeepsFormatsAndPlainTextStaysPlain) {
    EditorWidget edit;
    QTextCursor c(edit.document());
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.insertText(QStringLiteral("太字"), bold);
    c.insertText(QStringLiteral("普通"), QTextCharFormat());
    c.setPosition(0);
    c.setPosition(4, QTextCursor::KeepAnchor);
    edit.setTextCursor(c);
    edit.copy();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("太字普通"));
    edit.moveCursor(QTextCursor::End);
    edit.paste();
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("太字普通太字普通"));
    QTextCursor probe(edit.document());
    probe.setPosition(6);
    EXPECT_EQ(probe.charFormat().fontWeight(), QFont::Bold);

    auto* text = new QMimeData;
    text->setText(QStringLiteral("ただの文字"));
    QApplication::clipboard()->setMimeData(text);
    edit.paste();
    EXPECT_TRUE(edit.toPlainText().endsWith(QStringLiteral("ただの文字")));
    QApplication::clipboard()->clear();
}


// A line of a file far longer than a screen shows in pieces; the keys, the
// copy and the paste treat it as the one line it is.
// The lines of every paragraph shown, after any change of width, font or
// text, are those a fresh layout at the editor's width gives: nothing shown
// keeps lines of an old width or font.
TEST(EditorLayoutLines, ShownParagraphsFollowEveryChangeOfWidthFontAndText) {
    EditorWidget edit;
    edit.resize(500, 400);
    edit.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    QString text;
    for (int i = 0; i < 3000; ++i) text += QString(20 + i % 60, QChar(u'あ' + i % 40)) + QStringLiteral(" end\n");
    edit.setPlainText(text);
    auto* layout = qobject_cast<EditorLayout*>(edit.document()->documentLayout());
    ASSERT_NE(layout, nullptr);

    const auto expectFresh = [&](const char* after) {
        QApplication::processEvents();
        int shown = 0;
        const QRect view = edit.viewport()->rect();
        const int last = edit.cursorForPosition(view.bottomRight()).blockNumber();
        for (QTextBlock b = edit.cursorForPosition(view.topLeft()).block(); b.isValid() && b.blockNumber() <= last;
             b = b.next(), ++shown) {
            QTextLayout fresh(b);
            fresh.setTextOption(edit.document()->defaultTextOption());
            fresh.beginLayout();
            for (QTextLine line = fresh.createLine(); line.isValid(); line = fresh.createLine())
                line.setLineWidth(layout->lineWidth());
            fresh.endLayout();
            const QTextLayout* kept = b.layout();
            ASSERT_EQ(kept->lineCount(), fresh.lineCount()) << after << " paragraph " << b.blockNumber();
            for (int i = 0; i < fresh.lineCount(); ++i)
                EXPECT_EQ(kept->lineAt(i).textStart(), fresh.lineAt(i).textStart()) << after;
            EXPECT_EQ(b.lineCount(), fresh.lineCount()) << after;
        }
        EXPECT_GE(shown, 1) << after;
    };
    expectFresh("the start");
    // Far down and back, so that paragraphs out of sight hold old lines.
    edit.moveCursor(QTextCursor::End);
    QApplication::processEvents();
    edit.moveCursor(QTextCursor::Start);
    edit.resize(300, 400);
    expectFresh("a narrower view");
    edit.moveCursor(QTextCursor::End);
    expectFresh("the end after the new width");
    QFont larger = edit.document()->defaultFont();
    ASSERT_GT(larger.pointSizeF(), 0);
    larger.setPointSizeF(larger.pointSizeF() * 2);
    const QTextBlock topText = edit.cursorForPosition(QPoint(0, 0)).block();
    const int linesBefore = topText.layout()->lineCount();
    edit.document()->setDefaultFont(larger);
    expectFresh("a larger font");
    EXPECT_GT(topText.layout()->lineCount(), linesBefore);
    edit.insertPlainText(QString(200, QChar(u'い')));
    expectFresh("typing");
    QTextCursor top(edit.document());
    top.insertText(text.left(text.size() / 3));
    edit.moveCursor(QTextCursor::Start);
    expectFresh("paragraphs inserted above");
}

TEST(EditorLongLine, KeysCopyAndPasteKeepTheOneLine) {
    QString line;
    for (int i = 0; line.size() < 3 * soft_breaks::kLongParagraph; ++i) line += QStringLiteral("一行の文章、");
    EditorWidget edit;
    readPlainText(QByteArrayView(text::encode(line, text::Encoding::ShiftJis)), *edit.document());
    const int end = soft_breaks::positions(*edit.document()).at(1);
    const QString before = soft_breaks::plainText(*edit.document());
    const int inFile = end - 1;  // one soft end before it

    // Delete at a piece's end and Backspace at the next one's start take the
    // characters beside the soft end, not the end itself.
    QTextCursor c = edit.textCursor();
    c.setPosition(end);
    edit.setTextCursor(c);
    QTest::keyClick(&edit, Qt::Key_Delete);
    c.setPosition(end + 1);
    edit.setTextCursor(c);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_TRUE(soft_breaks::isSoft(*edit.document(), end - 1));
    EXPECT_EQ(soft_breaks::plainText(*edit.document()), QString(before).remove(inFile - 1, 2));
    edit.undo();
    edit.undo();
    EXPECT_EQ(soft_breaks::plainText(*edit.document()), before);

    // A copy across soft ends is the line; pasted back it is one line again.
    c.setPosition(10);
    c.setPosition(edit.document()->characterCount() - 1, QTextCursor::KeepAnchor);
    edit.setTextCursor(c);
    edit.copy();
    EXPECT_EQ(QApplication::clipboard()->text(), line.mid(10));
    EditorWidget other;
    other.paste();
    EXPECT_EQ(soft_breaks::plainText(*other.document()), line.mid(10));
    EXPECT_GE(soft_breaks::positions(*other.document()).size(), 4u);
    for (QTextBlock b = other.document()->begin(); b.isValid(); b = b.next())
        EXPECT_LE(b.length() - 1, soft_breaks::kLongParagraph);
    // One undo takes the paste and its pieces back.
    other.undo();
    EXPECT_EQ(other.toPlainText(), QString());
    QApplication::clipboard()->clear();
}

// Many lines, as plain text and as rich text, go in a part at a time and
// come out whole, one undo step each.
TEST(EditorPaste, LargePasteGoesInPartsAsOneUndoStep) {
    QString lines;
    for (int i = 0; lines.size() < 600 * 1000; ++i) lines += QStringLiteral("%1行目\n").arg(i);
    lines.chop(1);
    QTextDocument rich;
    rich.setPlainText(lines);
    for (const bool rtf : {false, true}) {
        auto* data = new QMimeData;
        if (rtf) data->setData(QStringLiteral("text/rtf"), writeRichText(rich));
        else data->setText(lines);
        QApplication::clipboard()->setMimeData(data);
        EditorWidget target;
        target.setPlainText(QStringLiteral("前後"));
        QTextCursor at = target.textCursor();
        at.setPosition(1);
        target.setTextCursor(at);
        target.paste();
        EXPECT_TRUE(target.toPlainText() == QStringLiteral("前") + lines + QStringLiteral("後")) << rtf;
        target.undo();
        EXPECT_EQ(target.toPlainText(), QStringLiteral("前後")) << rtf;
    }
    QApplication::clipboard()->clear();
}

} // namespace
} // namespace tess
