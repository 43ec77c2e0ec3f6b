#pragma once

#include <QDate>
#include <QString>

#include <optional>

namespace wl::schedule {

// A start or stop date of a schedule line: "MMDD" recurs every year, "YYMMDD" and "YYYYMMDD"
// name one day; empty means no limit.
struct DateMark
{
    int year = 0; // 0: every year
    int month = 0;
    int day = 0;

    bool isEmpty() const { return month == 0; }
    static std::optional<DateMark> parse(const QString& text);

    // Whether date lies between start and stop, both included. Two yearless marks with the
    // start after the stop run over the new year ("1101"-"0331").
    static bool inForce(const QDate& date, const DateMark& start, const DateMark& stop);
};

} // namespace wl::schedule
