#pragma once

#include "store/Status.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

namespace wl {

namespace store {
class Table;
}

// One record of the log as the exports to other programs see it: positions in degrees, north
// and east positive (the table itself keeps longitudes west positive).
struct LoggedRecord
{
    int recNum = 0;
    double mhz = 0;
    QString modifier;
    QString category;
    QString callsign;
    QString user;
    QString location;
    QString special;
    QString notes;
    QDateTime rDate;
    std::optional<double> lat;
    std::optional<double> lon;

    bool hasPosition() const { return lat.has_value() && lon.has_value(); }
};

class LoggedRecords
{
public:
    // The records of the table's current range and filter, in its current order.
    static store::Status read(store::Table& table, std::vector<LoggedRecord>& records);
    // The records of these numbers, in this order, regardless of the table's range and filter.
    static store::Status read(store::Table& table, const std::vector<qint64>& recNums,
                              std::vector<LoggedRecord>& records);
};

} // namespace wl
