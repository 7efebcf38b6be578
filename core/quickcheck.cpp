#include "quickcheck.h"

#include <QCryptographicHash>

namespace tess::quickcheck {

QString of(QByteArrayView bytes) {
    return QString::number(bytes.size()) + u' ' +
           QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
}

std::optional<qint64> recordedSize(const QString& entry) {
    const qsizetype blank = entry.indexOf(u' ');
    if (blank <= 0) return std::nullopt;
    bool ok = false;
    const qint64 size = QStringView(entry).left(blank).toLongLong(&ok);
    if (!ok || size < 0) return std::nullopt;
    return size;
}

Match compare(const QString& entry, QByteArrayView bytes) {
    if (entry.isEmpty()) return Match::NoEntry;
    // Cheap first: a size that differs needs no digest.
    const std::optional<qint64> size = recordedSize(entry);
    if (!size || *size != bytes.size()) return Match::Differs;
    return of(bytes) == entry ? Match::Same : Match::Differs;
}

} // namespace tess::quickcheck
