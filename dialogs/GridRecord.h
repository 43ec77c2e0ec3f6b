#pragma once

#include <QtGlobal>

namespace wl {

class TFormMain;

// Which record a row of the main window's grid shows. Rows are tied to records by number, so
// the answer holds after the grid has been re-sorted by a heading click.
class GridRecord
{
public:
    // The record number of a grid row (row 0 is the heading row); 0 when the row shows none.
    static qint64 recNumOfRow(const TFormMain& main, int row);
    // The grid's current row.
    static int selectedRow(const TFormMain& main);
};

} // namespace wl
