#include "cp932.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>
#include <memory>

namespace tess::cp932 {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

struct Tables {
    // Double-byte decode table indexed by (lead << 8 | trail); 0 = unmapped.
    std::unique_ptr<char16_t[]> pairToChar{new char16_t[65536]()};
    // BMP encode table: 0 = none, < 0x100 = single byte, else lead << 8 | trail.
    std::unique_ptr<uint16_t[]> charToBytes{new uint16_t[65536]()};
    uint8_t hasSingle[65536 / 8]{};

    Tables() {
        // Single bytes: ASCII and half-width katakana map one to one.
        for (int b = 0; b < 0x80; ++b) setSingle(char16_t(b), b);
        for (int b = 0xA1; b <= 0xDF; ++b) setSingle(char16_t(0xFF61 + (b - 0xA1)), b);

        // A converter's error flag is sticky, so each probe gets a fresh one.
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!isLeadByte(uchar(lead))) continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                if (!isTrailByte(uchar(trail))) continue;
                const char pair[2] = {char(lead), char(trail)};
                QStringDecoder decoder("windows-31j");
                const QString s = decoder.decode(QByteArrayView(pair, 2));
                if (decoder.hasError() || s.size() != 1) continue;
                const char16_t c = s.at(0).unicode();
                if (c == kReplacement || c == 0x1A) continue;
                pairToChar[(lead << 8) | trail] = c;
            }
        }
        // Encoding of each decodable character as ICU's windows-31j writes it:
        // of two codes for one character (NEC and IBM rows) it picks the one
        // Windows picks.
        for (int code = 0x8140; code <= 0xFCFC; ++code) {
            const char16_t c = pairToChar[code];
            if (c == 0 || charToBytes[c] != 0) continue;
            QStringEncoder encoder("windows-31j");
            const QChar qc(c);
            const QByteArray bytes = encoder.encode(QStringView(&qc, 1));
            if (encoder.hasError() || bytes.size() != 2) continue;
            charToBytes[c] = uint16_t((uchar(bytes[0]) << 8) | uchar(bytes[1]));
        }
    }

    void setSingle(char16_t c, int b) {
        charToBytes[c] = uint16_t(b);
        hasSingle[c / 8] |= uint8_t(1u << (c % 8));
    }
    bool isSingle(char16_t c) const { return hasSingle[c / 8] & (1 << (c % 8)); }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

// Reads one code point from UTF-16 at i, advancing i.
char32_t nextCodePoint(QStringView text, qsizetype& i) {
    const char16_t c = text[i].unicode();
    ++i;
    if (QChar::isHighSurrogate(c) && i < text.size() && QChar::isLowSurrogate(text[i].unicode())) {
        return QChar::surrogateToUcs4(c, text[i++].unicode());
    }
    return c;
}

// `keepBytes`: U+DC80..U+DCFF stand for the byte they were decoded from.
QByteArray encodeText(QStringView text, bool* lost, bool keepBytes);

} // namespace

int encodeChar(char32_t cp, char out[2]) {
    if (cp < 0x80) {
        out[0] = char(cp);
        return 1;
    }
    if (cp > 0xFFFF) return 0;
    const Tables& t = tables();
    const char16_t c = char16_t(cp);
    if (t.isSingle(c)) {
        out[0] = char(t.charToBytes[c]);
        return 1;
    }
    const uint16_t v = t.charToBytes[c];
    if (v == 0) return 0;
    out[0] = char(v >> 8);
    out[1] = char(v & 0xFF);
    return 2;
}

const uint16_t* bmpEncodeTable() { return tables().charToBytes.get(); }

char16_t decodePair(unsigned char lead, unsigned char trail) {
    const char16_t c = tables().pairToChar[(lead << 8) | trail];
    return c ? c : kReplacement;
}

QByteArray encode(QStringView text, bool* lost) { return encodeText(text, lost, false); }

QString decode(QByteArrayView bytes) {
    const Tables& t = tables();
    QString out(bytes.size(), Qt::Uninitialized);
    char16_t* dst = reinterpret_cast<char16_t*>(out.data());
    qsizetype n = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            dst[n++] = b;
            ++i;
        } else if (b >= 0xA1 && b <= 0xDF) {
            dst[n++] = char16_t(0xFF61 + (b - 0xA1));
            ++i;
        } else if (isLeadByte(b) && i + 1 < size) {
            const char16_t c = t.pairToChar[(b << 8) | p[i + 1]];
            if (c) {
                dst[n++] = c;
                i += 2;
            } else {
                // An unmapped pair: a valid trail byte belongs to the pair; an
                // ASCII one starts over so that a stray lead cannot eat it.
                dst[n++] = kReplacement;
                i += isTrailByte(p[i + 1]) ? 2 : 1;
            }
        } else {
            dst[n++] = kReplacement;
            ++i;
        }
    }
    out.truncate(n);
    return out;
}

QString decodeKeepingBytes(QByteArrayView bytes) {
    const Tables& t = tables();
    QString out;
    out.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            out.append(QChar(b));
            ++i;
        } else if (b >= 0xA1 && b <= 0xDF) {
            out.append(QChar(char16_t(0xFF61 + (b - 0xA1))));
            ++i;
        } else if (const char16_t c = isLeadByte(b) && i + 1 < size ? t.pairToChar[(b << 8) | p[i + 1]] : 0) {
            out.append(QChar(c));
            i += 2;
        } else {
            // Only this byte is kept aside; the next one starts over, so every
            // byte comes back where it was.
            out.append(QChar(char16_t(0xDC00 + b)));
            ++i;
        }
    }
    return out;
}

QByteArray encodeKeepingBytes(QStringView text, bool* lost) { return encodeText(text, lost, true); }

namespace {
QByteArray encodeText(QStringView text, bool* lost, bool keepBytes) {
    QByteArray out;
    out.reserve(text.size() * 2);
    bool anyLost = false;
    for (qsizetype i = 0; i < text.size();) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            out.append(char(c));
            ++i;
            continue;
        }
        if (keepBytes && isKeptByte(c)) {
            out.append(char(c - 0xDC00));
            ++i;
            continue;
        }
        char bytes[2];
        const int n = encodeChar(nextCodePoint(text, i), bytes);
        if (n == 0) {
            out.append('?');
            anyLost = true;
        } else {
            out.append(bytes, n);
        }
    }
    if (lost) *lost = anyLost;
    return out;
}
} // namespace

qsizetype byteLength(QStringView text) {
    qsizetype n = 0;
    char bytes[2];
    for (qsizetype i = 0; i < text.size();) {
        if (text[i].unicode() < 0x80) {
            ++n;
            ++i;
            continue;
        }
        const int k = encodeChar(nextCodePoint(text, i), bytes);
        n += k == 0 ? 1 : k;
    }
    return n;
}

QString leftBytes(QStringView text, qsizetype maxBytes) {
    qsizetype n = 0;
    char bytes[2];
    qsizetype i = 0;
    while (i < text.size()) {
        qsizetype next = i;
        const int k = encodeChar(nextCodePoint(text, next), bytes);
        const qsizetype width = k == 0 ? 1 : k;
        if (n + width > maxBytes) break;
        n += width;
        i = next;
    }
    return text.left(i).toString();
}

QList<Unencodable> unencodable(QStringView text, qsizetype limit) {
    QList<Unencodable> found;
    char bytes[2];
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype at = i;
        const char32_t cp = nextCodePoint(text, i);
        if (cp >= 0x80 && encodeChar(cp, bytes) == 0) {
            if (limit >= 0 && found.size() >= limit) break;
            found.append({at, cp});
        }
    }
    return found;
}

bool canEncode(QStringView text) { return unencodable(text, 1).isEmpty(); }

} // namespace tess::cp932
