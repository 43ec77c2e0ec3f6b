#pragma once

#include "schedule/ScheduleEntry.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace wl::schedule {

// A line of a file that could not be read, by its number (the header is line 1).
struct LineProblem
{
    int line = 0;
    QString reason;
};

// What reading a schedule file gave: the file-level failure (empty, not a schedule), or the
// entries with the lines that were malformed and how many lines repeated an earlier one.
struct ParsedSchedule
{
    QString failure;
    std::vector<ScheduleEntry> entries;
    std::vector<LineProblem> problems;
    int duplicates = 0;

    bool refused() const { return !failure.isEmpty(); }
};

// Reads the semicolon-separated schedule format: a header line starting "kHz:", then one
// transmission a line: kHz; Time(UTC) "hhmm-hhmm"; Days; ITU; Station; Lng; Target; Remarks;
// P; Start; Stop.
class ScheduleParser
{
public:
    static constexpr int FieldCount = 11;

    static ParsedSchedule parse(const QByteArray& bytes);
    // The site code a remarks text names with a leading "#" or "/" ("#ISS", "/SNG"), or empty.
    static QString siteCodeOf(const QString& remarks);

private:
    static bool isHeader(const QString& line);
    // Fills entry from one line; the reason it is malformed otherwise.
    static QString readLine(const QStringList& fields, ScheduleEntry& entry);
};

} // namespace wl::schedule
