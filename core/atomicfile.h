#pragma once
// Whole-file writes that never leave a half-written file: the bytes go to a
// temporary file beside the target, which then replaces it.

#include <QByteArray>
#include <QString>

namespace tess {

// Writes `bytes` as the whole content of `path`.  On failure the old file is
// untouched, false is returned and `error` (when given) receives the reason.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

enum class AtomicWrite {
    Ok,
    CannotCreate,  // the file could not be created there (missing folder, bad name, no access)
    Failed,        // created, but writing or replacing the old file failed
};
// As above, telling a file that cannot be created from a write that failed.
AtomicWrite writeFileAtomic(const QString& path, const QByteArray& bytes, QString* error = nullptr);

} // namespace tess
