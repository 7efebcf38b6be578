#include "richtext.h"

#include "core/cp932.h"

#include <QTextBlock>
#include <QTextDocument>

namespace tess {

void readPlainText(QByteArrayView bytes, QTextDocument& doc) {
    QString text = cp932::decode(bytes);
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
            // Not produced by CP932, but never let them turn into structure.
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

namespace {

QString plainText(const QTextDocument& doc, QStringView lineEnd) {
    QString out;
    out.reserve(doc.characterCount() + doc.blockCount() * (lineEnd.size() - 1));
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (b != doc.begin()) out.append(lineEnd);
        const QString text = b.text();
        for (QChar c : text) {
            if (c == QChar::LineSeparator) out.append(lineEnd);
            else out.append(c);
        }
    }
    return out;
}

} // namespace

QString documentPlainText(const QTextDocument& doc) {
    return plainText(doc, u"\n");
}

QString documentPlainTextCrLf(const QTextDocument& doc) {
    return plainText(doc, u"\r\n");
}

} // namespace tess
