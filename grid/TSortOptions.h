#pragma once

#include <QString>

namespace wl {

// How a column is compared. The values are those the grid's callers store and pass around.
enum class TSortKind : unsigned char
{
    skAuto = 0, // detect from the column (DetectSortKind)
    skText = 1,
    skNumeric = 2,
    skDateTime = 3,
    skTime = 4,
    skCustom = 5,
};

// A plain comparison for skCustom: negative, zero or positive for first <, =, > second.
using TSortCompareFunc = int (*)(const QString& first, const QString& second);

struct TSortOptions
{
    TSortKind SortKind = TSortKind::skAuto;
    bool Descending = false;
    bool MatchCase = false; // false: ASCII letters compare upper-cased
    TSortCompareFunc CompareFunc = nullptr;
};

} // namespace wl
