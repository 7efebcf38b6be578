#include "richtext.h"

#include "softbreaks.h"

#include "core/cp932.h"
#include "core/textlines.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>


namespace tess {

namespace {

// The lines of a document read from a plain-text file that writing their
// text would change, kept with the document: such a paragraph's user state
// is its index here.  A paragraph split or joined by an edit keeps the
// index in one part, which is then written from its text like any other:
// kept bytes are used only while a paragraph still shows what they read as.
class KeptLines : public QObject {
public:
    static constexpr const char* kName = "tess-kept-lines";
    KeptLines(text::Encoding encoding, QList<text::KeptLine> lines, QTextDocument* doc)
        : QObject(doc), encoding(encoding), lines(std::move(lines)) {
        setObjectName(QString::fromLatin1(kName));
    }
    const text::Encoding encoding;
    const QList<text::KeptLine> lines;
};

KeptLines* keptLinesOf(const QTextDocument& doc) {
    return dynamic_cast<KeptLines*>(doc.findChild<QObject*>(QString::fromLatin1(KeptLines::kName), Qt::FindDirectChildrenOnly));
}

// Puts a file's decoded lines into a document: all at once, or the first
// part at once and the rest a part at a time between events.  The parts go
// in where the text read so far ends, which a cursor follows: text typed
// there meanwhile stays after it, as typed, and the rest of the file comes
// before it.  Undo stays off until the whole file is in, and the parts are
// not an edit: the modified flag stays as the user's own edits left it.
class LineFill : public QObject {
public:
    static constexpr const char* kName = "tess-line-fill";
    // A part ends at the first line end after so many characters or at so
    // many lines, whichever comes first: each line costs the document about
    // as much as a thousand characters.  The first part fills a screen.
    static constexpr qsizetype kFirstPart = 64 * 1024, kFirstLines = 2000;
    static constexpr qsizetype kPart = 32 * 1024, kPartLines = 1000;
    static constexpr qint64 kTurnNs = 4'000'000;
    static constexpr qint64 kPaintMs = 100;

    LineFill(QList<QString> pieces, const KeptLines* kept, QTextDocument& doc)
        : QObject(&doc), doc_(doc), pieces_(std::move(pieces)), kept_(kept), point_(&doc),
          undo_(doc.isUndoRedoEnabled()) {
        setObjectName(QString::fromLatin1(kName));
        if (pieces_.isEmpty()) pieces_.append(QString());
        doc.setUndoRedoEnabled(false);
        point_.setKeepPositionOnInsert(true);
        // Everything read so far replaced or deleted at once (a new
        // document, the whole text selected and deleted): the rest of the
        // file is not wanted any more.
        QObject::connect(&doc, &QTextDocument::contentsChange, this, [this](int from, int removed, int) {
            if (!done() && from == 0 && removed > 0 && removed >= readTo_) stop();
            readTo_ = point_.position();
        });
    }

    bool done() const { return piece_ == pieces_.size(); }

    void stop() {
        pieces_.clear();
        piece_ = 0;
        // After the change that stops it: setPlainText() puts back the undo
        // it found when it is done.
        QTimer::singleShot(0, &doc_, [doc = &doc_, undo = undo_] { doc->setUndoRedoEnabled(undo); });
        deleteLater();
    }

    // Where the next part of the piece at hand ends: after `lines` lines,
    // or the first line end after `chars` characters.
    qsizetype partEnd(qsizetype chars, qsizetype lines) const {
        const QString& text = pieces_[piece_];
        const qsizetype enough = done_ + chars;
        qsizetype at = done_;
        for (qsizetype n = 0; n < lines && at < enough; ++n) {
            const qsizetype end = text.indexOf(u'\n', at);
            if (end < 0) return text.size();
            at = end + 1;
        }
        return at;
    }
    qsizetype firstPart() const { return partEnd(kFirstPart, kFirstLines); }
    qsizetype nextPart() const { return partEnd(kPart, kPartLines); }
    void putAll() {
        while (!done()) putUpTo(pieces_[piece_].size());
    }

    // Puts in the piece at hand up to `to`, a line end or its end; a piece
    // put in whole is let go.
    void putUpTo(qsizetype to) {
        if (done()) return;
        QString& text = pieces_[piece_];
        const bool last = piece_ + 1 == pieces_.size() && to == text.size();
        const QStringView part = QStringView(text).mid(done_, to - done_);
        const bool modified = doc_.isModified();
        QTextCursor at(&doc_);
        at.setPosition(point_.position());
        at.beginEditBlock();
        const int from = at.position();
        const QTextBlock first = at.block();
        // A whole piece in one part is inserted without a copy.
        at.insertText(part.size() == text.size() ? text : part.toString());
        point_.setPosition(at.position());
        // Lines the file could not give back by their text keep their
        // bytes: their paragraphs say which they are.  The line after the
        // part is not there yet, but for the file's last.
        const qsizetype lines = part.count(u'\n');
        if (kept_) {
            QTextBlock b = first;
            qsizetype line = line_;
            for (; nextKept_ < kept_->lines.size() && b.isValid(); ++nextKept_) {
                const qsizetype wanted = kept_->lines[nextKept_].line;
                if (wanted > line_ + lines || (wanted == line_ + lines && !last)) break;
                for (; line < wanted && b.isValid(); ++line) b = b.next();
                if (b.isValid()) b.setUserState(int(nextKept_));
            }
        }
        soft_breaks::split(doc_, from, point_.position());
        at.endEditBlock();
        line_ += lines;
        done_ = to;
        if (!modified) doc_.setModified(false);
        if (to == text.size()) {
            text = QString();
            done_ = 0;
            if (++piece_ == pieces_.size()) doc_.setUndoRedoEnabled(undo_);
        }
    }

    // The rest between events, a turn at a time; gone once all is in.
    void continueLater() {
        auto* timer = new QTimer(this);
        timer->setInterval(0);
        QObject::connect(timer, &QTimer::timeout, this, [this] { turn(); });
        timer->start();
    }

    // The layout would repaint the whole view and set the scroll bar up
    // anew after every part, which takes as long as the part itself; the
    // parts go in far below the view, so it hears of them quietly, is told
    // the new size once a turn, and repaints a few times a second.
    void turn() {
        QElapsedTimer clock;
        clock.start();
        // Only a layout there already: asking for one would make one.
        auto* layout = doc_.findChild<QAbstractTextDocumentLayout*>(QString(), Qt::FindDirectChildrenOnly);
        {
            const QSignalBlocker quiet(layout);
            while (!done() && clock.nsecsElapsed() < kTurnNs) putUpTo(nextPart());
        }
        if (layout) {
            emit layout->documentSizeChanged(layout->documentSize());
            if (done() || !sincePaint_.isValid() || sincePaint_.elapsed() >= kPaintMs) {
                sincePaint_.start();
                emit layout->update();
            }
        }
        if (done()) deleteLater();
    }

private:
    QTextDocument& doc_;
    QList<QString> pieces_;
    const KeptLines* kept_;
    QTextCursor point_;  // where the next part goes
    const bool undo_;
    qsizetype piece_ = 0;     // the piece at hand
    qsizetype done_ = 0;      // its characters put in
    qsizetype line_ = 0;      // lines before point_
    qsizetype nextKept_ = 0;  // the first kept line not yet placed
    int readTo_ = 0;          // where point_ was after the last change
    QElapsedTimer sincePaint_;
};

LineFill* lineFillOf(const QTextDocument& doc) {
    auto* fill = dynamic_cast<LineFill*>(doc.findChild<QObject*>(QString::fromLatin1(LineFill::kName), Qt::FindDirectChildrenOnly));
    return fill && !fill->done() ? fill : nullptr;
}

PlainTextRead setDecodedText(text::Decoded decoded, QTextDocument& doc, TextFill how) {
    delete keptLinesOf(doc);
    const KeptLines* kept = decoded.kept.isEmpty()
                                ? nullptr
                                : new KeptLines(decoded.format.encoding, std::move(decoded.kept), &doc);
    auto* fill = new LineFill(std::move(decoded.pieces), kept, doc);
    if (how == TextFill::InParts) fill->putUpTo(fill->firstPart());
    else fill->putAll();
    if (fill->done()) delete fill;
    else fill->continueLater();
    return {decoded.format, decoded.invalid};
}

} // namespace

PlainTextRead readPlainText(QByteArrayView bytes, QTextDocument& doc, std::optional<text::Encoding> encoding) {
    return setDecodedText(text::decodeDetected(bytes, encoding), doc, TextFill::AtOnce);
}

PlainTextRead readPlainText(QByteArray&& bytes, QTextDocument& doc, std::optional<text::Encoding> encoding,
                            TextFill how) {
    text::Decoded decoded = text::decodeDetected(bytes, encoding);
    bytes = QByteArray();
    return setDecodedText(std::move(decoded), doc, how);
}

bool textPending(const QTextDocument& doc) { return lineFillOf(doc) != nullptr; }

void completeText(const QTextDocument& doc) {
    if (LineFill* fill = lineFillOf(doc)) fill->putAll();
}

QString documentPlainText(const QTextDocument& doc) {
    completeText(doc);
    QString out;
    out.reserve(doc.characterCount());
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (b != doc.begin()) out.append(u'\n');
        const QString text = b.text();
        for (QChar c : text) out.append(c == QChar::LineSeparator ? QChar(u'\n') : c);
    }
    return out;
}

QByteArray documentBytes(const QTextDocument& doc, text::Format format, QList<cp932::Unencodable>* lost) {
    completeText(doc);
    const KeptLines* kept = keptLinesOf(doc);
    soft_breaks::Walk soft(doc);
    if ((!kept || kept->encoding != format.encoding) && !soft.any()) {
        // The raw text holds paragraph ends as U+2029, so index i is
        // document position i.
        return text::byteOrderMark(format.encoding).toByteArray() +
               text::encodePart(doc.toRawText(), format.encoding, format.lineEnd, lost);
    }
    if (kept && kept->encoding != format.encoding) kept = nullptr;
    text::LineWriter writer(format);
    std::vector<QTextBlock> pieces;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        // One line of the file: a paragraph and those its soft ends join to it.
        pieces.assign(1, b);
        while (soft.endsSoftly(b)) pieces.push_back(b = b.next());
        const int state = kept ? pieces.front().userState() : -1;
        const text::KeptLine* line = state >= 0 && state < kept->lines.size() ? &kept->lines[state] : nullptr;
        std::optional<text::LineEnd> end;
        if (b.next().isValid()) end = line ? line->end : format.lineEnd;
        if (line && !line->bytes.isNull()) {
            QString shown;
            for (const QTextBlock& piece : pieces) shown += piece.text();
            if (text::lineShown(line->bytes, format.encoding) == shown) {
                writer.addBytes(line->bytes, end);
                continue;
            }
        }
        for (const QTextBlock& piece : pieces)
            writer.addText(piece.text(), piece.position(), piece == b ? end : std::nullopt);
    }
    return writer.finish(lost);
}

} // namespace tess
