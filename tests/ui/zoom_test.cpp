// The editor's zoom: it scales what is shown and nothing that is kept.

#include "mainwindowfixture.h"

#include "mainwindow/editorwidget.h"
#include "mainwindow/editorzoom.h"
#include "richtext/richtext.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QWheelEvent>

namespace tess::testing {
namespace {

TEST(ZoomSteps, StepsStayInRangeAndStoredValuesFallBack) {
    struct Case {
        int percent, steps, expected;
    };
    for (const Case& c : {Case{100, 1, 110}, Case{100, -1, 90}, Case{105, 1, 110}, Case{105, -1, 100},
                          Case{395, 3, 400}, Case{50, -1, 50}, Case{60, -5, 50}, Case{400, 1, 400}})
        EXPECT_EQ(zoom::stepped(c.percent, c.steps), c.expected) << c.percent << " " << c.steps;
    for (const auto& [value, expected] : std::initializer_list<std::pair<const char*, int>>{
             {"150", 150}, {" 50 ", 50}, {"400", 400}, {"49", 100}, {"401", 100}, {"abc", 100}, {"", 100}})
        EXPECT_EQ(zoom::fromSetting(QString::fromLatin1(value)), expected) << value;
}

qreal firstLineHeight(QPlainTextEdit& edit) {
    const QTextBlock block = edit.document()->firstBlock();
    return edit.document()->documentLayout()->blockBoundingRect(block).height();
}

// The view grows with the zoom; the document, its formats, its undo and the
// file written from it stay exactly as they were.
TEST(EditorZoom, ScalesTheViewAndLeavesTheDocumentAsItWas) {
    EditorWidget edit;
    edit.setFont(QFont(QStringLiteral("Noto Sans Mono CJK JP")));
    QFont pixels = edit.font();
    pixels.setPixelSize(13);
    edit.setFont(pixels);
    edit.resize(400, 300);
    edit.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    edit.setPlainText(QStringLiteral("日本語の文章です。") + QString(200, QChar(0x3042)) + QStringLiteral("\n二行目"));
    QTextCursor cursor(edit.document());
    cursor.setPosition(2);
    cursor.setPosition(5, QTextCursor::KeepAnchor);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setFontPointSize(20);
    cursor.mergeCharFormat(bold);
    edit.document()->clearUndoRedoStacks();
    edit.document()->setModified(false);
    const QByteArray rtf = writeRichText(*edit.document());
    const QFont widgetFont = edit.font();
    const QFont defaultFont = edit.document()->defaultFont();
    const qreal height = firstLineHeight(edit);
    const EditorWidget::Position far = edit.displayPosition(edit.document()->firstBlock().length() - 2);
    ASSERT_GT(far.line, 1);

    EditorZoom& zoom = *edit.zoom();
    for (int percent : {200, 400, 50, 100, 150}) {
        zoom.setPercent(percent);
        EXPECT_EQ(zoom.percent(), percent);
        EXPECT_EQ(writeRichText(*edit.document()), rtf) << percent;
        EXPECT_FALSE(edit.document()->isModified()) << percent;
        EXPECT_FALSE(edit.document()->isUndoAvailable()) << percent;
        EXPECT_EQ(edit.font(), widgetFont) << percent;
        EXPECT_EQ(edit.document()->defaultFont(), defaultFont) << percent;
    }
    // At 150 % the paragraph is taller and wraps into more display lines.
    EXPECT_GT(firstLineHeight(edit), height * 1.3);
    EXPECT_GT(edit.displayPosition(edit.document()->firstBlock().length() - 2).line, far.line);
    zoom.setPercent(100);
    EXPECT_DOUBLE_EQ(firstLineHeight(edit), height);
    EXPECT_EQ(edit.displayPosition(edit.document()->firstBlock().length() - 2).line, far.line);

    // Ctrl+wheel zooms the view, a notch a step, instead of changing the
    // widget's font as the plain editor would; a plain wheel scrolls.
    const auto wheel = [&](int angle, Qt::KeyboardModifiers modifiers) {
        QWheelEvent event(QPointF(10, 10), edit.viewport()->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, angle),
                          Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(edit.viewport(), &event);
    };
    wheel(120, Qt::ControlModifier);
    EXPECT_EQ(zoom.percent(), 110);
    wheel(60, Qt::ControlModifier);
    EXPECT_EQ(zoom.percent(), 110);
    wheel(60, Qt::ControlModifier);
    EXPECT_EQ(zoom.percent(), 120);
    wheel(-120, Qt::NoModifier);
    EXPECT_EQ(zoom.percent(), 120);
    EXPECT_EQ(edit.font(), widgetFont);
    EXPECT_EQ(writeRichText(*edit.document()), rtf);
}

// The keys, the status bar and the settings file.
TEST_F(MainWindowTest, ZoomKeysShowInTheStatusBarAndComeBackAtTheNextStart) {
    writeSettings({{{ini::kTessarine, ini::kZoom, QStringLiteral("250")}}});
    start();
    showActive();
    EditorZoom& zoom = *static_cast<EditorWidget*>(memo())->zoom();
    EXPECT_EQ(zoom.percent(), 250);
    EXPECT_EQ(labelText(QStringLiteral("LblZoom")), QStringLiteral("250%"));
    EXPECT_TRUE(visible(QStringLiteral("LblZoom")));
    // A file opened is shown at the zoom too: its document is a new one.
    const QString file = path(QStringLiteral("ZOOMED.TXT"));
    writeFile(file, "zoomed\r\n");
    prompter.openFiles.push_back(file);
    w().SpeedButton7Click();
    ASSERT_EQ(memo()->toPlainText(), QStringLiteral("zoomed\n"));
    const QPaintDevice* device = memo()->document()->documentLayout()->paintDevice();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->logicalDpiY(), 240);
    w().SpeedButton6Click();
    prompter.shown.clear();
    memo()->setFocus();
    QTest::keyClick(memo(), Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(zoom.percent(), 240);
    QTest::keyClick(memo(), Qt::Key_Equal, Qt::ControlModifier);
    QTest::keyClick(memo(), Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(zoom.percent(), 260);
    QTest::keyClick(memo(), Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(zoom.percent(), 100);
    EXPECT_FALSE(visible(QStringLiteral("LblZoom")));
    QTest::keyClick(memo(), Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(labelText(QStringLiteral("LblZoom")), QStringLiteral("110%"));
    EXPECT_TRUE(memo()->toPlainText().isEmpty());
    ASSERT_TRUE(requestClose());
    EXPECT_EQ(setting(ini::kTessarine, ini::kZoom).value, QStringLiteral("110"));

    // A value that is not a zoom is ours to drop without a word.
    writeSettings({{{ini::kTessarine, ini::kZoom, QStringLiteral("5000")}}});
    start();
    EXPECT_EQ(static_cast<EditorWidget*>(memo())->zoom()->percent(), 100);
    EXPECT_TRUE(prompter.shown.isEmpty());
}

} // namespace
} // namespace tess::testing
