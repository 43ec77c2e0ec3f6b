#pragma once

#include "schedule/OnAirLookup.h"

#include <QStringList>

#include <optional>

namespace wl {
class LocaleInfo;
}

namespace wl::schedule {

// The columns of an on-air list as the window and the command line show them.
class OnAirText
{
public:
    static QStringList headings();
    // kHz, UTC time, days, station, country, language, target, site, km, course; numbers with
    // the given conventions, empty cells where the site or home is unknown.
    static QStringList cells(const OnAirHit& hit, const LocaleInfo& locale);
    // A frequency as a listener types it: below 100 it is MHz (6.07), else kHz (6070).
    static double toKhz(double typed) { return typed < 100 ? typed * 1000 : typed; }
    // "6070" or "5005.5": kHz without needless decimals.
    static QString khzText(double khz, const LocaleInfo& locale);
};

} // namespace wl::schedule
