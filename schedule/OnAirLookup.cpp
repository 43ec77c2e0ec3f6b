#include "schedule/OnAirLookup.h"

#include "globe/Geodesy.h"
#include "schedule/OnAirRule.h"

#include <algorithm>
#include <cmath>

namespace wl::schedule {

namespace {

// One arc minute of the globe's sphere is one nautical mile.
constexpr double KmPerGU = 1.852 / GUPerMinute;

template <typename Visit>
void eachIn(const std::vector<ScheduleEntry>& entries, double low, double high, Visit visit)
{
    auto it = std::lower_bound(entries.begin(), entries.end(), low,
                               [](const ScheduleEntry& e, double khz) { return e.khz < khz; });
    for (; it != entries.end() && it->khz <= high; ++it)
        visit(*it);
}

} // namespace

OnAirLookup::OnAirLookup(std::vector<ScheduleEntry> entries, const std::vector<Site>& sites,
                         std::optional<LLPoint> home)
    : entries_(std::move(entries)), home_(home)
{
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const ScheduleEntry& a, const ScheduleEntry& b) { return a.khz < b.khz; });
    for (const Site& site : sites)
        sites_.insert(site.code.toUpper(), site);
}

LLPoint OnAirLookup::pointOf(const Site& site)
{
    return makeLLPoint(std::int32_t(std::lround(site.lon * GUPerDegree)),
                       std::int32_t(std::lround(site.lat * GUPerDegree)));
}

OnAirHit OnAirLookup::hit(const ScheduleEntry& entry, double khz) const
{
    OnAirHit h;
    h.entry = entry;
    h.offsetKhz = entry.khz - khz;
    const auto site = sites_.constFind(entry.siteCode.toUpper());
    if (entry.siteCode.isEmpty() || site == sites_.cend())
        return h;
    h.site = *site;
    if (home_) {
        const LLPoint there = pointOf(*site);
        h.km = llDistance(*home_, there) * KmPerGU;
        // The globe measures courses toward the west; a compass counts toward the east.
        double course = -llBearing(*home_, there) / double(GUPerDegree);
        if (course < 0)
            course += 360;
        h.bearing = course;
    }
    return h;
}

std::vector<OnAirHit> OnAirLookup::find(double khz, double toleranceKhz,
                                        const QDateTime& moment) const
{
    // A hair of slack so that 6065 is within 5 kHz of 6070 whatever the binary rounding.
    const double slack = 1e-6;
    std::vector<OnAirHit> hits;
    eachIn(entries_, khz - toleranceKhz - slack, khz + toleranceKhz + slack,
           [&](const ScheduleEntry& e) {
               if (OnAirRule::onAir(e, moment))
                   hits.push_back(hit(e, khz));
           });
    std::stable_sort(hits.begin(), hits.end(), [](const OnAirHit& a, const OnAirHit& b) {
        if (a.entry.irregular != b.entry.irregular)
            return !a.entry.irregular;
        if (a.km.has_value() != b.km.has_value())
            return a.km.has_value();
        if (a.km && *a.km != *b.km)
            return *a.km < *b.km;
        return std::abs(a.offsetKhz) < std::abs(b.offsetKhz);
    });
    return hits;
}

std::vector<OnAirHit> OnAirLookup::band(double lowKhz, double highKhz,
                                        const QDateTime& moment) const
{
    std::vector<OnAirHit> hits;
    eachIn(entries_, lowKhz, highKhz, [&](const ScheduleEntry& e) {
        if (OnAirRule::onAir(e, moment))
            hits.push_back(hit(e, e.khz));
    });
    return hits;
}

} // namespace wl::schedule
