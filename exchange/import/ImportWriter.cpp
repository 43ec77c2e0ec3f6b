#include "exchange/import/ImportWriter.h"

#include "app/RecordDate.h"
#include "exchange/import/ImportMessages.h"
#include "grid/HandOverQueue.h"
#include "store/BulkRows.h"
#include "store/PositionText.h"
#include "store/Table.h"

#include <iterator>
#include <optional>
#include <thread>

namespace wl {

namespace {

// A record without both coordinates keeps a blank position text.
const QString NoPosition = QString(41, u' ');

// The table keeps longitudes west positive; the prime meridian stays 0, not -0.
double westPositive(double lonEast)
{
    return lonEast == 0 ? 0.0 : -lonEast;
}

// The table's fields an import fills, in the order RowFiller::add takes them.
const char* const Filled[] = {"category", "callsign", "notes",    "rdate",    "hz",   "modifier",
                              "user",     "location", "optional", "position", "rlat", "rlon"};

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

// Puts records into rows for the table: each value straight into its field's kind, and the
// texts the table cuts noted for the report.
class RowFiller
{
public:
    // Keeps its own copy of the definitions: it is used on the worker thread while the table
    // is written on the caller's.
    explicit RowFiller(const store::Table& table) : fields_(table.fieldDefs())
    {
        const std::vector<FieldSlot> found = slotsOf(table);
        for (std::size_t f = 0; f < found.size(); ++f) {
            if (fields_[f].type != store::FieldType::AutoInc)
                columns_.push_back({&fields_[f], found[f].index});
        }
    }
    RowFiller(const RowFiller&) = delete;
    RowFiller& operator=(const RowFiller&) = delete;
    const std::vector<store::FieldDef>& fields() const { return fields_; }

    // Adds the record as the next row; the texts the table will cut are added to *cuts.
    void add(const ImportRecord& r, const QString& category, store::BulkRows& rows,
             QStringList* cuts) const
    {
        for (const FieldSlot& slot : columns_) {
            const auto text = [&](const QString& value) {
                rows.addText(value);
                if (cuts)
                    noteCut(r.row, *slot.field, value, *cuts);
            };
            switch (slot.index) {
            case 0:
                text(r.category.isEmpty() ? category : r.category);
                break;
            case 1:
                text(r.callsign);
                break;
            case 2:
                text(r.notes);
                break;
            case 3:
                rows.addNumber(RecordDate::fromDateTime(r.rDate));
                break;
            case 4:
                rows.addNumber(r.hz);
                break;
            case 5:
                text(r.modifier);
                break;
            case 6:
                text(r.user);
                break;
            case 7:
                text(r.location);
                break;
            case 8:
                text(r.special);
                break;
            case 9:
                // The grid shows the position text, so a file's coordinates are written there.
                text(r.lat && r.lon ? store::positionText(*r.lat, westPositive(*r.lon))
                                    : NoPosition);
                break;
            case 10:
            case 11:
                // A record without a position has 0 here as the other writers store it; its
                // blank position text tells it from one on the equator or the prime meridian,
                // whose text names its coordinates.
                if (r.lat && r.lon)
                    rows.addNumber(slot.index == 10 ? *r.lat : westPositive(*r.lon));
                else
                    rows.addNumber(0.0);
                break;
            default:
                rows.addNull();
            }
        }
        rows.endRow();
    }

private:
    static void noteCut(int row, const store::FieldDef& field, const QString& text,
                        QStringList& cuts)
    {
        const int size = field.size;
        if (field.type != store::FieldType::Text || size <= 0 || text.size() <= size ||
            QStringView(text).sliced(size).trimmed().isEmpty())
            return;
        cuts << QStringLiteral("Row %1: %2 \"%3\" was cut to %4 characters.")
                    .arg(row)
                    .arg(field.name, ImportMessages::Quoted(text))
                    .arg(size);
    }

    std::vector<store::FieldDef> fields_;
    std::vector<FieldSlot> columns_;
};

// One chunk of records made into rows on the worker.
struct MadeChunk
{
    store::BulkRows rows;
    QStringList cuts;
};

// Runs the feed on a thread of its own, turning each chunk of records into rows, while the
// caller's thread writes the rows made before: the reading and converting of the next chunk
// overlaps the writing of this one. The queue holds few chunks, so the rows of the whole import
// are never all held.
class ChunkMaker
{
public:
    ChunkMaker(const ImportWriter::Feed& feed, const RowFiller& filler, const QString& category,
               bool wantCuts)
        : queue_(2), thread_([=, this, &feed, &filler] { run(feed, filler, category, wantCuts); })
    {
    }
    ~ChunkMaker() { stop(); }
    ChunkMaker(const ChunkMaker&) = delete;
    ChunkMaker& operator=(const ChunkMaker&) = delete;

    // The next chunk; nothing once the feed is done, refused or failed, or after stop().
    std::optional<MadeChunk> take() { return queue_.take(); }
    // Stops the worker (it finishes the chunk it is making) and waits for it.
    void stop()
    {
        queue_.stop();
        if (thread_.joinable())
            thread_.join();
    }
    // Once stopped: how the feed ended.
    bool refused() const { return refused_; }
    const QString& failure() const { return failure_; }

private:
    void run(const ImportWriter::Feed& feed, const RowFiller& filler, const QString& category,
             bool wantCuts)
    {
        try {
            std::vector<ImportRecord> chunk;
            for (auto state = ImportWriter::FeedState::More;
                 state == ImportWriter::FeedState::More && !queue_.stopped();) {
                chunk.clear();
                state = feed(chunk, ImportWriter::ChunkSize);
                if (state == ImportWriter::FeedState::Refused) {
                    refused_ = true;
                    // Nothing already made is to be written any more.
                    queue_.stop();
                    return;
                }
                if (chunk.empty())
                    continue;
                MadeChunk made{store::BulkRows(filler.fields()), {}};
                for (const ImportRecord& r : chunk)
                    filler.add(r, category, made.rows, wantCuts ? &made.cuts : nullptr);
                if (!queue_.put(std::move(made)))
                    return;
            }
        } catch (const std::exception& e) {
            // An exception must not leave the thread: it would end the program.
            failure_ = QString::fromLocal8Bit(e.what());
            queue_.stop();
            return;
        } catch (...) {
            failure_ = QStringLiteral("The records could not be made.");
            queue_.stop();
            return;
        }
        queue_.finish();
    }

    HandOverQueue<MadeChunk> queue_;
    // Written by the worker before it stops or finishes the queue, read after the join.
    bool refused_ = false;
    QString failure_;
    std::thread thread_; // last: started once everything it uses is there
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
    // The append and the index build at the commit read and write through the page cache;
    // mapped, the table's pages would stay in the program's memory after them.
    table.setMapped(false);
    const auto finish = [&](Outcome outcome) {
        if (!outcome && ownTransaction)
            table.rollback();
        table.setMapped(true);
        return outcome;
    };
    const RowFiller filler(table);
    ChunkMaker maker(feed, filler, category, cuts != nullptr);
    int written = 0;
    while (std::optional<MadeChunk> made = maker.take()) {
        if (store::Status st = table.bulkAppendTyped(made->rows); !st) {
            maker.stop();
            return finish({st});
        }
        if (cuts)
            *cuts += made->cuts;
        written += int(made->rows.rowCount());
        if (progress && !progress(written)) {
            maker.stop();
            return finish(
                {store::Status::failure(QStringLiteral("The import was stopped.")), true});
        }
    }
    maker.stop();
    if (maker.refused())
        return finish(
            {store::Status::failure(QStringLiteral("Some rows cannot be stored.")), false, true});
    if (!maker.failure().isEmpty())
        return finish({store::Status::failure(maker.failure())});
    if (ownTransaction) {
        if (store::Status st = table.commit(); !st)
            return finish({st});
    }
    return finish({store::Status::success(), false, false, written});
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
    const RowFiller filler(table);
    store::BulkRows rows(filler.fields());
    QStringList lines;
    for (const ImportRecord& r : records)
        filler.add(r, category, rows, &lines);
    return lines;
}

} // namespace wl
