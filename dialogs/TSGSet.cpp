#include "TSGSet.h"

#include "core/editorstate.h"
#include "core/filenames.h"
#include "core/groupstore.h"
#include "mainwindow/documenthost.h"

namespace tess {

TfrmGSet::TfrmGSet(DocumentHost& host, Notifier& notifier, QWidget* parent)
    : QDialog(parent, Qt::Tool), host_(host), notifier_(notifier) {
    setObjectName(QStringLiteral("frmGSet"));
    setWindowTitle(QStringLiteral("グループの登録と削除"));
    setModal(true);
    setGeometry(141, 120, 558, 281);
    FormCreate();
}

void TfrmGSet::FormCreate() {
    if (host_.state().LblGF != flag::kStoreWritten) return;
    readGroupStore(host_.programFolder() + files::kGroupStore, host_.registry(), notifier_);
}

} // namespace tess
