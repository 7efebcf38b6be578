// The line display on paragraphs that wrap, also on those the editor has
// not shown yet: after an open, a new width and edits out of sight.

#include "mainwindowfixture.h"

#include "core/cp932.h"
#include "mainwindow/editorlayout.h"
#include "mainwindow/editorwidget.h"
#include "richtext/richtext.h"

#include <QPlainTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

namespace tess::testing {
namespace {

class DisplayLinesTest : public MainWindowTest {
protected:
    // A document of `paragraphs` paragraphs that each wrap into two display
    // lines at the window's width, ending with a line end, opened as the
    // user opens a file.
    void openTwoLineParagraphs(int paragraphs) {
        start();
        w().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        type(QString(400, QChar(u'あ')));
        QApplication::processEvents();
        const QTextLayout* probe = memo()->document()->firstBlock().layout();
        ASSERT_GT(probe->lineCount(), 2);
        paragraph = QString(probe->lineAt(0).textLength() * 3 / 2, QChar(u'あ'));
        memo()->clear();
        w().MarkClean();

        QByteArray bytes;
        for (int i = 0; i < paragraphs; ++i) bytes += cp932::encode(paragraph) + "\r\n";
        const QString file = path(QStringLiteral("WRAPPED.TXT"));
        writeFile(file, bytes);
        prompter.openFiles.push_back(file);
        w().SpeedButton7Click();
        // A large file goes in a part at a time.
        for (int i = 0; i < 100000 && textPending(*memo()->document()); ++i) QApplication::processEvents();
        ASSERT_EQ(memo()->document()->blockCount(), paragraphs + 1);
    }
    EditorWidget* editor() { return static_cast<EditorWidget*>(memo()); }
    // Lets the background counting finish, as an idle editor does.
    void settle() {
        for (int i = 0; i < 1000000 && !editor()->displayLinesExact(); ++i) QApplication::processEvents();
        ASSERT_TRUE(editor()->displayLinesExact());
        QApplication::processEvents();
    }
    QString lineAfter(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(memo(), key, modifiers);
        return labelText(QStringLiteral("Label2"));
    }
    QString lineAtParagraph(int number) {
        QTextCursor c(memo()->document()->findBlockByNumber(number));
        memo()->setTextCursor(c);
        return labelText(QStringLiteral("Label2"));
    }

    QString paragraph;
};

TEST_F(DisplayLinesTest, CountsEveryDisplayLineOfParagraphsNotYetShown) {
    openTwoLineParagraphs(2000);
    // Near the top the number is exact at once.
    EXPECT_EQ(lineAtParagraph(100), QStringLiteral("201"));
    settle();
    EXPECT_EQ(lineAfter(Qt::Key_End, Qt::ControlModifier), QStringLiteral("4001"));
    EXPECT_EQ(lineAfter(Qt::Key_Up), QStringLiteral("4000"));
    EXPECT_EQ(lineAtParagraph(1000), QStringLiteral("2001"));
    EXPECT_EQ(lineAfter(Qt::Key_Home, Qt::ControlModifier), QStringLiteral("1"));
    // The scroll bar counts the same lines.
    EXPECT_EQ(memo()->document()->lineCount(), 4001);
}

TEST_F(DisplayLinesTest, ANewWidthCountsAgain) {
    openTwoLineParagraphs(600);
    settle();
    struct Case {
        int width;
        const char* last;
    };
    // Wide enough for a paragraph on one line, then back.
    for (const Case& c : {Case{2 * w().width(), "601"}, Case{w().width(), "1201"}}) {
        w().resize(c.width, w().height());
        QApplication::processEvents();
        settle();
        EXPECT_EQ(lineAfter(Qt::Key_End, Qt::ControlModifier), QString::fromLatin1(c.last)) << c.width;
        QTest::keyClick(memo(), Qt::Key_Home, Qt::ControlModifier);
    }
}

// A new width lays out only what is shown, as it is painted; the caret
// moving into a paragraph laid out at the old width and not shown since
// moves by its lines at the new one.
TEST_F(DisplayLinesTest, TheCaretMovesByTheNewWidthsLinesOutOfSight) {
    openTwoLineParagraphs(2000);
    settle();
    EXPECT_EQ(lineAtParagraph(1000), QStringLiteral("2001"));
    QApplication::processEvents();
    memo()->verticalScrollBar()->setValue(0);
    QApplication::processEvents();
    // Down before anything is painted or counted at the new width: the
    // caret's paragraph holds one line now, so Down goes to the next
    // paragraph rather than to the old second line.
    w().resize(2 * w().width(), w().height());
    ASSERT_EQ(memo()->textCursor().blockNumber(), 1000);
    QTest::keyClick(memo(), Qt::Key_Down);
    EXPECT_EQ(memo()->textCursor().blockNumber(), 1001);
    EXPECT_EQ(memo()->textCursor().positionInBlock(), 0);
    settle();
    EXPECT_EQ(lineAfter(Qt::Key_Down), QStringLiteral("1003"));
}

// The paragraphs shown keep their shaped glyphs, and paging through a whole
// document leaves only the last few thousand characters' worth kept.
TEST_F(DisplayLinesTest, OnlyTheParagraphsLaidOutLastKeepTheirGlyphs) {
    openTwoLineParagraphs(4000);
    QTextDocument* doc = memo()->document();
    for (int i = 0; i < 2000 && memo()->textCursor().blockNumber() < doc->blockCount() - 1; ++i) {
        QTest::keyClick(memo(), Qt::Key_PageDown);
        QApplication::processEvents();
    }
    ASSERT_EQ(memo()->textCursor().blockNumber(), doc->blockCount() - 1);
    EXPECT_TRUE(memo()->textCursor().block().layout()->cacheEnabled());
    qsizetype kept = 0;
    size_t paragraphs = 0;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        if (b.layout()->cacheEnabled()) kept += b.length(), ++paragraphs;
    EXPECT_LE(kept, std::max<qsizetype>(EditorLayout::kShapedCharacters + paragraph.size() + 1,
                                        qsizetype(EditorLayout::kShapedParagraphs) * (paragraph.size() + 1)));
    EXPECT_GE(paragraphs, EditorLayout::kShapedParagraphs);
}

// Between events the page below the view is laid out ahead, ready for
// PageDown, and nothing far beyond it.
TEST_F(DisplayLinesTest, ThePageBelowIsLaidOutAheadAndNothingFarther) {
    openTwoLineParagraphs(2000);
    QTextDocument* doc = memo()->document();
    auto* layout = qobject_cast<EditorLayout*>(doc->documentLayout());
    ASSERT_NE(layout, nullptr);
    QTest::qWait(50);
    const int lastShown = memo()->cursorForPosition(memo()->viewport()->rect().bottomLeft()).blockNumber();
    const int page = lastShown + 1;
    EXPECT_TRUE(layout->laidOut(doc->findBlockByNumber(lastShown + page / 2)));
    EXPECT_TRUE(layout->laidOut(doc->findBlockByNumber(lastShown + page)));
    EXPECT_FALSE(layout->laidOut(doc->findBlockByNumber(lastShown + 10 * page)));
}

TEST_F(DisplayLinesTest, EditsOutOfSightAreCounted) {
    openTwoLineParagraphs(600);
    settle();
    EXPECT_EQ(lineAfter(Qt::Key_End, Qt::ControlModifier), QStringLiteral("1201"));
    // Far above the caret, out of sight: a paragraph added, then two joined
    // into one of three lines.
    QTextCursor far(memo()->document()->findBlockByNumber(300));
    far.insertText(paragraph + QStringLiteral("\n"));
    settle();
    EXPECT_EQ(labelText(QStringLiteral("Label2")), QStringLiteral("1203"));
    far.setPosition(memo()->document()->findBlockByNumber(200).position() + paragraph.size());
    far.deleteChar();
    settle();
    EXPECT_EQ(labelText(QStringLiteral("Label2")), QStringLiteral("1202"));
    EXPECT_EQ(memo()->document()->findBlockByNumber(200).lineCount(), 3);
}

// Whatever the paragraphs hold (words, blanks, punctuation that may not
// start a line, tabs, characters outside the basic plane, other fonts), the
// counts are those of the layout itself.
TEST_F(DisplayLinesTest, CountsAreTheLayoutsOwn) {
    start();
    w().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const QStringList pieces = {QStringLiteral("word "), QStringLiteral("日本語"), QStringLiteral("。"),
                                QStringLiteral("「かぎ」"), QStringLiteral("  "), QStringLiteral("ﾊﾝｶｸ"),
                                QStringLiteral("\t"), QStringLiteral("😀"), QStringLiteral("longerwordwithoutbreaks"),
                                QStringLiteral("、"), QStringLiteral("１２３"), QStringLiteral("x")};
    quint32 seed = 12345;
    const auto next = [&](quint32 n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    // Filled apart from the editor, then handed over as an open does: the
    // editor lays out only what it shows.
    auto* doc = new QTextDocument(memo());
    doc->setDocumentLayout(new QPlainTextDocumentLayout(doc));
    doc->setDefaultFont(memo()->font());
    QTextCursor c(doc);
    QTextCharFormat large;
    large.setFontPointSize(20);
    for (int p = 0; p < 600; ++p) {
        if (p) c.insertBlock();
        const int count = int(next(60));
        for (int i = 0; i < count; ++i)
            c.insertText(pieces[next(pieces.size())], next(8) == 0 ? large : QTextCharFormat());
    }
    memo()->setDocument(doc);
    memo()->moveCursor(QTextCursor::Start);
    settle();

    auto* layout = qobject_cast<QPlainTextDocumentLayout*>(memo()->document()->documentLayout());
    int differing = 0;
    for (QTextBlock b = memo()->document()->begin(); b.isValid(); b = b.next()) {
        const int counted = b.lineCount();
        layout->ensureBlockLayout(b);
        if (b.layout()->lineCount() != counted) ++differing;
    }
    EXPECT_EQ(differing, 0);
}

} // namespace
} // namespace tess::testing
