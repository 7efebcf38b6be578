#include "TSAbout.h"

#include "fonts.h"
#include "look.h"

#include "pictures.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace tess {

namespace {

constexpr int kClientWidth = 292;
constexpr int kPanel1Height = 91;
constexpr int kPanel3Height = 83;

QFont boldGothic(int pixels) { return fonts::make(fonts::kMsPGothic, pixels, true); }

} // namespace

TfrmTSAbout::TfrmTSAbout(QWidget* parent) : QDialog(parent, Qt::Tool) {
    pictures::ensureLoaded();
    setObjectName(QStringLiteral("frmTSAbout"));
    setWindowTitle(QStringLiteral("Tessarine"));
    setModal(true);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setGeometry(0, 0, kClientWidth, kPanel1Height);

    Panel4 = new QFrame(Panel1);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    Panel4->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel4->setGeometry(1, 1, kClientWidth - 2, kPanel1Height - 2);

    Image1 = new QLabel(Panel4);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(1, 1, 288, 87);
    Image1->setPixmap(pictures::pixmap(pictures::kAboutBanner, QSize(288, 87)));

    Panel3 = new QFrame(this);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel3->setGeometry(0, kPanel1Height, kClientWidth, kPanel3Height);

    Bevel1 = new QFrame(Panel3);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry((kClientWidth - 280) / 2, 7, 280, 40);

    Label1 = new QLabel(QStringLiteral("Tessarine / Build 1.00"), Bevel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(boldGothic(15));
    look::setTextColour(Label1, look::kNavy);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setGeometry(2, 2, 276, 36);

    BitBtn1 = new QPushButton(QStringLiteral("ＯＫ"), Panel3);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setFont(boldGothic(15));
    look::setTextColour(BitBtn1, look::kNavy);
    BitBtn1->setGeometry((kClientWidth - 114) / 2, 52, 114, 25);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    setFixedWidth(kClientWidth);
    fitHeight();
}

void TfrmTSAbout::fitHeight() {
    setFixedHeight(Panel1->height() + Panel3->height());
}

int TfrmTSAbout::showModalAbout() {
    fitHeight();
    return exec();
}

void TfrmTSAbout::showEvent(QShowEvent* event) {
    fitHeight();
    look::centreOnScreen(this);
    QDialog::showEvent(event);
}

} // namespace tess
