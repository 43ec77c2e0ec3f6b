#include "exchange/import/ImportWriter.h"

#include "app/RecordDate.h"
#include "store/PositionText.h"
#include "store/Table.h"

#include <QVariant>

#include <iterator>

namespace wl {

namespace {

// A record without both coordinates keeps a blank position text.
const QString NoPosition = QString(41, u' ');

// The table's fields an import fills, in the order valueOf takes them.
const char* const Filled[] = {"category", "callsign", "notes",    "rdate",    "hz",   "modifier",
                              "user",     "location", "optional", "position", "rlat", "rlon"};

QVariant valueOf(const ImportRecord& r, const QString& category, int index)
{
    switch (index) {
    case 0:
        return category;
    case 1:
        return r.callsign;
    case 2:
        return r.notes;
    case 3:
        return RecordDate::fromDateTime(r.rDate);
    case 4:
        return r.hz;
    case 5:
        return r.modifier;
    case 6:
        return r.user;
    case 7:
        return r.location;
    case 8:
        return r.special;
    case 9:
        // The grid shows the position text, so a file's coordinates are written there too.
        return r.lat && r.lon ? store::positionText(*r.lat, -*r.lon) : NoPosition;
    case 10:
        return r.lat.value_or(0.0);
    case 11:
        // The table keeps longitudes west positive.
        return r.lon ? -*r.lon : 0.0;
    default:
        return {};
    }
}

// The place in Filled of each field of the table, -1 for a field the import leaves null. Found
// once per import: a million records would otherwise look every name up a million times.
struct FieldSlot
{
    const store::FieldDef* field;
    int index;
};

std::vector<FieldSlot> slotsOf(const store::Table& table)
{
    std::vector<FieldSlot> found;
    for (const store::FieldDef& field : table.fieldDefs()) {
        int index = -1;
        for (int i = 0; i < int(std::size(Filled)); ++i) {
            if (field.name.compare(QLatin1String(Filled[i]), Qt::CaseInsensitive) == 0)
                index = i;
        }
        found.push_back({&field, index});
    }
    return found;
}

// The values of records in the table's field order, without the record number.
class RowFiller
{
public:
    explicit RowFiller(const store::Table& table)
    {
        for (const FieldSlot& slot : slotsOf(table)) {
            if (slot.field->type != store::FieldType::AutoInc)
                indexes_.push_back(slot.index);
        }
    }
    std::vector<QVariant> row(const ImportRecord& r, const QString& category) const
    {
        std::vector<QVariant> row;
        row.reserve(indexes_.size());
        for (int index : indexes_)
            row.push_back(valueOf(r, category, index));
        return row;
    }

private:
    std::vector<int> indexes_;
};

} // namespace

ImportWriter::Outcome ImportWriter::appendFeed(store::Table& table, const Feed& feed,
                                               const QString& category, const Progress& progress,
                                               QStringList* cuts)
{
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
    std::vector<ImportRecord> chunk;
    std::vector<std::vector<QVariant>> rows;
    int written = 0;
    for (FeedState state = FeedState::More; state == FeedState::More;) {
        chunk.clear();
        state = feed(chunk, ChunkSize);
        if (state == FeedState::Refused)
            return undo({store::Status::failure(QStringLiteral("Some rows cannot be stored.")),
                         false, true});
        if (chunk.empty())
            continue;
        rows.clear();
        rows.reserve(chunk.size());
        for (const ImportRecord& r : chunk)
            rows.push_back(filler.row(r, category));
        if (store::Status st = table.bulkAppend(rows); !st)
            return undo({st});
        if (cuts)
            *cuts += ImportWriter::cuts(table, chunk, category);
        written += int(chunk.size());
        if (progress && !progress(written))
            return undo({store::Status::failure(QStringLiteral("The import was stopped.")), true});
    }
    if (ownTransaction) {
        if (store::Status st = table.commit(); !st)
            return undo({st});
    }
    return {store::Status::success(), false, false, written};
}

ImportWriter::Outcome ImportWriter::appendWithProgress(store::Table& table,
                                                       const std::vector<ImportRecord>& records,
                                                       const QString& category,
                                                       const Progress& progress)
{
    if (records.empty())
        return {store::Status::success()};
    std::size_t next = 0;
    const Feed fromVector = [&](std::vector<ImportRecord>& chunk, std::size_t room) {
        const std::size_t last = std::min(records.size(), next + room);
        chunk.assign(records.begin() + std::ptrdiff_t(next),
                     records.begin() + std::ptrdiff_t(last));
        next = last;
        return next < records.size() ? FeedState::More : FeedState::Done;
    };
    return appendFeed(table, fromVector, category, progress);
}

QStringList ImportWriter::cuts(const store::Table& table, const std::vector<ImportRecord>& records,
                               const QString& category)
{
    std::vector<FieldSlot> texts;
    for (const FieldSlot& slot : slotsOf(table)) {
        if (slot.field->type == store::FieldType::Text && slot.field->size > 0)
            texts.push_back(slot);
    }
    QStringList lines;
    for (const ImportRecord& r : records) {
        for (const FieldSlot& slot : texts) {
            const int size = slot.field->size;
            const QString text = valueOf(r, category, slot.index).toString();
            if (text.size() > size && !QStringView(text).sliced(size).trimmed().isEmpty()) {
                lines << QStringLiteral("Row %1: %2 \"%3\" was cut to %4 characters.")
                             .arg(r.row)
                             .arg(slot.field->name, text)
                             .arg(size);
            }
        }
    }
    return lines;
}

} // namespace wl
