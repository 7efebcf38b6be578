#include "TSMain.h"

#include <QTextEdit>
#include <QVBoxLayout>

namespace tess {

TfrmTSMain::TfrmTSMain(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmTSMain"));
    setWindowTitle(QStringLiteral("Tessarine  // NewFile"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* memo = new QTextEdit(this);
    memo->setObjectName(QStringLiteral("Memo1"));
    layout->addWidget(memo);
    setGeometry(130, 67, 656, 467);
}

} // namespace tess
