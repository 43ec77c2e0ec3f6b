#include "exchange/import/ImportWriter.h"

#include "app/RecordDate.h"
#include "store/Table.h"

#include <QHash>
#include <QVariant>

namespace wl {

namespace {

// A record without coordinates: a blank position text and no latitude or longitude.
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
        {QStringLiteral("rlat"), 0.0},
        {QStringLiteral("rlon"), 0.0},
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

} // namespace wl
