#include "displaylines.h"

#include "editorlayout.h"

#include "richtext/richtext.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace tess {

namespace {

// One turn of the background work; typing and painting come between turns.
constexpr qint64 kStepNs = 3'000'000;
// A new width or font is counted anew this long after the last change, so
// that a window being resized by the user is not slowed by it.
constexpr int kAfterShapeMs = 100;
// Paragraphs above the caret counted at once when the caret is this near
// the top: the number shown there is exact straight after an open.
constexpr int kNearTop = 256;
// ... or so many characters: laying out long paragraphs takes its time.
constexpr int kNearTopCharacters = 32 * 1024;
// How far a shaped text's width may stray from its characters' advances
// added up (kerning): a share of the width, and pixels.
constexpr qreal kStray = 0.02;
constexpr qreal kStrayPixels = 1;

// Characters whose shaped advance is their own advance: no marks, no
// controls or separators, no surrogates, scripts without contextual forms.
bool plainAdvance(QChar c) {
    if (c.unicode() < 0x20 || c.isSurrogate() || c.unicode() == 0x00AD) return false;
    switch (c.category()) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
        return false;
    default:
        break;
    }
    switch (c.script()) {
    case QChar::Script_Common:
    case QChar::Script_Latin:
    case QChar::Script_Greek:
    case QChar::Script_Cyrillic:
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Hangul:
    case QChar::Script_Bopomofo:
        return true;
    default:
        return false;
    }
}

QPlainTextDocumentLayout* plainLayout(QTextDocument* doc) {
    return doc ? qobject_cast<QPlainTextDocumentLayout*>(doc->documentLayout()) : nullptr;
}

} // namespace

// The advances of one character format's font, learnt character by
// character; a negative advance marks a character that needs shaping.
struct DisplayLines::Advances {
    QFontMetricsF metrics;
    bool usable;
    QHash<char16_t, qreal> known;

    Advances(const QFont& font, QPaintDevice* device)
        : metrics(font, device),
          usable(font.letterSpacing() == 0 && font.wordSpacing() == 0) {}

    qreal of(QChar c) {
        auto it = known.constFind(c.unicode());
        if (it == known.constEnd()) it = known.insert(c.unicode(), plainAdvance(c) ? metrics.horizontalAdvance(c) : -1);
        return *it;
    }
};

DisplayLines::DisplayLines(QPlainTextEdit* editor) : QObject(editor), editor_(editor) {
    timer_ = new QTimer(this);
    timer_->setInterval(0);
    connect(timer_, &QTimer::timeout, this, &DisplayLines::step);
    // One notice for any number of count changes, once the change that
    // made them is over.
    notice_ = new QTimer(this);
    notice_->setSingleShot(true);
    notice_->setInterval(0);
    connect(notice_, &QTimer::timeout, this, &DisplayLines::countsChanged);
}

DisplayLines::~DisplayLines() = default;

DisplayLines::Shape DisplayLines::currentShape() const {
    const QTextOption option = doc_->defaultTextOption();
    const QPaintDevice* device = doc_->documentLayout()->paintDevice();
    return Shape{editor_->viewport()->width(), int(editor_->lineWrapMode()), doc_->defaultFont(),
                 int(option.wrapMode()), int(option.flags()), doc_->documentMargin(),
                 device ? device->logicalDpiY() : 0};
}

void DisplayLines::follow() {
    if (doc_ == editor_->document() && plainLayout(doc_)) return;
    for (const QMetaObject::Connection& c : connections_) disconnect(c);
    connections_.clear();
    doc_ = editor_->document();
    if (!plainLayout(doc_)) {
        pending_.clear();
        timer_->stop();
        return;
    }
    connections_.push_back(connect(doc_, &QTextDocument::contentsChange, this, &DisplayLines::contentsChanged));
    // The layout's own counts change too as it lays paragraphs out: for
    // the shown ones, and for others whenever Qt asks for their geometry.
    connections_.push_back(connect(doc_->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged,
                                   notice_, qOverload<>(&QTimer::start)));
    // A new width or default font lays every paragraph out anew, with no
    // change of the contents.
    connections_.push_back(
        connect(doc_->documentLayout(), &QAbstractTextDocumentLayout::update, this, &DisplayLines::checkShape));
    restart();
}

void DisplayLines::restart(int afterMs) {
    shape_ = currentShape();
    blockCount_ = doc_->blockCount();
    lineWidth_ = -1;
    fonts_.clear();
    pending_.assign(1, {0, blockCount_ - 1});
    timer_->start(afterMs);
}

void DisplayLines::checkShape() {
    if (doc_ != editor_->document()) return follow();
    if (doc_ && currentShape() != shape_) restart(kAfterShapeMs);
}

bool DisplayLines::exact() {
    follow();
    checkShape();
    return pending_.empty();
}

void DisplayLines::contentsChanged(int from, int /*removed*/, int added) {
    const int count = doc_->blockCount();
    const int delta = count - blockCount_;
    blockCount_ = count;
    int first = doc_->findBlock(from).blockNumber();
    int last = doc_->findBlock(std::max(0, from + added)).blockNumber();
    if (first < 0) first = 0;
    if (last < 0) last = count - 1;
    // A change inside one paragraph: the plain-text layout lays that
    // paragraph out again at once, and counts it.
    if (delta == 0 && first == last) return;
    // Otherwise the layout drops the changed paragraphs' layouts and keeps
    // their old counts: they are pending again.  Ranges after the change
    // move with the paragraphs inserted or removed.
    const int oldLast = last - delta;
    std::vector<std::pair<int, int>> kept;
    kept.reserve(pending_.size() + 1);
    for (const auto& [a, b] : pending_) {
        if (b < first) {
            kept.push_back({a, b});
        } else if (a > oldLast) {
            kept.push_back({a + delta, b + delta});
        } else {
            first = std::min(first, a);
            if (b > oldLast) last = std::max(last, b + delta);
        }
    }
    kept.push_back({first, std::min(last, count - 1)});
    std::sort(kept.begin(), kept.end());
    pending_ = std::move(kept);
    timer_->start();
}

qreal DisplayLines::lineWidth() {
    if (lineWidth_ < 0) {
        // The width the plain-text layout gives each line, read from the
        // first paragraph it lays out.
        const QTextBlock first = doc_->firstBlock();
        layOutBlock(first);
        const QTextLayout* layout = first.layout();
        lineWidth_ = layout && layout->lineCount() > 0 ? layout->lineAt(0).width() : 0;
    }
    return lineWidth_;
}

DisplayLines::Advances& DisplayLines::advancesFor(const QTextFragment& fragment) {
    std::shared_ptr<Advances>& slot = fonts_[fragment.charFormatIndex()];
    if (!slot) {
        const QFont font = fragment.charFormat().font().resolve(doc_->defaultFont());
        slot = std::make_shared<Advances>(font, doc_->documentLayout()->paintDevice());
    }
    return *slot;
}

int DisplayLines::countFromAdvances(const QTextBlock& block) {
    const QTextOption option = doc_->defaultTextOption();
    if ((option.wrapMode() != QTextOption::WrapAtWordBoundaryOrAnywhere &&
         option.wrapMode() != QTextOption::WordWrap) ||
        (option.flags() & QTextOption::IncludeTrailingSpaces))
        return -1;
    const qreal width = lineWidth();
    advances_.clear();
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        Advances& advances = advancesFor(fragment);
        if (!advances.usable) return -1;
        const QString text = fragment.text();
        for (const QChar c : text) {
            const qreal a = advances.of(c);
            if (a < 0) return -1;
            advances_.push_back(a);
        }
    }
    const qreal stray = kStray * width + kStrayPixels;
    qreal sum = 0;
    for (const qreal a : advances_) sum += a;
    if (sum + stray <= width) return 1;
    // The layout fills each line up to the last break opportunity that
    // fits, so every line but the last holds more than the width less the
    // widest piece between two opportunities; and no line holds more than
    // the width, trailing blanks aside.  Where those bounds leave one
    // count, that is the count.
    const QString text = block.text();
    if (text.size() != qsizetype(advances_.size())) return -1;
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
    qreal total = 0, blanks = 0, widestPiece = 0, piece = 0;
    qsizetype next = breaks.toNextBoundary();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (i == next) {
            widestPiece = std::max(widestPiece, piece);
            piece = 0;
            next = breaks.toNextBoundary();
        }
        piece += advances_[size_t(i)];
        total += advances_[size_t(i)];
        if (text[i].isSpace()) blanks += advances_[size_t(i)];
    }
    widestPiece = std::max(widestPiece, piece);
    const qreal room = width - widestPiece;
    if (room <= 0) return -1;
    const qreal inked = total - blanks;
    const int fewest = std::max(1, int(std::ceil((inked * (1 - kStray) - kStrayPixels) / width)));
    const int most = std::max(1, int(std::ceil((total * (1 + kStray) + kStrayPixels) / room)));
    return fewest == most ? fewest : -1;
}

int DisplayLines::measure(const QTextBlock& block) {
    if (!block.isVisible()) return 0;
    if (block.length() <= 1) return 1;
    if (const int lines = countFromAdvances(block); lines > 0) return lines;
    // The plain-text layout's own steps, in a layout of our own.
    QTextLayout layout(block);
    layout.setTextOption(doc_->defaultTextOption());
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
        line.setLineWidth(lineWidth());
    layout.endLayout();
    return layout.lineCount();
}

bool DisplayLines::count(const QTextBlock& block, bool caret) {
    const int before = block.lineCount();
    if (caret) {
        // The caret's paragraph is on screen anyway, and its layout alone
        // holds a composition in progress.
        layOutBlock(block);
        return block.lineCount() != before;
    }
    const int lines = measure(block);
    if (lines == before) return false;
    QTextBlock(block).setLineCount(lines);
    return true;
}

template <typename More>
bool DisplayLines::countPending(int last, More more) {
    bool changed = false;
    const int caret = editor_->textCursor().blockNumber();
    while (!pending_.empty() && pending_.front().first <= last) {
        auto& range = pending_.front();
        const int end = std::min(range.second, last);
        int n = range.first;
        QTextBlock block = doc_->findBlockByNumber(n);
        for (; n <= end && block.isValid(); ++n, block = block.next()) {
            if (!more()) break;
            changed = count(block, n == caret) || changed;
        }
        if (!block.isValid() || n > range.second) {
            pending_.erase(pending_.begin());
        } else {
            range.first = n;
            if (n <= end) break;  // stopped by `more`
        }
    }
    return changed;
}

void DisplayLines::announce() {
    // The scroll bar's range and position are counted in display lines too;
    // countsChanged follows from there.
    QAbstractTextDocumentLayout* layout = doc_->documentLayout();
    emit layout->documentSizeChanged(layout->documentSize());
}

void DisplayLines::step() {
    timer_->setInterval(0);
    follow();
    // A file going in has the turns to itself: the lines are counted after.
    if (doc_ && textPending(*doc_)) return;
    checkShape();
    QElapsedTimer clock;
    clock.start();
    if (countPending(blockCount_ - 1, [&] { return clock.nsecsElapsed() < kStepNs; })) announce();
    if (pending_.empty()) timer_->stop();
}

void DisplayLines::settleBefore(const QTextBlock& block) {
    follow();
    checkShape();
    const int number = block.blockNumber();
    if (number < 0 || number > kNearTop || block.position() > kNearTopCharacters || pending_.empty()) return;
    if (countPending(number - 1, [] { return true; })) announce();
}

} // namespace tess
