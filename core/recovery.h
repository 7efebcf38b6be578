#pragma once
// The recovery copy: while a document has unsaved changes the program keeps
// it in the program folder as "Recovery", a rich-text file that also carries
// the document's fields and the window caption.  They travel in a group that
// rich-text readers skip ({\*\tessarinerecovery <hex>}), so the file opens
// like any other document and one atomic write keeps text and fields
// together.

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace tess::recovery {

inline const QString kFileName = QStringLiteral("Recovery");
// A copy the user declined: kept once, never offered.
inline const QString kDeclinedFileName = QStringLiteral("Recovery.old");
// Held by the run that owns the folder's recovery copy.
inline const QString kLockFileName = QStringLiteral("Recovery.lock");

struct Fields {
    QString caption;
    QString groupName;
    QString fileName;
    QString filePath;
    bool operator==(const Fields&) const = default;
};

// The rich text with the fields put in after its "{\rtf1"; empty when the
// bytes do not start as rich text.
QByteArray withFields(QByteArray richText, const Fields& fields);
// The fields' group alone, and the first piece of rich text written out with
// it, for a copy written a piece at a time; false when the piece is not the
// start of rich text or `put` refused.
QByteArray fieldsGroup(const Fields& fields);
bool putWithFields(QByteArrayView firstPiece, const Fields& fields, const std::function<bool(QByteArrayView)>& put);

// The fields of a recovery copy; nullopt when the file carries none or they
// cannot be read.
std::optional<Fields> readFields(QByteArrayView file);

} // namespace tess::recovery
