#include "app/RecordDate.h"

#include <cmath>

namespace wl {

namespace {

constexpr qint64 MsecsPerDay = 86'400'000;

QDate zeroDate()
{
    return QDate(1899, 12, 30);
}

} // namespace

std::optional<RecordDate::DayAndTime> RecordDate::split(double days)
{
    static const double first = double(zeroDate().daysTo(QDate(1, 1, 1)));
    static const double pastLast = double(zeroDate().daysTo(QDate(10000, 1, 1)));
    if (!std::isfinite(days) || days <= first - 1 || days >= pastLast)
        return std::nullopt;
    const double whole = std::trunc(days);
    qint64 day = qint64(whole);
    qint64 msecs = std::llround(std::fabs(days - whole) * double(MsecsPerDay));
    // A fraction a hair below one rounds to the next midnight.
    if (msecs >= MsecsPerDay) {
        msecs -= MsecsPerDay;
        ++day;
    }
    if (double(day) >= pastLast)
        return std::nullopt;
    return DayAndTime{zeroDate().toJulianDay() + day, int(msecs)};
}

std::optional<QDateTime> RecordDate::toDateTime(double days)
{
    const std::optional<DayAndTime> parts = split(days);
    if (!parts)
        return std::nullopt;
    return QDateTime(QDate::fromJulianDay(parts->julianDay),
                     QTime::fromMSecsSinceStartOfDay(parts->msecs), Qt::UTC);
}

double RecordDate::fromDateTime(const QDateTime& value)
{
    const double day = double(zeroDate().daysTo(value.date()));
    const double fraction = double(value.time().msecsSinceStartOfDay()) / double(MsecsPerDay);
    return day < 0 ? day - fraction : day + fraction;
}

} // namespace wl
