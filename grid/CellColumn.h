#pragma once

#include "grid/CellObjects.h"
#include "grid/TextPool.h"

#include <cstdint>
#include <vector>

namespace wl {

// One grid column: a text id per row into the column's own pool, and the cell objects, kept
// only once a cell of the column has been given one (most columns never are).
struct CellColumn
{
    std::vector<TextPool::Id> ids;
    TextPool pool;
    CellObjects objects; // empty, or one per row
    int width = -1;                // pixels; -1 is the grid's default column width
    // Measured pixel width per pool entry for the grid's font (-1 = not measured yet).
    mutable std::vector<int> textWidths;

    void resize(int rows)
    {
        ids.resize(std::size_t(rows), 0);
        if (!objects.empty())
            objects.resize(std::size_t(rows));
    }
    bool hasObjects() const { return !objects.empty(); }
};

} // namespace wl
