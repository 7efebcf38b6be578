#include "TSGName.h"

#include "kindicon.h"

#include "mainwindow/documenthost.h"
#include "mainwindow/elided.h"
#include "mainwindow/fonts.h"
#include "mainwindow/look.h"
#include "mainwindow/pictures.h"

#include <QKeyEvent>
#include <QLabel>
#include <QToolButton>

namespace tess {

namespace {

// The popup's layout: a title strip, the slot column with its icons on the
// left, the scroll strip on the right.
constexpr int kWidth = 177;
constexpr int kHeight = 230;
constexpr int kTop = 23;         // first slot, under the title strip
constexpr int kIconX = 2;        // P1..P10
constexpr int kSlotX = 24;       // SB1..SB10, over Image12
constexpr int kSlotWidth = 127;
constexpr int kSlotHeight = 20;  // also their spacing
constexpr int kStripX = 156;     // SpeedButton1..4
constexpr int kStripWidth = 19;
constexpr int kShortButton = 20;
constexpr int kLongButton = 77;

} // namespace

TfrmGName::TfrmGName(DocumentHost& host, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      host_(host) {
    pictures::ensureLoaded();
    setObjectName(QStringLiteral("frmGName"));
    setWindowTitle(QString());
    setFixedSize(kWidth, kHeight);
    setFont(fonts::make(fonts::kMsPGothic, 13));
    look::setColours(this, look::kNavy);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(3, 2, 171, 18);
    Image1->setPixmap(pictures::pixmap(pictures::kPickerTitle, QSize(171, 18)));

    Image12 = new QLabel(this);
    Image12->setObjectName(QStringLiteral("Image12"));
    Image12->setGeometry(kSlotX - 1, kTop, 130, 205);
    Image12->setPixmap(pictures::pixmap(pictures::kPickerBack, QSize(130, 205)));

    for (int i = 0; i < kPickerSlots; ++i) {
        const QString n = QString::number(i + 1);
        const int y = kTop + i * kSlotHeight;
        // A long group name is cut at its end, the whole one in the tooltip.
        auto* b = new ElidedToolButton(this);
        b->setObjectName(QStringLiteral("SB") + n);
        b->setAutoRaise(true);
        b->setGeometry(kSlotX, y, kSlotWidth, kSlotHeight);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        look::setTextColour(b, Qt::white);
        b->setStyleSheet(QStringLiteral("QToolButton:focus { border: 1px dotted white; }"));
        b->setFocusPolicy(Qt::StrongFocus);
        connect(b, &QToolButton::clicked, this, [this, i] { choose(i + 1); });
        slotButtons_[i] = b;
        icons_[i] = new KindIcon(QStringLiteral("P") + n, QStringLiteral("ImgI") + n, QStringLiteral("I") + n,
                                 this);
        icons_[i]->move(kIconX, y);
    }

    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(kStripX, kTop, kStripWidth, 97);
    Image2->setPixmap(pictures::pixmap(pictures::kPickerUp, QSize(kStripWidth, 97)));
    ImgDEnd = new QLabel(this);
    ImgDEnd->setObjectName(QStringLiteral("ImgDEnd"));
    ImgDEnd->setGeometry(kStripX, kTop + 97, kStripWidth, 97);
    ImgDEnd->setPixmap(pictures::pixmap(pictures::kPickerDown, QSize(kStripWidth, 97)));

    // Flat and transparent over the drawn arrows; named for a screen reader.
    const auto scroll = [this](const QString& name, int y, int height, const QString& spoken,
                               void (TfrmGName::*handler)()) {
        auto* b = new QToolButton(this);
        b->setObjectName(name);
        b->setAutoRaise(true);
        b->setGeometry(kStripX, y, kStripWidth, height);
        b->setAccessibleName(spoken);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this, handler);
        return b;
    };
    SpeedButton1 = scroll(QStringLiteral("SpeedButton1"), kTop, kShortButton, QStringLiteral("先頭のグループへ"),
                          &TfrmGName::SpeedButton1Click);
    SpeedButton2 = scroll(QStringLiteral("SpeedButton2"), kTop + kShortButton, kLongButton,
                          QStringLiteral("ひとつ上へ"), &TfrmGName::SpeedButton2Click);
    SpeedButton3 = scroll(QStringLiteral("SpeedButton3"), kTop + kShortButton + kLongButton, kLongButton,
                          QStringLiteral("ひとつ下へ"), &TfrmGName::SpeedButton3Click);
    SpeedButton4 = scroll(QStringLiteral("SpeedButton4"), kTop + kShortButton + 2 * kLongButton, kShortButton,
                          QStringLiteral("最後のグループへ"), &TfrmGName::SpeedButton4Click);
    CapSet();
}

QString TfrmGName::slotGroup(int slot) const {
    return slot >= 1 && slot <= kPickerSlots ? shown_[slot - 1].name : QString();
}

void TfrmGName::CapSet() {
    shown_ = fillSlots(host_.registry(), top_);
    for (int i = 0; i < kPickerSlots; ++i) {
        const PickerSlot& s = shown_[i];
        // A "&" in a group name is shown, not taken as a shortcut.
        slotButtons_[i]->setText(QString(s.name).replace(u'&', QStringLiteral("&&")));
        slotButtons_[i]->setAccessibleName(s.name);
        slotButtons_[i]->setToolTip(s.name);
        slotButtons_[i]->setEnabled(!s.name.isEmpty());
        icons_[i]->setKind(s.name.isEmpty() ? KindIcon::Kind::None
                           : s.folder       ? KindIcon::Kind::Folder
                                            : KindIcon::Kind::Inner);
    }
}

void TfrmGName::scrollTo(std::optional<int> top) {
    if (!top) return;
    top_ = *top;
    CapSet();
}

void TfrmGName::SpeedButton1Click() { scrollTo(picker_scroll::first()); }
void TfrmGName::SpeedButton2Click() { scrollTo(picker_scroll::up(top_)); }
void TfrmGName::SpeedButton3Click() { scrollTo(picker_scroll::down(top_, shown_)); }
void TfrmGName::SpeedButton4Click() {
    scrollTo(picker_scroll::last(int(host_.registry().groupList().size())));
}

void TfrmGName::choose(int slot) {
    const QString group = slotGroup(slot);
    if (group.isEmpty()) return;
    host_.state().setLblGName(group);
    host_.GourpFileSet();
    close();
}

void TfrmGName::showEvent(QShowEvent* event) {
    CapSet();
    QWidget::showEvent(event);
    focusSlot(1);
}

int TfrmGName::focusedSlot() const {
    for (int i = 0; i < kPickerSlots; ++i)
        if (slotButtons_[i]->hasFocus()) return i + 1;
    return 0;
}

void TfrmGName::focusSlot(int slot) {
    if (slot >= 1 && slot <= kPickerSlots && slotButtons_[slot - 1]->isEnabled())
        slotButtons_[slot - 1]->setFocus();
}

void TfrmGName::keyPressEvent(QKeyEvent* event) {
    const int slot = focusedSlot();
    switch (event->key()) {
    case Qt::Key_Escape:
        close();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (slot) choose(slot);
        return;
    case Qt::Key_Up:
        // Past the first slot the list scrolls.
        if (slot > 1) focusSlot(slot - 1);
        else SpeedButton2Click();
        return;
    case Qt::Key_Down:
        if (slot && slot < kPickerSlots && !slotGroup(slot + 1).isEmpty()) focusSlot(slot + 1);
        else if (slot == kPickerSlots) SpeedButton3Click();
        return;
    case Qt::Key_Home:
        SpeedButton1Click();
        focusSlot(1);
        return;
    case Qt::Key_End:
        SpeedButton4Click();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

} // namespace tess
