#pragma once

#include <QDateTime>

#include <optional>

namespace wl {

// The stored date-time of a record: days since 30 December 1899, the fraction being the time of
// day. For values before that day the whole part gives the date and the fraction, whatever its
// sign, the time after midnight of that date.
class RecordDate
{
public:
    // The date and time a stored value stands for, to the millisecond; nothing for values
    // outside the years 1 to 9999 (they cannot be shown with a four-digit year).
    static std::optional<QDateTime> toDateTime(double days);
    // The same as the date's Julian day and the milliseconds after its midnight, without
    // making a QDateTime: a long list turns a date for every record.
    struct DayAndTime
    {
        qint64 julianDay;
        int msecs;
    };
    static std::optional<DayAndTime> split(double days);
    // The stored value of a date and time (its time zone is ignored).
    static double fromDateTime(const QDateTime& value);
};

} // namespace wl
