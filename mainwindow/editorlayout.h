#pragma once
// The editor's document layout: Qt's plain-text layout, except that a new
// width, font, zoom or text option lays nothing out at once.
//
// Qt's plain-text layout answers a new width by visiting every paragraph
// (giving each a layout object and dropping its lines), which takes a tenth
// of a second and a few hundred bytes a paragraph in a document of half a
// million paragraphs.  This one only notes the change: every paragraph laid
// out before it counts as out of date, and is laid out again when it is
// shown or asked for, at the width and with the fonts then in force.
// Paragraphs not laid out again keep their last display-line count, which
// the editor's line counting corrects in the background.

#include <QPlainTextDocumentLayout>

#include <deque>
#include <vector>

class QTextBlock;

namespace tess {

class EditorLayout : public QPlainTextDocumentLayout {
    Q_OBJECT
public:
    // The paragraphs laid out last keep their shaped glyphs: up to so many
    // characters (about 30 bytes each), but always the last so many
    // paragraphs, which covers any screen.
    static constexpr qsizetype kShapedCharacters = 128 * 1024;
    static constexpr size_t kShapedParagraphs = 128;

    explicit EditorLayout(QTextDocument* doc);

    // The view's width.  The plain editor sets it through setTextWidth(),
    // which lays the whole document out again; that width is not used here.
    void setViewWidth(qreal width);
    // The width each display line is given.
    qreal lineWidth() const;
    // Lays `block` out unless its layout is up to date.
    void layOut(const QTextBlock& block) const;
    // Whether `block` has an up-to-date layout.
    bool laidOut(const QTextBlock& block) const;

    QRectF blockBoundingRect(const QTextBlock& block) const override;
    QSizeF documentSize() const override;
    QRectF frameBoundingRect(QTextFrame* frame) const override;

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    // True when the document's size changed.
    bool doLayOut(const QTextBlock& block);
    // Everything laid out so far is out of date.
    void outdate();
    // Notes `block` as laid out last; its glyphs are kept, and the oldest
    // kept ones let go.
    void remember(const QTextBlock& block);
    // Drops the layout of paragraph `number`, glyphs and all.
    void drop(int number);
    void sizeChangedSoon();

    qreal width_ = 0;
    // The view's width, or the widest line laid out since it was set when wider.
    qreal widest_ = 0;
    int blockCount_ = 1;
    quint32 epoch_ = 1;
    // The epoch each block was laid out in, by its index in the document's
    // block table; 0 for never.
    std::vector<quint32> epochs_;
    // The numbers of the paragraphs laid out last.  Outdating drops their
    // layouts, so that a caret moving into one before it is shown again
    // finds no lines of the old width there; paragraphs laid out longer ago
    // are far from where the user is.
    std::deque<int> recent_;
    // The paragraphs whose layouts keep their shaped glyphs, oldest first,
    // with their lengths: the caret's moves and the painting of what is
    // shown then need no shaping again.  Older ones let theirs go.
    struct Shaped {
        int number;
        int length;
        quint32 epoch;  // outdated ones let their glyphs go in turn too
    };
    std::deque<Shaped> shaped_;
    qsizetype shapedCharacters_ = 0;
    bool sizeNotice_ = false;
};

// Makes sure `block` is laid out by whichever layout its document has.
void layOutBlock(const QTextBlock& block);

} // namespace tess
