#pragma once
// The 20 x 20 kind icon of a group: the folder-group picture laid over the
// inner-group picture.  A folder group shows the folder picture; an inner
// group hides it so that the inner picture beneath shows; no group hides the
// whole icon.  The save-as dialog, the picker's slots and the explorer share it.

#include <QFrame>

class QLabel;

namespace tess {

class KindIcon : public QFrame {
    Q_OBJECT
public:
    enum class Kind { None, Folder, Inner };

    // `name` is the icon's object name, `innerName` and `folderName` those of
    // its two pictures.
    KindIcon(const QString& name, const QString& innerName, const QString& folderName,
             QWidget* parent);

    void setKind(Kind kind);
    QLabel* folderPicture() const { return folder_; }

private:
    QLabel* inner_;
    QLabel* folder_;
};

} // namespace tess
