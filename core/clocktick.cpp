#include "clocktick.h"

namespace tess::clocktick {

QString twoDigits(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

QString dateText(const QDate& date) { return date.toString(QStringLiteral("yyyy/MM/dd")); }

Face faceAt(const QDateTime& now) {
    return {twoDigits(now.time().hour()), twoDigits(now.time().minute()), dateText(now.date())};
}

Outcome tick(const Face& shown, const QDateTime& now, const Alarm& alarm) {
    const Face current = faceAt(now);
    Outcome out;
    out.face = current;
    out.newMinute = current != shown;
    if (!out.newMinute) return out;
    const int hour = now.time().hour();
    const int minute = now.time().minute();
    out.startRinging = alarm.on && alarm.hourIndex == hour &&
                       alarm.minuteIndex >= 0 && alarm.minuteIndex * kMinuteStep == minute;
    return out;
}

} // namespace tess::clocktick
