#pragma once

#include "exchange/import/ImportText.h"
#include "grid/CellColumn.h"

#include <QStringList>

#include <string_view>
#include <vector>

namespace wl {

class TSortableGrid;

// Collects the rows of the import spreadsheet as they are read, below its heading row, in the
// grid's own stored form (UTF-8 texts in per-column pools), away from the grid: the grid keeps
// what it shows until install() hands it the new cells at once, so a file that is refused half
// way leaves it as it was. Rows wider than maxColumns are cut; the grid is as wide as the
// widest row kept.
class SheetFiller : public ImportText::Utf8Sink
{
public:
    // expectedRows sizes the columns once; they grow when the file holds more.
    SheetFiller(int maxColumns, int expectedRows);

    void cell(std::string_view text) override;
    void endRow() override;
    void add(const QStringList& cells);
    // Gives the grid the rows added (at least one data row, blank when nothing was read) with
    // one fixed heading row, replacing everything it held.
    void install(TSortableGrid& grid);
    int rows() const { return rows_; }
    // The width of the widest row added, before any cut.
    qsizetype widest() const { return widest_; }

private:
    CellColumn& column(int col);

    int maxColumns_;
    std::size_t reserve_;
    std::vector<CellColumn> columns_;
    int rows_ = 0;
    int col_ = 0; // the next cell's column in the row being added
    qsizetype widest_ = 0;
};

} // namespace wl
