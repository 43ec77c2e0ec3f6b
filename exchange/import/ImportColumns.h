#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace wl {

// The columns of the import spreadsheet: eight that become the fields of a record, in this
// order, and any number of extra ones the user has still to delete or combine.
namespace ImportColumns {

inline constexpr int RecordColumns = 8;
inline constexpr int Frequency = 0;
inline constexpr int Modifier = 1;
inline constexpr int Callsign = 2;
inline constexpr int User = 3;
inline constexpr int Location = 4;
inline constexpr int Special = 5;
inline constexpr int DateTime = 6;
inline constexpr int Notes = 7;

// The heading of a column: the field it becomes, or "Column " + its number from 1.
QString heading(int index);

// Joins column n (from 0) and the column after it into column n: both texts trimmed, with one
// blank between when both hold text. With onlyRow >= 0 only that row is joined and the cells
// after it move one column left, the last becoming empty; otherwise every row loses a column.
// Rows shorter than the join are left as they are.
void joinColumns(std::vector<QStringList>& rows, int n, int onlyRow = -1);

} // namespace ImportColumns

} // namespace wl
