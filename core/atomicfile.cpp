#include "atomicfile.h"

#include <QSaveFile>

namespace tess {

AtomicWrite writeFileAtomic(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) *error = file.errorString();
        return AtomicWrite::CannotCreate;
    }
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        if (error) *error = file.errorString();
        file.cancelWriting();
        return AtomicWrite::Failed;
    }
    if (!file.commit()) {
        if (error) *error = file.errorString();
        return AtomicWrite::Failed;
    }
    return AtomicWrite::Ok;
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
    return writeFileAtomic(path, bytes, error) == AtomicWrite::Ok;
}

} // namespace tess
