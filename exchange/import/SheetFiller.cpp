#include "exchange/import/SheetFiller.h"

#include "grid/TSortableGrid.h"

#include <algorithm>

namespace wl {

SheetFiller::SheetFiller(int maxColumns, int expectedRows)
    : maxColumns_(maxColumns), reserve_(std::size_t(std::max(expectedRows, 0)) + 1)
{
}

CellColumn& SheetFiller::column(int col)
{
    while (int(columns_.size()) <= col) {
        CellColumn& added = columns_.emplace_back();
        // Only the columns of the first row are sized for the whole file: a later, wider row
        // must not make room for every row in each of its columns.
        if (rows_ == 0)
            added.ids.reserve(reserve_);
        // The heading row and the rows that were narrower than this one hold empty texts.
        added.ids.assign(std::size_t(rows_) + 1, 0);
    }
    return columns_[std::size_t(col)];
}

void SheetFiller::cell(std::string_view text)
{
    if (col_ < maxColumns_) {
        CellColumn& target = column(col_);
        target.ids.push_back(target.pool.internUtf8(text));
    }
    ++col_;
}

void SheetFiller::endRow()
{
    widest_ = std::max<qsizetype>(widest_, col_);
    ++rows_;
    const std::size_t height = std::size_t(rows_) + 1;
    for (CellColumn& other : columns_) {
        if (other.ids.size() < height)
            other.ids.push_back(0);
    }
    col_ = 0;
}

void SheetFiller::add(const QStringList& cells)
{
    for (const QString& text : cells) {
        const QByteArray utf8 = text.toUtf8();
        cell(std::string_view(utf8.constData(), std::size_t(utf8.size())));
    }
    endRow();
}

void SheetFiller::install(TSortableGrid& grid)
{
    // The columns were sized from an estimate: what they did not use is given back.
    for (CellColumn& filled : columns_)
        filled.ids.shrink_to_fit();
    grid.SetFixedRows(1);
    grid.ReplaceCells(std::move(columns_), std::max(rows_ + 1, 2));
    columns_.clear();
}

} // namespace wl
