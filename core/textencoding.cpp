#include "textencoding.h"

#include "jistext.h"

#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <optional>

namespace tess::text {

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

// The Unicode decoders read what they are given as a whole: a character cut
// short at its end is a replacement character, not dropped; a U+FEFF at its
// start is a character (the byte-order mark is taken off before).
constexpr QStringConverter::Flags kWhole = QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;

// Qt's own converters for Unicode.
QStringDecoder decoderFor(Encoding e) {
    switch (e) {
    case Encoding::Utf16Le: return QStringDecoder(QStringConverter::Utf16LE, kWhole);
    case Encoding::Utf16Be: return QStringDecoder(QStringConverter::Utf16BE, kWhole);
    default: break;
    }
    return QStringDecoder(QStringConverter::Utf8, kWhole);
}

// The common kanji (JIS level 1) count for more than the rare ones.
int kanjiScore(char16_t c) {
    char bytes[2];
    return cp932::encodeChar(c, bytes) == 2 && uchar(bytes[0]) >= 0x88 && uchar(bytes[0]) <= 0x98 ? 2 : 1;
}

bool isAsciiLetter(QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool isHalfWidthKana(char16_t c) { return c >= 0xFF61 && c <= 0xFF9F; }

// How much a text reads like Japanese: kana and common kanji count for it,
// characters that only a wrong reading produces count against it.  In a
// double-byte reading, one character alone among ASCII letters (a kanji in
// "r?sum?") or one half-width katakana alone ("25?C") is what a single
// Western byte becomes: more suspect than a byte that is not valid at all,
// which at least shows as what it is.
int japaneseScore(QStringView text, bool doubleByteReading) {
    constexpr int kLoneCharacter = -11;
    int score = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80 || c == 0xFFFD) continue; // a bad byte is counted apart
        if (doubleByteReading) {
            const QChar before = i > 0 ? text[i - 1] : QChar(u' ');
            const QChar after = i + 1 < n ? text[i + 1] : QChar(u' ');
            if (isHalfWidthKana(c) ? !isHalfWidthKana(before.unicode()) && !isHalfWidthKana(after.unicode()) &&
                                         before.unicode() < 0x80 && after.unicode() < 0x80
                                   : isAsciiLetter(before) && isAsciiLetter(after)) {
                score += kLoneCharacter;
                continue;
            }
        }
        if (c >= 0x3041 && c <= 0x30FF) score += 3;              // hiragana, katakana
        else if (c >= 0x4E00 && c <= 0x9FFF) score += kanjiScore(c);
        else if (c >= 0x3000 && c <= 0x303F) score += 2;         // 、。「」 and the ideographic space
        else if (c >= 0xFF01 && c <= 0xFF5E) score += 2;         // full-width forms
        else if (isHalfWidthKana(c)) score += 0;                 // what a wrong reading of
                                                                  // double-byte text shows
        else if (c >= 0x80 && c <= 0xFF) score -= 3;             // accented Latin
        else if (c >= 0x2460 && c <= 0x24FF) score += 0;         // circled numbers
        else if (c >= 0x3400 && c <= 0x4DBF) score -= 3;         // rare kanji
        else if (c >= 0xE000 && c <= 0xF8FF) score -= 5;         // private use
        else if (QChar::isSurrogate(c)) score -= 3;
        else score -= 2;                                          // Latin, Greek, box drawing, Hangul ...
    }
    return score;
}

bool isIso2022Jp(QByteArrayView bytes) {
    bool escape = false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar b = uchar(bytes[i]);
        if (b >= 0x80) return false;
        if (b == 0x1B && i + 2 < bytes.size()) {
            const char a = bytes[i + 1], c = bytes[i + 2];
            if ((a == '$' && (c == 'B' || c == '@' || c == '(')) || (a == '(' && (c == 'B' || c == 'J' || c == 'I')))
                escape = true;
        }
    }
    return escape;
}

int multibyteSequences(QStringView utf16) {
    int n = 0;
    for (QChar c : utf16)
        if (c.unicode() >= 0x80) ++n;
    return n;
}

// A reading of the bytes in one encoding, and how it fares.
struct Reading {
    Encoding encoding = Encoding::ShiftJis;
    qsizetype invalid = 0;
    qsizetype value = 0;
    bool acceptable = false;
};

// Byte sequences EUC-JP does not allow, counted without decoding and only
// until there are more than `enough`.  Sure to be no fewer than a reading
// finds: each counts one byte, where a reading may count a longer run once.
qsizetype eucJpFaultsBeyond(QByteArrayView bytes, qsizetype enough) {
    const auto high = [](uchar b) { return b >= 0xA1 && b <= 0xFE; };
    qsizetype faults = 0;
    for (qsizetype i = 0; i < bytes.size() && faults <= enough;) {
        const uchar b = uchar(bytes[i]);
        const uchar next = i + 1 < bytes.size() ? uchar(bytes[i + 1]) : 0;
        if (b < 0x80) ++i;
        else if (high(b) && high(next)) i += 2;
        else if (b == 0x8E && next >= 0xA1 && next <= 0xDF) i += 2;
        else if (b == 0x8F && high(next) && i + 2 < bytes.size() && high(uchar(bytes[i + 2]))) i += 3;
        else ++faults, ++i;
    }
    return faults;
}

Reading readingIn(QByteArrayView bytes, Encoding e, qsizetype nonAscii) {
    constexpr int kInvalid = -10;
    Reading r;
    r.encoding = e;
    // Shift-JIS or UTF-8 read as EUC-JP fails at nearly every character:
    // such a reading is not worth decoding (slowly, where the tables do not
    // hold the bytes), it would never be acceptable.
    const qsizetype allowed = std::max<qsizetype>(8, nonAscii / 64);
    if (e == Encoding::EucJp && eucJpFaultsBeyond(bytes, 4 * allowed + 32) > 4 * allowed + 32) {
        r.invalid = nonAscii;
        return r;
    }
    const QString text = decodePart(bytes, e);
    r.invalid = invalidSequences(text, bytes, e);
    // Valid UTF-8 with multi-byte characters rarely happens by chance, so
    // each of its characters adds as much as the best character scores (its
    // three bytes would otherwise read as one and a half double-byte
    // characters).
    r.value = japaneseScore(text, e != Encoding::Utf8) + kInvalid * r.invalid;
    if (e == Encoding::Utf8) r.value += 3 * (multibyteSequences(text) - r.invalid);
    // A few bad bytes in a long text, never more.
    r.acceptable = r.invalid <= allowed;
    return r;
}

// The best of the readings that are acceptable; of two that fare the same,
// the first of Shift-JIS, UTF-8, EUC-JP.
std::optional<Reading> bestReading(QByteArrayView bytes, qsizetype nonAscii) {
    std::optional<Reading> best;
    for (const Encoding e : {Encoding::ShiftJis, Encoding::Utf8, Encoding::EucJp}) {
        const Reading r = readingIn(bytes, e, nonAscii);
        if (r.acceptable && (!best || r.value > best->value)) best = r;
    }
    return best;
}

qsizetype countNonAscii(QByteArrayView bytes) {
    return std::count_if(bytes.begin(), bytes.end(), [](char b) { return uchar(b) >= 0x80; });
}

} // namespace

Encoding detectEncoding(QByteArrayView bytes, bool* sampled, bool whole) {
    if (sampled) *sampled = false;
    if (bytes.startsWith(kUtf8Bom)) return Encoding::Utf8Bom;
    if (bytes.startsWith("\xFF\xFE")) return Encoding::Utf16Le;
    if (bytes.startsWith("\xFE\xFF")) return Encoding::Utf16Be;
    const auto firstHigh = std::find_if(bytes.begin(), bytes.end(), [](char b) { return uchar(b) >= 0x80; });
    if (firstHigh == bytes.end()) return isIso2022Jp(bytes) ? Encoding::Iso2022Jp : Encoding::ShiftJis;

    // ASCII before the first other byte reads the same in all three; the
    // one just before it is kept for its neighbour.
    QByteArrayView rest = bytes.sliced(std::max<qsizetype>(0, firstHigh - bytes.begin() - 1));
    if (!whole) {
        // A stretch long enough to tell, cut after a byte below 0x40, which
        // ends a character in all three encodings.
        constexpr qsizetype kSample = 64 * 1024;
        if (rest.size() > kSample) {
            QByteArrayView sample = rest.first(kSample);
            const auto cut = std::find_if(sample.rbegin(), sample.rend(), [](char b) { return uchar(b) < 0x40; });
            if (cut != sample.rend()) sample = sample.first(sample.rend() - cut);
            const qsizetype nonAscii = countNonAscii(sample);
            const std::optional<Reading> best = bestReading(sample, nonAscii);
            if (best && best->invalid == 0 && nonAscii >= 1024) {
                if (sampled) *sampled = true;
                return best->encoding;
            }
        }
    }
    const std::optional<Reading> best = bestReading(rest, countNonAscii(rest));
    return best ? best->encoding : Encoding::ShiftJis;
}

LineEnd detectLineEnd(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n') return LineEnd::Lf;
        if (text[i] == u'\r') return i + 1 < text.size() && text[i + 1] == u'\n' ? LineEnd::CrLf : LineEnd::Cr;
    }
    return LineEnd::CrLf;
}

QByteArrayView byteOrderMark(Encoding encoding) {
    switch (encoding) {
    case Encoding::Utf8Bom: return kUtf8Bom;
    case Encoding::Utf16Le: return "\xFF\xFE";
    case Encoding::Utf16Be: return "\xFE\xFF";
    default: return {};
    }
}

qsizetype byteOrderMarkLength(QByteArrayView bytes, Encoding encoding) {
    // A UTF-8 file read as UTF-8 without a mark loses its mark all the same.
    const QByteArrayView mark = encoding == Encoding::Utf8 ? QByteArrayView(kUtf8Bom) : byteOrderMark(encoding);
    return !mark.isEmpty() && bytes.startsWith(mark) ? mark.size() : 0;
}

QString decode(QByteArrayView bytes, Encoding encoding) {
    return decodePart(bytes.sliced(byteOrderMarkLength(bytes, encoding)), encoding);
}

QString decodePart(QByteArrayView bytes, Encoding encoding, bool* writesBack) {
    if (writesBack) *writesBack = false;
    switch (encoding) {
    case Encoding::ShiftJis: return cp932::decode(bytes);
    case Encoding::EucJp:
    case Encoding::Iso2022Jp: return jis::decode(bytes, encoding, writesBack);
    default: break;
    }
    QStringDecoder decoder = decoderFor(encoding);
    return decoder.decode(bytes);
}

qsizetype invalidSequences(QStringView text, QByteArrayView bytes, Encoding encoding) {
    const qsizetype replaced = text.count(QChar::ReplacementCharacter);
    if (replaced == 0) return 0;
    // Only Unicode holds U+FFFD itself; elsewhere each one is a bad byte.
    QByteArrayView own;
    switch (encoding) {
    case Encoding::Utf8:
    case Encoding::Utf8Bom: own = "\xEF\xBF\xBD"; break;
    case Encoding::Utf16Le: own = "\xFD\xFF"; break;
    case Encoding::Utf16Be: own = "\xFF\xFD"; break;
    default: return replaced;
    }
    qsizetype genuine = 0;
    const qsizetype step = own.size() == 2 ? 2 : 1;
    for (qsizetype at = bytes.indexOf(own); at >= 0; at = bytes.indexOf(own, at + 1))
        if (at % step == 0) ++genuine;
    return std::max<qsizetype>(0, replaced - genuine);
}

QList<cp932::Unencodable> unencodable(QStringView text, Encoding encoding) {
    if (encoding == Encoding::ShiftJis) return cp932::unencodable(text);
    QList<cp932::Unencodable> lost;
    if (encoding != Encoding::EucJp && encoding != Encoding::Iso2022Jp) {
        // Unicode holds everything but a surrogate without its partner.
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
            else if (c.isSurrogate()) lost.append({i, c.unicode()});
        }
        return lost;
    }
    // One character at a time, each answer kept: the JIS encodings hold the
    // same few thousand characters throughout a document.
    QHash<char32_t, bool> holds;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype at = i;
        char32_t cp = text[i].unicode();
        if (QChar::isHighSurrogate(cp) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            cp = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode()), ++i;
        ++i;
        if (cp < 0x80) continue;
        auto it = holds.find(cp);
        if (it == holds.end()) {
            // The Windows forms of the standard characters are written as
            // the same codes, which read back as the standard characters:
            // a full-width minus typed into a JIS file stays a minus.
            const QString one = QString::fromUcs4(&cp, 1);
            bool error = false;
            const QByteArray bytes = jis::encode(one, encoding, &error);
            it = holds.insert(cp, !error && (jis::decode(bytes, encoding) == one || jis::isWindowsForm(cp)));
        }
        if (!*it) lost.append({at, cp});
    }
    return lost;
}

QByteArray encode(QStringView text, Encoding encoding) {
    if (encoding == Encoding::ShiftJis) return cp932::encode(text);
    return byteOrderMark(encoding).toByteArray() + encodePart(text, encoding);
}

bool encodesTo(QStringView text, Encoding encoding, QByteArrayView bytes) {
    switch (encoding) {
    case Encoding::Utf8:
    case Encoding::Utf8Bom:
        // Valid UTF-8 is the one form of its text; what is not valid, a
        // character cut short included, reads as U+FFFD.
        if (!text.contains(QChar::ReplacementCharacter) && !text.contains(QChar::LineSeparator) &&
            !text.contains(QChar::ParagraphSeparator)) {
            return true;
        }
        break;
    case Encoding::EucJp:
    case Encoding::Iso2022Jp: {
        // Whatever ICU cannot write comes out as a substitute, which differs.
        if (text.contains(QChar::LineSeparator) || text.contains(QChar::ParagraphSeparator)) break;
        bool error = false;
        const QByteArray out = jis::encode(text, encoding, &error);
        return !error && out == bytes;
    }
    default: break;
    }
    return encodePart(text, encoding) == bytes;
}

QByteArray lineEndBytes(LineEnd lineEnd, Encoding encoding) {
    const QStringView end = lineEnd == LineEnd::CrLf ? u"\r\n" : lineEnd == LineEnd::Cr ? u"\r" : u"\n";
    return encodePart(end, encoding);
}

namespace {

bool isParagraphEnd(char16_t c) { return c == QChar::ParagraphSeparator || c == QChar::LineSeparator; }

// Shift-JIS in one pass over the table: every UTF-16 unit takes at most two
// bytes, so the buffer never grows.
QByteArray encodeShiftJis(QStringView text, LineEnd lineEnd, QList<cp932::Unencodable>* lost) {
    const QByteArray end = lineEnd == LineEnd::CrLf ? "\r\n" : lineEnd == LineEnd::Cr ? "\r" : "\n";
    QByteArray out(text.size() * 2, Qt::Uninitialized);
    char* w = out.data();
    const uint16_t* table = cp932::bmpEncodeTable();
    const char16_t* p = reinterpret_cast<const char16_t*>(text.data());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = p[i];
        if (c < 0x80) {
            *w++ = char(c);
            continue;
        }
        if (const uint16_t v = table[c]) {
            if (v < 0x100) {
                *w++ = char(v);
            } else {
                *w++ = char(v >> 8);
                *w++ = char(v & 0xFF);
            }
            continue;
        }
        if (isParagraphEnd(c)) {
            for (char b : end) *w++ = b;
            continue;
        }
        const qsizetype at = i;
        char32_t cp = c;
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(p[i + 1]))
            cp = QChar::surrogateToUcs4(c, p[++i]);
        if (lost) lost->append({at, cp});
        *w++ = cp == QChar::Nbsp ? ' ' : '?';
    }
    out.truncate(w - out.constData());
    return out;
}

} // namespace

QByteArray encodePart(QStringView text, Encoding encoding, LineEnd lineEnd, QList<cp932::Unencodable>* lost) {
    if (encoding == Encoding::ShiftJis) return encodeShiftJis(text, lineEnd, lost);
    const QStringView end = lineEnd == LineEnd::CrLf ? u"\r\n" : lineEnd == LineEnd::Cr ? u"\r" : u"\n";
    QString clean;
    clean.reserve(text.size());
    qsizetype from = 0;
    const auto upTo = [&](qsizetype i) { clean.append(text.sliced(from, i - from)); };
    for (const cp932::Unencodable& u : unencodable(text, encoding)) {
        if (isParagraphEnd(char16_t(u.codePoint))) continue;
        upTo(u.position);
        const qsizetype width = u.codePoint > 0xFFFF ? 2 : 1;
        clean.append(QString(width, u'?'));
        from = u.position + width;
        if (lost) lost->append(u);
    }
    clean.append(text.sliced(from));
    if (clean.contains(QChar::ParagraphSeparator) || clean.contains(QChar::LineSeparator)) {
        QString ends;
        ends.reserve(clean.size());
        for (QChar c : std::as_const(clean)) {
            if (isParagraphEnd(c.unicode())) ends.append(end);
            else ends.append(c);
        }
        clean = std::move(ends);
    }
    if (encoding == Encoding::EucJp || encoding == Encoding::Iso2022Jp) return jis::encode(clean, encoding);
    QStringEncoder encoder(encoding == Encoding::Utf16Le   ? QStringConverter::Utf16LE
                           : encoding == Encoding::Utf16Be ? QStringConverter::Utf16BE
                                                           : QStringConverter::Utf8);
    return encoder.encode(clean);
}

QString encodingName(Encoding encoding) {
    switch (encoding) {
    case Encoding::ShiftJis: return QStringLiteral("Shift-JIS");
    case Encoding::Utf8: return QStringLiteral("UTF-8");
    case Encoding::Utf8Bom: return QStringLiteral("UTF-8 (BOM)");
    case Encoding::Utf16Le: return QStringLiteral("UTF-16 LE");
    case Encoding::Utf16Be: return QStringLiteral("UTF-16 BE");
    case Encoding::EucJp: return QStringLiteral("EUC-JP");
    case Encoding::Iso2022Jp: return QStringLiteral("JIS");
    }
    return QString();
}

QString lineEndName(LineEnd lineEnd) {
    switch (lineEnd) {
    case LineEnd::CrLf: return QStringLiteral("CR+LF");
    case LineEnd::Lf: return QStringLiteral("LF");
    case LineEnd::Cr: return QStringLiteral("CR");
    }
    return QString();
}

QList<Encoding> allEncodings() {
    return {Encoding::ShiftJis, Encoding::Utf8, Encoding::Utf8Bom, Encoding::EucJp,
            Encoding::Iso2022Jp, Encoding::Utf16Le, Encoding::Utf16Be};
}

} // namespace tess::text
