#include "editorwidget.h"

#include "displaylines.h"
#include "editorlayout.h"
#include "editorzoom.h"

#include "richtext/richtext.h"
#include "richtext/softbreaks.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMimeData>
#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextLayout>
#include <QTimer>
#include <QWheelEvent>

namespace tess {

namespace {

const QString kRtf = QStringLiteral("text/rtf");
// Plain text longer than this is pasted a part at a time, and rich text
// this many paragraphs at a time.
constexpr qsizetype kLargePaste = 256 * 1024;
constexpr int kPastePart = 2000;
// The longest turn of laying out ahead of the view.
constexpr qint64 kAheadTurnNs = 3'000'000;
const QString kRtfApplication = QStringLiteral("application/rtf");

bool solid(const QBrush& brush) { return brush.style() == Qt::SolidPattern; }

// Between two parts of a large paste, which stays one undo step: the window
// repaints and runs its timers, but takes no input.
void pauseForTheWindow(QTextCursor& cursor) {
    cursor.endEditBlock();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    cursor.joinPreviousEditBlock();
}

// The pasted text as a document of its own: rich text when the source
// offers it (RTF as word processors put it on the clipboard, else HTML).
bool readSource(const QMimeData* source, QTextDocument& into) {
    for (const QString& type : {kRtf, kRtfApplication}) {
        if (source->hasFormat(type) && readRichText(source->data(type), into)) return true;
    }
    if (source->hasHtml()) {
        into.setHtml(source->html());
        return true;
    }
    return false;
}

// The composition colours: text, background.
struct CompositionColours {
    QColor text, background;
};
// Input not yet converted.
const CompositionColours kUnconverted{QColor(0, 0, 255), QColor(255, 255, 255)};
// The clause being converted, once converted.
const CompositionColours kTarget{QColor(0, 0, 0), QColor(0, 255, 255)};
// The other converted clauses.
const CompositionColours kConverted{QColor(0, 0, 255), QColor(255, 255, 255)};
// A fourth pair, white on blue, stands for the clause being converted while
// it is still unconverted; Qt's composition formats do not say whether a
// clause has been converted, so a marked clause always takes kTarget.

bool marksTarget(const QTextCharFormat& format) {
    return format.hasProperty(QTextFormat::BackgroundBrush) && format.background().style() != Qt::NoBrush;
}

} // namespace

bool colourComposition(QList<QInputMethodEvent::Attribute>& attributes) {
    // Input methods mark the clause being converted the way a selection is
    // drawn, with a background of its own (fcitx and IBus both do); the
    // other clauses only get an underline.  Without such a clause nothing
    // has been converted yet.
    bool converting = false;
    bool formatted = false;
    for (const QInputMethodEvent::Attribute& a : attributes) {
        if (a.type != QInputMethodEvent::TextFormat) continue;
        formatted = true;
        converting = converting || marksTarget(qvariant_cast<QTextFormat>(a.value).toCharFormat());
    }
    if (!formatted) return false;
    for (QInputMethodEvent::Attribute& a : attributes) {
        if (a.type != QInputMethodEvent::TextFormat) continue;
        QTextCharFormat format = qvariant_cast<QTextFormat>(a.value).toCharFormat();
        const CompositionColours& colours =
            !converting ? kUnconverted : marksTarget(format) ? kTarget : kConverted;
        // The underline stays as the input method drew it.
        format.setForeground(colours.text);
        format.setBackground(colours.background);
        a.value = QVariant::fromValue<QTextFormat>(format);
    }
    return true;
}

void insertPlainTextInParts(QPlainTextEdit* edit, const QString& text) {
    // About a few milliseconds of inserting each.
    constexpr qsizetype kPart = 32 * 1024;
    QTextDocument& doc = *edit->document();
    QTextCursor cursor = edit->textCursor();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    cursor.setCharFormat(edit->currentCharFormat());
    for (qsizetype done = 0; done < text.size();) {
        qsizetype size = std::min(kPart, text.size() - done);
        if (size < text.size() - done && QChar(text[done + size - 1]).isHighSurrogate()) --size;
        if (done > 0) pauseForTheWindow(cursor);
        const int from = cursor.position();
        cursor.insertText(QStringView(text).mid(done, size).toString());
        // A long line is split as it grows, not laid out whole at every part.
        soft_breaks::split(doc, from, cursor.position());
        done += size;
    }
    cursor.endEditBlock();
    edit->setTextCursor(cursor);
    edit->ensureCursorVisible();
}

QTextCharFormat keptCharFormat(const QTextCharFormat& f) {
    QTextCharFormat out;
    if (f.hasProperty(QTextFormat::FontFamilies)) out.setFontFamilies(f.fontFamilies().toStringList());
    if (f.hasProperty(QTextFormat::FontPointSize)) out.setFontPointSize(f.fontPointSize());
    // Sizes are held in points, which the zoom scales.
    if (f.hasProperty(QTextFormat::FontPixelSize) && !f.hasProperty(QTextFormat::FontPointSize) &&
        f.intProperty(QTextFormat::FontPixelSize) > 0)
        out.setFontPointSize(pointsForPixels(f.intProperty(QTextFormat::FontPixelSize)));
    if (f.hasProperty(QTextFormat::FontWeight)) out.setFontWeight(f.fontWeight());
    if (f.hasProperty(QTextFormat::FontItalic)) out.setFontItalic(f.fontItalic());
    if (f.hasProperty(QTextFormat::FontStrikeOut)) out.setFontStrikeOut(f.fontStrikeOut());
    // A link's colour and underline say "link", which the document cannot
    // hold: the text comes as plain text.
    if (!f.isAnchor()) {
        if (f.hasProperty(QTextFormat::ForegroundBrush) && solid(f.foreground())) out.setForeground(f.foreground());
        if (f.hasProperty(QTextFormat::TextUnderlineStyle) || f.hasProperty(QTextFormat::FontUnderline))
            out.setFontUnderline(f.fontUnderline());
    }
    if (f.hasProperty(QTextFormat::BackgroundBrush) && solid(f.background())) out.setBackground(f.background());
    return out;
}

EditorWidget::EditorWidget(QWidget* parent) : QPlainTextEdit(parent) {
    auto* doc = new QTextDocument(this);
    doc->setDefaultFont(font());
    setEmptyDocument(this, doc);
    lines_ = new DisplayLines(this);
    zoom_ = new EditorZoom(this);
    connect(lines_, &DisplayLines::countsChanged, this, &EditorWidget::displayLinesChanged);
    ahead_ = new QTimer(this);
    ahead_->setSingleShot(true);
    ahead_->setInterval(0);
    connect(ahead_, &QTimer::timeout, this, [this] {
        if (!layOutAhead()) ahead_->start();
    });
}

void EditorWidget::paintEvent(QPaintEvent* event) {
    QPlainTextEdit::paintEvent(event);
    ahead_->start();
}

bool EditorWidget::layOutAhead() {
    auto* layout = qobject_cast<EditorLayout*>(document()->documentLayout());
    // A file still going in has the turns to itself.
    if (!layout || textPending(*document()) || !isVisible()) return true;
    QElapsedTimer clock;
    clock.start();
    const auto enough = [&clock] { return clock.nsecsElapsed() > kAheadTurnNs; };
    const qreal page = viewport()->height();
    const QTextBlock top = firstVisibleBlock();
    qreal height = 0;
    for (QTextBlock b = top; b.isValid() && height < 3 * page; b = b.next()) {
        if (enough()) return false;
        height += layout->blockBoundingRect(b).height();
    }
    height = 0;
    for (QTextBlock b = top.previous(); b.isValid() && height < page; b = b.previous()) {
        if (enough()) return false;
        height += layout->blockBoundingRect(b).height();
    }
    return true;
}

void setEmptyDocument(QPlainTextEdit* edit, QTextDocument* doc) {
    auto* editor = qobject_cast<EditorWidget*>(edit);
    EditorLayout* own = editor ? new EditorLayout(doc) : nullptr;
    doc->setDocumentLayout(own ? own : new QPlainTextDocumentLayout(doc));
    QPointer<QTextDocument> old = edit->document();
    edit->setDocument(doc);
    if (old && old != doc && old->parent() == edit) delete old.data();
    if (!own) return;
    own->setViewWidth(edit->viewport()->width());
    if (editor->zoom()) editor->zoom()->attach();
}

EditorWidget::Position EditorWidget::displayPosition(int position) {
    const QTextBlock block = document()->findBlock(position);
    if (!block.isValid()) return {};
    lines_->settleBefore(block);
    layOutBlock(block);
    // The layout keeps each paragraph's first display line: this takes the
    // same time anywhere in any document.
    int line = block.firstLineNumber();
    int lineStart = block.position();
    if (const QTextLayout* layout = block.layout(); layout && layout->lineCount() > 0) {
        const QTextLine textLine = layout->lineForTextPosition(position - block.position());
        if (textLine.isValid()) {
            line += textLine.lineNumber();
            lineStart += textLine.textStart();
        }
    }
    return {line + 1, position - lineStart + 1};
}

bool EditorWidget::displayLinesExact() { return lines_->exact(); }

void EditorWidget::resizeEvent(QResizeEvent* event) {
    auto* layout = qobject_cast<EditorLayout*>(document()->documentLayout());
    if (layout && event->oldSize().width() != event->size().width()) {
        // The plain editor would have every paragraph laid out again here;
        // ours lays out the ones shown as they are painted.  Its new size
        // reaches the scroll bars.
        QAbstractScrollArea::resizeEvent(event);
        layout->setViewWidth(viewport()->width());
    } else {
        QPlainTextEdit::resizeEvent(event);
    }
    lines_->checkShape();
}

void EditorWidget::wheelEvent(QWheelEvent* event) {
    // The plain editor's own Ctrl+wheel would change the widget's font,
    // and with it the document's.
    if (event->modifiers() & Qt::ControlModifier) {
        zoom_->wheel(event->angleDelta().y());
        event->accept();
        return;
    }
    QPlainTextEdit::wheelEvent(event);
}

void EditorWidget::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    // A new widget font becomes the document's default font, in pixels.
    if (event->type() == QEvent::FontChange) zoom_->attach();
}

void EditorWidget::keyPressEvent(QKeyEvent* event) {
    // Not every platform's key scheme redoes with Ctrl+Y; users coming from
    // Windows expect it beside the platform's own redo key.
    if (event->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y)) {
        if (!isReadOnly()) redo();
        event->accept();
        return;
    }
    if (deleteBeyondSoftEnd(event)) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

bool EditorWidget::deleteBeyondSoftEnd(QKeyEvent* event) {
    const bool back = event->matches(QKeySequence::Backspace) ||
                      event->keyCombination() == QKeyCombination(Qt::NoModifier, Qt::Key_Backspace);
    if (isReadOnly() || textCursor().hasSelection() || !(back || event->matches(QKeySequence::Delete))) return false;
    const int at = textCursor().position() - (back ? 1 : 0);
    if (at < 0 || !soft_breaks::isSoft(*document(), at)) return false;
    // The end is the display's, not the file's: the key takes the character
    // on its other side, as it would in the unbroken line.
    QTextCursor beyond(document());
    beyond.setPosition(back ? at : at + 1);
    if (back) beyond.deletePreviousChar();
    else beyond.deleteChar();
    ensureCursorVisible();
    return true;
}

void EditorWidget::inputMethodEvent(QInputMethodEvent* event) {
    QList<QInputMethodEvent::Attribute> attributes = event->attributes();
    if (!colourComposition(attributes)) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent coloured(event->preeditString(), attributes);
    coloured.setCommitString(event->commitString(), event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&coloured);
    event->setAccepted(coloured.isAccepted());
}

bool EditorWidget::canInsertFromMimeData(const QMimeData* source) const {
    return source->hasFormat(kRtf) || source->hasFormat(kRtfApplication) || source->hasHtml() ||
           QPlainTextEdit::canInsertFromMimeData(source);
}

void EditorWidget::insertFromMimeData(const QMimeData* source) {
    if (isReadOnly() || !source) return;
    insertKept(source);
    ensureCursorVisible();
}

void EditorWidget::insertKept(const QMimeData* source) {
    const int from = textCursor().selectionStart();
    insertSource(source);
    soft_breaks::split(*document(), from, textCursor().position());
}

void EditorWidget::insertSource(const QMimeData* source) {
    QTextDocument pasted;
    if (!readSource(source, pasted)) {
        if (source->hasText() && source->text().size() > kLargePaste) insertPlainTextInParts(this, source->text());
        else QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    // Every paragraph of the source, table cells and list items included,
    // becomes a paragraph; pictures and other objects are left out.
    // An empty paragraph that closes the source (after a table, say) is
    // not part of what was copied.
    QTextBlock last = pasted.lastBlock();
    while (last.length() <= 1 && last.previous().isValid()) last = last.previous();
    bool joined = true;
    soft_breaks::Walk soft(pasted);
    int sincePause = 0;
    for (QTextBlock b = pasted.begin(); b.isValid() && b.blockNumber() <= last.blockNumber(); b = b.next()) {
        // A large paste goes in a part at a time.
        if (++sincePause == kPastePart) {
            sincePause = 0;
            pauseForTheWindow(cursor);
        }
        if (!joined) cursor.insertBlock();
        joined = soft.endsSoftly(b);
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid()) continue;
            QString text = fragment.text();
            text.remove(QChar::ObjectReplacementCharacter);
            if (!text.isEmpty()) cursor.insertText(text, keptCharFormat(fragment.charFormat()));
        }
    }
    cursor.endEditBlock();
    setTextCursor(cursor);
}

QMimeData* EditorWidget::createMimeDataFromSelection() const {
    const QTextCursor cursor = textCursor();
    auto* data = new QMimeData;
    if (!cursor.hasSelection()) return data;
    // The selection as rich text for ourselves and other programs, and as
    // plain text with the line breaks other programs expect.
    QTextDocument selected;
    QTextCursor(&selected).insertFragment(cursor.selection());
    // Soft paragraph ends are the display's: the copy keeps the one line.
    const int from = cursor.selectionStart();
    const std::vector<int> soft = soft_breaks::positions(*document(), from, cursor.selectionEnd());
    QTextCursor joining(&selected);
    for (auto it = soft.rbegin(); it != soft.rend(); ++it) {
        joining.setPosition(*it - from);
        joining.deleteChar();
    }
    data->setData(kRtf, writeRichText(selected));
    data->setText(documentPlainText(selected));
    return data;
}

} // namespace tess
