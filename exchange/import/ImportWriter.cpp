#include "exchange/import/ImportWriter.h"

#include "app/RecordDate.h"
#include "store/Table.h"

#include <QHash>
#include <QVariant>

namespace wl {

namespace {

// The position text stays blank; coordinates are stored only when the file gave them.
const QString NoPosition = QString(41, u' ');

QHash<QString, QVariant> valuesOf(const ImportRecord& r, const QString& category)
{
    return {
        {QStringLiteral("category"), category},
        {QStringLiteral("callsign"), r.callsign},
        {QStringLiteral("notes"), r.notes},
        {QStringLiteral("rdate"), RecordDate::fromDateTime(r.rDate)},
        {QStringLiteral("hz"), r.hz},
        {QStringLiteral("modifier"), r.modifier},
        {QStringLiteral("user"), r.user},
        {QStringLiteral("location"), r.location},
        {QStringLiteral("optional"), r.special},
        {QStringLiteral("position"), NoPosition},
        {QStringLiteral("rlat"), r.lat.value_or(0.0)},
        // The table keeps longitudes west positive.
        {QStringLiteral("rlon"), r.lon ? -*r.lon : 0.0},
    };
}

} // namespace

store::Status ImportWriter::append(store::Table& table, const std::vector<ImportRecord>& records,
                                   const QString& category)
{
    // The bulk append takes the values in the table's field order, without the record number.
    std::vector<std::vector<QVariant>> rows;
    rows.reserve(records.size());
    for (const ImportRecord& r : records) {
        const QHash<QString, QVariant> values = valuesOf(r, category);
        std::vector<QVariant>& row = rows.emplace_back();
        for (const store::FieldDef& field : table.fieldDefs()) {
            if (field.type != store::FieldType::AutoInc)
                row.push_back(values.value(field.name.toLower()));
        }
    }
    if (rows.empty())
        return store::Status::success();
    return table.bulkAppend(rows);
}

QStringList ImportWriter::cuts(const store::Table& table, const std::vector<ImportRecord>& records,
                               const QString& category)
{
    QStringList lines;
    for (const ImportRecord& r : records) {
        const QHash<QString, QVariant> values = valuesOf(r, category);
        for (const store::FieldDef& field : table.fieldDefs()) {
            if (field.type != store::FieldType::Text || field.size <= 0)
                continue;
            const QString text = values.value(field.name.toLower()).toString();
            if (text.size() > field.size && !text.sliced(field.size).trimmed().isEmpty()) {
                lines << QStringLiteral("Row %1: %2 \"%3\" was cut to %4 characters.")
                             .arg(r.row)
                             .arg(field.name, text)
                             .arg(field.size);
            }
        }
    }
    return lines;
}

} // namespace wl
