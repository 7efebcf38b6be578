#pragma once
// The clock and the alarm of the status bar: the content of the clock labels
// and the alarm mark, the clock timer `Timer2`, the ringing timer `Timer3`,
// the alarm switch `PAL` with its picture `Img3`, the alarm set panel
// `PnlASet` and the three alarm settings.  The main window creates and places
// the switch and the labels; this class fills them and reacts to them.  The
// time comes from a clock it is given and the beep goes through a hook, so
// tests drive it through any minute without waiting.

#include "core/clocktick.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QTimer;
class QWidget;

namespace tess {

class SettingsFile;

namespace alarm_text {
// The switch's hint: its initial value and the one the settings set use a
// full-width colon, the two the user's clicks set an ASCII one.
inline const QString kOffHint = QStringLiteral("現在：アラーム機能 OFF");
inline const QString kOnHintAtStart = QStringLiteral("現在：アラーム機能 ON");
inline const QString kOnHint = QStringLiteral("現在:アラーム機能 ON");
inline const QString kOffHintByClick = QStringLiteral("現在:アラーム機能 OFF");
inline const QString kAlarmTime = QStringLiteral("アラーム時間：");
inline const QString kMark = QStringLiteral("A");
inline const QString kOk = QStringLiteral("OK");
// "  0時" .. "23時" and "00分" .. "55分".
QStringList hours();
QStringList minutes();
} // namespace alarm_text

// Where the time and the beep come from; an empty member means the system's.
struct ClockHooks {
    std::function<QDateTime()> now;
    std::function<void()> beep;
};

class AlarmClock : public QObject {
    Q_OBJECT
public:
    static constexpr int kClockInterval = 15000;   // Timer2
    static constexpr int kRingInterval = 500;      // Timer3

    // The widgets the main window places.
    struct Widgets {
        QFrame* PAL;
        QLabel* Img3;
        QLabel* LblDate;
        QLabel* LblHor;
        QLabel* LblMin;
        QLabel* LblAl;
    };
    // `PnlASet` is created over `window`; `editor` takes the focus after OK.
    AlarmClock(QWidget* window, const Widgets& widgets, QWidget* editor, ClockHooks hooks);

    QFrame* panel() const { return PnlASet; }

    // The labels from the clock, the alarm off, the lists filled with their
    // first entries selected, and the clock running.
    void start();
    // Reads the number of a key; nullopt when absent or not a number (the
    // reader reports that).
    using NumberReader = std::function<std::optional<int>(const QString& section, const QString& key)>;
    // "PAL" (only exactly "Lower" switches on), then "ALHor" and "ALMin".
    void readSettings(const SettingsFile& settings, const NumberReader& number);
    // "PAL", "ALHor" and "ALMin"; a list without a selection writes "-1".
    void writeSettings(SettingsFile& settings) const;

    bool isOn() const { return on_; }
    bool isRinging() const;

public slots:
    void PALClick();      // the switch or its picture
    void BitBtn1Click();  // OK: arm the alarm
    void Timer2Timer();   // clock tick
    void Timer3Timer();   // ringing tick

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setOn(bool on, const QString& hint);
    QDateTime now() const;
    clocktick::Face shownFace() const;
    void show(const clocktick::Face& face);

    Widgets w_;
    QWidget* editor_;
    ClockHooks hooks_;
    bool on_ = false;  // the switch's lowered bevel

    QFrame* PnlASet = nullptr;
    QComboBox* CBHor = nullptr;
    QComboBox* CBMin = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QTimer* Timer2 = nullptr;
    QTimer* Timer3 = nullptr;
};

} // namespace tess
