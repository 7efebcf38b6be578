#include "programfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

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

QString userDataFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("tessarine"));
}

QString settingsFileName(const QString& executableBaseName) {
    return executableBaseName + QStringLiteral(".ini");
}

} // namespace tess
