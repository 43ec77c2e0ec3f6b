#pragma once

#include "app/MainSettings.h"

#include <QString>

#include <functional>
#include <optional>

namespace wl {

class TSortableGrid;

namespace store {
class Table;
}

// Fills the main window's grid with the visible records of the table: one row per record in
// frequency order under one heading row, the columns of the layout with their captions and
// widths, hidden columns removed. Each row carries its record's number (see recNumOfRow), so a
// row still finds its record after the grid has been re-sorted.
class RecordList
{
public:
    struct Outcome
    {
        qint64 records = 0;     // rows filled
        qint64 expected = -1;   // records the table holds for the list, -1 when not counted
        bool cancelled = false; // the progress stopped the fill: the list's start read so far stays
        QString error;          // why the table could not be read (fully), empty when it could
    };

    // Told the rows filled so far and the records expected (-1 while not yet counted) after the
    // first screen of rows and after every block after it; returns false to stop the fill.
    // It runs on the calling thread, between blocks, so it may let the window draw and scroll.
    using Progress = std::function<bool(qint64 rows, qint64 expected)>;

    // The look of the main grid: Arial 8 pt black, 18-pixel rows, one heading row, grid lines,
    // columns sized by dragging heading borders, whole-row selection.
    static void setUpGrid(TSortableGrid& grid);

    // Refills the grid, cutting it to its heading row and 10 fresh columns first. A category limits
    // the records to that category and drops the Category column; without one every record in the
    // table's range is shown. A closed table leaves the grid with its headings and no records.
    // The first screen of rows arrives first, then the rest in blocks. A list longer than a
    // screen gets all its rows at once, filled as the records are read in stored order; else
    // each block is added as one insertion. The table is read on a helper thread meanwhile and
    // must not be used elsewhere until fill returns. An empty list keeps one blank row.
    static Outcome fill(TSortableGrid& grid, store::Table& table, const MainSettings& layout,
                        const std::optional<QString>& category, const Progress& progress = {});

    // The record number carried by a grid row (row 0 is the heading row), 0 when it has none.
    static qint64 recNumOfRow(const TSortableGrid& grid, int row);

    // Widens the columns whose heading is cut, and the frequency, position and date-time
    // columns to the longest text they show; narrower columns stay as they are.
    static void fitColumnsToText(TSortableGrid& grid, const MainSettings& layout);

    // The field slot a grid column shows, -1 for none; and the column that shows a slot, -1
    // when no column does. Columns are found by what they show, never by their position.
    static int slotOfColumn(const TSortableGrid& grid, int col);
    static int columnOfSlot(const TSortableGrid& grid, int slot);

    // The filter expression that selects one category.
    static QString categoryFilter(const QString& category);
};

} // namespace wl
