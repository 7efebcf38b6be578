#include "documentfile.h"

#include "richtext.h"

#include "core/atomicfile.h"
#include "core/regularfile.h"
#include "core/systemerror.h"

#include <QDir>
#include <QFile>
#include <QTextDocument>

namespace tess {

LoadResult readDocumentBytes(const QString& path, QByteArray& bytes, qint64 limit) {
    LoadResult result;
    const RegularFileRead read = readRegularFile(path, bytes, limit);
    if (!read.ok()) {
        result.status = LoadResult::Status::CannotOpen;
        result.missing = read.status == RegularFileRead::Status::Missing;
        result.error = regularFileProblem(path, read, limit);
        return result;
    }
    result.status = LoadResult::Status::Ok;
    return result;
}

void fillDocument(QByteArray&& bytes, QTextDocument& into, LoadResult& result,
                  std::optional<text::Encoding> encoding, TextFill how) {
    QByteArray held = std::move(bytes);
    bytes = QByteArray();
    result.richText = !encoding && readRichText(held, into);
    if (!result.richText) {
        const PlainTextRead read = readPlainText(std::move(held), into, encoding, how);
        result.format = read.format;
        result.invalid = read.invalid;
    }
    into.setModified(false);
}

LoadResult LoadDocument(const QString& path, QTextDocument& into) {
    QByteArray bytes;
    LoadResult result = readDocumentBytes(path, bytes);
    if (result.ok()) fillDocument(std::move(bytes), into, result);
    return result;
}

WriteResult WriteDocument(const QString& path, const QTextDocument& document,
                          const PathStyle& style, LossPolicy policy, text::Format format) {
    return WriteDocumentAs(path, document,
                           style.isRichTextPath(path) ? DocumentFormat::RichText
                                                      : DocumentFormat::PlainText,
                           policy, format);
}

WriteResult WriteDocumentAs(const QString& path, const QTextDocument& document,
                            DocumentFormat format, LossPolicy policy, text::Format textFormat, FileUse use) {
    WriteResult result;
    QByteArray bytes;
    if (format == DocumentFormat::RichText) {
        bytes = writeRichText(document);
    } else {
        QList<cp932::Unencodable> lost;
        bytes = documentBytes(document, textFormat, &lost);
        if (!lost.isEmpty() && policy == LossPolicy::Refuse) {
            result.status = WriteResult::Status::Unencodable;
            result.unencodable = std::move(lost);
            return result;
        }
    }
    QString reason;
    switch (writeFileAtomic(path, bytes, &reason, use)) {
    case AtomicWrite::Ok:
        break;
    case AtomicWrite::CannotCreate:
        result.status = WriteResult::Status::CannotCreate;
        result.error = reason;
        return result;
    case AtomicWrite::Failed:
        result.status = WriteResult::Status::Failed;
        result.error = reason;
        return result;
    }
    result.status = WriteResult::Status::Ok;
    return result;
}

} // namespace tess
