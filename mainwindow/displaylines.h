#pragma once
// Exact display-line counts for every paragraph of an editor's document.
//
// Qt's plain-text layout lays out only the paragraphs it shows and counts
// one line for each of the others, so a line number below wrapped
// paragraphs never shown comes out too small.  This object counts the
// display lines of those paragraphs while the editor is idle, a few
// milliseconds at a time, and stores each count where the layout keeps its
// own (QTextBlock::setLineCount), so that line numbers and the scroll bar
// become exact.  It keeps no layout: a paragraph is counted from its
// characters' advances where those leave no doubt about the count, any
// other is laid out in a scratch layout exactly as the plain-text layout
// would, then dropped.

#include <QFont>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTextBlock>

#include <memory>
#include <utility>
#include <vector>

class QPlainTextEdit;
class QTextDocument;
class QTimer;

namespace tess {

class DisplayLines : public QObject {
    Q_OBJECT
public:
    explicit DisplayLines(QPlainTextEdit* editor);
    ~DisplayLines() override;

    // Whether every paragraph's count is exact.
    bool exact();
    // Makes the counts of the paragraphs before `block` exact at once when
    // it lies near the top of the document; further down the background
    // work gets there in its time.
    void settleBefore(const QTextBlock& block);
    // The editor's width, font or wrapping may have changed.
    void checkShape();

signals:
    // Some counts changed, ours or the layout's: line numbers shown may have
    // moved.
    void countsChanged();

private:
    // What the counts depend on besides the text.
    struct Shape {
        int viewportWidth = -1;
        int wrapMode = -1;
        QFont font;
        int optionWrap = -1;
        int optionFlags = -1;
        qreal margin = -1;
        int dpi = -1;  // what fonts are measured at: the zoom
        bool operator==(const Shape&) const = default;
    };
    struct Advances;

    Shape currentShape() const;
    void follow();
    // Counts everything again, starting `afterMs` from now.
    void restart(int afterMs = 0);
    void contentsChanged(int from, int removed, int added);
    void step();
    // Counts the pending paragraphs in [first, last] while `more` says go
    // on; true when a count changed.
    template <typename More>
    bool countPending(int last, More more);
    // `caret`: the block holds the editor's caret.
    bool count(const QTextBlock& block, bool caret);
    int measure(const QTextBlock& block);
    // The count from the characters' advances where they leave no doubt,
    // else -1.
    int countFromAdvances(const QTextBlock& block);
    Advances& advancesFor(const QTextFragment& fragment);
    qreal lineWidth();
    void announce();

    QPlainTextEdit* editor_;
    QPointer<QTextDocument> doc_;
    std::vector<QMetaObject::Connection> connections_;
    QTimer* timer_;
    QTimer* notice_;
    Shape shape_;
    int blockCount_ = 0;
    qreal lineWidth_ = -1;  // unknown until the first count after a restart
    // Paragraph numbers still to count, as sorted, disjoint ranges.
    std::vector<std::pair<int, int>> pending_;
    QHash<int, std::shared_ptr<Advances>> fonts_;  // by character format index
    std::vector<qreal> advances_;                   // of the paragraph measured
};

} // namespace tess
