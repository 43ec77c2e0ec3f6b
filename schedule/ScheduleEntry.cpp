#include "schedule/ScheduleEntry.h"

namespace wl::schedule {

namespace {

QString hhmm(int minute)
{
    return QStringLiteral("%1%2")
        .arg(minute / 60, 2, 10, QLatin1Char('0'))
        .arg(minute % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

QString ScheduleEntry::timeText() const
{
    return hhmm(startMinute) + QLatin1Char('-') + hhmm(stopMinute);
}

} // namespace wl::schedule
