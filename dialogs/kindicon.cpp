#include "kindicon.h"

#include "mainwindow/pictures.h"

#include <QLabel>

namespace tess {

namespace {
constexpr int kIcon = 20;
} // namespace

KindIcon::KindIcon(const QString& name, const QString& innerName, const QString& folderName,
                   QWidget* parent)
    : QFrame(parent) {
    pictures::ensureLoaded();
    setObjectName(name);
    resize(kIcon, kIcon);
    inner_ = new QLabel(this);
    inner_->setObjectName(innerName);
    inner_->setGeometry(0, 0, kIcon, kIcon);
    inner_->setPixmap(pictures::pixmap(pictures::kSaveInner, QSize(kIcon, kIcon)));
    // Created second, so it lies over the inner-group picture.
    folder_ = new QLabel(this);
    folder_->setObjectName(folderName);
    folder_->setGeometry(0, 0, kIcon, kIcon);
    folder_->setPixmap(pictures::pixmap(pictures::kSaveFolder, QSize(kIcon, kIcon)));
}

void KindIcon::setKind(Kind kind) {
    setVisible(kind != Kind::None);
    folder_->setVisible(kind == Kind::Folder);
}

} // namespace tess
