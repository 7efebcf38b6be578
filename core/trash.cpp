#include "trash.h"

#include "systemerror.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QUrl>

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tess {

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)

namespace {

constexpr mode_t kPrivate = 0700;
// Past this many files of one name in the trash we give up looking for a
// free one rather than loop on a trash we cannot read properly.
constexpr int kMaxNumbered = 10000;

QByteArray local(const QString& path) { return QFile::encodeName(path); }

bool lstatOf(const QString& path, struct stat* st) { return ::lstat(local(path).constData(), st) == 0; }

QString cannotUse(const QString& folder, int error) {
    return QStringLiteral("\"") + folder + QStringLiteral("\" をごみ箱として使えません: ") + systemErrorText(error);
}

// Makes `folder` and the missing folders above it, each private to the user,
// as the XDG base folders are made.  True when it is a folder afterwards.
bool makeFolders(const QString& folder, int* error) {
    struct stat st;
    if (::stat(local(folder).constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return true;
        *error = ENOTDIR;
        return false;
    }
    if (errno != ENOENT) {
        *error = errno;
        return false;
    }
    const QString parent = QFileInfo(folder).absolutePath();
    if (parent != folder && !makeFolders(parent, error)) return false;
    if (::mkdir(local(folder).constData(), kPrivate) != 0 && errno != EEXIST) {
        *error = errno;
        return false;
    }
    return true;
}

// A trash folder with its "files" and "info", made when missing.
bool prepareTrash(const QString& trash, bool makeParents, QString* reason) {
    int error = 0;
    bool ok;
    if (makeParents) {
        ok = makeFolders(trash, &error);
    } else {
        ok = ::mkdir(local(trash).constData(), kPrivate) == 0 || errno == EEXIST;
        if (!ok) error = errno;
    }
    for (const char* sub : {"files", "info"}) {
        if (!ok) break;
        ok = ::mkdir(local(trash + u'/' + QLatin1String(sub)).constData(), kPrivate) == 0 || errno == EEXIST;
        if (!ok) error = errno;
    }
    // The trash must take new entries: a folder we may not write to is no
    // trash for us, whoever made it.
    for (const char* sub : {"files", "info"}) {
        if (!ok) break;
        ok = ::access(local(trash + u'/' + QLatin1String(sub)).constData(), W_OK | X_OK) == 0;
        if (!ok) error = errno;
    }
    if (!ok) *reason = cannotUse(trash, error);
    return ok;
}

// The trash of the volume whose top folder is `top`, or empty.
QString volumeTrash(const QString& top, QString* reason) {
    const QString uid = QString::number(::getuid());
    const QString base = top.endsWith(u'/') ? top : top + u'/';
    // An administrator's shared ".Trash" counts only when it is a real
    // folder with the sticky bit, so that users cannot take each other's
    // files out of it.
    struct stat st;
    const QString shared = base + QStringLiteral(".Trash");
    if (lstatOf(shared, &st) && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        const QString mine = shared + u'/' + uid;
        QString ignored;
        if (prepareTrash(mine, false, &ignored) && lstatOf(mine, &st) && S_ISDIR(st.st_mode) &&
            st.st_uid == ::getuid())
            return mine;
    }
    const QString own = base + QStringLiteral(".Trash-") + uid;
    if (!prepareTrash(own, false, reason)) return QString();
    if (!lstatOf(own, &st) || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) {
        *reason = cannotUse(own, EACCES);
        return QString();
    }
    return own;
}

// "name", "name (2)", "name (3)" ...: the number goes before the last
// ending so that the trash still shows what kind of file it was.
QString numberedName(const QString& name, int n) {
    if (n == 1) return name;
    const int dot = name.lastIndexOf(u'.');
    const QString tag = QStringLiteral(" (%1)").arg(n);
    return dot > 0 ? name.left(dot) + tag + name.mid(dot) : name + tag;
}

enum class Move {
    Done,
    Unusable,     // the trash cannot take the file
    OtherVolume,  // the file lies on another volume than the trash
    Failed,       // the file itself cannot be moved
};

// Reserves a name in `trash` through its info file, then moves the file in.
Move moveInto(const QString& trash, const QString& file, const QString& infoPath, QString* trashedAs,
              QString* reason) {
    const QString name = QFileInfo(file).fileName();
    const QByteArray info = "[Trash Info]\nPath=" + QUrl::toPercentEncoding(local(infoPath), "/") +
                            "\nDeletionDate=" +
                            QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toLatin1() +
                            "\n";
    for (int n = 1; n <= kMaxNumbered; ++n) {
        const QString candidate = numberedName(name, n);
        const QString infoFile = trash + QStringLiteral("/info/") + candidate + QStringLiteral(".trashinfo");
        const QString target = trash + QStringLiteral("/files/") + candidate;
        // Creating the info file exclusively is what claims the name.
        const int fd = ::open(local(infoFile).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            *reason = cannotUse(trash, errno);
            return Move::Unusable;
        }
        struct stat st;
        if (lstatOf(target, &st)) {
            ::close(fd);
            ::unlink(local(infoFile).constData());
            continue;
        }
        const bool written = ::write(fd, info.constData(), size_t(info.size())) == info.size() && ::fsync(fd) == 0;
        const int writeError = errno;
        ::close(fd);
        if (!written) {
            ::unlink(local(infoFile).constData());
            *reason = cannotUse(trash, writeError);
            return Move::Unusable;
        }
        if (::rename(local(file).constData(), local(target).constData()) != 0) {
            const int error = errno;
            ::unlink(local(infoFile).constData());
            *reason = systemErrorText(error);
            return error == EXDEV ? Move::OtherVolume : Move::Failed;
        }
        *trashedAs = target;
        return Move::Done;
    }
    *reason = cannotUse(trash, EEXIST);
    return Move::Unusable;
}

} // namespace

TrashPlaces trashPlacesFor(const QString& path) {
    TrashPlaces places;
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty() || !QDir::isAbsolutePath(dataHome))
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    places.homeTrash = QDir::cleanPath(dataHome + QStringLiteral("/Trash"));

    const QString folder = QFileInfo(path).absolutePath();
    places.volumeTop = QStorageInfo(folder).rootPath();
    // The home trash may not exist yet: its nearest existing folder tells
    // the volume it will be made on.
    QString existing = places.homeTrash;
    struct stat home {};
    while (::stat(local(existing).constData(), &home) != 0 && existing != QStringLiteral("/"))
        existing = QFileInfo(existing).absolutePath();
    struct stat here;
    places.onHomeVolume = ::stat(local(folder).constData(), &here) != 0 || here.st_dev == home.st_dev;
    return places;
}

TrashResult moveToTrash(const QString& path, const TrashPlaces& places) {
    TrashResult result;
    const QFileInfo info(path);
    struct stat st;
    if (!lstatOf(path, &st)) {
        result.reason = systemErrorText(errno);
        return result;
    }
    if (S_ISDIR(st.st_mode)) {
        result.reason = systemErrorText(EISDIR);
        return result;
    }
    // The file itself is moved, also when it is a symbolic link: only its
    // folder is resolved, so the info file names the place the user knew.
    const QString canonicalFolder = QFileInfo(info.absolutePath()).canonicalFilePath();
    const QString absolute = QDir(canonicalFolder.isEmpty() ? info.absolutePath() : canonicalFolder)
                                 .filePath(info.fileName());

    QString reason;
    bool tryVolume = !places.onHomeVolume;
    if (places.onHomeVolume) {
        if (prepareTrash(places.homeTrash, true, &reason)) {
            switch (moveInto(places.homeTrash, absolute, absolute, &result.trashedAs, &reason)) {
            case Move::Done:
                result.status = TrashResult::Status::Trashed;
                return result;
            case Move::OtherVolume:
                // The same device mounted at another place: its own trash may
                // still take it.
                tryVolume = true;
                break;
            case Move::Unusable:
                break;
            case Move::Failed:
                result.reason = reason;
                return result;
            }
        }
    }
    if (tryVolume && !places.volumeTop.isEmpty()) {
        QString volumeReason;
        const QString trash = volumeTrash(places.volumeTop, &volumeReason);
        if (!trash.isEmpty()) {
            // A volume's trash names its files from the volume's top, so that
            // it stays right wherever the volume is mounted next.
            const QString top = QFileInfo(places.volumeTop).canonicalFilePath();
            const QString relative = QDir(top.isEmpty() ? places.volumeTop : top).relativeFilePath(absolute);
            switch (moveInto(trash, absolute, relative, &result.trashedAs, &volumeReason)) {
            case Move::Done:
                result.status = TrashResult::Status::Trashed;
                return result;
            case Move::OtherVolume:
            case Move::Unusable:
                break;
            case Move::Failed:
                result.reason = volumeReason;
                return result;
            }
        }
        reason = volumeReason;
    }
    result.status = TrashResult::Status::NoTrash;
    result.reason = reason;
    return result;
}

#else

TrashPlaces trashPlacesFor(const QString&) { return {}; }

TrashResult moveToTrash(const QString& path, const TrashPlaces&) {
    // Windows and macOS have a trash of their own, which Qt reaches.
    TrashResult result;
    QFile file(path);
    if (file.moveToTrash()) {
        result.status = TrashResult::Status::Trashed;
        result.trashedAs = file.fileName();
    } else {
        result.status = TrashResult::Status::NoTrash;
        result.reason = systemErrorText(file.errorString());
    }
    return result;
}

#endif

} // namespace tess
