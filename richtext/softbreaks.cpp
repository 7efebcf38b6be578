#include "softbreaks.h"

#include "richtext.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <deque>
#include <utility>

namespace tess::soft_breaks {

namespace {

// The soft ends of one document, in order, owned by the document.
class Tracked : public QObject {
public:
    static constexpr const char* kName = "tess-soft-breaks";
    // Deleted ends remembered for an undo or redo that brings their text
    // back: that many edits.
    static constexpr size_t kGhosts = 64;

    explicit Tracked(QTextDocument* doc) : QObject(doc) {
        setObjectName(QString::fromLatin1(kName));
        QObject::connect(doc, &QTextDocument::contentsChange, this,
                         [this, doc](int from, int removed, int added) { changed(*doc, from, removed, added); });
    }

    struct End {
        QTextCursor before;  // at the paragraph end
        QTextCursor after;   // just after it; typing there leaves it in place
    };
    std::vector<End> ends;
    // Where each end is, as of the last change (ends[i] is at known[i]).
    std::vector<int> known;

    static bool alive(const QTextDocument& doc, const End& e) {
        const int at = e.before.position();
        return e.after.position() == at + 1 && doc.characterAt(at) == QChar::ParagraphSeparator;
    }
    // Ends that were deleted go; the rest stay in document order (edits
    // move cursors but never past each other).
    void prune(const QTextDocument& doc) {
        ends.erase(std::remove_if(ends.begin(), ends.end(), [&](const End& e) { return !alive(doc, e); }),
                   ends.end());
        remember();
    }
    void add(QTextDocument& doc, int position) {
        End e{QTextCursor(&doc), QTextCursor(&doc)};
        e.before.setPosition(position);
        e.after.setPosition(position + 1);
        e.after.setKeepPositionOnInsert(true);
        ends.push_back(std::move(e));
    }
    void sortAndRemember() {
        std::sort(ends.begin(), ends.end(),
                  [](const End& a, const End& b) { return a.before.position() < b.before.position(); });
        remember();
    }

private:
    void remember() {
        known.resize(ends.size());
        for (size_t i = 0; i < ends.size(); ++i) known[i] = ends[i].before.position();
    }

    // An undo or redo puts back text with the paragraph ends it had, but the
    // cursors that followed them ended with their deletion.  So the ends an
    // edit deletes are remembered, and an edit that puts back as much text
    // at the same place, with paragraph ends where they were, makes them
    // soft again.
    struct Ghost {
        int from;
        int length;
        std::vector<int> offsets;
    };
    std::deque<Ghost> ghosts_;

    void changed(QTextDocument& doc, int from, int removed, int added) {
        // Ends made in the same edit: where the others were before it is
        // not known, so nothing is remembered of this one.
        if (known.size() != ends.size()) {
            prune(doc);
            return;
        }
        // Only ends inside what was removed can have gone.
        const auto first = std::lower_bound(known.begin(), known.end(), from);
        const auto last = std::lower_bound(first, known.end(), from + removed);
        const size_t lo = size_t(first - known.begin()), hi = size_t(last - known.begin());
        Ghost ghost{from, removed, {}};
        for (size_t i = hi; i-- > lo;) {
            if (alive(doc, ends[i])) continue;
            ghost.offsets.insert(ghost.offsets.begin(), known[i] - from);
            ends.erase(ends.begin() + qsizetype(i));
        }
        if (!ghost.offsets.empty()) {
            ghosts_.push_back(std::move(ghost));
            if (ghosts_.size() > kGhosts) ghosts_.pop_front();
            remember();
        } else {
            // A format change names a range without moving anything in it.
            for (size_t i = hi; i < known.size(); ++i) known[i] += added - removed;
            // Ends made inside an edit that reports its change only now
            // are already where they are: read again whenever that is so.
            const auto astray = [&](size_t i) { return i < known.size() && known[i] != ends[i].before.position(); };
            if (astray(lo) || astray(hi) || astray(known.size() - 1)) remember();
        }
        if (added > 0) bringBack(doc, from, added);
    }

    void bringBack(QTextDocument& doc, int from, int added) {
        for (auto it = ghosts_.rbegin(); it != ghosts_.rend(); ++it) {
            if (it->from != from || it->length != added) continue;
            for (const int offset : it->offsets) {
                const int at = from + offset;
                if (doc.characterAt(at) != QChar::ParagraphSeparator ||
                    std::binary_search(known.begin(), known.end(), at))
                    return;
            }
            for (const int offset : it->offsets) add(doc, from + offset);
            ghosts_.erase(std::next(it).base());
            sortAndRemember();
            return;
        }
    }
};

Tracked* trackedOf(const QTextDocument& doc) {
    return static_cast<Tracked*>(doc.findChild<QObject*>(QString::fromLatin1(Tracked::kName), Qt::FindDirectChildrenOnly));
}

bool isVariationSelector(char16_t c) { return (c >= 0xFE00 && c <= 0xFE0F) || c == 0x200D; }

// A piece may end before offset `i` of `text`: not inside a surrogate pair,
// not between a character and the marks or joiners that go with it.
bool canCut(QStringView text, int i) {
    const QChar next = text[i];
    return !next.isLowSurrogate() && !next.isMark() && !isVariationSelector(next.unicode()) &&
           text[i - 1].unicode() != 0x200D;
}

// Where a reader would not mind a line ending: after a blank or a
// punctuation mark, not before another one (。」 stays together).
bool reads(QStringView text, int i) {
    const QChar last = text[i - 1], next = text[i];
    return (last.isSpace() || last.isPunct()) && !next.isSpace() && !next.isPunct();
}

} // namespace

std::vector<int> cuts(QStringView text) {
    std::vector<int> out;
    if (text.size() <= kLongParagraph) return out;
    const int size = int(text.size());
    int start = 0;
    while (size - start > kPiece) {
        const int highest = start + kPiece, lowest = start + kPiece * 3 / 4;
        int cut = -1;
        for (int i = highest; i > lowest && cut < 0; --i)
            if (reads(text, i) && canCut(text, i)) cut = i;
        for (int i = highest; i > start + 1 && cut < 0; --i)
            if (canCut(text, i)) cut = i;
        // A run of marks longer than a piece: cut anyway, nothing is lost.
        if (cut < 0) cut = highest;
        out.push_back(cut);
        start = cut;
    }
    return out;
}

void split(QTextDocument& doc, int from, int to) {
    const int last = doc.characterCount() - 1;
    if (to < 0 || to > last) to = last;
    from = std::clamp(from, 0, last);
    bool any = false;
    const QTextBlock first = doc.findBlock(from), lastBlock = doc.findBlock(to);
    for (QTextBlock b = first; b.isValid() && !any; b = b.next()) {
        any = b.length() - 1 > kLongParagraph;
        if (b == lastBlock) break;
    }
    if (!any) return;
    Tracked* tracked = trackedOf(doc);
    std::vector<int> added;
    QTextCursor cursor(&doc);
    // Part of the edit before, when there is one: an undo of a paste takes
    // its splits back with it.
    cursor.joinPreviousEditBlock();
    const int endBlock = lastBlock.blockNumber();
    // Block numbers count forwards, and each split adds blocks: the last
    // one of the range moves along with them.
    int stop = endBlock;
    for (QTextBlock b = first; b.isValid() && b.blockNumber() <= stop; b = b.next()) {
        if (b.length() - 1 <= kLongParagraph) continue;
        const std::vector<int> at = cuts(b.text());
        const int start = b.position();
        // From the last cut back, so that the offsets before stay right.
        for (auto it = at.rbegin(); it != at.rend(); ++it) {
            cursor.setPosition(start + *it);
            cursor.insertBlock();
        }
        for (size_t k = 0; k < at.size(); ++k) added.push_back(start + at[k] + int(k));
        stop += int(at.size());
        b = doc.findBlock(start + at.back() + int(at.size()));
    }
    cursor.endEditBlock();
    if (!tracked) tracked = new Tracked(&doc);
    tracked->prune(doc);
    for (const int p : added) tracked->add(doc, p);
    tracked->sortAndRemember();
}

std::vector<int> positions(const QTextDocument& doc) {
    std::vector<int> out;
    Tracked* tracked = trackedOf(doc);
    if (!tracked) return out;
    tracked->prune(doc);
    out.reserve(tracked->ends.size());
    for (const Tracked::End& e : tracked->ends) out.push_back(e.before.position());
    return out;
}

std::vector<int> positions(const QTextDocument& doc, int from, int to) {
    std::vector<int> all = positions(doc);
    all.erase(std::lower_bound(all.begin(), all.end(), to), all.end());
    all.erase(all.begin(), std::lower_bound(all.begin(), all.end(), from));
    return all;
}

namespace {

// `text`, which starts at document position `from` and holds one character
// for every position, without the soft ends `soft` lists (in order).  One
// pass, however many ends a long line has.
QString withoutSoftEnds(const QString& text, int from, const std::vector<int>& soft) {
    if (soft.empty()) return text;
    QString out;
    out.reserve(text.size());
    qsizetype kept = 0;
    for (const int end : soft) {
        out += QStringView(text).sliced(kept, end - from - kept);
        kept = end - from + 1;
    }
    out += QStringView(text).sliced(kept);
    return out;
}

} // namespace

QString selectedText(const QTextCursor& cursor) {
    const int from = cursor.selectionStart();
    return withoutSoftEnds(cursor.selectedText(), from, positions(*cursor.document(), from, cursor.selectionEnd()));
}

bool isSoft(const QTextDocument& doc, int position) {
    Tracked* tracked = trackedOf(doc);
    if (!tracked) return false;
    const auto it = std::lower_bound(tracked->ends.begin(), tracked->ends.end(), position,
                                     [](const Tracked::End& e, int p) { return e.before.position() < p; });
    return it != tracked->ends.end() && it->before.position() == position && Tracked::alive(doc, *it);
}

Walk::Walk(const QTextDocument& doc) : ends_(positions(doc)), next_(ends_.begin()) {}

bool Walk::endsSoftly(const QTextBlock& b) {
    const int end = b.position() + b.length() - 1;
    while (next_ != ends_.end() && *next_ < end) ++next_;
    return next_ != ends_.end() && *next_ == end && b.next().isValid();
}

QString plainText(const QTextDocument& doc) {
    // The document's text keeps one character for every position.
    return withoutSoftEnds(documentPlainText(doc), 0, positions(doc));
}

} // namespace tess::soft_breaks
