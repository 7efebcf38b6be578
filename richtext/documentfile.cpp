#include "documentfile.h"

#include "richtext.h"

#include "core/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QTextDocument>

namespace tess {

LoadResult readDocumentBytes(const QString& path, QByteArray& bytes) {
    LoadResult result;
    QFile file(path);
    const auto cannotOpen = [&] {
        result.status = LoadResult::Status::CannotOpen;
        result.error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
        return result;
    };
    if (!file.open(QIODevice::ReadOnly)) return cannotOpen();
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        bytes.clear();
        return cannotOpen();
    }
    result.status = LoadResult::Status::Ok;
    return result;
}

bool fillDocument(QByteArray&& bytes, QTextDocument& into) {
    QByteArray held = std::move(bytes);
    bytes = QByteArray();
    const bool rich = readRichText(held, into);
    if (!rich) readPlainText(std::move(held), into);
    into.setModified(false);
    return rich;
}

LoadResult LoadDocument(const QString& path, QTextDocument& into) {
    QByteArray bytes;
    LoadResult result = readDocumentBytes(path, bytes);
    if (result.ok()) result.richText = fillDocument(std::move(bytes), into);
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
