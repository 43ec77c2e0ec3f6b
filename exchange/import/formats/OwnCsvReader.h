#pragma once

#include "exchange/import/formats/ImportFormats.h"
#include "grid/LocaleInfo.h"

#include <QStringList>

#include <optional>
#include <utility>

namespace wl {

// The program's own CSV export of the record list: a heading row with the list's column
// captions (Category, Frequency(MHz), +-, Callsign, User, Location, Special, Position,
// Date/Time, Notes), then one record a line, numbers and dates in the locale's formats. Columns
// are found by their heading, so a file whose columns were moved or partly left out still
// reads. Each record keeps the category of its row; the position comes from decimal Latitude
// and Longitude columns when the file has them, otherwise from the position text.
class OwnCsvReader
{
public:
    // True when the first row is such a heading row.
    static bool recognises(const QStringList& headingRow);
    static FormatImport read(const QByteArray& bytes, const LocaleInfo& locale, const QDate& today);
    // "45 38N 122 41W" as (latitude, longitude), north and east positive; nothing for a text
    // that is not in that form or out of range.
    static std::optional<std::pair<double, double>> readPositionText(const QString& text);
};

} // namespace wl
