// Snapshots of a document for the RTF writer: at once (a save), or from a
// mirror in chunks of whole paragraphs that follows the document's changes
// (the recovery copy, taken while the user types).

#include "richtext.h"
#include "softbreaks.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <algorithm>

namespace tess {

using Chunk = RichTextSnapshot::Chunk;

namespace {

// The soft paragraph ends of `doc`, for a snapshot of it.
std::vector<qsizetype> softEndsOf(const QTextDocument& doc) {
    const std::vector<int> soft = soft_breaks::positions(doc);
    return {soft.begin(), soft.end()};
}

} // namespace

RichTextSnapshot takeRichTextSnapshot(const QTextDocument& doc) {
    completeText(doc);
    // One chunk over the raw text, which indexes by document position: no
    // copy per paragraph.
    auto chunk = std::make_shared<Chunk>();
    chunk->text = doc.toRawText();
    chunk->runs.reserve(size_t(doc.blockCount()) * 2);
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            chunk->runs.push_back({frag.position(), frag.length(), frag.charFormatIndex()});
        }
        chunk->runs.push_back({b.position() + b.length() - 1, 0, RichTextSnapshot::kParagraphEnd});
    }
    RichTextSnapshot snap;
    snap.defaultFont = doc.defaultFont();
    snap.formats = doc.allFormats();
    snap.parts.push_back({0, std::move(chunk)});
    snap.softEnds = softEndsOf(doc);
    return snap;
}

// The mirror: consecutive stretches of whole paragraphs covering the
// document, each either made (a chunk) or still to be made.
struct RichTextRuns::State {
    struct Stretch {
        qsizetype length;
        std::shared_ptr<const Chunk> chunk;  // null: to be made
    };

    QPointer<QTextDocument> doc;
    QMetaObject::Connection changes;
    qsizetype chunkChars;
    std::vector<Stretch> stretches;
    // What the stretches cover: the document's character count while the
    // mirror is in step.
    qsizetype covered = 0;

    // Everything is made again; for a change that cannot be placed.
    void restart() {
        stretches.clear();
        covered = doc ? doc->characterCount() : 0;
        if (covered > 0) stretches.push_back({covered, nullptr});
    }
    void changed(int from, int removed, int added);
    // Makes the next chunk of stretch `i`, which is to be made and starts at
    // `start`; false when the document does not have the paragraphs the
    // mirror expects (then everything is to be made again).
    bool make(size_t i, qsizetype start);
    // Makes the first chunk still to be made; false when there was none.
    bool makeOne();
    bool pending() const {
        return std::any_of(stretches.begin(), stretches.end(), [](const Stretch& s) { return !s.chunk; });
    }
    bool small(const Stretch& s) const { return s.length < chunkChars / 4; }
};

void RichTextRuns::State::changed(int from, int removed, int added) {
    const qsizetype now = doc->characterCount();
    // Qt reports some changes with a range of its own making (a whole
    // document replaced, for one); anything that does not add up is made
    // again rather than trusted.
    if (from < 0 || removed < 0 || added < 0 || qsizetype(from) + removed > covered ||
        covered - removed + added != now) {
        restart();
        return;
    }
    // The stretches the old range [from, from + removed] touches, ends
    // included: removing the paragraph end at a stretch's end joins its last
    // paragraph to the next stretch's first.
    size_t first = 0;
    qsizetype firstStart = 0;
    while (first < stretches.size() && firstStart + stretches[first].length < from)
        firstStart += stretches[first++].length;
    if (first == stretches.size()) {
        restart();
        return;
    }
    size_t last = first;
    qsizetype lastEnd = firstStart + stretches[first].length;
    while (last + 1 < stretches.size() && lastEnd <= qsizetype(from) + removed)
        lastEnd += stretches[++last].length;
    // Neighbours still to be made, or small ones, go with it: the mirror
    // does not crumble into tiny chunks after many edits.
    if (first > 0 && (!stretches[first - 1].chunk || small(stretches[first - 1])))
        firstStart -= stretches[--first].length;
    if (last + 1 < stretches.size() && (!stretches[last + 1].chunk || small(stretches[last + 1])))
        lastEnd += stretches[++last].length;
    const qsizetype length = lastEnd - firstStart - removed + added;
    stretches.erase(stretches.begin() + qsizetype(first) + 1, stretches.begin() + qsizetype(last) + 1);
    if (length > 0) stretches[first] = {length, nullptr};
    else stretches.erase(stretches.begin() + qsizetype(first));
    covered = now;
}

bool RichTextRuns::State::make(size_t i, qsizetype start) {
    const qsizetype length = stretches[i].length;
    // Chunks of about chunkChars: a long stretch is cut into equal shares,
    // each of whole paragraphs.
    const qsizetype shares = std::max<qsizetype>(1, (length + chunkChars / 2) / chunkChars);
    const qsizetype target = (length + shares - 1) / shares;
    QTextBlock b = doc->findBlock(int(start));
    if (!b.isValid() || b.position() != start) {
        restart();
        return false;
    }
    auto chunk = std::make_shared<Chunk>();
    chunk->text.reserve(std::min(length, target + target / 8));
    qsizetype made = 0;
    while (made < target && made < length) {
        if (!b.isValid()) break;
        // Positions counted here rather than asked of each fragment: a
        // position costs a walk of the document's tree.
        int at = int(made);
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            chunk->runs.push_back({at, frag.length(), frag.charFormatIndex()});
            chunk->text += frag.text();
            at += frag.length();
        }
        chunk->runs.push_back({at, 0, RichTextSnapshot::kParagraphEnd});
        chunk->text += QChar::ParagraphSeparator;
        made += b.length();
        b = b.next();
    }
    if (made > length || made != chunk->text.size()) {
        restart();
        return false;
    }
    if (chunk->text.capacity() > chunk->text.size() + chunk->text.size() / 8) chunk->text.squeeze();
    chunk->runs.shrink_to_fit();
    stretches[i] = {made, std::move(chunk)};
    if (made < length) stretches.insert(stretches.begin() + qsizetype(i) + 1, Stretch{length - made, nullptr});
    return true;
}

bool RichTextRuns::State::makeOne() {
    qsizetype start = 0;
    for (size_t i = 0; i < stretches.size(); ++i) {
        if (!stretches[i].chunk) {
            make(i, start);
            return true;
        }
        start += stretches[i].length;
    }
    return false;
}

RichTextRuns::RichTextRuns(qsizetype chunkChars) : d(std::make_unique<State>()) {
    d->chunkChars = std::max<qsizetype>(1, chunkChars);
}

RichTextRuns::~RichTextRuns() { QObject::disconnect(d->changes); }

QTextDocument* RichTextRuns::document() const { return d->doc; }

qsizetype RichTextRuns::unmade() const {
    qsizetype chars = 0;
    for (const State::Stretch& s : d->stretches) chars += s.chunk ? 0 : s.length;
    return chars;
}

void RichTextRuns::follow(QTextDocument* doc) {
    if (d->doc == doc && (doc || d->stretches.empty())) return;
    QObject::disconnect(d->changes);
    d->doc = doc;
    d->stretches.clear();
    d->stretches.shrink_to_fit();
    d->covered = 0;
    if (!doc) return;
    // A document tells its changes only once it has a layout (the editor's
    // always has).  Every change names its range, formatting included.
    doc->documentLayout();
    d->changes = QObject::connect(doc, &QTextDocument::contentsChange, doc,
                                  [state = d.get()](int from, int removed, int added) {
                                      state->changed(from, removed, added);
                                  });
    d->restart();
}

bool RichTextRuns::warm(qint64 budgetNs) {
    if (!d->doc) return true;
    QElapsedTimer clock;
    clock.start();
    while (d->makeOne())
        if (clock.nsecsElapsed() > budgetNs) return !d->pending();
    return true;
}

RichTextSnapshot RichTextRuns::snapshot() {
    if (!d->doc) return {};
    const QTextDocument& doc = *d->doc;
    completeText(doc);
    while (d->makeOne()) {}
    // The chunks cover the document exactly, or the mirror lost step with it
    // somewhere: then it is made again, rather than a wrong copy written.
    qsizetype covered = 0;
    for (const State::Stretch& s : d->stretches) covered += s.length;
    if (covered != doc.characterCount()) {
        d->restart();
        while (d->makeOne()) {}
    }
    RichTextSnapshot snap;
    snap.defaultFont = doc.defaultFont();
    snap.formats = doc.allFormats();
    snap.softEnds = softEndsOf(doc);
    snap.parts.reserve(d->stretches.size());
    qsizetype start = 0;
    for (const State::Stretch& s : d->stretches) {
        snap.parts.push_back({start, s.chunk});
        start += s.length;
    }
    return snap;
}

} // namespace tess
