#pragma once
// The group picker popup.  For now only its window.

#include <QWidget>

namespace tess {

class DocumentHost;

class TfrmGName : public QWidget {
    Q_OBJECT
public:
    explicit TfrmGName(DocumentHost& host, QWidget* parent = nullptr);

private:
    DocumentHost& host_;
};

} // namespace tess
