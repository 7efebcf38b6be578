#pragma once
// The editor's text field.  A paste keeps what the documents of this program
// hold (paragraphs and character formats: font, size, colour, background,
// bold, italic, underline, strike-out) and brings everything else (tables,
// lists, links, pictures) as its text; a copy carries the formats along, so
// that text copied inside the editor keeps them when pasted.  An input
// method's composition is drawn in the editor's composition colours, and
// Ctrl+Y redoes as on Windows.  The editor tells the display line and
// column of any position, counting wrapped paragraphs as several lines.

#include <QInputMethodEvent>
#include <QPlainTextEdit>

class QTimer;

class QTextDocument;

namespace tess {

class DisplayLines;
class EditorZoom;

class EditorWidget : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit EditorWidget(QWidget* parent = nullptr);

    // What a paste of `source` inserts at the cursor (one undo step).
    void insertKept(const QMimeData* source);

    // The display line and the column of a position, both from 1.  Lines
    // far below the paragraphs shown may come out provisional for a moment
    // after an open or a new width; displayLinesChanged follows as they
    // become exact.
    struct Position {
        int line = 1;
        int column = 1;
    };
    Position displayPosition(int position);
    // Whether every display line is counted exactly.
    bool displayLinesExact();
    // The view's zoom (Ctrl+wheel here; the window adds the keys).
    EditorZoom* zoom() const { return zoom_; }

signals:
    void displayLinesChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;

private:
    void insertSource(const QMimeData* source);
    // Delete or Backspace beside a soft paragraph end; false for any other key.
    bool deleteBeyondSoftEnd(QKeyEvent* event);
    // Lays out the pages above and below the view between events, so that
    // paging and scrolling find them ready; false when time ran out first.
    bool layOutAhead();

    DisplayLines* lines_ = nullptr;
    EditorZoom* zoom_ = nullptr;
    QTimer* ahead_ = nullptr;
};

// Gives `edit` the empty document `doc` with the layout its view needs:
// the editor's own layout and zoom for the editor, Qt's plain-text layout
// for any other view.  The old document goes if `edit` owned it.
void setEmptyDocument(QPlainTextEdit* edit, QTextDocument* doc);

// Inserts `text` at the editor's cursor, in place of its selection, as one
// undo step and a part at a time: between parts the window repaints and
// runs its timers, but takes no input, so a large paste never holds it.
void insertPlainTextInParts(QPlainTextEdit* edit, const QString& text);

// The formats a document keeps, from any character format.
QTextCharFormat keptCharFormat(const QTextCharFormat& format);

// The composition formats an input method hands over, in the editor's
// composition colours; false when there was nothing to colour.
bool colourComposition(QList<QInputMethodEvent::Attribute>& attributes);

} // namespace tess
