#include "schedule/OnAirRule.h"

#include "schedule/DateMark.h"
#include "schedule/ScheduleEntry.h"

namespace wl::schedule {

bool OnAirRule::onAir(const ScheduleEntry& entry, const QDateTime& moment)
{
    const QDateTime utc = moment.toUTC();
    const int minute = utc.time().hour() * 60 + utc.time().minute();
    const int sinceStart = (minute - entry.startMinute + 1440) % 1440;
    if (sinceStart >= entry.lengthMinutes())
        return false;
    const QDate startDay = sinceStart > minute ? utc.date().addDays(-1) : utc.date();
    if (!(entry.dayMask & (1u << (startDay.dayOfWeek() - 1))))
        return false;
    // The dates were checked when the file was read; a mark that does not parse is no limit.
    const DateMark start = DateMark::parse(entry.startDate).value_or(DateMark{});
    const DateMark stop = DateMark::parse(entry.stopDate).value_or(DateMark{});
    return DateMark::inForce(startDay, start, stop);
}

} // namespace wl::schedule
