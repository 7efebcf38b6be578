// The main window's side of the recovery copy: the offer at start-up and
// what a restore brings back.

#include "TSMain.h"

#include "recovery.h"

#include "core/caption.h"
#include "core/damagedfile.h"
#include "richtext/documentfile.h"
#include "richtext/richtext.h"

#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTextDocument>

namespace tess {

namespace recovery_text {

QString question(const QString& fileName) {
    return QStringLiteral("前回は保存されていない変更を残したまま終了しました（") +
           (fileName.isEmpty() ? QStringLiteral("NewFile") : fileName) +
           QStringLiteral("）。\n保存されていない内容を復元しますか？\n"
                          "「いいえ」のときは ") +
           recovery::kDeclinedFileName + QStringLiteral(" として残し、次回からは尋ねません。");
}

QString unprotected(const QString& reason) {
    return QStringLiteral("復元用ﾌｧｲﾙを残せないため、この実行中に保存されていない変更は異常終了のときに失われます。\n") +
           reason;
}

QString heldBy(const QString& owner) {
    return QStringLiteral("同じﾌｫﾙﾀﾞで動いている別の Tessarine") +
           (owner.isEmpty() ? QString() : QStringLiteral("（") + owner + QStringLiteral("）")) +
           QStringLiteral("が復元用ﾌｧｲﾙを使っています。");
}

QString unreadable(const QString& error, const QString& keptAs) {
    return QStringLiteral("復元用ﾌｧｲﾙ \"") + recovery::kFileName +
           QStringLiteral("\" を読み込めないため、前回の保存されていない内容は復元できません。\n") + error + u'\n' +
           keptAsText(keptAs);
}

QString cutShort(const QString& keptAs) {
    return QStringLiteral("復元用ﾌｧｲﾙ \"") + recovery::kFileName +
           QStringLiteral("\" は途中で切れているため、復元しません。\n") + keptAsText(keptAs);
}

} // namespace recovery_text

recovery::Fields TfrmTSMain::recoveryFields() const {
    return {windowTitle(), state_.LblGName(), state_.LblFName(), state_.LblFullName()};
}

void TfrmTSMain::offerRecovery() {
    RecoveryCopy& copy = *recovery_;
    // Another run on this folder owns the copy: it is not ours to offer.
    if (!copy.owned()) {
        copy.arm();
        return;
    }
    copy.settleInterruptedSave();
    // Whatever bears the name, a link that leads nowhere included: what
    // cannot be read is told, not passed over.
    const QString path = copy.path();
    const QFileInfo entry(path);
    if (entry.exists() || entry.isSymLink()) restoreRecoveryCopy(path);
    copy.arm();
}

void TfrmTSMain::restoreRecoveryCopy(const QString& path) {
    QByteArray bytes;
    LoadResult loaded = readDocumentBytes(path, bytes, recovery::kMaxCopyBytes);
    if (!loaded.ok()) {
        prompter_.message(recovery_text::unreadable(loaded.error, setDamagedFileAside(path)));
        return;
    }
    const std::optional<recovery::Fields> fields = recovery::readFields(bytes);
    if (!fields) {
        prompter_.message(damagedFileMessage(QStringLiteral("復元用ﾌｧｲﾙ"), recovery::kFileName,
                                             setDamagedFileAside(path)));
        return;
    }
    // Restoring part of the text would pass for all of it.
    if (!isWholeRichText(bytes)) {
        prompter_.message(recovery_text::cutShort(setDamagedFileAside(path)));
        return;
    }
    if (!prompter_.askYesNo(recovery_text::question(fields->fileName))) {
        // Kept once under another name, in case the answer was a slip.
        QFile::remove(recovery_->declinedPath());
        if (!QFile::rename(path, recovery_->declinedPath())) QFile::remove(path);
        return;
    }
    // The copy starts as rich text (its fields were read), so it fills the
    // editor as rich text.
    fillEditor(Memo1, std::move(bytes), loaded);
    state_.setLblGName(fields->groupName);
    state_.setLblFName(fields->fileName);
    state_.setLblFullName(fields->filePath);
    const QString title = fields->caption.isEmpty() ? caption::kNewFile : fields->caption;
    setWindowTitle(caption::hasMarker(title) ? title : title + caption::kModifiedMarker);
    state_.LblUpdate = flag::kSet;
    Memo1->document()->setModified(true);
}

} // namespace tess
