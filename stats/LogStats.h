#pragma once

#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace wl::stats {

// A name and how many records it covers: a category, a band, a year, a month.
struct Count
{
    QString name;
    qint64 count = 0;
};

// One record as the statistics show it.
struct RecordSummary
{
    qint64 recNum = 0;
    double mhz = 0;
    double rdate = 0; // stored days since 30 December 1899
    QString category;
    QString callsign;
    QString location;
    double lat = 0; // North positive
    double lon = 0; // West positive
    double km = 0;  // from home, when known
};

// Records whose distance from home falls in [fromKm, toKm); the last bin has no upper edge.
struct DistanceBin
{
    double fromKm = 0;
    double toKm = 0; // 0 for the open last bin
    qint64 count = 0;
};

// The figures of a log or of the part of it one tab and frequency range show.
struct LogStats
{
    qint64 total = 0;
    qint64 withoutPosition = 0;       // a latitude or longitude of 0 or none
    qint64 withoutDate = 0;           // no date, or one no calendar can show
    std::vector<Count> perCategory;   // most records first, then by name
    std::vector<Count> perBand;       // in band-table order, bands with records only, "Other" last
    std::vector<Count> perYear;       // "2024", oldest first
    std::vector<Count> perMonth;      // "2024-03", oldest first
    std::array<qint64, 24> perHour{}; // by the hour of the logged time
    bool homeKnown = false;
    std::vector<DistanceBin> distances;  // when home is known
    std::vector<RecordSummary> farthest; // at most 20, farthest first, when home is known
    std::optional<RecordSummary> first;  // earliest dated record
    std::optional<RecordSummary> last;   // latest dated record

    bool empty() const { return total == 0; }
};

} // namespace wl::stats
