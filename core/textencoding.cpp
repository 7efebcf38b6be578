#include "textencoding.h"

#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <optional>

namespace tess::text {

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

// Qt's own converters for Unicode, ICU's for the JIS encodings.
QStringDecoder decoderFor(Encoding e) {
    switch (e) {
    case Encoding::EucJp: return QStringDecoder("EUC-JP");
    case Encoding::Iso2022Jp: return QStringDecoder("ISO-2022-JP");
    case Encoding::Utf16Le: return QStringDecoder(QStringConverter::Utf16LE);
    case Encoding::Utf16Be: return QStringDecoder(QStringConverter::Utf16BE);
    case Encoding::ShiftJis: return QStringDecoder("windows-31j");
    case Encoding::Utf8:
    case Encoding::Utf8Bom: break;
    }
    return QStringDecoder(QStringConverter::Utf8);
}

QStringEncoder encoderFor(Encoding e) {
    switch (e) {
    case Encoding::EucJp: return QStringEncoder("EUC-JP");
    case Encoding::Iso2022Jp: return QStringEncoder("ISO-2022-JP");
    case Encoding::Utf16Le: return QStringEncoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    case Encoding::Utf16Be: return QStringEncoder(QStringConverter::Utf16BE, QStringConverter::Flag::WriteBom);
    case Encoding::ShiftJis: return QStringEncoder("windows-31j");
    case Encoding::Utf8: return QStringEncoder(QStringConverter::Utf8);
    case Encoding::Utf8Bom: break;
    }
    return QStringEncoder(QStringConverter::Utf8, QStringConverter::Flag::WriteBom);
}

// The text when the bytes are valid in the encoding, nothing otherwise.
std::optional<QString> strictDecode(QByteArrayView bytes, Encoding e) {
    if (e == Encoding::ShiftJis) {
        QString text = cp932::decodeKeepingBytes(bytes);
        for (QChar c : text)
            if (cp932::isKeptByte(c.unicode())) return std::nullopt;
        return text;
    }
    if (e == Encoding::EucJp) {
        // ICU is lenient with some stray bytes; the structure is checked here.
        const auto* p = reinterpret_cast<const uchar*>(bytes.data());
        for (qsizetype i = 0; i < bytes.size();) {
            const uchar b = p[i];
            const auto trail = [&](qsizetype k) { return i + k < bytes.size() && p[i + k] >= 0xA1 && p[i + k] <= 0xFE; };
            if (b < 0x80) ++i;
            else if (b == 0x8E && i + 1 < bytes.size() && p[i + 1] >= 0xA1 && p[i + 1] <= 0xDF) i += 2;
            else if (b == 0x8F && trail(1) && trail(2)) i += 3;
            else if (b >= 0xA1 && b <= 0xFE && trail(1)) i += 2;
            else return std::nullopt;
        }
    }
    QStringDecoder decoder = decoderFor(e);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) return std::nullopt;
    // U+FFFD is a character like any other in UTF-8 (EF BF BD); in the JIS
    // encodings nothing maps to it, so there it can only mean a bad byte.
    if (e != Encoding::Utf8 && text.contains(QChar::ReplacementCharacter)) return std::nullopt;
    return text;
}

// The common kanji (JIS level 1) count for more than the rare ones.
int kanjiScore(char16_t c) {
    char bytes[2];
    return cp932::encodeChar(c, bytes) == 2 && uchar(bytes[0]) >= 0x88 && uchar(bytes[0]) <= 0x98 ? 2 : 1;
}

// How much a text reads like Japanese: kana and common kanji count for it,
// characters that only a wrong reading produces count against it.
int japaneseScore(QStringView text) {
    int score = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) continue;
        if (c >= 0x3041 && c <= 0x30FF) score += 3;              // hiragana, katakana
        else if (c >= 0x4E00 && c <= 0x9FFF) score += kanjiScore(c);
        else if (c >= 0x3000 && c <= 0x303F) score += 2;         // 、。「」 and the ideographic space
        else if (c >= 0xFF01 && c <= 0xFF5E) score += 2;         // full-width forms
        else if (c >= 0xFF61 && c <= 0xFF9F) score += 0;         // half-width katakana: what a wrong
                                                                  // reading of double-byte text shows
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

// The converter is never flushed, so it never writes the escape back to
// ASCII that ends a text in another character set: it is added here, as the
// text's end requires.
void closeIso2022Jp(QByteArray& bytes) {
    const qsizetype esc = bytes.lastIndexOf('\x1B');
    if (esc >= 0 && bytes.sliced(esc, std::min<qsizetype>(3, bytes.size() - esc)) != "\x1B(B") bytes.append("\x1B(B");
}

// ICU reads JIS X 0208 through the Windows (code page 932) table, which
// gives six codes of row 1 and 2 their full-width or other Windows forms;
// EUC-JP and JIS files mean the standard characters (as iconv reads them).
struct JisFix {
    uint16_t jis;           // the JIS X 0208 code, 7-bit row and cell
    char16_t standard;      // what the code means
    char16_t windows;       // what the Windows table makes of it
};
constexpr JisFix kJisFixes[] = {
    {0x2141, u'\u301C', u'\uFF5E'}, // wave dash
    {0x2142, u'\u2016', u'\u2225'}, // double vertical line
    {0x215D, u'\u2212', u'\uFF0D'}, // minus sign
    {0x2171, u'\u00A2', u'\uFFE0'}, // cent sign
    {0x2172, u'\u00A3', u'\uFFE1'}, // pound sign
    {0x224C, u'\u00AC', u'\uFFE2'}, // not sign
};

const JisFix* fixForCode(uint16_t jis) {
    for (const JisFix& f : kJisFixes)
        if (f.jis == jis) return &f;
    return nullptr;
}

const JisFix* fixForStandard(char16_t c) {
    for (const JisFix& f : kJisFixes)
        if (f.standard == c) return &f;
    return nullptr;
}

bool isWindowsForm(char32_t c) {
    for (const JisFix& f : kJisFixes)
        if (f.windows == c) return true;
    return false;
}

// JIS X 0212 characters (EUC-JP's three-byte 8F codes) that ICU writes
// otherwise: as IBM or NEC extension codes, or, for U+FF5E, as the wave
// dash.  Taken from ICU's own reading of each code, once.
const QHash<char16_t, QByteArray>& eucJpSupplementCodes() {
    static const QHash<char16_t, QByteArray> codes = [] {
        QHash<char16_t, QByteArray> out;
        QStringDecoder decoder("EUC-JP");
        QStringEncoder encoder("EUC-JP");
        // Rows of JIS X 0212; the rows beyond are IBM extensions.
        const auto isRow = [](int row) { return row == 0x22 || row == 0x26 || row == 0x27 || (row >= 0x29 && row <= 0x2B) || (row >= 0x30 && row <= 0x6D); };
        for (int row = 0x21; row <= 0x7E; ++row) {
            if (!isRow(row)) continue;
            for (int cell = 0x21; cell <= 0x7E; ++cell) {
                const char code[] = {'\x8F', char(row | 0x80), char(cell | 0x80)};
                decoder.resetState();
                encoder.resetState();
                const QString c = decoder.decode(QByteArrayView(code, 3));
                if (c.size() != 1 || c[0] == QChar::ReplacementCharacter) continue;
                if (QByteArray(encoder.encode(c)) != QByteArrayView(code, 3)) out.insert(c[0].unicode(), QByteArray(code, 3));
            }
        }
        return out;
    }();
    return codes;
}

// The bytes in EUC-JP or ISO-2022-JP: ICU's reading with the codes above
// read as their standard characters.
QString decodeJis(QByteArrayView bytes, Encoding e) {
    QStringDecoder decoder = decoderFor(e);
    QString out;
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype from = 0;
    bool jisX0208 = false; // ISO-2022-JP: after ESC $ B or ESC $ @
    for (qsizetype i = 0; i < n;) {
        const uchar b = p[i];
        uint16_t jis = 0;
        if (e == Encoding::EucJp) {
            if (b == 0x8F) { i += 3; continue; }
            if (b >= 0xA1 && b <= 0xFE && i + 1 < n && p[i + 1] >= 0xA1) jis = uint16_t(((b & 0x7F) << 8) | (p[i + 1] & 0x7F));
            else { i += b == 0x8E ? 2 : 1; continue; }
        } else {
            if (b == 0x1B && i + 2 < n) {
                if (p[i + 1] == '$' && (p[i + 2] == 'B' || p[i + 2] == '@')) jisX0208 = true, i += 3;
                else if (p[i + 1] == '(' || p[i + 1] == '$') jisX0208 = false, ++i;
                else ++i;
                continue;
            }
            // ICU goes back to ASCII at each line end, as a JIS line must.
            if (b == '\r' || b == '\n') jisX0208 = false;
            if (!jisX0208 || b < 0x21 || b > 0x7E || i + 1 >= n) { ++i; continue; }
            jis = uint16_t((b << 8) | p[i + 1]);
        }
        if (const JisFix* f = fixForCode(jis)) {
            // ICU reads the code too: its shift state stays in step, and it
            // never sees two escapes in a row, which it reports as an error.
            out += decoder.decode(bytes.sliced(from, i + 2 - from));
            if (!out.isEmpty() && out.back() == QChar(f->windows)) out.back() = QChar(f->standard);
            from = i + 2;
        }
        i += 2;
    }
    if (from == 0) return decoder.decode(bytes); // the common case: nothing to fix
    out += decoder.decode(bytes.sliced(std::min(from, n)));
    return out;
}

// The text in EUC-JP or ISO-2022-JP, the standard characters written as the
// codes they are read from.  ISO-2022-JP has no JIS X 0212; there ICU's own
// escapes are kept by handing it the Windows form of each fixed character.
QByteArray encodeJis(QStringView text, Encoding e, bool* error = nullptr) {
    QStringEncoder encoder = encoderFor(e);
    QByteArray out;
    if (e == Encoding::Iso2022Jp) {
        QString windows = text.toString();
        for (QChar& c : windows)
            if (const JisFix* f = fixForStandard(c.unicode())) c = QChar(f->windows);
        out = encoder.encode(windows);
        closeIso2022Jp(out);
    } else {
        const QHash<char16_t, QByteArray>& supplement = eucJpSupplementCodes();
        qsizetype from = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            if (c < 0x80) continue;
            QByteArray code;
            if (const JisFix* f = fixForStandard(c)) {
                const char two[] = {char((f->jis >> 8) | 0x80), char((f->jis & 0xFF) | 0x80)};
                code = QByteArray(two, 2);
            } else if (auto it = supplement.find(c); it != supplement.end()) {
                code = *it;
            } else {
                continue;
            }
            out += encoder.encode(text.sliced(from, i - from));
            out += code;
            from = i + 1;
        }
        out += encoder.encode(text.sliced(from));
    }
    if (error) *error = encoder.hasError();
    return out;
}

int multibyteSequences(QStringView utf16) {
    int n = 0;
    for (QChar c : utf16)
        if (c.unicode() >= 0x80) ++n;
    return n;
}

} // namespace

Encoding detectEncoding(QByteArrayView bytes) {
    if (bytes.startsWith(kUtf8Bom)) return Encoding::Utf8Bom;
    if (bytes.startsWith("\xFF\xFE")) return Encoding::Utf16Le;
    if (bytes.startsWith("\xFE\xFF")) return Encoding::Utf16Be;
    if (isIso2022Jp(bytes)) return Encoding::Iso2022Jp;
    if (std::all_of(bytes.begin(), bytes.end(), [](char b) { return uchar(b) < 0x80; })) return Encoding::ShiftJis;

    // Each reading that the bytes are valid in, scored.  Valid UTF-8 with
    // multi-byte characters rarely happens by chance, so each of its
    // characters adds as much as the best character scores (its three bytes
    // would otherwise read as one and a half double-byte characters); a tie
    // keeps Shift-JIS.
    Encoding best = Encoding::ShiftJis;
    std::optional<int> bestScore;
    for (const Encoding e : {Encoding::ShiftJis, Encoding::Utf8, Encoding::EucJp}) {
        const std::optional<QString> text = strictDecode(bytes, e);
        if (!text) continue;
        int score = japaneseScore(*text);
        if (e == Encoding::Utf8) score += 3 * multibyteSequences(*text);
        if (!bestScore || score > *bestScore) {
            best = e;
            bestScore = score;
        }
    }
    return best;
}

LineEnd detectLineEnd(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n') return LineEnd::Lf;
        if (text[i] == u'\r') return i + 1 < text.size() && text[i + 1] == u'\n' ? LineEnd::CrLf : LineEnd::Cr;
    }
    return LineEnd::CrLf;
}

Decoded decodeDetected(QByteArrayView bytes, std::optional<Encoding> encoding) {
    Decoded out;
    out.format.encoding = encoding ? *encoding : detectEncoding(bytes);
    out.text = decode(bytes, out.format.encoding);
    out.format.lineEnd = detectLineEnd(out.text);
    return out;
}

QString decode(QByteArrayView bytes, Encoding encoding) {
    switch (encoding) {
    case Encoding::ShiftJis: return cp932::decode(bytes);
    case Encoding::Utf8:
    case Encoding::Utf8Bom:
        if (bytes.startsWith(kUtf8Bom)) bytes = bytes.sliced(3);
        break;
    case Encoding::Utf16Le:
        if (bytes.startsWith("\xFF\xFE")) bytes = bytes.sliced(2);
        break;
    case Encoding::Utf16Be:
        if (bytes.startsWith("\xFE\xFF")) bytes = bytes.sliced(2);
        break;
    case Encoding::EucJp:
    case Encoding::Iso2022Jp:
        return decodeJis(bytes, encoding);
    }
    QStringDecoder decoder = decoderFor(encoding);
    return decoder.decode(bytes);
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
            const QByteArray bytes = encodeJis(one, encoding, &error);
            it = holds.insert(cp, !error && (decodeJis(bytes, encoding) == one || isWindowsForm(cp)));
        }
        if (!*it) lost.append({at, cp});
    }
    return lost;
}

QByteArray encode(QStringView text, Encoding encoding) {
    if (encoding == Encoding::ShiftJis) return cp932::encode(text);
    QString clean = text.toString();
    for (const cp932::Unencodable& u : unencodable(text, encoding))
        clean.replace(u.position, u.codePoint > 0xFFFF ? 2 : 1, QString(u.codePoint > 0xFFFF ? 2 : 1, u'?'));
    if (encoding == Encoding::EucJp || encoding == Encoding::Iso2022Jp) return encodeJis(clean, encoding);
    QStringEncoder encoder = encoderFor(encoding);
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
