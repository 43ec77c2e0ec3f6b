#pragma once

#include <QString>

#include <optional>

namespace wl::stats {

// Which records the statistics cover and where home is.
struct StatsQuery
{
    std::optional<QString> category; // all categories when unset
    std::optional<double> lowMHz;    // inclusive
    std::optional<double> highMHz;   // inclusive
    bool homeKnown = false;
    double homeLat = 0; // North positive
    double homeLon = 0; // West positive

    bool covers(double mhz) const
    {
        return (!lowMHz || mhz >= *lowMHz) && (!highMHz || mhz <= *highMHz);
    }
};

} // namespace wl::stats
