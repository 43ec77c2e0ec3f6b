#include "app/RecordList.h"

#include "app/RecordCells.h"
#include "app/RecordDate.h"
#include "app/WaitCursor.h"
#include "grid/GridModel.h"
#include "grid/HandOverQueue.h"
#include "grid/TextPool.h"
#include "grid/TSortableGrid.h"
#include "store/Table.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QPalette>
#include <QStyle>

#include <algorithm>
#include <climits>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace wl {

namespace {

// The column whose cells carry the record numbers: the first one left after hidden columns are
// removed, so it exists on every tab and with every layout.
constexpr int RecNumColumn = 0;

// A grid column that shows a field, and the field it shows.
struct ShownColumn
{
    int col;
    int slot;
    QString field;
};

// Drawing of a widget stays off while the object lives.
class DrawingSuspended
{
public:
    explicit DrawingSuspended(QWidget& widget) : widget_(widget), was_(widget.updatesEnabled())
    {
        widget_.setUpdatesEnabled(false);
    }
    ~DrawingSuspended() { widget_.setUpdatesEnabled(was_); }
    DrawingSuspended(const DrawingSuspended&) = delete;
    DrawingSuspended& operator=(const DrawingSuspended&) = delete;

private:
    QWidget& widget_;
    bool was_;
};

// The grid takes every change of the fill as one: a single reset when the object goes.
class GridBatch
{
public:
    explicit GridBatch(TSortableGrid& grid) : grid_(grid) { grid_.BeginUpdate(); }
    ~GridBatch() { grid_.EndUpdate(); }
    GridBatch(const GridBatch&) = delete;
    GridBatch& operator=(const GridBatch&) = delete;

private:
    TSortableGrid& grid_;
};

int slotOf(const MainSettings& layout, int col)
{
    // Column 0 always shows the Category; the layout's number for it is not consulted.
    return col == 0 ? RecordCells::CategorySlot : layout.columnNumbers[size_t(col)];
}

bool shown(const MainSettings& layout, int col)
{
    return layout.columnShown[size_t(col)];
}

void layOutColumns(TSortableGrid& grid, const MainSettings& layout)
{
    int position = 0;
    for (int col = 0; col < ColumnCount; ++col) {
        grid.SetColWidths(col, layout.columnWidths[size_t(position)]);
        grid.SetCells(col, 0, QLatin1Char(' ') + layout.columnNames[size_t(slotOf(layout, col))]);
        // The heading carries the slot, so a column is known by what it shows wherever
        // hidden columns and the tab have moved it.
        grid.SetObjects(col, 0, slotOf(layout, col));
        if (shown(layout, col))
            ++position;
    }
}

// Only the fields that stay on screen are read.
std::vector<ShownColumn> columnsToRead(const MainSettings& layout, bool categoryTab)
{
    std::vector<ShownColumn> columns;
    for (int col = 0; col < ColumnCount; ++col) {
        if (!shown(layout, col) || (col == 0 && categoryTab))
            continue;
        const int slot = slotOf(layout, col);
        columns.push_back({col, slot, RecordCells::fieldName(slot)});
    }
    return columns;
}

store::Status selectRecords(store::Table& table, const std::optional<QString>& category)
{
    store::Status status = table.setFiltered(false);
    if (status && category) {
        status = table.setFilter(RecordList::categoryFilter(*category));
        if (status)
            status = table.setFiltered(true);
    }
    return status;
}

// The first block is one screen of rows, so the list shows before the rest has been read;
// later blocks are large enough that adding them to the grid costs little per row.
constexpr int FirstBlockRecords = 64;
constexpr int BlockRecords = 4096;
// Blocks read ahead of the grid: the reader waits when this many are not yet taken.
constexpr size_t BlocksAhead = 8;
// The grid addresses rows with an int; one row is the heading.
constexpr qint64 MostRecords = INT_MAX / 2 - 1;

// Records read and turned into cell texts, not yet in the grid: the texts of each row in the
// order of the shown columns. A block either adds its rows at the end of the list (texts as
// QString), or fills rows the list already has (rows set; texts as UTF-8 in bytes, cell i
// ending at ends[i]), or only makes room: the list grows to grow rows after the heading.
struct Block
{
    std::vector<QString> texts;
    std::vector<qint64> recNums;
    std::vector<int> rows;
    std::string bytes;
    std::vector<std::uint32_t> ends;
    int grow = 0;
    int count() const { return int(recNums.size()); }
};

// Hands blocks from the reading thread to the filling one, with what the reader learns on the
// way: the record count and why reading stopped. The reader stops at its next block once the
// filler has stopped taking them.
class BlockQueue
{
public:
    HandOverQueue<Block> blocks{BlocksAhead};

    void setExpected(qint64 expected)
    {
        const std::lock_guard lock(mutex_);
        expected_ = expected;
    }
    // The last thing the reader does.
    void finish(const QString& error)
    {
        {
            const std::lock_guard lock(mutex_);
            error_ = error;
        }
        blocks.finish();
    }
    qint64 expected() const
    {
        const std::lock_guard lock(mutex_);
        return expected_;
    }
    QString error() const
    {
        const std::lock_guard lock(mutex_);
        return error_;
    }

private:
    mutable std::mutex mutex_;
    qint64 expected_ = -1;
    QString error_;
};

// A cell's text appended as UTF-8, from a field of a record met in stored order.
void appendCell(const RecordCells& cells, int slot, store::FieldType type,
                const store::ScannedRecord& record, int field, std::string& out)
{
    if (record.isNull(field)) {
        appendUtf8(RecordCells::nullText(slot), out);
        return;
    }
    switch (type) {
    case store::FieldType::Text:
    case store::FieldType::Memo:
        cells.appendText(slot, record.utf8(field), out);
        return;
    case store::FieldType::AutoInc:
        appendUtf8(cells.text(slot, QVariant(record.integer(field))), out);
        return;
    default:
        if (slot == RecordCells::DateSlot) {
            cells.appendDate(record.number(field), out);
            return;
        }
        appendUtf8(cells.text(slot, QVariant(record.number(field))), out);
        return;
    }
}

// The table's files are read without their memory mapping while the object lives.
class MappingOff
{
public:
    explicit MappingOff(store::Table& table) : table_(table) { table_.setMapped(false); }
    ~MappingOff() { table_.setMapped(true); }
    MappingOff(const MappingOff&) = delete;
    MappingOff& operator=(const MappingOff&) = delete;

private:
    store::Table& table_;
};

// Reads the rest of the list after its first screen the cheap way: the list's order from the
// index alone, then the records as they are stored, each put straight into its row. Walking
// the index instead seeks each record in turn, which is what makes a long list slow to fill.
// Returns false, having handed nothing over, when it does not apply: the caller walks on.
bool readInStoredOrder(store::Table& table, const std::vector<ShownColumn>& columns,
                       const std::vector<int>& fields, const RecordCells& cells,
                       const std::vector<qint64>& shown, BlockQueue& queue)
{
    if (std::find(fields.begin(), fields.end(), -1) != fields.end())
        return false;
    std::vector<qint64> order;
    if (!table.visibleOrder(order) || order.size() <= shown.size())
        return false;
    if (qint64(order.size()) > MostRecords)
        order.resize(size_t(MostRecords));
    const qint64 highest = *std::max_element(order.begin(), order.end());
    // Rows are found by record number through a table as long as the highest one: with
    // numbers far sparser than the records, the walk is cheaper.
    if (*std::min_element(order.begin(), order.end()) < 0 ||
        highest > 4 * qint64(order.size()) + (1 << 20))
        return false;
    // The first screen is in the list already; it stays when the order starts with it.
    const bool sameStart = std::equal(shown.begin(), shown.end(), order.begin());
    const size_t kept = sameStart ? shown.size() : 0;
    std::vector<std::uint32_t> rowOf(size_t(highest) + 1, 0);
    for (size_t i = kept; i < order.size(); ++i)
        rowOf[size_t(order[i])] = std::uint32_t(i + 1);
    Block room;
    room.grow = int(order.size());
    room.rows.push_back(int(kept));
    std::vector<qint64>().swap(order);
    queue.setExpected(room.grow);
    if (!queue.blocks.put(std::move(room))) {
        queue.finish({});
        return true;
    }
    std::vector<store::FieldType> types;
    for (const int field : fields)
        types.push_back(table.fieldDefs()[size_t(field)].type);
    Block block;
    bool stopped = false;
    // A scan in stored order reads each page once and gains nothing from the files' mapping,
    // whose pages would all stay resident and count against the program's memory.
    const MappingOff unmapped(table);
    const store::Status status = table.scanRecords(fields, [&](const store::ScannedRecord& record) {
        const qint64 recNum = record.recNum();
        if (recNum < 0 || recNum > highest || rowOf[size_t(recNum)] == 0)
            return true;
        for (size_t c = 0; c < columns.size(); ++c) {
            appendCell(cells, columns[c].slot, types[c], record, int(c), block.bytes);
            block.ends.push_back(std::uint32_t(block.bytes.size()));
        }
        block.rows.push_back(int(rowOf[size_t(recNum)]));
        block.recNums.push_back(recNum);
        if (block.count() < BlockRecords)
            return true;
        stopped = !queue.blocks.put(std::move(block));
        block = Block{};
        return !stopped;
    });
    if (!stopped && !block.recNums.empty())
        queue.blocks.put(std::move(block));
    queue.finish(status ? QString() : status.error);
    return true;
}

// Reads the visible records on the reading thread and hands them over in blocks: the first
// screen walking the cursor, so that it shows before anything is counted, then the rest in
// stored order where that applies, else walking on. A walk counts after the first block.
void readBlocks(store::Table& table, const std::vector<ShownColumn>& columns,
                const RecordCells& cells, BlockQueue& queue)
{
    std::vector<int> fields;
    for (const ShownColumn& c : columns)
        fields.push_back(table.fieldNumber(c.field));
    QString error;
    Block block;
    int blockSize = FirstBlockRecords;
    qint64 read = 0;
    bool counted = false;
    bool stopped = false;
    const auto handOver = [&] {
        const bool first = !counted;
        const std::vector<qint64> shown = first ? block.recNums : std::vector<qint64>{};
        stopped = !queue.blocks.put(std::move(block));
        block = Block{};
        counted = true;
        blockSize = BlockRecords;
        if (stopped || !first)
            return false;
        if (shown.size() == size_t(FirstBlockRecords) &&
            readInStoredOrder(table, columns, fields, cells, shown, queue))
            return true;
        // Counting a category takes a pass over every record of its own: it is left out,
        // and the list simply counts up until it is complete.
        if (!table.filtered())
            queue.setExpected(table.recordCount());
        return false;
    };
    for (store::Status status = table.first();; status = table.next()) {
        if (!status) {
            error = status.error;
            break;
        }
        if (table.eof() || read == MostRecords)
            break;
        if (block.recNums.empty()) {
            block.texts.reserve(size_t(blockSize) * columns.size());
            block.recNums.reserve(size_t(blockSize));
        }
        for (size_t c = 0; c < columns.size(); ++c)
            block.texts.push_back(cells.text(columns[c].slot, table.fieldValueAt(fields[c])));
        block.recNums.push_back(table.recNum());
        ++read;
        if (block.count() < blockSize)
            continue;
        if (handOver())
            return;
        if (stopped)
            break;
    }
    if (!stopped && !block.recNums.empty())
        handOver();
    // A walk to the end knows the count for certain.
    if (!stopped && error.isEmpty())
        queue.setExpected(read);
    queue.finish(error);
}

// Adds a block's rows to the grid; each row carries its record's number.
void appendBlock(TSortableGrid& grid, const Block& block, size_t width)
{
    grid.AppendRows(block.count(), [&](int firstRow) {
        // Column by column: each column interns its texts in a store of its own.
        for (size_t c = 0; c < width; ++c) {
            for (int i = 0; i < block.count(); ++i)
                grid.SetCells(int(c), firstRow + i, block.texts[size_t(i) * width + c]);
        }
        for (int i = 0; i < block.count(); ++i)
            grid.SetObjects(RecNumColumn, firstRow + i, QVariant(block.recNums[size_t(i)]));
    });
}

// The rows of a list read in stored order: made beforehand, filled as their records arrive.
class PlacedRows
{
public:
    bool active() const { return !filled_.empty(); }

    // Makes the list's rows, the first `kept` of them already filled.
    void makeRoom(TSortableGrid& grid, int rows, int kept)
    {
        const int have = grid.RowCount() - 1;
        if (rows > have)
            grid.AppendRows(rows - have, [](int) {});
        filled_.assign(size_t(rows), 0);
        std::fill_n(filled_.begin(), std::min(kept, rows), char(1));
        count_ = std::min(kept, rows);
    }

    // Puts a block's texts into their rows and has the views draw them once.
    void place(TSortableGrid& grid, const Block& block, size_t width)
    {
        GridModel& model = grid.Model();
        // Column by column: each column interns its texts in a store of its own.
        for (size_t c = 0; c < width; ++c) {
            for (int i = 0; i < block.count(); ++i) {
                const size_t cell = size_t(i) * width + c;
                const std::uint32_t begin = cell == 0 ? 0 : block.ends[cell - 1];
                const std::string_view text(block.bytes.data() + begin, block.ends[cell] - begin);
                model.storeCellUtf8(int(c), block.rows[size_t(i)], text);
            }
        }
        for (int i = 0; i < block.count(); ++i) {
            const int row = block.rows[size_t(i)];
            grid.SetObjects(RecNumColumn, row, QVariant(block.recNums[size_t(i)]));
            char& filled = filled_[size_t(row - 1)];
            count_ += filled ? 0 : 1;
            filled = 1;
        }
        if (model.rowCount() > 0)
            emit model.dataChanged(model.index(0, 0),
                                   model.index(model.rowCount() - 1, model.columnCount() - 1));
    }

    int count() const { return count_; }

    // A complete fill drops the rows left empty (an index entry without its record); the
    // others keep their order.
    void dropEmpty(TSortableGrid& grid)
    {
        if (count_ == int(filled_.size()))
            return;
        std::vector<std::uint32_t> order;
        order.reserve(filled_.size());
        for (const bool wanted : {true, false}) {
            for (size_t i = 0; i < filled_.size(); ++i) {
                if (bool(filled_[i]) == wanted)
                    order.push_back(std::uint32_t(i));
            }
        }
        grid.Model().applyRowOrder(order);
        grid.SetRowCount(1 + count_);
    }

    // A fill stopped part way keeps the start of the list up to its first row not yet read,
    // as a walk would have: a list with gaps would pass for the whole.
    void keepStart(TSortableGrid& grid)
    {
        const auto gap = std::find(filled_.begin(), filled_.end(), char(0));
        count_ = int(gap - filled_.begin());
        grid.SetRowCount(1 + count_);
    }

private:
    std::vector<char> filled_;
    int count_ = 0;
};

// Reads the visible records into the rows after the heading, which are the shown columns in
// their order. Reading the table and making the cell texts run on a helper thread, while this
// thread adds the finished blocks to the grid and reports progress; the table is not touched
// here until the helper is done.
void readRows(TSortableGrid& grid, store::Table& table, const MainSettings& layout,
              bool categoryTab, const RecordList::Progress& progress, RecordList::Outcome& outcome)
{
    const std::vector<ShownColumn> columns = columnsToRead(layout, categoryTab);
    const RecordCells cells(LocaleInfo::current(), layout.dateOption);
    BlockQueue queue;
    PlacedRows placed;
    std::thread reader([&] { readBlocks(table, columns, cells, queue); });
    while (std::optional<Block> block = queue.blocks.take()) {
        if (block->grow > 0) {
            placed.makeRoom(grid, block->grow, block->rows.front());
            continue;
        }
        if (placed.active())
            placed.place(grid, *block, columns.size());
        else
            appendBlock(grid, *block, columns.size());
        outcome.records = placed.active() ? placed.count() : outcome.records + block->count();
        if (progress && !progress(outcome.records, queue.expected())) {
            outcome.cancelled = true;
            break;
        }
    }
    queue.blocks.stop();
    reader.join();
    outcome.expected = queue.expected();
    outcome.error = queue.error();
    if (!placed.active())
        return;
    if (outcome.cancelled || !outcome.error.isEmpty()) {
        placed.keepStart(grid);
    } else {
        placed.dropEmpty(grid);
        outcome.expected = placed.count();
    }
    outcome.records = placed.count();
}

void removeHiddenColumns(TSortableGrid& grid, const MainSettings& layout, bool categoryTab)
{
    int removed = 0;
    for (int col = 0; col < ColumnCount; ++col) {
        if (!shown(layout, col))
            grid.RemoveColumn(col - removed++);
    }
    // Only the Category column goes on a category tab; when it is hidden already, column 0 is
    // another field the user chose to see.
    if (categoryTab && shown(layout, 0))
        grid.RemoveColumn(0);
}

} // namespace

void RecordList::setUpGrid(TSortableGrid& grid)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(8);
    grid.setFont(font);
    QPalette palette = grid.palette();
    palette.setColor(QPalette::Text, Qt::black);
    grid.setPalette(palette);
    grid.SetFixedCols(0);
    grid.SetFixedRows(1);
    grid.SetDefaultRowHeight(18);
    using G = TSortableGrid;
    grid.SetOptions(G::goFixedVertLine | G::goFixedHorzLine | G::goVertLine | G::goHorzLine |
                    G::goColSizing | G::goRowSelect);
}

RecordList::Outcome RecordList::fill(TSortableGrid& grid, store::Table& table,
                                     const MainSettings& layout,
                                     const std::optional<QString>& category,
                                     const Progress& progress)
{
    Outcome outcome;
    store::Status selected = store::Status::success();
    {
        WaitCursor wait;
        DrawingSuspended quiet(grid);
        GridBatch batch(grid);
        // Fresh columns: emptied ones keep the storage of their last fill, and after a
        // category tab removed a column every column would hold another one's.
        grid.SetRowCount(1);
        grid.SetColCount(1);
        grid.Model().insertColumn(0);
        grid.Model().removeColumn(1);
        grid.SetColCount(ColumnCount);
        grid.ClearCells();
        layOutColumns(grid, layout);
        // The columns left are the ones read, in the same order.
        removeHiddenColumns(grid, layout, category.has_value());
        if (table.isOpen()) {
            selected = selectRecords(table, category);
            if (!selected)
                outcome.error = selected.error;
        }
    }
    // A refilled list starts at its first record.
    grid.scrollToTop();
    if (table.isOpen() && selected)
        readRows(grid, table, layout, category.has_value(), progress, outcome);
    // An empty list still shows one blank row under the headings.
    if (grid.RowCount() < 2)
        grid.SetRowCount(2);
    if (category || !shown(layout, 0))
        return outcome;
    // The Category column is as wide as its widest name.
    grid.FitColumnWidth(0);
    return outcome;
}

qint64 RecordList::recNumOfRow(const TSortableGrid& grid, int row)
{
    if (row < grid.FixedRows() || row >= grid.RowCount())
        return 0;
    const QVariant recNum = grid.Objects(RecNumColumn, row);
    return recNum.isValid() ? recNum.toLongLong() : 0;
}

void RecordList::fitColumnsToText(TSortableGrid& grid, const MainSettings& layout)
{
    const RecordCells cells(LocaleInfo::current(), layout.dateOption);
    const QFontMetrics metrics(grid.font());
    const int padding = metrics.horizontalAdvance(QLatin1Char('x'));
    // Headings are drawn by the header in its own font, with the style's margins round them.
    const QHeaderView& header = *grid.horizontalHeader();
    const QFontMetrics headingMetrics(header.font());
    const int headingPadding =
        2 * header.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &header) +
        headingMetrics.horizontalAdvance(QLatin1Char('x'));
    // The longest texts these columns show, so that a list still empty is wide enough too.
    const QDateTime late(QDate(2004, 12, 22), QTime(23, 59));
    const std::map<int, QString> samples = {
        {RecordCells::FrequencySlot, cells.text(RecordCells::FrequencySlot, 1296.5)},
        {RecordCells::PositionSlot, QStringLiteral("45 38N 122 41W")},
        {RecordCells::DateSlot, cells.text(RecordCells::DateSlot, RecordDate::fromDateTime(late))}};
    for (int col = 0; col < grid.ColCount(); ++col) {
        const int slot = slotOfColumn(grid, col);
        int width = std::max(grid.ColWidths(col),
                             headingMetrics.horizontalAdvance(grid.Cells(col, 0)) + headingPadding);
        if (const auto sample = samples.find(slot); sample != samples.end()) {
            // Their cells are short: every one of them is measured.
            const int before = grid.ColWidths(col);
            grid.FitColumnWidth(col);
            width = std::max(
                {width, grid.ColWidths(col), metrics.horizontalAdvance(sample->second) + padding});
            grid.SetColWidths(col, before);
        }
        grid.SetColWidths(col, width);
    }
}

int RecordList::slotOfColumn(const TSortableGrid& grid, int col)
{
    if (col < 0 || col >= grid.ColCount() || grid.RowCount() < 1)
        return -1;
    bool ok = false;
    const int slot = grid.Objects(col, 0).toInt(&ok);
    return ok ? slot : -1;
}

int RecordList::columnOfSlot(const TSortableGrid& grid, int slot)
{
    for (int col = 0; col < grid.ColCount(); ++col) {
        if (slotOfColumn(grid, col) == slot)
            return col;
    }
    return -1;
}

QString RecordList::categoryFilter(const QString& category)
{
    QString quoted = category;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QStringLiteral("Category = '") + quoted + QLatin1Char('\'');
}

} // namespace wl
