#pragma once

#include "app/MainSettings.h"

#include <cstddef>

namespace wl::bench {

// The column layout of a first start: every field shown in its own place, default widths and
// captions, as the benchmarks fill the main window's grid.
inline MainSettings defaultLayout()
{
    MainSettings s;
    for (int n = 0; n < ColumnCount; ++n) {
        const auto slot = static_cast<std::size_t>(n);
        s.columnWidths[slot] = MainSettings::defaultColumnWidth(n);
        s.columnShown[slot] = true;
        s.columnNumbers[slot] = n;
        s.columnNames[slot] = MainSettings::defaultColumnName(n);
    }
    return s;
}

} // namespace wl::bench
