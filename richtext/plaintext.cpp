#include "richtext.h"

#include "core/cp932.h"
#include "core/textencoding.h"

#include <QTextBlock>
#include <QTextDocument>

namespace tess {

namespace {

void setDecodedText(QString text, QTextDocument& doc);

} // namespace

text::Format readPlainText(QByteArrayView bytes, QTextDocument& doc, std::optional<text::Encoding> encoding) {
    text::Decoded decoded = text::decodeDetected(bytes, encoding);
    setDecodedText(std::move(decoded.text), doc);
    return decoded.format;
}

text::Format readPlainText(QByteArray&& bytes, QTextDocument& doc, std::optional<text::Encoding> encoding) {
    text::Decoded decoded = text::decodeDetected(bytes, encoding);
    bytes = QByteArray();
    setDecodedText(std::move(decoded.text), doc);
    return decoded.format;
}

namespace {

void setDecodedText(QString text, QTextDocument& doc) {
    // CR LF, LF and lone CR all end a line; fold them to LF in place.
    char16_t* d = reinterpret_cast<char16_t*>(text.data());
    const qsizetype n = text.size();
    qsizetype w = 0;
    for (qsizetype r = 0; r < n; ++r) {
        char16_t c = d[r];
        if (c == u'\r') {
            if (r + 1 < n && d[r + 1] == u'\n') ++r;
            c = u'\n';
        } else if (c == 0xFDD0 || c == 0xFDD1 || c == QChar::ParagraphSeparator ||
                   c == QChar::LineSeparator) {
            // Never let them turn into structure.
            c = 0xFFFD;
        }
        d[w++] = c;
    }
    text.truncate(w);
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    doc.setPlainText(text);
    doc.setUndoRedoEnabled(undo);
}

} // namespace

QString documentPlainText(const QTextDocument& doc) {
    QString out;
    out.reserve(doc.characterCount());
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (b != doc.begin()) out.append(u'\n');
        const QString text = b.text();
        for (QChar c : text) out.append(c == QChar::LineSeparator ? QChar(u'\n') : c);
    }
    return out;
}

QByteArray documentShiftJis(const QTextDocument& doc, QList<cp932::Unencodable>* lost) {
    // The raw text holds paragraph ends as U+2029, so index i is document
    // position i.  Every UTF-16 unit takes at most two bytes: the buffer
    // never grows.
    const QString text = doc.toRawText();
    QByteArray out(text.size() * 2, Qt::Uninitialized);
    char* w = out.data();
    const uint16_t* table = cp932::bmpEncodeTable();
    const char16_t* p = reinterpret_cast<const char16_t*>(text.constData());
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
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            *w++ = '\r';
            *w++ = '\n';
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

} // namespace tess
