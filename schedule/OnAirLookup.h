#pragma once

#include "globe/LLPoint.h"
#include "schedule/ScheduleEntry.h"
#include "schedule/Site.h"

#include <QDateTime>
#include <QHash>

#include <optional>
#include <vector>

namespace wl::schedule {

// One transmission found on the air, with what its site tells about it.
struct OnAirHit
{
    ScheduleEntry entry;
    double offsetKhz = 0;          // entry frequency minus the frequency asked for
    std::optional<Site> site;      // none when the site code is unknown or missing
    std::optional<double> km;      // distance from home, when both positions are known
    std::optional<double> bearing; // initial course from home, degrees clockwise from north
};

// Finds the transmissions on the air at a moment, from one season's entries, the site table
// and the listener's home. Entries are kept sorted by frequency, so a look-up reads only the
// entries within the tolerance.
class OnAirLookup
{
public:
    // The default tolerance: +/-5 kHz below 30 MHz, where broadcast channels lie 5 kHz apart;
    // above, +/-12.5 kHz.
    static double defaultToleranceKhz(double khz) { return khz < 30000 ? 5 : 12.5; }

    OnAirLookup(std::vector<ScheduleEntry> entries, const std::vector<Site>& sites,
                std::optional<LLPoint> home);

    // The entries within khz +/- tolerance on the air at the moment, best first: those with
    // fixed days before irregular ones, then the nearest site (unknown distances last), then
    // the closest frequency.
    std::vector<OnAirHit> find(double khz, double toleranceKhz, const QDateTime& moment) const;
    // Every entry from lowKhz to highKhz on the air at the moment, by frequency.
    std::vector<OnAirHit> band(double lowKhz, double highKhz, const QDateTime& moment) const;

    const std::vector<ScheduleEntry>& entries() const { return entries_; }
    std::optional<LLPoint> home() const { return home_; }
    // The position of a site in globe units.
    static LLPoint pointOf(const Site& site);

private:
    OnAirHit hit(const ScheduleEntry& entry, double khz) const;

    std::vector<ScheduleEntry> entries_;
    QHash<QString, Site> sites_; // by upper-case code
    std::optional<LLPoint> home_;
};

} // namespace wl::schedule
