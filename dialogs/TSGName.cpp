#include "TSGName.h"

#include "mainwindow/documenthost.h"

namespace tess {

TfrmGName::TfrmGName(DocumentHost& host, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      host_(host) {
    setObjectName(QStringLiteral("frmGName"));
    setWindowTitle(QString());
    resize(177, 230);
}

} // namespace tess
