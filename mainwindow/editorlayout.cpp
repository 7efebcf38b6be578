#include "editorlayout.h"

#include <QFontMetrics>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <climits>
#include <cmath>

namespace tess {

namespace {

// A change over more paragraphs than this outdates every layout at once
// instead of visiting the paragraphs: a new font or option reaches the
// layout as a change of the whole document.
constexpr int kVisitAtMost = 256;
// How many of the paragraphs laid out last lose their layouts when all are
// outdated.
constexpr size_t kRecent = 1024;

// Where everything is repainted.
QRectF everything(const QTextDocument* doc) {
    return QRectF(0., -doc->documentMargin(), 1000000000., 1000000000.);
}

} // namespace

EditorLayout::EditorLayout(QTextDocument* doc) : QPlainTextDocumentLayout(doc) { blockCount_ = doc->blockCount(); }

void EditorLayout::setViewWidth(qreal width) {
    if (width == width_) return;
    width_ = width;
    widest_ = width;
    outdate();
    emit documentSizeChanged(documentSize());
    emit update(everything(document()));
}

void EditorLayout::outdate() {
    ++epoch_;
    // Losing the lines is enough here; the glyphs kept go below.
    for (const int n : recent_)
        if (QTextBlock block = document()->findBlockByNumber(n); block.isValid()) block.clearLayout();
    recent_.clear();
}

void EditorLayout::drop(int number) {
    // A number may have moved onto another paragraph since: dropping that
    // one's layout costs it a new one when it is shown, nothing more.
    const QTextBlock block = document()->findBlockByNumber(number);
    if (!block.isValid()) return;
    QTextLayout* layout = block.layout();
    layout->clearLayout();
    layout->setCacheEnabled(false);
    // An empty layout pass lets the glyphs go.
    layout->beginLayout();
    layout->endLayout();
}

void EditorLayout::remember(const QTextBlock& block) {
    const int number = block.blockNumber();
    // Typing lays the same paragraph out again and again: it is listed once.
    if (recent_.empty() || recent_.back() != number) {
        recent_.push_back(number);
        if (recent_.size() > kRecent) recent_.pop_front();
    }
    if (!shaped_.empty() && shaped_.back().number == number && shaped_.back().epoch == epoch_) {
        shapedCharacters_ += block.length() - shaped_.back().length;
        shaped_.back().length = block.length();
    } else {
        shaped_.push_back({number, block.length(), epoch_});
        shapedCharacters_ += block.length();
    }
    while (shapedCharacters_ > kShapedCharacters && shaped_.size() > kShapedParagraphs) {
        const Shaped oldest = shaped_.front();
        shapedCharacters_ -= oldest.length;
        shaped_.pop_front();
        // The paragraph just laid out keeps what it has, and so does one
        // laid out again since an outdating: it is listed again further on.
        if (oldest.number == number) continue;
        if (oldest.epoch != epoch_ && laidOut(document()->findBlockByNumber(oldest.number))) continue;
        drop(oldest.number);
    }
}

qreal EditorLayout::lineWidth() const {
    const qreal width = width_ <= 0 ? qreal(INT_MAX) : width_;
    return width - 2 * document()->documentMargin();
}

bool EditorLayout::laidOut(const QTextBlock& block) const {
    if (!block.isValid()) return false;
    const size_t n = size_t(block.fragmentIndex());
    return n < epochs_.size() && epochs_[n] == epoch_ && block.layout()->lineCount() > 0;
}

void EditorLayout::layOut(const QTextBlock& block) const {
    if (!block.isValid() || laidOut(block)) return;
    auto* self = const_cast<EditorLayout*>(this);
    if (self->doLayOut(block)) self->sizeChangedSoon();
}

// The plain-text layout's own steps, at this layout's width.
bool EditorLayout::doLayOut(const QTextBlock& block) {
    QTextDocument* doc = document();
    const qreal margin = doc->documentMargin();
    QTextLayout* layout = block.layout();
    const QTextOption option = doc->defaultTextOption();
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    int extraMargin = 0;
    if (option.flags() & QTextOption::AddSpaceForLineAndParagraphSeparators)
        extraMargin = QFontMetrics(block.charFormat().font()).horizontalAdvance(QChar(0x21B5));
    const qreal available = lineWidth() - extraMargin;
    qreal height = 0;
    qreal widest = 0;
    layout->beginLayout();
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLeadingIncluded(true);
        line.setLineWidth(available);
        line.setPosition(QPointF(margin, height));
        height += line.height();
        if (line.leading() < 0) height += std::ceil(line.leading());
        widest = std::max(widest, line.naturalTextWidth() + 2 * margin);
    }
    layout->endLayout();

    const size_t n = size_t(block.fragmentIndex());
    if (n >= epochs_.size()) epochs_.resize(n + n / 2 + 64, 0);
    epochs_[n] = epoch_;

    const int before = doc->lineCount();
    QTextBlock(block).setLineCount(block.isVisible() ? layout->lineCount() : 0);
    remember(block);
    bool sizeChanged = doc->lineCount() != before;
    if (widest > widest_) {
        widest_ = widest;
        sizeChanged = true;
    }
    return sizeChanged;
}

void EditorLayout::sizeChangedSoon() {
    // Not at once: the view asks for paragraphs' geometry while it works
    // out its scroll bars, and this would call it back in the middle.
    if (sizeNotice_) return;
    sizeNotice_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            sizeNotice_ = false;
            emit documentSizeChanged(documentSize());
        },
        Qt::QueuedConnection);
}

QRectF EditorLayout::blockBoundingRect(const QTextBlock& block) const {
    if (!block.isValid()) return QRectF();
    layOut(block);
    return QPlainTextDocumentLayout::blockBoundingRect(block);
}

QSizeF EditorLayout::documentSize() const {
    return QSizeF(widest_, document()->lineCount());
}

QRectF EditorLayout::frameBoundingRect(QTextFrame*) const {
    return QRectF(0, 0, widest_, qreal(INT_MAX));
}

void EditorLayout::documentChanged(int from, int charsRemoved, int charsAdded) {
    QTextDocument* doc = document();
    const int blockCount = doc->blockCount();
    const QTextBlock first = doc->findBlock(from);
    const QTextBlock last = doc->findBlock(std::max(0, from + charsRemoved + charsAdded - 1));

    if (first == last && blockCount == blockCount_) {
        // Typing: the paragraph is laid out again at once, as the plain
        // layout does.
        if (first.isValid() && first.length()) {
            // The height it had, from the lines it has (of the old text).
            const qreal before =
                first.layout()->lineCount() > 0 ? QPlainTextDocumentLayout::blockBoundingRect(first).height() : -1;
            if (doLayOut(first)) emit documentSizeChanged(documentSize());
            if (blockBoundingRect(first).height() == before) {
                emit updateBlock(first);
                return;
            }
        }
        emit update(everything(doc));
        return;
    }

    const int firstNumber = first.isValid() ? first.blockNumber() : 0;
    const int lastNumber = last.isValid() ? last.blockNumber() : blockCount - 1;
    const int added = blockCount - blockCount_;
    blockCount_ = blockCount;
    if (added != 0) {
        for (int& n : recent_)
            if (n > firstNumber) n += added;
        for (Shaped& shaped : shaped_)
            if (shaped.number > firstNumber) shaped.number += added;
    }
    if (lastNumber - firstNumber > kVisitAtMost) {
        // Paragraphs inserted have no layout yet and count one line each;
        // the others are laid out again as they are shown.
        outdate();
    } else {
        for (QTextBlock block = first; block.isValid(); block = block.next()) {
            block.clearLayout();
            if (block.isVisible() && block.lineCount() == 0) block.setLineCount(1);
            if (block == last) break;
        }
    }

    if (added != 0) {
        emit documentSizeChanged(documentSize());
        if (added == 1 && lastNumber == blockCount - 1) {
            // A new last paragraph: only the two at the end change.
            for (QTextBlock block = first; block.isValid(); block = block.next()) {
                emit updateBlock(block);
                if (block == last) break;
            }
            return;
        }
    }
    emit update(everything(doc));
}

void layOutBlock(const QTextBlock& block) {
    if (!block.isValid()) return;
    QAbstractTextDocumentLayout* layout = block.document()->documentLayout();
    if (auto* own = qobject_cast<EditorLayout*>(layout)) own->layOut(block);
    else if (auto* plain = qobject_cast<QPlainTextDocumentLayout*>(layout)) plain->ensureBlockLayout(block);
}

} // namespace tess
