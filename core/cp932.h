#pragma once
// Shift-JIS as Windows writes it (code page 932).  Every text file the program
// reads or writes goes through here.  The tables come from Qt's ICU-backed
// "windows-31j" converter once; encoding and decoding are then plain lookups,
// so bulk conversion is fast and invalid input has one documented outcome.

#include <QByteArray>
#include <QList>
#include <QString>

namespace tess::cp932 {

// A character CP932 cannot hold, with its index in the UTF-16 text.
struct Unencodable {
    qsizetype position = 0;
    char32_t codePoint = 0;
    bool operator==(const Unencodable&) const = default;
};

// Text to CP932 bytes.  A character CP932 cannot hold becomes '?'; pass
// `lost` to learn whether that happened.
QByteArray encode(QStringView text, bool* lost = nullptr);

// CP932 bytes to text.  Invalid or truncated sequences become U+FFFD.
QString decode(QByteArrayView bytes);

// For stored values that must come back byte for byte: a byte that is not
// part of valid CP932 decodes to the lone surrogate U+DC00 + byte (U+DC80 to
// U+DCFF), which encodes back to that byte.  Everything else is as decode()
// and encode().
QString decodeKeepingBytes(QByteArrayView bytes);
QByteArray encodeKeepingBytes(QStringView text, bool* lost = nullptr);
constexpr bool isKeptByte(char16_t c) { return c >= 0xDC80 && c <= 0xDCFF; }

// The CP932 bytes of one character: 1 or 2 bytes, or 0 when it has none.
// `out` receives up to 2 bytes.
int encodeChar(char32_t codePoint, char out[2]);

// For bulk writers: the bytes of each BMP character from U+0080 up, indexed
// by the character: 0 = none, below 0x100 = that single byte, otherwise
// lead << 8 | trail.
const uint16_t* bmpEncodeTable();

// Decode one double-byte pair; returns U+FFFD for an unmapped pair.
char16_t decodePair(unsigned char lead, unsigned char trail);

// True for a byte that starts a double-byte character.
constexpr bool isLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// True for a byte that can end a double-byte character.
constexpr bool isTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// Byte length of the text once encoded (an unencodable character counts as
// the one byte of its '?').
qsizetype byteLength(QStringView text);

// The longest prefix of the text whose encoding takes at most `maxBytes`
// bytes; a double-byte character is never split.
QString leftBytes(QStringView text, qsizetype maxBytes);

// Every character CP932 cannot hold, in order (at most `limit` of them).
QList<Unencodable> unencodable(QStringView text, qsizetype limit = -1);

// True when the whole text survives a round trip through CP932.
bool canEncode(QStringView text);

} // namespace tess::cp932
