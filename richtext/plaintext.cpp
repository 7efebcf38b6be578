#include "richtext.h"

#include "softbreaks.h"

#include "core/cp932.h"
#include "core/textlines.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

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

PlainTextRead setDecodedText(text::Decoded decoded, QTextDocument& doc) {
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    // One edit: the layout sees the paragraphs only once they are split.
    QTextCursor fill(&doc);
    fill.beginEditBlock();
    fill.insertText(decoded.text);
    decoded.text = QString();
    delete keptLinesOf(doc);
    if (!decoded.kept.isEmpty()) {
        QTextBlock b = doc.begin();
        qsizetype at = 0;
        for (qsizetype i = 0; i < decoded.kept.size() && b.isValid(); ++i) {
            for (; at < decoded.kept[i].line && b.isValid(); ++at) b = b.next();
            if (b.isValid()) b.setUserState(int(i));
        }
        new KeptLines(decoded.format.encoding, std::move(decoded.kept), &doc);
    }
    soft_breaks::split(doc);
    fill.endEditBlock();
    doc.setUndoRedoEnabled(undo);
    return {decoded.format, decoded.invalid};
}

} // namespace

PlainTextRead readPlainText(QByteArrayView bytes, QTextDocument& doc, std::optional<text::Encoding> encoding) {
    return setDecodedText(text::decodeDetected(bytes, encoding), doc);
}

PlainTextRead readPlainText(QByteArray&& bytes, QTextDocument& doc, std::optional<text::Encoding> encoding) {
    text::Decoded decoded = text::decodeDetected(bytes, encoding);
    bytes = QByteArray();
    return setDecodedText(std::move(decoded), doc);
}

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

QByteArray documentBytes(const QTextDocument& doc, text::Format format, QList<cp932::Unencodable>* lost) {
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
