#include "app/RecordList.h"

#include "app/RecordCells.h"
#include "app/RecordDate.h"
#include "app/WaitCursor.h"
#include "grid/TSortableGrid.h"
#include "store/Table.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QPalette>
#include <QStyle>

#include <algorithm>
#include <climits>
#include <future>
#include <map>
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

int rowsFor(qint64 records)
{
    return int(std::clamp<qint64>(records + 1, 2, INT_MAX / 2));
}

// Records read from the table and not yet turned into cells: rows firstRow.., the values of
// each row in the order of the shown columns.
struct Chunk
{
    int firstRow = 1;
    int rows = 0;
    std::vector<QVariant> values;
};

constexpr int ChunkRecords = 8192;

void writeChunk(TSortableGrid& grid, const std::vector<ShownColumn>& columns,
                const RecordCells& cells, const Chunk& chunk)
{
    const size_t width = columns.size();
    // Column by column: each column interns its texts in a store of its own.
    for (size_t c = 0; c < width; ++c) {
        const ShownColumn& column = columns[c];
        for (int i = 0; i < chunk.rows; ++i)
            grid.SetCells(column.col, chunk.firstRow + i,
                          cells.text(column.slot, chunk.values[size_t(i) * width + c]));
    }
}

// Reads the visible records into rows 1.. and returns their record numbers in row order.
//
// Reading the table and making the cell texts each take about half the time, so they overlap:
// while this thread reads a chunk of records, a helper thread writes the previous chunk into
// the grid. The grid is inside a batch, so storing a cell notifies nobody, and this thread
// touches the grid only while no chunk is being written.
std::vector<qint64> readRows(TSortableGrid& grid, store::Table& table, const MainSettings& layout,
                             bool categoryTab, QString& error)
{
    const std::vector<ShownColumn> columns = columnsToRead(layout, categoryTab);
    const RecordCells cells(LocaleInfo::current(), layout.dateOption);
    std::vector<qint64> recNums;
    // Counting first lets the grid take its rows in one step instead of one at a time.
    const qint64 expected = table.recordCount();
    if (expected > 0) {
        grid.SetRowCount(rowsFor(expected));
        recNums.reserve(size_t(expected));
    }
    std::vector<int> fields;
    for (const ShownColumn& c : columns)
        fields.push_back(table.fieldNumber(c.field));
    std::future<void> writing;
    Chunk chunk;
    const auto handOver = [&] {
        if (writing.valid())
            writing.get();
        const int lastRow = chunk.firstRow + chunk.rows - 1;
        if (lastRow >= grid.RowCount())
            grid.SetRowCount(rowsFor(qint64(lastRow) * 2));
        writing =
            std::async(std::launch::async, [&grid, &columns, &cells, written = std::move(chunk)] {
                writeChunk(grid, columns, cells, written);
            });
        chunk = Chunk{lastRow + 1, 0, {}};
    };
    for (store::Status status = table.first();; status = table.next()) {
        if (!status) {
            error = status.error;
            break;
        }
        if (table.eof())
            break;
        if (chunk.values.empty())
            chunk.values.reserve(size_t(ChunkRecords) * columns.size());
        for (int field : fields)
            chunk.values.push_back(table.fieldValueAt(field));
        recNums.push_back(table.recNum());
        if (++chunk.rows == ChunkRecords)
            handOver();
        if (recNums.size() == size_t(INT_MAX / 2 - 1))
            break;
    }
    if (chunk.rows > 0)
        handOver();
    if (writing.valid())
        writing.get();
    grid.SetRowCount(rowsFor(qint64(recNums.size())));
    return recNums;
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
                                     const std::optional<QString>& category)
{
    WaitCursor wait;
    DrawingSuspended quiet(grid);
    Outcome outcome;
    {
        GridBatch batch(grid);
        // Fresh columns: emptied ones keep the storage of their last fill, and after a
        // category tab removed a column every column would hold another one's.
        grid.SetRowCount(2);
        grid.SetColCount(1);
        grid.Model().insertColumn(0);
        grid.Model().removeColumn(1);
        grid.SetColCount(ColumnCount);
        grid.ClearCells();
        layOutColumns(grid, layout);

        std::vector<qint64> recNums;
        if (table.isOpen()) {
            if (const store::Status selected = selectRecords(table, category); !selected)
                outcome.error = selected.error;
            else
                recNums = readRows(grid, table, layout, category.has_value(), outcome.error);
        }
        grid.FitColumnWidth(0);
        removeHiddenColumns(grid, layout, category.has_value());
        for (size_t i = 0; i < recNums.size(); ++i)
            grid.SetObjects(RecNumColumn, int(i) + 1, QVariant(recNums[i]));
        outcome.records = qint64(recNums.size());
    }
    // A refilled list starts at its first record, as a grid cut down to two rows would.
    grid.scrollToTop();
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
