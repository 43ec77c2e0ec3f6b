#pragma once

#include "app/RecordCells.h"
#include "grid/HandOverQueue.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <mutex>
#include <thread>
#include <vector>

namespace wl {

namespace store {
class Table;
}

namespace cli {

// Reads the records visible on a table, from its first, as the main window's ten column texts
// (RecordCells), except that texts are whole: no cut to the grid's longest text, line breaks
// of the notes kept. The table is read on a thread of its own while the caller makes the texts and
// writes them out: reading costs about as much as the rest, so the two halves overlap. Values
// are handed over in chunks through a short queue, so memory stays bounded however many
// records there are. The table must not be used otherwise while a reader exists.
class RecordRowReader
{
public:
    explicit RecordRowReader(store::Table& table);
    ~RecordRowReader(); // stops reading and waits for the thread
    RecordRowReader(const RecordRowReader&) = delete;
    RecordRowReader& operator=(const RecordRowReader&) = delete;

    // The cells of the next record; false after the last one or a read error.
    bool next(QStringList& cells);
    // Why reading stopped early; empty when every record was read.
    QString error() const;

private:
    // The values of whole records, RecordCells::SlotCount to a record.
    using Chunk = std::vector<QVariant>;
    void run();
    QString wholeText(int slot, const QVariant& value) const;
    // Hands a chunk to the queue, waiting while it is full, and starts a new one; false when
    // asked to stop.
    bool handOver(Chunk& chunk);

    store::Table& table_;
    const RecordCells cells_; // used by the caller's thread alone
    HandOverQueue<Chunk> queue_;
    mutable std::mutex errorMutex_;
    QString error_;
    Chunk current_;
    size_t at_ = 0;
    std::thread thread_;
};

} // namespace cli
} // namespace wl
