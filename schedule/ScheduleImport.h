#pragma once

#include "schedule/ScheduleParser.h"

#include <QDate>
#include <QString>

#include <vector>

namespace wl::schedule {

class ScheduleStore;

// What to do with malformed lines: refuse the whole file (nothing changes), or store the
// readable lines and report the others.
enum class BadLines
{
    Refuse,
    Skip
};

// The outcome of an import, for the window and the command line alike.
struct ImportReport
{
    bool ok = false;
    QString failure;                   // why nothing was stored
    QString season;                    // the season stored
    int stored = 0;                    // entries or sites stored
    int duplicates = 0;                // repeated lines left out
    std::vector<LineProblem> problems; // malformed lines, refused or skipped

    // "line 7: the time "2500-0100" is not hhmm-hhmm", one a line, at most limit lines.
    QString problemText(int limit = 20) const;
};

// Reads a schedule or site file into the store.
class ScheduleImport
{
public:
    // The season is the one named by seasonCode, else the one the file name carries ("B24"),
    // else the one in force today. An import of a season replaces the season kept before.
    static ImportReport schedule(ScheduleStore& store, const QString& fileName, BadLines policy,
                                 const QString& seasonCode, const QDate& today);
    // Replaces the whole site table.
    static ImportReport sites(ScheduleStore& store, const QString& fileName, BadLines policy);

private:
    static bool read(const QString& fileName, QByteArray& bytes, ImportReport& report);
    static bool refuseBadLines(BadLines policy, ImportReport& report);
};

} // namespace wl::schedule
