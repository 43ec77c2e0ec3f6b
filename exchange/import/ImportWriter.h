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
        bool refused = false; // the feed found rows it cannot store
        int written = 0;      // records in the table once it succeeded
        explicit operator bool() const { return bool(status); }
    };
    static constexpr int ChunkSize = 20000;

    // Hands the records over in order, a chunk at a time, so they are made as they are stored:
    // adds at most `room` records to chunk (given empty) and says whether more follow. Refused
    // undoes everything written so far.
    enum class FeedState
    {
        More,
        Done,
        Refused
    };
    using Feed = std::function<FeedState(std::vector<ImportRecord>& chunk, std::size_t room)>;

    // Writes what the feed gives inside one transaction. The feed runs on a worker thread, one
    // chunk ahead of the writing, so whatever it reads must not change until this returns; the
    // table and progress are used on the calling thread only. The texts the table cuts are
    // added to *cuts when it is given (see cuts()).
    static Outcome appendFeed(store::Table& table, const Feed& feed, const QString& category,
                              const Progress& progress, QStringList* cuts = nullptr);

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
