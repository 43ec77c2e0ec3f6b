#include "app/TableMerge.h"

#include "store/Table.h"

#include <algorithm>
#include <vector>

namespace wl {

namespace {

// Records are handed to the target in batches, which keeps memory low for a large source.
constexpr size_t BatchSize = 500;

std::vector<store::FieldDef> copiedFields(const store::Table& target)
{
    std::vector<store::FieldDef> fields;
    for (const store::FieldDef& def : target.fieldDefs()) {
        if (def.type != store::FieldType::AutoInc)
            fields.push_back(def);
    }
    return fields;
}

// A note is read on its own so that one that cannot be read stops the merge instead of
// arriving empty.
store::Status readValue(store::Table& source, const store::FieldDef& def, QVariant& value)
{
    const auto& defs = source.fieldDefs();
    const bool held = std::any_of(defs.begin(), defs.end(), [&](const store::FieldDef& d) {
        return d.name.compare(def.name, Qt::CaseInsensitive) == 0;
    });
    if (!held) {
        value = QVariant();
        return store::Status::success();
    }
    if (def.type == store::FieldType::Memo)
        return source.readField(source.recNum(), def.name, value);
    value = source.fieldValue(def.name);
    return store::Status::success();
}

} // namespace

store::Status TableMerge::run(store::Table& target, store::Table& source, qint64* added)
{
    qint64 count = 0;
    if (added)
        *added = 0;
    if (store::Status st = target.beginTransaction(); !st)
        return st;
    store::Status st = appendAll(target, source, count);
    if (st)
        st = target.commit();
    if (!st) {
        if (target.inTransaction())
            target.rollback();
        return st;
    }
    if (added)
        *added = count;
    return st;
}

store::Status TableMerge::appendAll(store::Table& target, store::Table& source, qint64& added)
{
    // The source in the order its records were stored, whatever view it was left with.
    if (store::Status st = source.setIndexName(QString()); !st)
        return st;
    if (store::Status st = source.setFiltered(false); !st)
        return st;
    const std::vector<store::FieldDef> fields = copiedFields(target);
    std::vector<std::vector<QVariant>> batch;
    batch.reserve(BatchSize);
    const auto flush = [&] {
        store::Status st = target.bulkAppend(batch);
        if (st)
            added += qint64(batch.size());
        batch.clear();
        return st;
    };
    store::Status st = source.first();
    for (; st && !source.eof(); st = source.next()) {
        std::vector<QVariant> row(fields.size());
        for (size_t f = 0; st && f < fields.size(); ++f)
            st = readValue(source, fields[f], row[f]);
        if (!st)
            break;
        batch.push_back(std::move(row));
        if (batch.size() == BatchSize && !(st = flush()))
            break;
    }
    if (st && !batch.empty())
        st = flush();
    return st;
}

} // namespace wl
