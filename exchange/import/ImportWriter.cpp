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

namespace {

// The values of records in the table's field order, without the record number.
class RowFiller
{
public:
    explicit RowFiller(const store::Table& table)
    {
        for (const store::FieldDef& field : table.fieldDefs()) {
            if (field.type != store::FieldType::AutoInc)
                names_ << field.name.toLower();
        }
    }
    std::vector<QVariant> row(const ImportRecord& r, const QString& category) const
    {
        const QHash<QString, QVariant> values = valuesOf(r, category);
        std::vector<QVariant> row;
        row.reserve(std::size_t(names_.size()));
        for (const QString& name : names_)
            row.push_back(values.value(name));
        return row;
    }

private:
    QStringList names_;
};

} // namespace

ImportWriter::Outcome ImportWriter::append(store::Table& table,
                                           const std::vector<ImportRecord>& records,
                                           const QString& category, const Progress& progress)
{
    if (records.empty())
        return {store::Status::success()};
    const bool ownTransaction = !table.inTransaction();
    if (ownTransaction) {
        if (store::Status st = table.beginTransaction(); !st)
            return {st};
    }
    const auto undo = [&](Outcome outcome) {
        if (ownTransaction)
            table.rollback();
        return outcome;
    };
    const RowFiller filler(table);
    std::vector<std::vector<QVariant>> rows;
    for (std::size_t first = 0; first < records.size(); first += ChunkSize) {
        const std::size_t last = std::min(records.size(), first + ChunkSize);
        rows.clear();
        rows.reserve(last - first);
        for (std::size_t i = first; i < last; ++i)
            rows.push_back(filler.row(records[i], category));
        if (store::Status st = table.bulkAppend(rows); !st)
            return undo({st});
        if (progress && !progress(int(last)))
            return undo({store::Status::failure(QStringLiteral("The import was stopped.")), true});
    }
    if (ownTransaction) {
        if (store::Status st = table.commit(); !st)
            return undo({st});
    }
    return {store::Status::success()};
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
