#include "exchange/import/ImportRecordBuilder.h"

#include "exchange/import/ImportColumns.h"
#include "exchange/import/ImportMessages.h"

#include <cmath>
#include <utility>

namespace wl {

namespace {

QString cellOf(const QStringList& cells, int col)
{
    return col < cells.size() ? cells[col].trimmed() : QString();
}

// A multiplier such as 0.001 leaves binary noise in the product (7100 kHz becoming
// 7.1000000000000005 MHz); a millihertz is far below anything a receiver tunes, so the product
// is rounded to it and equal frequencies are stored as equal values.
double toMillihertz(double mhz)
{
    constexpr double PerMHz = 1e9;
    if (std::fabs(mhz) >= 1e9)
        return mhz;
    return std::round(mhz * PerMHz) / PerMHz;
}

} // namespace

ImportRecordBuilder::ImportRecordBuilder(LocaleInfo locale, double multiplier, QDate today)
    : locale_(std::move(locale)), multiplier_(multiplier), today_(today)
{
}

std::optional<double> ImportRecordBuilder::readMultiplier(const QString& text,
                                                          const LocaleInfo& locale)
{
    const std::optional<double> value = locale.parseNumber(text);
    if (!value || !std::isfinite(*value) || *value <= 0)
        return std::nullopt;
    return value;
}

ImportBatch ImportRecordBuilder::build(const std::vector<QStringList>& rows, int firstRow) const
{
    ImportBatch batch;
    batch.records.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (isBlank(rows[i])) {
            ++batch.blankRows;
            continue;
        }
        if (auto made = record(rows[i], firstRow + int(i), batch.problems))
            batch.records.push_back(std::move(*made));
    }
    return batch;
}

bool ImportRecordBuilder::isBlank(const QStringList& cells)
{
    for (const QString& cell : cells) {
        if (!cell.trimmed().isEmpty())
            return false;
    }
    return true;
}

std::optional<ImportRecord> ImportRecordBuilder::record(const QStringList& cells, int row,
                                                        QStringList& problems) const
{
    namespace C = ImportColumns;
    const qsizetype problemsBefore = problems.size();
    ImportRecord r;
    r.row = row;

    const QString frequency = cellOf(cells, C::Frequency);
    const std::optional<double> mhz = locale_.parseNumber(frequency);
    if (frequency.isEmpty())
        problems << QStringLiteral("Row %1: the frequency is missing.").arg(row);
    else if (!mhz)
        problems << QStringLiteral("Row %1: the frequency \"%2\" is not a number.")
                        .arg(row)
                        .arg(ImportMessages::Quoted(frequency));
    else if (!std::isfinite(*mhz * multiplier_))
        problems << QStringLiteral("Row %1: the frequency \"%2\" is too large.")
                        .arg(row)
                        .arg(ImportMessages::Quoted(frequency));
    else
        r.hz = toMillihertz(*mhz * multiplier_);

    const QString modifier = cellOf(cells, C::Modifier);
    r.modifier = modifier.isEmpty() ? QStringLiteral(" ") : modifier.left(1);
    r.callsign = cellOf(cells, C::Callsign);
    r.user = cellOf(cells, C::User);
    r.location = cellOf(cells, C::Location);
    r.special = cellOf(cells, C::Special);
    r.notes = cellOf(cells, C::Notes);

    const QString dateText = cellOf(cells, C::DateTime);
    if (const std::optional<QDateTime> when = date(dateText))
        r.rDate = *when;
    else
        problems << QStringLiteral("Row %1: \"%2\" is not a date.")
                        .arg(row)
                        .arg(ImportMessages::Quoted(dateText));

    if (problems.size() != problemsBefore)
        return std::nullopt;
    return r;
}

std::optional<QDateTime> ImportRecordBuilder::date(const QString& text) const
{
    if (text.isEmpty())
        return QDateTime(today_, QTime(0, 0), Qt::UTC);
    // A time alone is taken as a time of today, not of the table's zero date.
    if (const std::optional<QTime> time = locale_.parseTime(text))
        return QDateTime(today_, *time, Qt::UTC);
    return locale_.parseDateTime(text);
}

} // namespace wl
