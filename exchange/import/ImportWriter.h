#pragma once

#include "exchange/import/ImportRecordBuilder.h"
#include "store/Status.h"

#include <QStringList>

#include <functional>
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
    // Told how many records are written so far; false asks the import to stop.
    using Progress = std::function<bool(int written)>;

    // The records are written in chunks inside one transaction, so the values of all of them are
    // never held at once and a stop or a failure on the way leaves no record behind. A stop
    // gives a failure whose cancelled flag is set.
    struct Outcome
    {
        store::Status status;
        bool cancelled = false;
        explicit operator bool() const { return bool(status); }
    };
    static constexpr int ChunkSize = 20000;

    static Outcome appendWithProgress(store::Table& table, const std::vector<ImportRecord>& records,
                                      const QString& category, const Progress& progress);
    static store::Status append(store::Table& table, const std::vector<ImportRecord>& records,
                                const QString& category)
    {
        return appendWithProgress(table, records, category, {}).status;
    }
    // The texts longer than their fields, which the table stores cut: one line per text, in
    // row order, so the import can say so instead of shortening them silently.
    static QStringList cuts(const store::Table& table, const std::vector<ImportRecord>& records,
                            const QString& category);
};

} // namespace wl
