#pragma once
// The group picker popup: ten slot buttons with their kind icons over the
// group list, four scroll buttons, and the scroll position `LblTop`, which
// lasts while the program runs.  Choosing a slot makes its group current,
// lists its files in the main window and closes the popup.  The main
// window's `SB1` opens and closes it.

#include "core/grouppanels.h"

#include <QWidget>

#include <array>

class QLabel;
class QToolButton;

namespace tess {

class DocumentHost;
class KindIcon;

class TfrmGName : public QWidget {
    Q_OBJECT
public:
    explicit TfrmGName(DocumentHost& host, QWidget* parent = nullptr);

    // The scroll position: the 1-based index in the group list of the group
    // shown in the first slot.
    int LblTop() const { return top_; }
    // The group shown in a slot (1 to 10); empty for an empty slot.
    QString slotGroup(int slot) const;

    // Fills the ten slots from the scroll position.
    void CapSet();

public slots:
    void SpeedButton1Click();  // first group
    void SpeedButton2Click();  // up by one
    void SpeedButton3Click();  // down by one
    void SpeedButton4Click();  // the last groups
    // A slot button (1 to 10) pressed: choose its group.
    void choose(int slot);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void scrollTo(std::optional<int> top);
    int focusedSlot() const;
    void focusSlot(int slot);

    DocumentHost& host_;
    int top_ = 1;
    PickerSlots shown_;

    QLabel* Image1;
    QLabel* Image12;
    std::array<QToolButton*, kPickerSlots> slotButtons_;
    std::array<KindIcon*, kPickerSlots> icons_;
    QToolButton* SpeedButton1;
    QToolButton* SpeedButton2;
    QToolButton* SpeedButton3;
    QToolButton* SpeedButton4;
    QLabel* Image2;
    QLabel* ImgDEnd;
};

} // namespace tess
