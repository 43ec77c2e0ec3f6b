#pragma once

#include "grid/GridModel.h"
#include "grid/LocaleInfo.h"
#include "grid/TSortOptions.h"

#include <cstdint>
#include <vector>

namespace wl {

// Decides how a grid column sorts and computes the new order of its data rows.
//
// Keys are built once per distinct text of the column (a column of a few categories converts a
// few texts, not a million). The order is always a permutation of the data rows: rows whose
// text does not convert under the chosen kind follow the others in their former order, equal
// keys keep their former order in both directions, and a custom compare function that is not
// a consistent ordering only yields some permutation (it goes through a merge sort that never
// trusts the comparison for bounds).
class RowSorter
{
public:
    RowSorter(const GridModel& model, LocaleInfo locale);

    // skNumeric, skDateTime, skTime or skText: the first kind, in that order of preference,
    // under which every data cell of the column converts.
    TSortKind detectKind(int col) const;

    // order[i] = the former data row (0 = first data row) that goes to data row i.
    std::vector<std::uint32_t> order(int col, const TSortOptions& options) const;

private:
    // The ids used by the column's data rows, as a flag per pool entry.
    std::vector<std::uint8_t> usedIds(int col) const;
    std::vector<std::uint32_t> orderByKeys(int col, const TSortOptions& options) const;
    std::vector<std::uint32_t> orderByText(int col, const TSortOptions& options) const;
    std::vector<std::uint32_t> orderByFunction(int col, const TSortOptions& options) const;

    const GridModel& model_;
    LocaleInfo locale_;
};

// Stable merge sort of a row index with any comparison: always returns a permutation, even
// when less() is inconsistent.
void safeMergeSort(std::vector<std::uint32_t>& rows,
                   const std::function<bool(std::uint32_t, std::uint32_t)>& less);

} // namespace wl
