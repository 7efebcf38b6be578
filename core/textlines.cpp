#include "textlines.h"

#include <algorithm>
#include <array>

namespace tess::text {

namespace {

bool isUtf16(Encoding e) { return e == Encoding::Utf16Le || e == Encoding::Utf16Be; }

// What a document cannot hold as a character of a line: the line and
// paragraph separators, its own marks, and a line end left in a line.
bool isShownReplaced(char16_t c) {
    return c == QChar::LineSeparator || c == QChar::ParagraphSeparator || c == 0xFDD0 || c == 0xFDD1 ||
           c == u'\r' || c == u'\n';
}

// A line's decoded text as the document shows it.
QString shownAsLine(QString text) {
    for (QChar& c : text)
        if (isShownReplaced(c.unicode())) c = QChar::ReplacementCharacter;
    return text;
}

// Lines of bytes: line ends are CR, LF or CR LF as single bytes, or as
// aligned 16-bit units in UTF-16.
class ByteLines {
public:
    ByteLines(QByteArrayView bytes, Encoding e) : p_(reinterpret_cast<const uchar*>(bytes.data())), n_(bytes.size()) {
        if (isUtf16(e)) unit_ = 2, low_ = e == Encoding::Utf16Le ? 0 : 1;
    }

    struct End {
        qsizetype at;      // where it starts
        LineEnd kind;
        qsizetype length;  // in bytes
    };

    // The first line end at or after `from`, if there is one.
    std::optional<End> nextEnd(qsizetype from) const {
        for (qsizetype i = from; i + unit_ <= n_; i += unit_) {
            const int c = unitAt(i);
            if (c == '\n') return End{i, LineEnd::Lf, unit_};
            if (c != '\r') continue;
            if (unitAt(i + unit_) == '\n') return End{i, LineEnd::CrLf, 2 * unit_};
            return End{i, LineEnd::Cr, unit_};
        }
        return std::nullopt;
    }

    // The offset just past the first line end at or after `from`, or the end.
    qsizetype pastLineEnd(qsizetype from) const {
        const std::optional<End> end = nextEnd(from);
        return end ? end->at + end->length : n_;
    }

    int unit() const { return unit_; }

private:
    // The character unit at `i` when it could be a line end, else -1.
    int unitAt(qsizetype i) const {
        if (i + unit_ > n_) return -1;
        if (unit_ == 1) return p_[i];
        return p_[i + 1 - low_] == 0 ? p_[i + low_] : -1;
    }

    const uchar* p_;
    qsizetype n_;
    int unit_ = 1;
    int low_ = 0;
};

class LineReader {
public:
    LineReader(QByteArrayView body, Encoding e) : body_(body), e_(e), lines_(body, e) {}

    void read(Decoded& out);

private:
    bool readQuickly(QByteArrayView chunk, QString& text);
    void readLineByLine(QByteArrayView chunk, QString& text, qsizetype& invalid);

    QByteArrayView body_;
    Encoding e_;
    ByteLines lines_;
    std::vector<uint8_t> ends_;                      // each line's end, but the last line's
    std::vector<std::pair<qsizetype, QByteArray>> bytes_; // lines kept as bytes
};

void LineReader::read(Decoded& out) {
    // A piece at a time, each ending after a line end: most pieces write
    // back as they were read, and then their lines need nothing kept.
    // They are handed over in larger pieces of text.
    constexpr qsizetype kPiece = qsizetype(1) << 20;
    constexpr qsizetype kHanded = qsizetype(1) << 20;
    QString text;
    // Each character takes at least one byte (two in UTF-16).
    const auto reserve = [&](qsizetype from) {
        text.reserve(std::min((body_.size() - from) / lines_.unit(), kHanded + kPiece) + 1);
    };
    reserve(0);
    for (qsizetype from = 0; from < body_.size();) {
        qsizetype to = std::min(body_.size(), from + kPiece);
        to -= (to - from) % lines_.unit();
        to = lines_.pastLineEnd(to == body_.size() ? to : std::max(from, to - lines_.unit()));
        const QByteArrayView chunk = body_.sliced(from, to - from);
        const qsizetype mark = text.size();
        const size_t endsMark = ends_.size();
        if (!readQuickly(chunk, text)) {
            text.truncate(mark);
            ends_.resize(endsMark);
            readLineByLine(chunk, text, out.invalid);
        }
        from = to;
        if (text.size() >= kHanded && from < body_.size()) {
            out.pieces.append(std::move(text));
            text = QString();
            reserve(from);
        }
    }
    out.pieces.append(std::move(text));

    // The usual line end is the most common one (the first of equals).
    std::array<qsizetype, 3> counts{};
    std::array<size_t, 3> first{SIZE_MAX, SIZE_MAX, SIZE_MAX};
    for (size_t i = 0; i < ends_.size(); ++i) {
        ++counts[ends_[i]];
        first[ends_[i]] = std::min(first[ends_[i]], i);
    }
    int usual = int(LineEnd::CrLf);
    if (!ends_.empty()) {
        for (int k = 0; k < 3; ++k)
            if (counts[k] > counts[usual] || (counts[k] == counts[usual] && first[k] < first[usual])) usual = k;
    }
    out.format.lineEnd = LineEnd(usual);

    auto kept = bytes_.begin();
    const qsizetype lineCount = qsizetype(ends_.size()) + 1;
    for (qsizetype line = 0; line < lineCount; ++line) {
        const bool ownEnd = line < qsizetype(ends_.size()) && ends_[line] != usual;
        const bool ownBytes = kept != bytes_.end() && kept->first == line;
        if (!ownEnd && !ownBytes) continue;
        KeptLine k;
        k.line = line;
        k.end = line < qsizetype(ends_.size()) ? LineEnd(ends_[line]) : LineEnd(usual);
        if (ownBytes) k.bytes = std::move((kept++)->second);
        out.kept.append(std::move(k));
    }
}

// The piece as one text, when it writes back to the same bytes and shows as
// it reads: the lines go into `text` and nothing is kept.
bool LineReader::readQuickly(QByteArrayView chunk, QString& text) {
    bool writesBack = false;
    const QString t = decodePart(chunk, e_, &writesBack);
    const qsizetype mark = text.size();
    text.resize(mark + t.size());
    char16_t* w = reinterpret_cast<char16_t*>(text.data()) + mark;
    const char16_t* r = reinterpret_cast<const char16_t*>(t.constData());
    const qsizetype n = t.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = r[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\n') ends_.push_back(uint8_t(LineEnd::Lf));
            else if (i + 1 < n && r[i + 1] == u'\n') ends_.push_back(uint8_t(LineEnd::CrLf)), ++i;
            else ends_.push_back(uint8_t(LineEnd::Cr));
            *w++ = u'\n';
            continue;
        }
        if (c == QChar::ReplacementCharacter || isShownReplaced(c)) return false;
        *w++ = c;
    }
    text.truncate(w - reinterpret_cast<const char16_t*>(text.constData()));
    return writesBack || encodesTo(t, e_, chunk);
}

void LineReader::readLineByLine(QByteArrayView chunk, QString& text, qsizetype& invalid) {
    const ByteLines lines(chunk, e_);
    for (qsizetype start = 0; start < chunk.size();) {
        const std::optional<ByteLines::End> end = lines.nextEnd(start);
        const QByteArrayView bytes = chunk.sliced(start, (end ? end->at : chunk.size()) - start);
        const QString raw = decodePart(bytes, e_);
        invalid += invalidSequences(raw, bytes, e_);
        const QString shown = shownAsLine(raw);
        if (!encodesTo(shown, e_, bytes)) bytes_.emplace_back(qsizetype(ends_.size()), bytes.toByteArray());
        text += shown;
        if (!end) break;
        ends_.push_back(uint8_t(end->kind));
        text += u'\n';
        start = end->at + end->length;
    }
}

Decoded decodeIn(QByteArrayView bytes, Encoding e) {
    Decoded out;
    const qsizetype mark = byteOrderMarkLength(bytes, e);
    // A UTF-8 file opened as UTF-8 keeps its byte-order mark.
    out.format.encoding = e == Encoding::Utf8 && mark > 0 ? Encoding::Utf8Bom : e;
    LineReader(bytes.sliced(mark), e).read(out);
    return out;
}

} // namespace

Decoded decodeDetected(QByteArrayView bytes, std::optional<Encoding> encoding) {
    if (encoding) return decodeIn(bytes, *encoding);
    bool sampled = false;
    const Encoding e = detectEncoding(bytes, &sampled);
    Decoded out = decodeIn(bytes, e);
    // The part the answer came from was beyond doubt, but bad bytes further
    // on may change it.
    if (sampled && out.invalid > 0) {
        if (const Encoding again = detectEncoding(bytes, nullptr, true); again != e) out = decodeIn(bytes, again);
    }
    return out;
}

QString lineShown(QByteArrayView bytes, Encoding encoding) {
    return shownAsLine(decodePart(bytes, encoding));
}

LineWriter::LineWriter(Format format) : format_(format), out_(byteOrderMark(format.encoding).toByteArray()) {}

void LineWriter::addText(QStringView text, qsizetype position, std::optional<LineEnd> end) {
    starts_.emplace_back(run_.size(), position);
    run_.append(text);
    if (!end) return;
    if (*end == format_.lineEnd) {
        // The encoder writes the usual line end for it.
        run_.append(QChar::ParagraphSeparator);
        return;
    }
    flush();
    out_ += lineEndBytes(*end, format_.encoding);
}

void LineWriter::addBytes(QByteArrayView bytes, std::optional<LineEnd> end) {
    flush();
    out_ += bytes;
    if (end) out_ += lineEndBytes(*end, format_.encoding);
}

void LineWriter::flush() {
    if (run_.isEmpty()) {
        starts_.clear();
        return;
    }
    QList<cp932::Unencodable> lost;
    out_ += encodePart(run_, format_.encoding, format_.lineEnd, &lost);
    for (cp932::Unencodable u : lost) {
        auto line = std::upper_bound(starts_.begin(), starts_.end(), u.position,
                                     [](qsizetype at, const auto& start) { return at < start.first; });
        --line;
        u.position = line->second + (u.position - line->first);
        lost_.append(u);
    }
    run_.clear();
    starts_.clear();
}

QByteArray LineWriter::finish(QList<cp932::Unencodable>* lost) {
    flush();
    if (lost) *lost = std::move(lost_);
    return std::move(out_);
}

} // namespace tess::text
