#include "removefile.h"

#include "systemerror.h"
#include "trash.h"

#include <QFile>
#include <QFileInfo>

namespace tess {

namespace {

// Only a file is ours to remove: a folder or a file already gone is reported.
bool checkRemovable(const QString& path, QString* error) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        if (error) *error = cannotRemoveMessage(path, QStringLiteral("ﾌｧｲﾙが存在しません"));
        return false;
    }
    if (info.isDir()) {
        if (error) *error = cannotRemoveMessage(path, QStringLiteral("ﾌｫﾙﾀﾞです"));
        return false;
    }
    return true;
}

} // namespace

QString cannotRemoveMessage(const QString& path, const QString& reason) {
    QString text = QStringLiteral("\"") + path + QStringLiteral("\" を削除できません");
    if (!reason.isEmpty()) text += u'\n' + reason;
    return text;
}

QString deleteForGoodQuestion(const QString& path, const QString& reason) {
    QString text = QStringLiteral("\"") + path + QStringLiteral("\" をごみ箱に移せません。");
    if (!reason.isEmpty()) text += u'\n' + reason;
    return text + QStringLiteral("\nごみ箱を使わずに完全に削除しますか？\n(元に戻すことはできません)");
}

RemoveResult trashDocumentFile(const QString& path) {
    RemoveResult result;
    if (!checkRemovable(path, &result.message)) return result;
    const TrashResult trashed = moveToTrash(path);
    switch (trashed.status) {
    case TrashResult::Status::Trashed:
        result.status = RemoveResult::Status::Removed;
        break;
    case TrashResult::Status::NoTrash:
        result.status = RemoveResult::Status::NoTrash;
        result.message = deleteForGoodQuestion(path, trashed.reason);
        break;
    case TrashResult::Status::Failed:
        result.message = cannotRemoveMessage(path, trashed.reason);
        break;
    }
    return result;
}

bool deleteDocumentFile(const QString& path, QString* error) {
    if (!checkRemovable(path, error)) return false;
    QFile file(path);
    const bool ok = file.remove();
    if (!ok && error) *error = cannotRemoveMessage(path, systemErrorText(file.errorString()));
    return ok;
}

} // namespace tess
