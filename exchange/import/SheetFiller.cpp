#include "exchange/import/SheetFiller.h"

#include "grid/TSortableGrid.h"

#include <algorithm>

namespace wl {

SheetFiller::SheetFiller(TSortableGrid& grid, int maxColumns, int expectedRows)
    : grid_(grid), maxColumns_(maxColumns)
{
    grid_.BeginUpdate();
    grid_.ClearCells();
    grid_.SetColCount(1);
    grid_.SetRowCount(std::max(expectedRows, 0) + 1);
    grid_.SetFixedRows(1);
}

SheetFiller::~SheetFiller()
{
    finish();
}

void SheetFiller::add(const QStringList& cells)
{
    widest_ = std::max(widest_, cells.size());
    const int width = int(std::min<qsizetype>(cells.size(), maxColumns_));
    if (width > columns_) {
        columns_ = width;
        grid_.SetColCount(columns_);
    }
    const int row = ++rows_; // row 0 is the heading row
    if (row >= grid_.RowCount())
        grid_.SetRowCount(std::max(row + 1, grid_.RowCount() * 2));
    for (int col = 0; col < width; ++col)
        grid_.SetCells(col, row, cells[col]);
}

void SheetFiller::finish()
{
    if (finished_)
        return;
    finished_ = true;
    // A grid always shows one data row, blank when nothing was read.
    grid_.SetRowCount(std::max(rows_ + 1, 2));
    grid_.EndUpdate();
}

} // namespace wl
