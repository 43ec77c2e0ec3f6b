#pragma once

#include "stats/LogStats.h"
#include "stats/StatsQuery.h"
#include "store/Status.h"

namespace wl::store {
class Table;
}

namespace wl::stats {

// Counts a frequency log: one sequential read of the few fields the figures need, in record
// order, so a million records take a fraction of a second and the grid is never walked.
// Records without a position or a date are counted apart, never dropped.
class StatsEngine
{
public:
    static constexpr int FarthestCount = 20;

    // The figures of the records the query covers on an open frequency table; the table's
    // filter, when one is on, applies as well. The cursor does not move.
    static store::Status compute(store::Table& table, const StatsQuery& query, LogStats& out);

    // Great-circle distance in kilometres between two positions in degrees (North and West
    // positive), as the map measures it from home.
    static double distanceKm(double lat1, double lon1, double lat2, double lon2);
    // The lower edges of the distance bins in kilometres; the last bin is open.
    static const std::vector<double>& binEdges();
};

} // namespace wl::stats
