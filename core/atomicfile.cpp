#include "atomicfile.h"

#include "systemerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QSaveFile>
#endif

namespace tess {

namespace {

faults::AtomicFault g_fault = nullptr;

int injected(AtomicStep step) { return g_fault ? g_fault(step) : 0; }

QString reasonText(const QString& path, const QString& reason) {
    return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reason);
}

// The file that is really replaced: the target of a symbolic link, so that
// the link itself survives.
QString realTarget(const QString& path) {
    const QFileInfo info(path);
    if (!info.isSymLink()) return path;
    const QString target = info.symLinkTarget();
    return target.isEmpty() ? path : target;
}

} // namespace

namespace faults {
void setAtomicFault(AtomicFault hook) { g_fault = hook; }
} // namespace faults

#ifdef Q_OS_UNIX

namespace {

// Creation failures that mean "no file can be made there" (no such place,
// a folder the user may not write, a read-only disk) rather than "the place
// is fine but the write was not".
bool meansCannotCreate(int err) {
    return err == ENOENT || err == ENOTDIR || err == ENAMETOOLONG || err == EINVAL || err == ELOOP ||
           err == EISDIR || err == EACCES || err == EPERM || err == EROFS;
}

int writeAll(int fd, const char* data, qsizetype size) {
    while (size > 0) {
        if (const int e = injected(AtomicStep::Write)) return e;
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;
        data += n;
        size -= n;
    }
    return 0;
}

int syncFd(int fd) {
    if (const int e = injected(AtomicStep::Sync)) return e;
    while (::fsync(fd) != 0) {
        if (errno != EINTR) return errno;
    }
    return 0;
}

void syncFolder(const QByteArray& folder) {
    // The data of both the old and the new file is on the device already, so
    // whatever the folder entry holds after a power cut is one whole file; a
    // file system that cannot sync folders costs durability, not content.
    if (injected(AtomicStep::SyncFolder)) return;
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    while (::fsync(fd) != 0 && errno == EINTR) {
    }
    ::close(fd);
}

} // namespace

AtomicWrite writeFileAtomicStreamed(const QString& path, const std::function<bool(const AtomicSink&)>& produce,
                                    QString* error, FileUse use) {
    const QString target = realTarget(path);
    const QFileInfo info(target);
    const QByteArray targetName = QFile::encodeName(target);
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    const auto fail = [&](AtomicWrite kind, int err) {
        if (error) *error = reasonText(path, systemErrorText(err));
        return kind;
    };

    // A name of our own beside the target: the rename stays within one file
    // system, and O_EXCL never reuses someone else's file.
    QByteArray tempName;
    int fd = -1;
    int err = injected(AtomicStep::Create);
    for (int attempt = 0; !err && fd < 0 && attempt < 100; ++attempt) {
        tempName = folder + '/' + '.' + QFile::encodeName(info.fileName()) + '.' +
                   QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".tmp";
        fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST && errno != EINTR) err = errno;
    }
    if (fd < 0) {
        if (!err) err = EEXIST;
        return fail(meansCannotCreate(err) ? AtomicWrite::CannotCreate : AtomicWrite::Failed, err);
    }

    // The new file takes the old one's permissions.
    struct stat old {};
    if (::stat(targetName.constData(), &old) == 0) {
        mode_t mode = old.st_mode & 07777;
        if (use == FileUse::ProgramState) mode |= S_IRUSR | S_IWUSR;
        ::fchmod(fd, mode);
    }

    const AtomicSink put = [&](QByteArrayView piece) {
        if (!err) err = writeAll(fd, piece.data(), piece.size());
        return !err;
    };
    if (!produce(put) && !err) err = ECANCELED;
    if (!err) err = syncFd(fd);
    int closeErr = injected(AtomicStep::Close);
    if (::close(fd) != 0 && !closeErr) closeErr = errno;
    if (!err) err = closeErr;
    if (!err) err = injected(AtomicStep::Rename);
    if (!err && ::rename(tempName.constData(), targetName.constData()) != 0) err = errno;
    if (err) {
        ::unlink(tempName.constData());
        return fail(AtomicWrite::Failed, err);
    }
    syncFolder(folder);
    return AtomicWrite::Ok;
}

#else

AtomicWrite writeFileAtomicStreamed(const QString& path, const std::function<bool(const AtomicSink&)>& produce,
                                    QString* error, FileUse use) {
    // Unbuffered, so that every write reports its own failure instead of
    // leaving it to a flush inside commit().
    QSaveFile file(realTarget(path));
    if (injected(AtomicStep::Create) || !file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (error) *error = reasonText(path, systemErrorText(file.errorString()));
        return AtomicWrite::CannotCreate;
    }
    const AtomicSink put = [&](QByteArrayView piece) {
        return !injected(AtomicStep::Write) && file.write(piece.data(), piece.size()) == piece.size();
    };
    if (!produce(put) || !file.flush()) {
        if (error) *error = reasonText(path, systemErrorText(file.errorString()));
        file.cancelWriting();
        return AtomicWrite::Failed;
    }
    // commit() syncs the data before it replaces the old file.
    if (injected(AtomicStep::Rename) || !file.commit()) {
        if (error) *error = reasonText(path, systemErrorText(file.errorString()));
        return AtomicWrite::Failed;
    }
    return AtomicWrite::Ok;
}

#endif

bool isAtomicTempName(const QString& fileName, const QString& target) {
    const QString head = u'.' + target + u'.';
    const QString tail = QStringLiteral(".tmp");
    if (!fileName.startsWith(head) || !fileName.endsWith(tail)) return false;
    // The random part as the writer spells it: a 32-bit number in base 36.
    const QStringView random = QStringView(fileName).sliced(head.size(), fileName.size() - head.size() - tail.size());
    if (random.isEmpty() || random.size() > 7) return false;
    for (QChar c : random)
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z'))) return false;
    return true;
}

QStringList removeAtomicLeftovers(const QString& folder, const QStringList& targets) {
    QStringList removed;
    const QDir dir(folder);
    for (const QFileInfo& info : dir.entryInfoList({QStringLiteral(".*.tmp")},
                                                   QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks)) {
        const QString name = info.fileName();
        const bool ours = std::any_of(targets.begin(), targets.end(),
                                      [&](const QString& target) { return isAtomicTempName(name, target); });
        if (ours && info.isFile() && !info.isSymLink() && QFile::remove(info.absoluteFilePath())) removed << name;
    }
    return removed;
}

AtomicWrite writeFileAtomic(const QString& path, const QByteArray& bytes, QString* error, FileUse use) {
    return writeFileAtomicStreamed(path, [&](const AtomicSink& put) { return put(bytes); }, error, use);
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error, FileUse use) {
    return writeFileAtomic(path, bytes, error, use) == AtomicWrite::Ok;
}

} // namespace tess
