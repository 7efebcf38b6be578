// The status-bar clock's tick: the shown hour, minute and date, and when the
// alarm starts ringing.

#include "core/clocktick.h"

#include "support.h"

#include <QList>

inline void PrintTo(const QDateTime& t, std::ostream* os) {
    *os << t.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")).toStdString();
}

namespace tess {
namespace {

using clocktick::Alarm;
using clocktick::Face;

QDateTime at(int day, int hour, int minute, int second = 0) {
    return QDateTime(QDate(2024, 2, 28).addDays(day), QTime(hour, minute, second));
}

Alarm alarmAt(int hourIndex, int minuteIndex) { return {true, hourIndex, minuteIndex}; }

// Runs the clock from `from` with a tick every 15 seconds for `hours`, the
// labels following each tick as the window's do; returns when it rang.
QList<QDateTime> ringsFrom(const QDateTime& from, int hours, const Alarm& alarm) {
    QList<QDateTime> rings;
    Face shown = clocktick::faceAt(from);
    for (QDateTime t = from.addSecs(15); t <= from.addSecs(hours * 3600); t = t.addSecs(15)) {
        const clocktick::Outcome out = clocktick::tick(shown, t, alarm);
        if (out.startRinging) rings << t;
        shown = out.face;
    }
    return rings;
}

TEST(ClockTick, FaceIsTwoDigitsAndTheSlashedDate) {
    EXPECT_EQ(clocktick::faceAt(QDateTime(QDate(2024, 3, 1), QTime(7, 5))),
              (Face{QStringLiteral("07"), QStringLiteral("05"), QStringLiteral("2024/03/01")}));
    EXPECT_EQ(clocktick::faceAt(QDateTime(QDate(2031, 12, 31), QTime(23, 59, 59))),
              (Face{QStringLiteral("23"), QStringLiteral("59"), QStringLiteral("2031/12/31")}));
}

struct TickCase {
    const char* name;
    QDateTime shownAt;  // the labels show this time
    QDateTime now;
    Alarm alarm;
    bool newMinute;
    bool rings;
};
void PrintTo(const TickCase& c, std::ostream* os) { *os << c.name; }

class OneTick : public ::testing::TestWithParam<TickCase> {};

TEST_P(OneTick, FollowsTheClockAndComparesOnlyOnANewMinute) {
    const TickCase& c = GetParam();
    const clocktick::Outcome out = clocktick::tick(clocktick::faceAt(c.shownAt), c.now, c.alarm);
    EXPECT_EQ(out.face, clocktick::faceAt(c.now));
    EXPECT_EQ(out.newMinute, c.newMinute);
    EXPECT_EQ(out.startRinging, c.rings);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OneTick,
    ::testing::Values(
        TickCase{"ArmedInTheShownMinute", at(0, 7, 30, 5), at(0, 7, 30, 20), alarmAt(7, 6), false, false},
        TickCase{"FirstTickOfTheAlarmMinute", at(0, 7, 29, 50), at(0, 7, 30, 5), alarmAt(7, 6), true, true},
        TickCase{"AlarmOff", at(0, 7, 29, 50), at(0, 7, 30, 5), Alarm{false, 7, 6}, true, false},
        TickCase{"OtherHourSameMinute", at(0, 6, 29, 50), at(0, 6, 30, 5), alarmAt(7, 6), true, false},
        TickCase{"MinuteIndexIsNotTheMinute", at(0, 23, 10, 50), at(0, 23, 11, 5), alarmAt(23, 11), true, false},
        TickCase{"LastEntryIs55", at(0, 23, 54, 50), at(0, 23, 55, 5), alarmAt(23, 11), true, true},
        TickCase{"Midnight", at(0, 23, 59, 50), at(1, 0, 0, 5), alarmAt(0, 0), true, true},
        // Slept past the alarm: it does not ring late.
        TickCase{"JumpPastTheAlarm", at(0, 7, 25), at(0, 9, 0), alarmAt(7, 6), true, false},
        TickCase{"JumpOntoTheAlarm", at(0, 5, 10), at(0, 7, 30, 40), alarmAt(7, 6), true, true},
        // Whole hours or a whole day asleep leave the minute label as it was.
        TickCase{"JumpOfWholeHoursOntoTheAlarm", at(0, 4, 30), at(0, 7, 30, 10), alarmAt(7, 6), true, true},
        TickCase{"JumpOfAWholeDayOntoTheAlarm", at(0, 7, 30), at(1, 7, 30, 10), alarmAt(7, 6), true, true},
        // Slept through midnight: the date is today's at the first tick.
        TickCase{"SleptThroughMidnight", at(0, 22, 40), at(1, 8, 15), Alarm{}, true, false},
        TickCase{"NoHourSelected", at(0, 7, 29, 50), at(0, 7, 30, 5), alarmAt(-1, 6), true, false},
        TickCase{"NoMinuteSelected", at(0, 0, 4, 50), at(0, 0, 5, 5), alarmAt(0, -1), true, false}),
    [](const ::testing::TestParamInfo<TickCase>& info) { return info.param.name; });

TEST(ClockTick, DateOfADayOldFaceIsBroughtUpToDateWithinTheMinute) {
    Face shown = clocktick::faceAt(at(1, 10, 0));
    shown.date = clocktick::dateText(at(0, 0, 0).date());
    const clocktick::Outcome out = clocktick::tick(shown, at(1, 10, 0, 30), Alarm{});
    EXPECT_EQ(out.face.date, QStringLiteral("2024/02/29"));
    EXPECT_EQ(out.face.hour, QStringLiteral("10"));
}

struct DayCase {
    const char* name;
    QDateTime from;
    Alarm alarm;
    QList<QDateTime> rings;
};
void PrintTo(const DayCase& c, std::ostream* os) { *os << c.name; }

class DayOfTicks : public ::testing::TestWithParam<DayCase> {};

TEST_P(DayOfTicks, RingsOnlyAtTheFirstTickOfTheAlarmMinute) {
    const DayCase& c = GetParam();
    EXPECT_EQ(ringsFrom(c.from, 49, c.alarm), c.rings);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DayOfTicks,
    ::testing::Values(
        DayCase{"StartedBefore", at(0, 6, 0, 3), alarmAt(7, 6), {at(0, 7, 30, 3), at(1, 7, 30, 3)}},
        // Starting, or arming, inside the alarm minute waits for the next day.
        DayCase{"StartedInsideTheAlarmMinute", at(0, 7, 30, 10), alarmAt(7, 6), {at(1, 7, 30, 10), at(2, 7, 30, 10)}},
        DayCase{"ThroughMidnight", at(0, 23, 50, 7), alarmAt(0, 1), {at(1, 0, 5, 7), at(2, 0, 5, 7), at(3, 0, 5, 7)}},
        DayCase{"HourOutsideTheList", at(0, 0, 0), alarmAt(24, 0), {}},
        DayCase{"NothingSelected", at(0, 0, 0), alarmAt(-1, -1), {}}),
    [](const ::testing::TestParamInfo<DayCase>& info) { return info.param.name; });

} // namespace
} // namespace tess
