#include "removefile.h"

#include "systemerror.h"

#include <QFile>
#include <QFileInfo>

namespace tess {

namespace {

#if defined(Q_OS_WIN) || defined(Q_OS_MACOS) || (defined(Q_OS_UNIX) && !defined(Q_OS_ANDROID) && !defined(Q_OS_IOS))
constexpr bool kPlatformHasTrash = true;
#else
constexpr bool kPlatformHasTrash = false;
#endif

} // namespace

QString cannotRemoveMessage(const QString& path, const QString& reason) {
    QString text = QStringLiteral("\"") + path + QStringLiteral("\" を削除できません");
    if (!reason.isEmpty()) text += u'\n' + reason;
    return text;
}

bool removeDocumentFile(const QString& path, QString* error) {
    QFile file(path);
    // A folder or a file already gone is not something we removed.
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        if (error) *error = cannotRemoveMessage(path, QStringLiteral("ﾌｧｲﾙが存在しません"));
        return false;
    }
    if (info.isDir()) {
        if (error) *error = cannotRemoveMessage(path, QStringLiteral("ﾌｫﾙﾀﾞです"));
        return false;
    }
    const bool ok = kPlatformHasTrash ? file.moveToTrash() : file.remove();
    if (!ok && error) *error = cannotRemoveMessage(path, systemErrorText(file.errorString()));
    return ok;
}

} // namespace tess
