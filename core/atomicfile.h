#pragma once
// Whole-file writes that never leave a half-written file.  The bytes go to a
// temporary file beside the target; every write is checked, the data is
// synced to the device, the temporary file replaces the target by a rename
// and the folder is synced, so a full disk, a failing device, a crash or a
// power cut leaves either the old file or the whole new one.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace tess {

enum class AtomicWrite {
    Ok,
    CannotCreate,  // the file could not be created there (missing folder, bad name)
    Failed,        // writing, syncing or replacing failed; the old file is intact
};

// Whose file it is.  A document keeps the permissions it had (a document
// the user made read-only for others stays so); one of the program's own
// state files is always left readable and writable by its owner, so that the
// next start can read it back and replace it.
enum class FileUse { Document, ProgramState };

// Writes `bytes` as the whole content of `path`.  On failure `error` (when
// given) names the file and gives the system's reason, for example
// "/home/a/OUT.txt: No space left on device".  An existing file keeps its
// permissions; a symbolic link keeps pointing where it did and its target is
// replaced.
AtomicWrite writeFileAtomic(const QString& path, const QByteArray& bytes, QString* error = nullptr,
                            FileUse use = FileUse::Document);

// As above, true on success.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr,
                         FileUse use = FileUse::Document);

// The same for output too large to hold at once: `produce` hands the content
// piece by piece to the sink it is given, which answers false once a write
// failed.  A producer that returns false gives the write up; either way the
// old file stays as it was.
using AtomicSink = std::function<bool(QByteArrayView piece)>;
AtomicWrite writeFileAtomicStreamed(const QString& path, const std::function<bool(const AtomicSink&)>& produce,
                                    QString* error = nullptr, FileUse use = FileUse::Document);

// True when `fileName` is a temporary file a write of `target` (a file
// name) makes beside it: "." + target + "." + a random number + ".tmp".
bool isAtomicTempName(const QString& fileName, const QString& target);

// Removes from `folder` the temporary files that writes of the given
// targets left behind when the process was killed before the rename.  Only
// plain files are removed; the caller makes sure no running program is
// writing any of the targets.  Returns the names removed.
QStringList removeAtomicLeftovers(const QString& folder, const QStringList& targets);

// The steps of a write, in order, for tests that make one of them fail.
enum class AtomicStep { Create, Write, Sync, Close, Rename, SyncFolder };

namespace faults {
// A hook that returns an errno value to make `step` fail with, or 0 to let
// it run.  Only tests set it.
using AtomicFault = int (*)(AtomicStep step);
void setAtomicFault(AtomicFault hook);
} // namespace faults

} // namespace tess
