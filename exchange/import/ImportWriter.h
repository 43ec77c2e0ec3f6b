#pragma once

#include "exchange/import/ImportRecordBuilder.h"
#include "store/Status.h"

#include <QStringList>

#include <vector>

namespace wl {

namespace store {
class Table;
}

// Appends imported records to the frequency table under one category, all in one write: when
// the table fails on any record, none of them stays.
class ImportWriter
{
public:
    static store::Status append(store::Table& table, const std::vector<ImportRecord>& records,
                                const QString& category);
    // The texts longer than their fields, which the table stores cut: one line per text, in
    // row order, so the import can say so instead of shortening them silently.
    static QStringList cuts(const store::Table& table, const std::vector<ImportRecord>& records,
                            const QString& category);
};

} // namespace wl
