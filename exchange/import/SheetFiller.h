#pragma once

#include <QStringList>

namespace wl {

class TSortableGrid;

// Puts rows into the import spreadsheet one at a time, as they are read, below its heading
// row, so a large file never waits whole in a list of rows beside the grid. Rows wider than
// maxColumns are cut; the grid is as wide as the widest row kept. The grid shows nothing of
// the work until finish().
class SheetFiller
{
public:
    // expectedRows sizes the grid once; it grows when the file holds more.
    SheetFiller(TSortableGrid& grid, int maxColumns, int expectedRows);
    ~SheetFiller();
    SheetFiller(const SheetFiller&) = delete;
    SheetFiller& operator=(const SheetFiller&) = delete;

    void add(const QStringList& cells);
    // Cuts the grid to the rows added and shows it.
    void finish();
    int rows() const { return rows_; }
    // The width of the widest row added, before any cut.
    qsizetype widest() const { return widest_; }

private:
    TSortableGrid& grid_;
    int maxColumns_;
    int rows_ = 0;
    int columns_ = 1;
    qsizetype widest_ = 0;
    bool finished_ = false;
};

} // namespace wl
