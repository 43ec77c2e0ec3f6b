#pragma once

#include "stats/LogStats.h"

#include <QStringList>

#include <vector>

namespace wl {
class LocaleInfo;
}

namespace wl::stats {

// One line of the figures as a table: the section it belongs to, what is counted, the value.
struct StatsRow
{
    QString section;
    QString item;
    QString value;
};

// The figures as lines of text for the command line, the window's tables and CSV files.
// Numbers and dates are written with the given locale.
class StatsRows
{
public:
    static std::vector<StatsRow> rows(const LogStats& stats, const LocaleInfo& locale);
    // "312 records without a position", or nothing when every record has one.
    static QString withoutPositionText(const LogStats& stats);
    static QString withoutDateText(const LogStats& stats);
    // The label of a distance bin: "500 to 1000 km" or "15000 km and more".
    static QString binLabel(const DistanceBin& bin);
    // "6.0700 MHz DW, Berlin, 932 km" for the farthest and first/last lists.
    static QString describe(const RecordSummary& record, const LocaleInfo& locale, bool withKm);
    // One CSV line, cells holding a comma, a quote or a line break quoted; lines end in CR LF.
    static QString csvLine(const QStringList& cells);
    // A table's header and lines as CSV text.
    static QString csv(const QStringList& header, const std::vector<QStringList>& lines);
};

} // namespace wl::stats
