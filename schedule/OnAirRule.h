#pragma once

#include <QDateTime>

namespace wl::schedule {

struct ScheduleEntry;

// When a transmission is on the air. Its days and dates are those of the day it starts on, so
// "2300-0100" on Mondays is still on the air at 00:30 on Tuesday and not at 00:30 on Monday.
class OnAirRule
{
public:
    // moment is taken in UTC; the stop minute itself is already off the air.
    static bool onAir(const ScheduleEntry& entry, const QDateTime& moment);
};

} // namespace wl::schedule
