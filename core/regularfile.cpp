#include "regularfile.h"

#include "systemerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <cerrno>
#include <limits>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tess {

namespace {

RegularFileRead failed(RegularFileRead::Status status, QString reason = {}) {
    RegularFileRead r;
    r.status = status;
    r.reason = std::move(reason);
    return r;
}

} // namespace

RegularFileRead openRegularFile(const QString& path, QFile& file, qint64 limit) {
#ifdef Q_OS_UNIX
    // O_NONBLOCK: opening a pipe for reading would otherwise wait for a
    // writer.  The check is made on what was opened, not on the name, so a
    // file swapped in between cannot slip through.
    const QByteArray name = QFile::encodeName(path);
    int fd = -1;
    do {
        fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int err = errno;
        if (err == ENOENT) return failed(RegularFileRead::Status::Missing);
        return failed(RegularFileRead::Status::Unreadable, systemErrorText(err));
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        return failed(RegularFileRead::Status::Unreadable, systemErrorText(err));
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return failed(RegularFileRead::Status::NotRegular,
                      S_ISDIR(st.st_mode) ? systemErrorText(EISDIR)
                                          : QStringLiteral("通常のファイルではありません"));
    }
    if (limit >= 0 && st.st_size > limit) {
        ::close(fd);
        RegularFileRead r = failed(RegularFileRead::Status::TooLarge);
        r.size = st.st_size;
        return r;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return failed(RegularFileRead::Status::Unreadable, systemErrorText(file.errorString()));
    }
    RegularFileRead r;
    r.status = RegularFileRead::Status::Ok;
    r.size = st.st_size;
    return r;
#else
    const QFileInfo info(path);
    if (!info.exists()) return failed(RegularFileRead::Status::Missing);
    if (!info.isFile())
        return failed(RegularFileRead::Status::NotRegular,
                      info.isDir() ? systemErrorText(EISDIR) : QStringLiteral("通常のファイルではありません"));
    if (limit >= 0 && info.size() > limit) {
        RegularFileRead r = failed(RegularFileRead::Status::TooLarge);
        r.size = info.size();
        return r;
    }
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(RegularFileRead::Status::Unreadable, systemErrorText(file.errorString()));
    RegularFileRead r;
    r.status = RegularFileRead::Status::Ok;
    r.size = info.size();
    return r;
#endif
}

RegularFileRead readRegularFile(const QString& path, QByteArray& bytes, qint64 limit) {
    bytes.clear();
    QFile file;
    RegularFileRead r = openRegularFile(path, file, limit);
    if (!r.ok()) return r;
    // The size may have grown since the check: never read past the limit.
    const qint64 cap = limit >= 0 ? limit : std::numeric_limits<qint64>::max();
    if (r.size > 0) bytes.reserve(qsizetype(std::min(r.size, cap)));
    QByteArray chunk(1 << 16, Qt::Uninitialized);
    for (;;) {
        const qint64 n = file.read(chunk.data(), chunk.size());
        if (n < 0) {
            bytes = QByteArray();
            return failed(RegularFileRead::Status::Unreadable, systemErrorText(file.errorString()));
        }
        if (n == 0) break;
        if (bytes.size() + n > cap) {
            RegularFileRead big = failed(RegularFileRead::Status::TooLarge);
            big.size = bytes.size() + n;
            bytes = QByteArray();
            return big;
        }
        bytes.append(chunk.constData(), qsizetype(n));
    }
    r.size = bytes.size();
    return r;
}

QString byteCountText(qint64 bytes) {
    const QLocale c(QLocale::Japanese, QLocale::Japan);
    constexpr qint64 kMB = 1024 * 1024;
    if (bytes < kMB) return c.toString(bytes) + QStringLiteral(" バイト");
    return c.toString((bytes + kMB / 2) / kMB) + QStringLiteral(" MB");
}

QString regularFileProblem(const QString& path, const RegularFileRead& read, qint64 limit) {
    const QString shown = QDir::toNativeSeparators(path);
    switch (read.status) {
    case RegularFileRead::Status::TooLarge:
        return QStringLiteral("%1: ファイルが大きすぎるため読み込みません（%2。読み込めるのは %3 までです）")
            .arg(shown, byteCountText(read.size), byteCountText(limit));
    case RegularFileRead::Status::Missing:
        return shown + QStringLiteral(": ") + systemErrorText(ENOENT);
    default:
        return shown + QStringLiteral(": ") + read.reason;
    }
}

} // namespace tess
