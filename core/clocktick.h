#pragma once
// What one tick of the status-bar clock does: which of the shown hour, minute
// and date change, and whether the alarm starts ringing.  No windows: the
// alarm clock feeds it the labels' texts and the time from its clock.

#include <QDateTime>
#include <QString>

namespace tess::clocktick {

// The texts of the clock labels: "07", "05", "2024/03/01".
struct Face {
    QString hour;
    QString minute;
    QString date;
    friend bool operator==(const Face&, const Face&) = default;
};

// The armed alarm: the selected entries of the hour list (0 = 0 o'clock) and
// the minute list (0 = :00, 1 = :05 ...); -1 when a list has no selection.
struct Alarm {
    bool on = false;
    int hourIndex = 0;
    int minuteIndex = 0;
};

inline constexpr int kMinuteStep = 5;

QString twoDigits(int n);
QString dateText(const QDate& date);  // "yyyy/MM/dd"
// The face the labels show at `now`.
Face faceAt(const QDateTime& now);

struct Outcome {
    Face face;            // what the labels show after the tick
    bool newMinute = false;
    bool startRinging = false;
};

// The shown hour and minute follow the clock.  The alarm is compared only
// when the tick finds another minute than the one shown (so arming in the
// shown minute, or starting inside the alarm minute, rings first on a later
// day); a change of the hour alone or of the date alone counts as another
// minute, so a computer that slept whole hours still rings.  The date
// follows whenever it differs from today, not only at midnight.
Outcome tick(const Face& shown, const QDateTime& now, const Alarm& alarm);

} // namespace tess::clocktick
