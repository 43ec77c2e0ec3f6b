#pragma once

#include "schedule/ScheduleParser.h"
#include "schedule/Site.h"

#include <QByteArray>

#include <vector>

namespace wl::schedule {

// What reading a site file gave, as for schedules.
struct ParsedSites
{
    QString failure;
    std::vector<Site> sites;
    std::vector<LineProblem> problems;

    bool refused() const { return !failure.isEmpty(); }
};

// Reads a site table: one site a line, "code;name;latitude;longitude" (or with commas). The
// name may itself hold the separator; the code is the first field and the position the last
// two. Positions are decimal degrees, north and east positive, or with a hemisphere letter
// ("52.5N", "13.4E", "70.2W"). A first line that is a heading is passed over.
class SiteParser
{
public:
    static ParsedSites parse(const QByteArray& bytes);

private:
    static std::optional<double> angle(const QString& text, QChar positive, QChar negative,
                                       double limit);
    static QString readLine(const QString& line, Site& site);
};

} // namespace wl::schedule
