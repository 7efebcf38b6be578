#include "storedtext.h"

#include "cp932.h"

#include <QStringDecoder>

#include <optional>

namespace tess::stored {

namespace {

constexpr char kUtf8Head[] = "=?UTF-8?B?";
constexpr char kUtf16Head[] = "=?UTF-16LE?B?";
constexpr char kTail[] = "?=";

// One value, one line: a line break or a NUL inside it would split or cut it.
bool breaksTheLine(QStringView text) {
    for (QChar c : text)
        if (c == u'\r' || c == u'\n' || c == QChar(0)) return true;
    return false;
}

bool hasKeptBytes(QStringView text) {
    for (QChar c : text)
        if (cp932::isKeptByte(c.unicode())) return true;
    return false;
}

// The text inside an encoded word, or nothing when `bytes` is not one of ours.
std::optional<QString> fromEncodedWord(QByteArrayView bytes) {
    if (!bytes.startsWith("=?") || !bytes.endsWith(kTail)) return std::nullopt;
    const bool utf8 = bytes.startsWith(kUtf8Head);
    const bool utf16 = !utf8 && bytes.startsWith(kUtf16Head);
    if (!utf8 && !utf16) return std::nullopt;
    const qsizetype head = utf8 ? qsizetype(sizeof kUtf8Head - 1) : qsizetype(sizeof kUtf16Head - 1);
    const qsizetype length = bytes.size() - head - qsizetype(sizeof kTail - 1);
    if (length < 0) return std::nullopt;
    const auto decoded = QByteArray::fromBase64Encoding(bytes.sliced(head, length).toByteArray(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) return std::nullopt;
    const QByteArray& raw = *decoded;
    if (utf16) {
        if (raw.size() % 2) return std::nullopt;
        QString text(raw.size() / 2, Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i)
            text[i] = QChar(char16_t(uchar(raw[2 * i]) | (uchar(raw[2 * i + 1]) << 8)));
        return text;
    }
    QStringDecoder toUtf16(QStringDecoder::Utf8);
    QString text = toUtf16.decode(raw);
    if (toUtf16.hasError()) return std::nullopt;
    return text;
}

QByteArray toEncodedWord(QStringView text) {
    if (!hasKeptBytes(text)) return kUtf8Head + text.toUtf8().toBase64() + kTail;
    QByteArray raw;
    raw.reserve(text.size() * 2);
    for (QChar c : text) {
        raw.append(char(c.unicode() & 0xFF));
        raw.append(char(c.unicode() >> 8));
    }
    return kUtf16Head + raw.toBase64() + kTail;
}

} // namespace

QByteArray encode(QStringView text) {
    bool lost = false;
    QByteArray bytes = cp932::encodeKeepingBytes(text, &lost);
    if (lost || breaksTheLine(text) || fromEncodedWord(bytes)) return toEncodedWord(text);
    return bytes;
}

QString decode(QByteArrayView bytes) {
    if (std::optional<QString> text = fromEncodedWord(bytes)) return *std::move(text);
    return cp932::decodeKeepingBytes(bytes);
}

} // namespace tess::stored
