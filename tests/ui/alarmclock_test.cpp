// The status-bar clock, the alarm switch, its set panel and the ringing, on a
// clock the test turns by hand.

#include "clockfixture.h"

#include <QComboBox>
#include <QPushButton>
#include <QTimer>

namespace tess::testing {
namespace {

class AlarmClockTest : public ClockedMainWindowTest {
protected:
    QWidget* picture() { return widget(QStringLiteral("Img3")); }
    QFrame* alarmSwitch() { return widget<QFrame>(QStringLiteral("PAL")); }
    QComboBox* hours() { return widget<QComboBox>(QStringLiteral("CBHor")); }
    QComboBox* minutes() { return widget<QComboBox>(QStringLiteral("CBMin")); }
    QWidget* panel() { return widget(QStringLiteral("PnlASet")); }
    bool ringing() { return w().alarmClock().isRinging(); }
    void ringTick() { w().alarmClock().Timer3Timer(); }
    QString clockText() {
        return labelText(QStringLiteral("LblDate")) + u' ' + labelText(QStringLiteral("LblHor")) + u':' +
               labelText(QStringLiteral("LblMin"));
    }
};

TEST_F(AlarmClockTest, StartShowsTheGivenTimeAndKeepsItCurrent) {
    now = QDateTime(QDate(2024, 3, 9), QTime(8, 4, 59));
    startClocked();
    EXPECT_EQ(clockText(), QStringLiteral("2024/03/09 08:04"));
    EXPECT_TRUE(w().findChild<QTimer*>(QStringLiteral("Timer2"))->isActive());
    EXPECT_FALSE(ringing());

    tickAt(QDateTime(QDate(2024, 3, 9), QTime(8, 5, 14)));
    EXPECT_EQ(clockText(), QStringLiteral("2024/03/09 08:05"));
    tickAt(QDateTime(QDate(2024, 3, 9), QTime(23, 59, 58)));
    tickAt(QDateTime(QDate(2024, 3, 10), QTime(0, 0, 13)));
    EXPECT_EQ(clockText(), QStringLiteral("2024/03/10 00:00"));
    // Asleep through the next midnight: the first tick after it has today.
    tickAt(QDateTime(QDate(2024, 3, 11), QTime(9, 41, 2)));
    EXPECT_EQ(clockText(), QStringLiteral("2024/03/11 09:41"));
}

// Armed through the panel with the keyboard for the next minute, rung, and
// switched off while the picture is hidden by the blinking.
TEST_F(AlarmClockTest, ArmedForTheNextMinuteRingsAndBlinksUntilSwitchedOff) {
    now = QDateTime(QDate(2024, 3, 9), QTime(7, 29, 40));
    startClocked();
    showActive();

    QTest::mouseClick(alarmSwitch(), Qt::LeftButton);
    ASSERT_TRUE(visible(QStringLiteral("PnlASet")));
    EXPECT_TRUE(hours()->hasFocus());
    hours()->setCurrentIndex(7);
    minutes()->setCurrentIndex(6);
    // Enter walks from the hour to the minute to OK, which it then presses.
    QTest::keyClick(hours(), Qt::Key_Return);
    EXPECT_TRUE(minutes()->hasFocus());
    EXPECT_EQ(hours()->currentIndex(), 7);
    QTest::keyClick(minutes(), Qt::Key_Enter);
    EXPECT_TRUE(widget(QStringLiteral("BitBtn1"))->hasFocus());
    EXPECT_FALSE(w().alarmOn());
    QTest::keyClick(widget(QStringLiteral("BitBtn1")), Qt::Key_Return);

    EXPECT_TRUE(w().alarmOn());
    EXPECT_FALSE(visible(QStringLiteral("PnlASet")));
    EXPECT_TRUE(memo()->hasFocus());
    EXPECT_EQ(alarmSwitch()->toolTip(), QStringLiteral("現在:アラーム機能 ON"));
    EXPECT_EQ(alarmSwitch()->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(labelText(QStringLiteral("LblAl")), QStringLiteral("A"));

    tickAt(QDateTime(QDate(2024, 3, 9), QTime(7, 29, 55)));
    EXPECT_FALSE(ringing());
    tickAt(QDateTime(QDate(2024, 3, 9), QTime(7, 30, 10)));
    ASSERT_TRUE(ringing());

    ringTick();
    EXPECT_EQ(beeps, 1);
    EXPECT_TRUE(picture()->isHidden());
    ringTick();
    EXPECT_EQ(beeps, 2);
    EXPECT_FALSE(picture()->isHidden());
    ringTick();
    ASSERT_TRUE(picture()->isHidden());
    // Ticks later in the same minute start nothing new; it goes on ringing.
    tickAt(QDateTime(QDate(2024, 3, 9), QTime(7, 30, 25)));
    EXPECT_TRUE(ringing());

    // The picture is hidden: the click lands on the switch itself.
    QTest::mouseClick(alarmSwitch(), Qt::LeftButton);
    EXPECT_FALSE(w().alarmOn());
    EXPECT_EQ(alarmSwitch()->toolTip(), QStringLiteral("現在:アラーム機能 OFF"));
    EXPECT_EQ(alarmSwitch()->frameShadow(), QFrame::Raised);
    EXPECT_TRUE(labelText(QStringLiteral("LblAl")).isEmpty());
    EXPECT_FALSE(visible(QStringLiteral("PnlASet")));
    ringTick();
    EXPECT_FALSE(ringing());
    EXPECT_FALSE(picture()->isHidden());
    EXPECT_EQ(beeps, 3);

    // Disarmed: the same time next day stays quiet; the choice is kept.
    tickAt(QDateTime(QDate(2024, 3, 10), QTime(7, 30, 1)));
    EXPECT_FALSE(ringing());
    ASSERT_TRUE(requestClose());
    EXPECT_EQ(setting(ini::kSystem, ini::kPAL).value, QStringLiteral("Raise"));
    EXPECT_EQ(setting(ini::kSystem, ini::kALHor).value, QStringLiteral("7"));
    EXPECT_EQ(setting(ini::kSystem, ini::kALMin).value, QStringLiteral("6"));
}

TEST_F(AlarmClockTest, ClickOnThePictureTogglesThePanelWhileTheAlarmIsOff) {
    startClocked();
    showActive();
    QTest::mouseClick(picture(), Qt::LeftButton);
    EXPECT_TRUE(visible(QStringLiteral("PnlASet")));
    QTest::mouseClick(picture(), Qt::LeftButton);
    EXPECT_FALSE(visible(QStringLiteral("PnlASet")));
    EXPECT_FALSE(w().alarmOn());
    EXPECT_EQ(alarmSwitch()->toolTip(), QStringLiteral("現在：アラーム機能 OFF"));

    // With the alarm on, a click on the picture switches it off.
    QTest::mouseClick(picture(), Qt::LeftButton);
    qobject_cast<QPushButton*>(widget(QStringLiteral("BitBtn1")))->click();
    ASSERT_TRUE(w().alarmOn());
    QTest::mouseClick(picture(), Qt::LeftButton);
    EXPECT_FALSE(w().alarmOn());
    EXPECT_FALSE(visible(QStringLiteral("PnlASet")));
}

struct StoredAlarm {
    const char* name;
    QString pal, hour, minute;
    QDateTime alarmTime;  // the first tick of the minute the entries mean
    bool rings;
    int hourIndex;
    QString hourText, minuteText;  // selected entries
    QString writtenPal, writtenHour;
};
void PrintTo(const StoredAlarm& c, std::ostream* os) { *os << c.name; }

class StoredAlarmTest : public AlarmClockTest, public ::testing::WithParamInterface<StoredAlarm> {};

TEST_P(StoredAlarmTest, RingsAtTheMinuteItsEntriesMeanAndIsWrittenBack) {
    const StoredAlarm& c = GetParam();
    writeSettings({{{ini::kSystem, ini::kPAL, c.pal}},
                   {{ini::kSystem, ini::kALHor, c.hour}},
                   {{ini::kSystem, ini::kALMin, c.minute}}});
    now = c.alarmTime.addSecs(-60);
    startClocked();
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_EQ(hours()->currentIndex(), c.hourIndex);
    EXPECT_EQ(hours()->currentText(), c.hourText);
    EXPECT_EQ(minutes()->currentText(), c.minuteText);
    tickAt(c.alarmTime);
    EXPECT_EQ(ringing(), c.rings);
    ASSERT_TRUE(requestClose());
    EXPECT_EQ(setting(ini::kSystem, ini::kPAL).value, c.writtenPal);
    EXPECT_EQ(setting(ini::kSystem, ini::kALHor).value, c.writtenHour);
    EXPECT_EQ(setting(ini::kSystem, ini::kALMin).value, c.minute);
}

const QDate kDay(2024, 6, 1);

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredAlarmTest,
    ::testing::Values(
        StoredAlarm{"Minute6Is30", "Lower", "7", "6", QDateTime(kDay, QTime(7, 30, 4)), true, 7,
                    QStringLiteral("  7時"), QStringLiteral("30分"), "Lower", "7"},
        StoredAlarm{"Minute11Is55", "Lower", "23", "11", QDateTime(kDay, QTime(23, 55, 9)), true, 23,
                    QStringLiteral("23時"), QStringLiteral("55分"), "Lower", "23"},
        StoredAlarm{"Hour24SelectsNothing", "Lower", "24", "0", QDateTime(kDay.addDays(1), QTime(0, 0, 3)), false,
                    -1, QString(), QStringLiteral("00分"), "Lower", "-1"},
        StoredAlarm{"LowerInAnotherCaseStaysOff", "lower", "7", "6", QDateTime(kDay, QTime(7, 30, 4)), false, 7,
                    QStringLiteral("  7時"), QStringLiteral("30分"), "Raise", "7"}),
    [](const ::testing::TestParamInfo<StoredAlarm>& info) { return info.param.name; });

TEST_F(AlarmClockTest, StartedInsideTheAlarmMinuteRingsFirstTheNextDay) {
    writeSettings({{{ini::kSystem, ini::kPAL, ini::kLower}},
                   {{ini::kSystem, ini::kALHor, QStringLiteral("12")}},
                   {{ini::kSystem, ini::kALMin, QStringLiteral("0")}}});
    now = QDateTime(kDay, QTime(12, 0, 20));
    startClocked();
    EXPECT_TRUE(w().alarmOn());
    EXPECT_EQ(alarmSwitch()->toolTip(), QStringLiteral("現在：アラーム機能 ON"));
    tickAt(QDateTime(kDay, QTime(12, 0, 35)));
    tickAt(QDateTime(kDay, QTime(12, 0, 50)));
    tickAt(QDateTime(kDay, QTime(12, 1, 5)));
    EXPECT_FALSE(ringing());
    tickAt(QDateTime(kDay.addDays(1), QTime(11, 59, 55)));
    EXPECT_FALSE(ringing());
    tickAt(QDateTime(kDay.addDays(1), QTime(12, 0, 10)));
    EXPECT_TRUE(ringing());
}

} // namespace
} // namespace tess::testing
