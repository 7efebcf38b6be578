#include "programfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QUrl>

namespace tess {
namespace {

bool canWriteInto(const QString& dir) {
    if (dir.isEmpty() || !QFileInfo(dir).isDir()) return false;
    QTemporaryFile probe(QDir(dir).filePath(QStringLiteral(".tessarine-probe-XXXXXX")));
    return probe.open();
}

QString withSeparator(const QString& dir, const PathStyle& style) {
    QString out = style.isWindows() ? QDir::toNativeSeparators(dir) : dir;
    if (!out.endsWith(style.separator())) out.append(style.separator());
    return out;
}

} // namespace

QString resolveProgramFolder(const QString& executableDir, const PathStyle& style,
                             const QString& fallbackDir) {
    if (canWriteInto(executableDir)) return withSeparator(executableDir, style);
    QDir().mkpath(fallbackDir);
    return withSeparator(fallbackDir, style);
}

bool isInstalledCopy(const QString& executableDir) {
    const QDir dir(executableDir);
    if (executableDir.isEmpty() || dir.dirName() != QLatin1String("bin")) return false;
    return QFileInfo::exists(dir.filePath(QStringLiteral("../share/applications/") + kDesktopId +
                                          QStringLiteral(".desktop")));
}

QString fileToOpen(const QStringList& arguments, const QString& currentDir) {
    bool options = true;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (options && a == QLatin1String("--")) {
            options = false;
            continue;
        }
        if (a.isEmpty() || (options && a.startsWith(u'-'))) continue;
        QString path = a;
        if (a.startsWith(QLatin1String("file:"))) {
            const QUrl url(a);
            // Another machine's file is not ours to open.
            const bool here = url.host().isEmpty() || url.host() == QLatin1String("localhost");
            if (!url.isLocalFile() || !here) continue;
            path = url.toLocalFile();
        }
        return QDir::toNativeSeparators(QDir::cleanPath(QDir(currentDir).absoluteFilePath(path)));
    }
    return {};
}

QString userDataFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("tessarine"));
}

QString settingsFileName(const QString& executableBaseName) {
    return executableBaseName + QStringLiteral(".ini");
}

} // namespace tess
