#pragma once
// The about box: banner, version line and an "ＯＫ" button.

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace tess {

class TfrmTSAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmTSAbout(QWidget* parent = nullptr);

    // Fits the client height to the two panels and shows the box modally;
    // returns when "ＯＫ" (or the close box) closes it.
    int showModalAbout();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fitHeight();

    QFrame* Panel1;
    QFrame* Panel4;
    QLabel* Image1;
    QFrame* Panel3;
    QFrame* Bevel1;
    QLabel* Label1;
    QPushButton* BitBtn1;
};

} // namespace tess
