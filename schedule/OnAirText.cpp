#include "schedule/OnAirText.h"

#include "grid/LocaleInfo.h"

#include <cmath>

namespace wl::schedule {

QStringList OnAirText::headings()
{
    return {QStringLiteral("kHz"),     QStringLiteral("UTC"),     QStringLiteral("Days"),
            QStringLiteral("Station"), QStringLiteral("Country"), QStringLiteral("Language"),
            QStringLiteral("Target"),  QStringLiteral("Site"),    QStringLiteral("km"),
            QStringLiteral("Bearing")};
}

QString OnAirText::khzText(double khz, const LocaleInfo& locale)
{
    const double tenths = std::round(khz * 10) / 10;
    return locale.formatFixed(tenths, tenths == std::floor(tenths) ? 0 : 1);
}

QStringList OnAirText::cells(const OnAirHit& hit, const LocaleInfo& locale)
{
    const ScheduleEntry& e = hit.entry;
    QString days = e.days.isEmpty() ? QStringLiteral("daily") : e.days;
    QString site = e.siteCode;
    if (hit.site && !hit.site->name.isEmpty())
        site = hit.site->name;
    return {khzText(e.khz, locale), e.timeText(), days, e.station, e.itu, e.language, e.target,
            site, hit.km ? locale.formatFixed(*hit.km, 0) : QString(),
            // Rounded to whole degrees, 359.6 is north again.
            hit.bearing ? locale.formatFixed(std::fmod(std::round(*hit.bearing), 360), 0)
                        : QString()};
}

} // namespace wl::schedule
