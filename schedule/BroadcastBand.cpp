#include "schedule/BroadcastBand.h"

#include <cmath>

namespace wl::schedule {

const std::vector<BroadcastBand>& BroadcastBand::all()
{
    static const std::vector<BroadcastBand> bands{
        {QStringLiteral("LW"), 148, 283},       {QStringLiteral("MW"), 520, 1710},
        {QStringLiteral("120 m"), 2300, 2500},  {QStringLiteral("90 m"), 3200, 3400},
        {QStringLiteral("75 m"), 3900, 4000},   {QStringLiteral("60 m"), 4750, 5060},
        {QStringLiteral("49 m"), 5900, 6200},   {QStringLiteral("41 m"), 7200, 7450},
        {QStringLiteral("31 m"), 9400, 9900},   {QStringLiteral("25 m"), 11600, 12100},
        {QStringLiteral("22 m"), 13570, 13870}, {QStringLiteral("19 m"), 15100, 15800},
        {QStringLiteral("16 m"), 17480, 17900}, {QStringLiteral("15 m"), 18900, 19020},
        {QStringLiteral("13 m"), 21450, 21850}, {QStringLiteral("11 m"), 25670, 26100},
    };
    return bands;
}

const BroadcastBand& BroadcastBand::around(double khz)
{
    const BroadcastBand* best = &all().front();
    double bestGap = INFINITY;
    for (const BroadcastBand& band : all()) {
        const double gap =
            khz < band.lowKhz ? band.lowKhz - khz : (khz > band.highKhz ? khz - band.highKhz : 0);
        if (gap < bestGap) {
            bestGap = gap;
            best = &band;
        }
    }
    return *best;
}

} // namespace wl::schedule
