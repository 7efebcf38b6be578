#include "runlock.h"

#include "damagedfile.h"
#include "regularfile.h"
#include "systemerror.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QCoreApplication>
#include <QLockFile>
#endif

namespace tess {

#ifdef Q_OS_UNIX

struct RunLock::Handle {
    int fd = -1;
};

namespace {

// Makes room for a new lock file where `name` holds something that cannot
// serve as one; 0, or the errno of what stood in the way.  `openError` is
// why opening it failed (0 when it opened but is no plain file).
int takeOver(const QString& path, const QByteArray& name, int openError) {
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0) {
        // Nothing there: the folder itself refuses the file.
        return openError ? openError : errno;
    }
    if (S_ISDIR(st.st_mode)) {
        // A folder may hold someone's files: kept under another name.
        return setDamagedFileAside(path).isEmpty() ? EEXIST : 0;
    }
    // A lock file of ours that lost its permissions keeps its place; a
    // live owner would still hold the kernel lock on it.
    if (S_ISREG(st.st_mode) && openError == EACCES && ::chmod(name.constData(), S_IRUSR | S_IWUSR) == 0) return 0;
    return ::unlink(name.constData()) == 0 ? 0 : errno;
}

QByteArray ownerLine() {
    return QByteArray::number(qint64(::getpid())) + ' ' + QSysInfo::machineHostName().toUtf8() + '\n';
}

} // namespace

RunLock::State RunLock::tryLock() {
    if (state_ == State::Owned) return state_;
    error_.clear();
    const QByteArray name = QFile::encodeName(path_);
    const auto fail = [&](int err) {
        error_ = QDir::toNativeSeparators(path_) + QStringLiteral(": ") + systemErrorText(err);
        return state_ = State::Failed;
    };
    // Each round either takes the lock, finds it held, or clears one thing
    // out of the way; another run starting at the same moment may win a
    // round.
    constexpr int kRounds = 5;
    for (int round = 0; round < kRounds; ++round) {
        // O_NOFOLLOW: a symbolic link (a loop among them) is never followed
        // to somewhere else; O_NONBLOCK: a pipe in its place cannot block.
        const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY,
                              S_IRUSR | S_IWUSR);
        if (fd < 0) {
            const int err = errno;
            if (err == EINTR) continue;
            if (const int stop = takeOver(path_, name, err)) return fail(stop);
            continue;
        }
        struct stat opened {};
        if (::fstat(fd, &opened) != 0) {
            const int err = errno;
            ::close(fd);
            return fail(err);
        }
        if (!S_ISREG(opened.st_mode)) {
            ::close(fd);
            if (const int stop = takeOver(path_, name, 0)) return fail(stop);
            continue;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int err = errno;
            ::close(fd);
            if (err == EWOULDBLOCK || err == EAGAIN) return state_ = State::Held;
            if (err == EINTR) continue;
            return fail(err);
        }
        // Another start may have taken the file over between the open and
        // the lock: the lock counts only on the file that bears the name.
        struct stat named {};
        if (::lstat(name.constData(), &named) != 0 || named.st_dev != opened.st_dev || named.st_ino != opened.st_ino) {
            ::close(fd);
            continue;
        }
        // The content is only the owner's name for messages; a failure to
        // write it costs nothing else.  A file taken over keeps no odd
        // permissions.
        ::fchmod(fd, S_IRUSR | S_IWUSR);
        if (::ftruncate(fd, 0) == 0) {
            const QByteArray owner = ownerLine();
            [[maybe_unused]] const ssize_t n = ::pwrite(fd, owner.constData(), size_t(owner.size()), 0);
        }
        handle_ = std::make_unique<Handle>();
        handle_->fd = fd;
        return state_ = State::Owned;
    }
    return fail(EBUSY);
}

void RunLock::unlock() {
    if (state_ == State::Owned && handle_) {
        // Removed while still held, so nobody locks a file about to go.
        ::unlink(QFile::encodeName(path_).constData());
        ::close(handle_->fd);
    }
    handle_.reset();
    state_ = State::Free;
}

#else

struct RunLock::Handle {
    explicit Handle(const QString& path) : file(path) {}
    QLockFile file;
};

RunLock::State RunLock::tryLock() {
    if (state_ == State::Owned) return state_;
    error_.clear();
    if (!handle_) handle_ = std::make_unique<Handle>(path_);
    handle_->file.setStaleLockTime(0);
    if (handle_->file.tryLock(0)) return state_ = State::Owned;
    if (handle_->file.error() == QLockFile::LockFailedError) return state_ = State::Held;
    // A lock file that cannot be read names no owner: it is stale.
    if (handle_->file.removeStaleLockFile() && handle_->file.tryLock(0)) return state_ = State::Owned;
    error_ = QDir::toNativeSeparators(path_) + QStringLiteral(": ") +
             systemErrorText(QStringLiteral("Permission denied"));
    return state_ = State::Failed;
}

void RunLock::unlock() {
    if (handle_) handle_->file.unlock();
    handle_.reset();
    state_ = State::Free;
}

#endif

RunLock::RunLock(QString path) : path_(std::move(path)) {}

RunLock::~RunLock() { unlock(); }

QString readLockOwner(const QString& path) {
    QFile file;
    if (!openRegularFile(path, file).ok()) return QString();
    const QByteArray head = file.read(kLockOwnerBytes);
    const qsizetype end = head.indexOf('\n');
    const QByteArray line = (end < 0 ? head : head.left(end)).trimmed();
    // A process number, then the host it runs on.
    const qsizetype space = line.indexOf(' ');
    bool isNumber = false;
    line.left(space < 0 ? line.size() : space).toLongLong(&isNumber);
    if (!isNumber) return QString();
    for (char c : line)
        if (static_cast<unsigned char>(c) < 0x20) return QString();
    return QString::fromUtf8(line);
}

} // namespace tess
