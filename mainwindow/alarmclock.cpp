#include "alarmclock.h"

#include "fonts.h"
#include "look.h"

#include "core/settingsfile.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

namespace tess {

namespace alarm_text {

QStringList hours() {
    QStringList out;
    for (int h = 0; h < 24; ++h)
        out << (h < 10 ? QStringLiteral("  ") : QString()) + QString::number(h) + QStringLiteral("時");
    return out;
}

QStringList minutes() {
    QStringList out;
    for (int m = 0; m < 60; m += clocktick::kMinuteStep) out << clocktick::twoDigits(m) + QStringLiteral("分");
    return out;
}

} // namespace alarm_text

AlarmClock::AlarmClock(QWidget* window, const Widgets& widgets, QWidget* editor, ClockHooks hooks)
    : QObject(window), w_(widgets), editor_(editor), hooks_(std::move(hooks)) {
    w_.PAL->setToolTip(alarm_text::kOffHint);
    w_.PAL->installEventFilter(this);
    w_.Img3->installEventFilter(this);

    // Floats just right of the tool column.
    PnlASet = new QFrame(window);
    PnlASet->setObjectName(QStringLiteral("PnlASet"));
    PnlASet->setFrameStyle(QFrame::Panel | QFrame::Raised);
    PnlASet->setAutoFillBackground(true);
    PnlASet->setGeometry(49, 260, 186, 48);
    auto* Bevel7 = new QFrame(PnlASet);
    Bevel7->setObjectName(QStringLiteral("Bevel7"));
    Bevel7->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel7->setGeometry(3, 3, 180, 42);
    auto* Label5 = new QLabel(alarm_text::kAlarmTime, PnlASet);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setFont(fonts::make(fonts::kMsPGothic, 12, true));
    look::setTextColour(Label5, look::kBlue);
    Label5->setGeometry(8, 5, 110, 14);
    CBHor = new QComboBox(PnlASet);
    CBHor->setObjectName(QStringLiteral("CBHor"));
    CBHor->setMaxVisibleItems(13);
    CBHor->setGeometry(8, 21, 60, 20);
    CBMin = new QComboBox(PnlASet);
    CBMin->setObjectName(QStringLiteral("CBMin"));
    CBMin->setMaxVisibleItems(12);
    CBMin->setGeometry(72, 21, 60, 20);
    BitBtn1 = new QPushButton(alarm_text::kOk, PnlASet);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setFont(fonts::make(fonts::kMsPGothic, 12, true));
    look::setTextColour(BitBtn1, look::kPurple);
    BitBtn1->setGeometry(136, 21, 44, 20);
    // Outside a dialog a push button ignores Enter unless told otherwise.
    BitBtn1->setAutoDefault(true);
    PnlASet->hide();
    CBHor->installEventFilter(this);
    CBMin->installEventFilter(this);
    connect(BitBtn1, &QPushButton::clicked, this, &AlarmClock::BitBtn1Click);

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(kClockInterval);
    connect(Timer2, &QTimer::timeout, this, &AlarmClock::Timer2Timer);
    Timer3 = new QTimer(this);
    Timer3->setObjectName(QStringLiteral("Timer3"));
    Timer3->setInterval(kRingInterval);
    connect(Timer3, &QTimer::timeout, this, &AlarmClock::Timer3Timer);
}

QDateTime AlarmClock::now() const {
    return hooks_.now ? hooks_.now() : QDateTime::currentDateTime();
}

clocktick::Face AlarmClock::shownFace() const {
    return {w_.LblHor->text(), w_.LblMin->text(), w_.LblDate->text()};
}

void AlarmClock::show(const clocktick::Face& face) {
    // Only what changed is set: a label set to its own text still repaints.
    if (w_.LblHor->text() != face.hour) w_.LblHor->setText(face.hour);
    if (w_.LblMin->text() != face.minute) w_.LblMin->setText(face.minute);
    if (w_.LblDate->text() != face.date) w_.LblDate->setText(face.date);
}

void AlarmClock::start() {
    show(clocktick::faceAt(now()));
    w_.LblAl->clear();
    PnlASet->hide();
    CBHor->clear();
    CBHor->addItems(alarm_text::hours());
    CBMin->clear();
    CBMin->addItems(alarm_text::minutes());
    CBHor->setCurrentIndex(0);
    CBMin->setCurrentIndex(0);
    Timer2->start();
}

void AlarmClock::readSettings(const SettingsFile& settings, const NumberReader& number) {
    if (settings.read(ini::kSystem, ini::kPAL, ini::kShortLimit).value == ini::kLower)
        setOn(true, alarm_text::kOnHintAtStart);
    // An index outside its list leaves nothing selected: such an alarm never
    // rings, and the next close writes "-1".
    const auto select = [](QComboBox* box, int index) {
        box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
    };
    if (const auto n = number(ini::kSystem, ini::kALHor)) select(CBHor, *n);
    if (const auto n = number(ini::kSystem, ini::kALMin)) select(CBMin, *n);
}

void AlarmClock::writeSettings(SettingsFile& settings) const {
    settings.write(ini::kSystem, ini::kPAL, on_ ? ini::kLower : ini::kRaise);
    settings.write(ini::kSystem, ini::kALHor, QString::number(CBHor->currentIndex()));
    settings.write(ini::kSystem, ini::kALMin, QString::number(CBMin->currentIndex()));
}

bool AlarmClock::isRinging() const { return Timer3->isActive(); }

void AlarmClock::setOn(bool on, const QString& hint) {
    on_ = on;
    w_.PAL->setFrameShadow(on ? QFrame::Sunken : QFrame::Raised);
    w_.PAL->setToolTip(hint);
    w_.LblAl->setText(on ? alarm_text::kMark : QString());
}

void AlarmClock::PALClick() {
    if (!on_) {
        if (!PnlASet->isHidden()) {
            PnlASet->hide();
        } else {
            PnlASet->show();
            PnlASet->raise();
            CBHor->setFocus();
        }
        return;
    }
    // Switching off also disarms; a ring ends at its next tick.
    PnlASet->hide();
    setOn(false, alarm_text::kOffHintByClick);
}

void AlarmClock::BitBtn1Click() {
    setOn(true, alarm_text::kOnHint);
    PnlASet->hide();
    if (editor_) editor_->setFocus();
}

void AlarmClock::Timer2Timer() {
    const clocktick::Alarm alarm{on_, CBHor->currentIndex(), CBMin->currentIndex()};
    const clocktick::Outcome out = clocktick::tick(shownFace(), now(), alarm);
    show(out.face);
    if (out.startRinging) Timer3->start();
}

void AlarmClock::Timer3Timer() {
    if (!on_) {
        Timer3->stop();
        w_.Img3->show();
        return;
    }
    if (hooks_.beep) hooks_.beep();
    else QApplication::beep();
    // Hidden every other tick: the picture blinks once a second.
    w_.Img3->setHidden(!w_.Img3->isHidden());
}

bool AlarmClock::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((watched == w_.PAL || watched == w_.Img3) && type == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        PALClick();
        return true;
    }
    if ((watched == CBHor || watched == CBMin) && type == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == CBHor) CBMin->setFocus();
            else BitBtn1->setFocus();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tess
