#pragma once

#include <QString>

#include <cstdint>

namespace wl::schedule {

// Day bits of a transmission: bit 0 Monday ... bit 6 Sunday.
inline constexpr std::uint8_t EveryDay = 0x7f;

// One transmission of a broadcast schedule: a frequency, a daily time span in UTC, the days it
// starts on, who sends it where, and the dates between which it runs.
struct ScheduleEntry
{
    double khz = 0;
    int startMinute = 0; // minutes after 00:00 UTC
    int stopMinute = 0;  // 1 to 1440; below startMinute when the span crosses midnight
    std::uint8_t dayMask = EveryDay;
    bool irregular = false; // the days are not a fixed pattern ("irr", "alt", ...)
    QString days;           // the days as the file writes them
    QString itu;
    QString station;
    QString language;
    QString target;
    QString remarks;
    QString siteCode; // empty when the remarks name no site
    QString persistence;
    QString startDate; // as written: empty, MMDD, YYMMDD or YYYYMMDD
    QString stopDate;
    int line = 0; // the line of the file it came from

    // Minutes the transmission lasts (a span across midnight ends the next day).
    int lengthMinutes() const
    {
        return stopMinute > startMinute ? stopMinute - startMinute
                                        : stopMinute + 1440 - startMinute;
    }
    // "2300-0100"
    QString timeText() const;

    friend bool operator==(const ScheduleEntry&, const ScheduleEntry&) = default;
};

} // namespace wl::schedule
