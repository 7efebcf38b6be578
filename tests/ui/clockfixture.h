#pragma once
// A main window whose status-bar clock reads `now` and counts its beeps: the
// test turns the clock and calls the ticks itself, nothing waits.

#include "mainwindowfixture.h"

#include "mainwindow/alarmclock.h"

namespace tess::testing {

class ClockedMainWindowTest : public MainWindowTest {
protected:
    TfrmTSMain& startClocked() {
        window.reset();
        ClockHooks hooks{[this] { return now; }, [this] { ++beeps; }};
        window = std::make_unique<TfrmTSMain>(prompter, folder, PathStyle::posix(), nullptr,
                                              QStringLiteral("tessarine.ini"), std::move(hooks));
        return *window;
    }
    // A clock tick at `t`.
    void tickAt(const QDateTime& t) {
        now = t;
        window->alarmClock().Timer2Timer();
    }

    QDateTime now = QDateTime(QDate(2024, 6, 1), QTime(9, 0));
    int beeps = 0;
};

} // namespace tess::testing
