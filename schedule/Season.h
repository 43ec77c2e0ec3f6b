#pragma once

#include <QDate>
#include <QString>

#include <optional>

namespace wl::schedule {

// A broadcast season: "A24" runs from the last Sunday of March 2024 to the last Sunday of
// October 2024, "B24" from there to the last Sunday of March 2025.
struct Season
{
    QString code;
    QDate first; // the first day
    QDate end;   // the first day of the next season

    bool contains(const QDate& date) const { return date >= first && date < end; }

    // "A24", "b24" or "A2024"; none for anything else.
    static std::optional<Season> fromCode(const QString& code);
    // The season code a file name carries ("A24.TXT", "sked-b24.csv"), if any.
    static std::optional<Season> fromFileName(const QString& fileName);
    // The season in force on a date.
    static Season of(const QDate& date);
};

} // namespace wl::schedule
