#pragma once

#include "bench/support/RowMaker.h"
#include "store/FrequencyRecord.h"
#include "store/Table.h"

#include <QDir>

#include <algorithm>

namespace wl::bench {

// Makes sure a folder holds a frequency table of generated records: an existing table is
// kept, a missing one is built with `records` rows, appended `chunk` at a time in one
// transaction.
inline bool buildTable(const QString& folder, int records, int chunk)
{
    QDir().mkpath(folder);
    store::Table t;
    t.setDatabaseName(folder);
    t.setTableName(store::FrequencyRecord::TableFile);
    if (t.exists())
        return true;
    store::FrequencyRecord::define(t);
    if (!t.createTable() || !t.open() || !t.beginTransaction())
        return false;
    RowMaker maker;
    for (int first = 1; first <= records; first += chunk) {
        const int count = std::min(chunk, records - first + 1);
        std::vector<std::vector<QVariant>> rows;
        rows.reserve(size_t(count));
        for (int i = 0; i < count; ++i)
            rows.push_back(maker.row(first + i));
        if (!t.bulkAppend(rows))
            return false;
    }
    return bool(t.commit());
}

} // namespace wl::bench
