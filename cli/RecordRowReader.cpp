#include "cli/RecordRowReader.h"

#include "store/Table.h"

#include <array>

namespace wl::cli {

namespace {

constexpr size_t ChunkRows = 4096;
// Chunks read ahead of the writer: enough to ride out an uneven pace, few enough to keep a
// million records from piling up when the writer is the slower side.
constexpr size_t QueuedChunks = 4;

} // namespace

RecordRowReader::RecordRowReader(store::Table& table)
    : table_(table), cells_(LocaleInfo::current(), 0), queue_(QueuedChunks)
{
    thread_ = std::thread([this] { run(); });
}

RecordRowReader::~RecordRowReader()
{
    queue_.stop();
    thread_.join();
}

bool RecordRowReader::handOver(Chunk& chunk)
{
    if (!queue_.put(std::move(chunk)))
        return false;
    chunk = Chunk();
    chunk.reserve(ChunkRows * RecordCells::SlotCount);
    return true;
}

void RecordRowReader::run()
{
    // Fields by position, looked up once rather than by name for every record.
    std::array<int, RecordCells::SlotCount> fields{};
    for (int slot = 0; slot < RecordCells::SlotCount; ++slot)
        fields[size_t(slot)] = table_.fieldNumber(RecordCells::fieldName(slot));
    Chunk chunk;
    chunk.reserve(ChunkRows * RecordCells::SlotCount);
    QString error;
    for (store::Status st = table_.first();; st = table_.next()) {
        if (!st) {
            error = st.error;
            break;
        }
        if (table_.eof())
            break;
        for (const int field : fields)
            chunk.push_back(table_.fieldValueAt(field));
        if (chunk.size() == ChunkRows * RecordCells::SlotCount && !handOver(chunk))
            return;
    }
    if (!chunk.empty() && !handOver(chunk))
        return;
    {
        const std::lock_guard lock(errorMutex_);
        error_ = error;
    }
    queue_.finish();
}

bool RecordRowReader::next(QStringList& cells)
{
    if (at_ == current_.size()) {
        std::optional<Chunk> chunk = queue_.take();
        if (!chunk)
            return false;
        current_ = std::move(*chunk);
        at_ = 0;
    }
    cells.clear();
    for (int slot = 0; slot < RecordCells::SlotCount; ++slot)
        cells << wholeText(slot, current_[at_++]);
    return true;
}

// A file carries whole fields: the grid's cut to its longest text and its notes on one line are
// for the screen. The formats that cannot hold a line break turn it into a blank themselves.
QString RecordRowReader::wholeText(int slot, const QVariant& value) const
{
    switch (slot) {
    case RecordCells::CategorySlot:
    case RecordCells::FrequencySlot:
    case RecordCells::DateSlot:
        return cells_.text(slot, value);
    default:
        if (value.typeId() != QMetaType::QString)
            return cells_.text(slot, value);
        return value.toString();
    }
}

QString RecordRowReader::error() const
{
    const std::lock_guard lock(errorMutex_);
    return error_;
}

} // namespace wl::cli
