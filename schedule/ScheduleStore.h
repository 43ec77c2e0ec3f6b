#pragma once

#include "schedule/OnAirLookup.h"
#include "schedule/ScheduleEntry.h"
#include "schedule/Season.h"
#include "schedule/Site.h"
#include "store/SqliteDb.h"
#include "store/Status.h"

#include <QDateTime>

#include <optional>
#include <vector>

namespace wl::schedule {

// A season as the store keeps it.
struct StoredSeason
{
    Season season;
    QString source; // the file it was imported from
    QDateTime imported;
    int entries = 0;
};

// The broadcast schedules and the transmitter sites, in their own file "schedules.db" in the
// data folder, apart from the log. Each season is kept whole: an import replaces the season's
// entries in one transaction, so a failed import leaves the earlier ones as they were.
class ScheduleStore
{
public:
    static constexpr const char* FileName = "schedules.db";

    // Opens (creating when missing) the store of a data folder.
    store::Status open(const QString& dataFolder);
    bool isOpen() const { return db_.isOpen(); }

    store::Status replaceSeason(const StoredSeason& season,
                                const std::vector<ScheduleEntry>& entries);
    store::Status replaceSites(const std::vector<Site>& sites);

    std::vector<StoredSeason> seasons() const;
    // The season to use on a date: the one in force, else the latest that began before it,
    // else the earliest kept. None when no season is kept.
    std::optional<StoredSeason> seasonFor(const QDate& date) const;
    std::vector<ScheduleEntry> entries(const QString& seasonCode) const;
    std::vector<Site> sites() const;
    // The look-up over the season to use on a date and the site table; none when no season
    // is kept. season receives the season's code.
    std::optional<OnAirLookup> lookupFor(const QDate& date, std::optional<LLPoint> home,
                                         QString* season = nullptr) const;

private:
    store::Status createSchema();
    store::Status failed(const QString& what);

    store::SqliteDb db_;
};

} // namespace wl::schedule
