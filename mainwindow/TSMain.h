#pragma once

#include <QWidget>

namespace tess {

// The editor window.
class TfrmTSMain : public QWidget {
    Q_OBJECT
public:
    explicit TfrmTSMain(QWidget* parent = nullptr);
};

} // namespace tess
