#include "documentfile.h"

#include "richtext.h"

#include "core/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QTextDocument>

namespace tess {

LoadResult LoadDocument(const QString& path, QTextDocument& into) {
    LoadResult result;
    QFile file(path);
    const auto cannotOpen = [&] {
        result.status = LoadResult::Status::CannotOpen;
        result.error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
        return result;
    };
    if (!file.open(QIODevice::ReadOnly)) return cannotOpen();
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return cannotOpen();
    file.close();

    result.richText = readRichText(bytes, into);
    if (!result.richText) readPlainText(bytes, into);
    into.setModified(false);
    result.status = LoadResult::Status::Ok;
    return result;
}

WriteResult WriteDocument(const QString& path, const QTextDocument& document,
                          const PathStyle& style, LossPolicy policy) {
    return WriteDocumentAs(path, document,
                           style.isRichTextPath(path) ? DocumentFormat::RichText
                                                      : DocumentFormat::PlainText,
                           policy);
}

WriteResult WriteDocumentAs(const QString& path, const QTextDocument& document,
                            DocumentFormat format, LossPolicy policy) {
    WriteResult result;
    QByteArray bytes;
    if (format == DocumentFormat::RichText) {
        bytes = writeRichText(document);
    } else {
        QList<cp932::Unencodable> lost;
        bytes = documentShiftJis(document, &lost);
        if (!lost.isEmpty() && policy == LossPolicy::Refuse) {
            result.status = WriteResult::Status::Unencodable;
            result.unencodable = std::move(lost);
            return result;
        }
    }
    QString reason;
    switch (writeFileAtomic(path, bytes, &reason)) {
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
