#include "jistext.h"

#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <optional>
#include <vector>

namespace tess::text::jis {

namespace {

QStringDecoder icuDecoder(Encoding e) { return QStringDecoder(e == Encoding::EucJp ? "EUC-JP" : "ISO-2022-JP"); }
QStringEncoder icuEncoder(Encoding e) { return QStringEncoder(e == Encoding::EucJp ? "EUC-JP" : "ISO-2022-JP"); }

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

} // namespace

bool isWindowsForm(char32_t c) {

    for (const JisFix& f : kJisFixes)
        if (f.windows == c) return true;
    return false;
}

namespace {

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
// read as their standard characters.  ICU drops a character cut short at
// the end and reads some stray EUC-JP bytes as U+001A; here each byte that
// is not part of a character reads as U+FFFD, as in every other encoding.
QString decodeWithIcu(QByteArrayView bytes, Encoding e) {
    QStringDecoder decoder = icuDecoder(e);
    QString out;
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype from = 0;
    bool cutShort = false;
    // Hands ICU the bytes up to `to`; it keeps its shift state between the
    // pieces.
    const auto flushTo = [&](qsizetype to) {
        out += decoder.decode(bytes.sliced(from, to - from));
        from = to;
    };
    bool jisX0208 = false; // ISO-2022-JP: after ESC $ B or ESC $ @
    for (qsizetype i = 0; i < n;) {
        const uchar b = p[i];
        uint16_t jis = 0;
        if (e == Encoding::EucJp) {
            const auto trail = [&](qsizetype k) { return i + k < n && p[i + k] >= 0xA1 && p[i + k] <= 0xFE; };
            if (b < 0x80) { ++i; continue; }
            if (b == 0x8E && i + 1 < n && p[i + 1] >= 0xA1 && p[i + 1] <= 0xDF) { i += 2; continue; }
            if (b == 0x8F && trail(1) && trail(2)) { i += 3; continue; }
            if (b < 0xA1 || b > 0xFE || !trail(1)) {
                flushTo(i);
                out += QChar::ReplacementCharacter;
                from = ++i;
                continue;
            }
            jis = uint16_t(((b & 0x7F) << 8) | (p[i + 1] & 0x7F));
        } else {
            if (b == 0x1B && i + 2 < n) {
                if (p[i + 1] == '$' && (p[i + 2] == 'B' || p[i + 2] == '@')) jisX0208 = true, i += 3;
                else if (p[i + 1] == '(' || p[i + 1] == '$') jisX0208 = false, ++i;
                else ++i;
                continue;
            }
            // ICU goes back to ASCII at each line end, as a JIS line must.
            if (b == '\r' || b == '\n') jisX0208 = false;
            if (jisX0208 && b >= 0x21 && b <= 0x7E && i + 1 == n) cutShort = true;
            if (!jisX0208 || b < 0x21 || b > 0x7E || i + 1 >= n) { ++i; continue; }
            jis = uint16_t((b << 8) | p[i + 1]);
        }
        if (const JisFix* f = fixForCode(jis)) {
            // ICU reads the code too: its shift state stays in step, and it
            // never sees two escapes in a row, which it reports as an error.
            flushTo(i + 2);
            if (!out.isEmpty() && out.back() == QChar(f->windows)) out.back() = QChar(f->standard);
        }
        i += 2;
    }
    if (from == 0) out = decoder.decode(bytes); // the common case: nothing to fix
    else out += decoder.decode(bytes.sliced(std::min(from, n)));
    if (cutShort) out += QChar::ReplacementCharacter;
    return out;
}

} // namespace

// The standard characters are written as the codes they are read from.
// ISO-2022-JP has no JIS X 0212; there ICU's own escapes are kept by handing
// it the Windows form of each fixed character.
QByteArray encode(QStringView text, Encoding e, bool* error) {
    QStringEncoder encoder = icuEncoder(e);
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

namespace {

// Every code's character as ICU's reading above gives it, and whether
// writing that character gives the same code back, taken once: files are
// then read by table, and a file of such codes only is known to write back
// as it was without writing it.
struct CodeTable {
    std::vector<char16_t> chars;  // 0: no single character (read by ICU then)
    std::vector<bool> same;
};

// The code of entry k: a pair of the 94 x 94 grid, or a half-width katakana.
using CodeOf = QByteArray (*)(int k);

CodeTable readTable(Encoding e, int count, CodeOf codeOf) {
    CodeTable t;
    t.chars.assign(size_t(count), 0);
    t.same.assign(size_t(count), false);
    QByteArray all;
    for (int k = 0; k < count; ++k) all += codeOf(k) + '\n';
    const QString text = decodeWithIcu(all, e);
    const QList<QStringView> read = QStringView(text).split(u'\n');
    if (read.size() != count + 1) return t;
    QString chars;
    for (int k = 0; k < count; ++k) {
        const QStringView c = read[k];
        if (c.size() == 1 && c[0] != QChar::ReplacementCharacter && !c[0].isSurrogate() && c[0].unicode() >= 0x80) {
            t.chars[size_t(k)] = c[0].unicode();
            chars += c[0];
        }
        chars += u'\n';
    }
    bool error = false;
    const QList<QByteArray> back = encode(chars, e, &error).split('\n');
    if (back.size() != count + 1) return t;
    for (int k = 0; k < count; ++k) t.same[size_t(k)] = t.chars[size_t(k)] && back[k] == codeOf(k);
    return t;
}

constexpr int kGrid = 94 * 94;
char gridRow(int k) { return char(0x21 + k / 94); }
char gridCell(int k) { return char(0x21 + k % 94); }

struct Tables {
    CodeTable euc2 = readTable(Encoding::EucJp, kGrid, [](int k) { return QByteArray{} + char(gridRow(k) | 0x80) + char(gridCell(k) | 0x80); });
    CodeTable euc3 = readTable(Encoding::EucJp, kGrid, [](int k) { return QByteArray("\x8F") + char(gridRow(k) | 0x80) + char(gridCell(k) | 0x80); });
    CodeTable kana = readTable(Encoding::EucJp, 63, [](int k) { return QByteArray("\x8E") + char(0xA1 + k); });
    CodeTable jis = readTable(Encoding::Iso2022Jp, kGrid, [](int k) { return QByteArray("\x1B$B") + gridRow(k) + gridCell(k) + "\x1B(B"; });
};

const Tables& tables() {
    static const Tables t;
    return t;
}

bool isGridByte(uchar b) { return b >= 0xA1 && b <= 0xFE; }
int gridIndex(uchar row, uchar cell) { return ((row & 0x7F) - 0x21) * 94 + ((cell & 0x7F) - 0x21); }

// Nothing when a byte is not part of a code the tables know.
std::optional<QString> decodeEucByTable(QByteArrayView bytes, bool& same) {
    const Tables& t = tables();
    QString out(bytes.size(), Qt::Uninitialized);
    char16_t* w = reinterpret_cast<char16_t*>(out.data());
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const qsizetype n = bytes.size();
    same = true;
    for (qsizetype i = 0; i < n;) {
        const uchar b = p[i];
        const CodeTable* table = nullptr;
        int k = 0;
        int length = 2;
        if (b < 0x80) {
            *w++ = b;
            ++i;
            continue;
        }
        if (b == 0x8E && i + 1 < n && p[i + 1] >= 0xA1 && p[i + 1] <= 0xDF) {
            table = &t.kana, k = p[i + 1] - 0xA1;
        } else if (b == 0x8F && i + 2 < n && isGridByte(p[i + 1]) && isGridByte(p[i + 2])) {
            table = &t.euc3, k = gridIndex(p[i + 1], p[i + 2]), length = 3;
        } else if (isGridByte(b) && i + 1 < n && isGridByte(p[i + 1])) {
            table = &t.euc2, k = gridIndex(b, p[i + 1]);
        } else {
            return std::nullopt;
        }
        const char16_t c = table->chars[size_t(k)];
        if (!c) return std::nullopt;
        same = same && table->same[size_t(k)];
        *w++ = c;
        i += length;
    }
    out.truncate(w - reinterpret_cast<const char16_t*>(out.constData()));
    return out;
}

// JIS as it is usually written: ASCII and JIS X 0208 under ESC ( B and
// ESC $ B, back in ASCII before each line end.  Nothing for anything else.
std::optional<QString> decodeJisByTable(QByteArrayView bytes, bool& same) {
    const CodeTable& t = tables().jis;
    QString out(bytes.size(), Qt::Uninitialized);
    char16_t* w = reinterpret_cast<char16_t*>(out.data());
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const qsizetype n = bytes.size();
    same = true;
    bool kanji = false;
    bool emptyRun = false;  // an ESC $ B not yet followed by a character
    for (qsizetype i = 0; i < n;) {
        const uchar b = p[i];
        if (b == 0x1B) {
            if (i + 2 >= n) return std::nullopt;
            bool next = false;
            if (p[i + 1] == '$' && p[i + 2] == 'B') next = true;
            else if (p[i + 1] != '(' || p[i + 2] != 'B') return std::nullopt;
            // An escape that changes nothing, or one that is taken back at
            // once, is not what writing gives.
            if (next == kanji || emptyRun) same = false;
            kanji = next;
            emptyRun = next;
            i += 3;
            continue;
        }
        if (b >= 0x80 || b == 0x0E || b == 0x0F) return std::nullopt;
        if (!kanji) {
            *w++ = b;
            ++i;
            continue;
        }
        if (b < 0x21 || b > 0x7E || i + 1 >= n || p[i + 1] < 0x21 || p[i + 1] > 0x7E) return std::nullopt;
        const int k = gridIndex(b, p[i + 1]);
        const char16_t c = t.chars[size_t(k)];
        if (!c) return std::nullopt;
        same = same && t.same[size_t(k)];
        emptyRun = false;
        *w++ = c;
        i += 2;
    }
    if (kanji) same = false;
    out.truncate(w - reinterpret_cast<const char16_t*>(out.constData()));
    return out;
}

} // namespace

QString decode(QByteArrayView bytes, Encoding e, bool* writesBack) {
    bool same = false;
    std::optional<QString> text = e == Encoding::EucJp ? decodeEucByTable(bytes, same) : decodeJisByTable(bytes, same);
    if (writesBack) *writesBack = text && same;
    return text ? std::move(*text) : decodeWithIcu(bytes, e);
}

} // namespace tess::text::jis
