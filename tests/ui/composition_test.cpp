// The editor and the input method: the modified marker through a
// composition, the composition's colours, and redo from the keyboard.

#include "core/caption.h"
#include "mainwindow/editorwidget.h"
#include "mainwindowfixture.h"

#include <QInputMethodEvent>
#include <QTextBlock>
#include <QTextLayout>

namespace tess::testing {
namespace {

using Attribute = QInputMethodEvent::Attribute;

void compose(QWidget* editor, const QString& preedit, const QList<Attribute>& attributes = {},
             const QString& commit = {}) {
    QInputMethodEvent event(preedit, attributes);
    if (!commit.isNull()) event.setCommitString(commit);
    QApplication::sendEvent(editor, &event);
}

// The marker in the caption and the document's modified flag say the same
// thing at every step of a composition: what is only being composed is no
// change, a committed character is one, and an undo back to the saved text
// takes both away.
TEST_F(MainWindowTest, ModifiedMarkerAndFlagAgreeThroughAComposition) {
    start();
    struct Step {
        const char* what;
        std::function<void()> act;
        bool changed;
    };
    const Step steps[] = {
        {"preedit", [&] { compose(memo(), QStringLiteral("か")); }, false},
        {"longer preedit", [&] { compose(memo(), QStringLiteral("かな")); }, false},
        {"cancelled", [&] { compose(memo(), QString(), {}, QStringLiteral("")); }, false},
        {"preedit again", [&] { compose(memo(), QStringLiteral("かんじ")); }, false},
        {"committed", [&] { compose(memo(), QString(), {}, QStringLiteral("漢字")); }, true},
        {"undone", [&] { memo()->undo(); }, false},
        {"redone", [&] { memo()->redo(); }, true},
    };
    for (const Step& s : steps) {
        s.act();
        EXPECT_EQ(caption::hasMarker(title()), s.changed) << s.what;
        EXPECT_EQ(modified(), s.changed) << s.what;
        EXPECT_EQ(w().state().LblUpdate.isEmpty(), !s.changed) << s.what;
    }
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("漢字"));
    // A committed character after a save marks the document again.
    w().MarkClean();
    compose(memo(), QStringLiteral("じ"));
    EXPECT_EQ(title(), caption::kNewFile);
    compose(memo(), QString(), {}, QStringLiteral("字"));
    EXPECT_EQ(title(), caption::kNewFile + caption::kModifiedMarker);
    EXPECT_TRUE(modified());
}

// Ctrl+Y redoes as on Windows; the platform's Ctrl+Shift+Z still does.
TEST_F(MainWindowTest, CtrlYAndCtrlShiftZRedo) {
    start();
    showActive();
    memo()->setFocus();
    for (const Qt::KeyboardModifiers modifiers : {Qt::KeyboardModifiers(Qt::ControlModifier), Qt::ControlModifier | Qt::ShiftModifier}) {
        const Qt::Key key = modifiers & Qt::ShiftModifier ? Qt::Key_Z : Qt::Key_Y;
        memo()->clear();
        QTest::keyClicks(memo(), QStringLiteral("ab"));
        QTest::keyClick(memo(), Qt::Key_Z, Qt::ControlModifier);
        ASSERT_EQ(memo()->toPlainText(), QString()) << key;
        QTest::keyClick(memo(), key, modifiers);
        EXPECT_EQ(memo()->toPlainText(), QStringLiteral("ab")) << key;
    }
}

// The composition's clauses in the editor's composition colours, with the
// input method's own underline.
TEST(EditorComposition, ClausesTakeTheCompositionColours) {
    const QColor blue(0, 0, 255), white(255, 255, 255), black(0, 0, 0), cyan(0, 255, 255);
    const auto underlined = [](QTextCharFormat::UnderlineStyle style) {
        QTextCharFormat f;
        f.setUnderlineStyle(style);
        return f;
    };
    QTextCharFormat target = underlined(QTextCharFormat::SingleUnderline);
    target.setBackground(QColor(48, 140, 198));  // the platform's selection colours
    target.setForeground(Qt::white);

    struct Range {
        int start, length;
        QColor text, background;
        QTextCharFormat::UnderlineStyle underline;
    };
    struct Case {
        const char* what;
        QList<Attribute> attributes;
        QList<Range> drawn;
    };
    const Case cases[] = {
        {"typed, not yet converted",
         {{QInputMethodEvent::TextFormat, 0, 4, underlined(QTextCharFormat::DashUnderline)},
          {QInputMethodEvent::Cursor, 4, 1, QVariant()}},
         {{0, 4, blue, white, QTextCharFormat::DashUnderline}}},
        {"converted, the middle clause being converted",
         {{QInputMethodEvent::TextFormat, 0, 1, underlined(QTextCharFormat::DashUnderline)},
          {QInputMethodEvent::TextFormat, 1, 2, target},
          {QInputMethodEvent::TextFormat, 3, 1, underlined(QTextCharFormat::DashUnderline)}},
         {{0, 1, blue, white, QTextCharFormat::DashUnderline},
          {1, 2, black, cyan, QTextCharFormat::SingleUnderline},
          {3, 1, blue, white, QTextCharFormat::DashUnderline}}},
        // Qt draws such a composition with a blank format of its own.
        {"no formats: the platform's own look",
         {{QInputMethodEvent::Cursor, 4, 1, QVariant()}},
         {{0, 4, QColor(), QColor(), QTextCharFormat::NoUnderline}}},
    };
    for (const Case& c : cases) {
        EditorWidget edit;
        edit.setPlainText(QStringLiteral("前"));
        edit.moveCursor(QTextCursor::End);
        QInputMethodEvent event(QStringLiteral("日本語を"), c.attributes);
        QApplication::sendEvent(&edit, &event);

        const QList<QTextLayout::FormatRange> formats = edit.document()->firstBlock().layout()->formats();
        ASSERT_EQ(formats.size(), c.drawn.size()) << c.what;
        for (qsizetype i = 0; i < formats.size(); ++i) {
            const QTextLayout::FormatRange& f = formats[i];
            const Range& r = c.drawn[i];
            EXPECT_EQ(f.start, r.start + 1) << c.what << i;  // after "前"
            EXPECT_EQ(f.length, r.length) << c.what << i;
            const auto colour = [&](QTextFormat::Property p) {
                return f.format.hasProperty(p) ? f.format.brushProperty(p).color() : QColor();
            };
            EXPECT_EQ(colour(QTextFormat::ForegroundBrush), r.text) << c.what << i;
            EXPECT_EQ(colour(QTextFormat::BackgroundBrush), r.background) << c.what << i;
            EXPECT_EQ(f.format.underlineStyle(), r.underline) << c.what << i;
        }
        // The composition is only drawn: the document holds none of it.
        EXPECT_EQ(edit.toPlainText(), QStringLiteral("前")) << c.what;
    }
}

} // namespace
} // namespace tess::testing
