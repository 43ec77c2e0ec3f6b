#include "app/RecordList.h"

#include "app/RecordCells.h"
#include "app/RecordDate.h"
#include "app/WaitCursor.h"
#include "grid/HandOverQueue.h"
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
// order of the shown columns.
struct Block
{
    std::vector<QString> texts;
    std::vector<qint64> recNums;
    int rows() const { return int(recNums.size()); }
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

// Walks the visible records on the reading thread and hands them over in blocks. The count
// comes after the first block, so that the first screen does not wait for it.
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
        stopped = !queue.blocks.put(std::move(block));
        block = Block{};
        // Counting a category takes a pass over every record of its own: it is left out,
        // and the list simply counts up until it is complete.
        if (!stopped && !counted && !table.filtered())
            queue.setExpected(table.recordCount());
        counted = true;
        blockSize = BlockRecords;
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
        if (block.rows() < blockSize)
            continue;
        handOver();
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
    grid.AppendRows(block.rows(), [&](int firstRow) {
        // Column by column: each column interns its texts in a store of its own.
        for (size_t c = 0; c < width; ++c) {
            for (int i = 0; i < block.rows(); ++i)
                grid.SetCells(int(c), firstRow + i, block.texts[size_t(i) * width + c]);
        }
        for (int i = 0; i < block.rows(); ++i)
            grid.SetObjects(RecNumColumn, firstRow + i, QVariant(block.recNums[size_t(i)]));
    });
}

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
    std::thread reader([&] { readBlocks(table, columns, cells, queue); });
    while (std::optional<Block> block = queue.blocks.take()) {
        appendBlock(grid, *block, columns.size());
        outcome.records += block->rows();
        if (progress && !progress(outcome.records, queue.expected())) {
            outcome.cancelled = true;
            break;
        }
    }
    queue.blocks.stop();
    reader.join();
    outcome.expected = queue.expected();
    outcome.error = queue.error();
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
