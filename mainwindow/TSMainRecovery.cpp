// The main window's side of the recovery copy: the offer at start-up and
// what a restore brings back.

#include "TSMain.h"

#include "recovery.h"

#include "core/caption.h"
#include "core/damagedfile.h"

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

} // namespace recovery_text

recovery::Fields TfrmTSMain::recoveryFields() const {
    return {windowTitle(), state_.LblGName(), state_.LblFName(), state_.LblFullName()};
}

void TfrmTSMain::offerRecovery() {
    RecoveryCopy& copy = *recovery_;
    // Another run on this folder owns the copy: it is not ours to offer.
    if (!copy.owned()) return;
    const QString path = copy.path();
    if (QFileInfo::exists(path)) restoreRecoveryCopy(path);
    copy.arm();
}

void TfrmTSMain::restoreRecoveryCopy(const QString& path) {
    QFile file(path);
    // The fields sit at the start of the file.
    constexpr qint64 kHead = 64 * 1024;
    const std::optional<recovery::Fields> fields =
        file.open(QIODevice::ReadOnly) ? recovery::readFields(file.read(kHead)) : std::nullopt;
    file.close();
    if (!fields) {
        prompter_.message(damagedFileMessage(QStringLiteral("復元用ﾌｧｲﾙ"), recovery::kFileName,
                                             setDamagedFileAside(path)));
        return;
    }
    if (!prompter_.askYesNo(recovery_text::question(fields->fileName))) {
        // Kept once under another name, in case the answer was a slip.
        QFile::remove(recovery_->declinedPath());
        if (!QFile::rename(path, recovery_->declinedPath())) QFile::remove(path);
        return;
    }
    const LoadResult loaded = loadInto(Memo1, path);
    if (!loaded.ok()) {
        // The copy stays for the next start.
        prompter_.errorBox(loaded.error);
        return;
    }
    state_.setLblGName(fields->groupName);
    state_.setLblFName(fields->fileName);
    state_.setLblFullName(fields->filePath);
    const QString title = fields->caption.isEmpty() ? caption::kNewFile : fields->caption;
    setWindowTitle(caption::hasMarker(title) ? title : title + caption::kModifiedMarker);
    state_.LblUpdate = flag::kSet;
    Memo1->document()->setModified(true);
}

} // namespace tess
