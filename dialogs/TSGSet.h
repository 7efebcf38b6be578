#pragma once
// The group registration dialog.  For now only its window and its creation
// step, which fills the group registry from the group store.

#include <QDialog>

namespace tess {

class DocumentHost;
class Notifier;

class TfrmGSet : public QDialog {
    Q_OBJECT
public:
    TfrmGSet(DocumentHost& host, Notifier& notifier, QWidget* parent = nullptr);

    // Reads the group store into the registry when the last close wrote one.
    void FormCreate();

private:
    DocumentHost& host_;
    Notifier& notifier_;
};

} // namespace tess
