#pragma once

#include "grid/TSortableGrid.h"

#include <QApplication>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace wl::test {

// One QApplication for the whole test program (widgets need it; the platform is offscreen),
// gone before the program's static objects are.
class ApplicationEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "test_grid";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};

inline ::testing::Environment* const applicationEnvironment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

inline QApplication& application()
{
    return *qApp;
}

// A grid with one fixed row and no fixed column, filled row by row (row 0 = headings).
inline std::unique_ptr<TSortableGrid> makeGrid(const std::vector<QStringList>& rows)
{
    application();
    auto grid = std::make_unique<TSortableGrid>();
    grid->SetFixedCols(0);
    int cols = 1;
    for (const QStringList& row : rows)
        cols = std::max(cols, int(row.size()));
    grid->SetColCount(cols);
    grid->SetRowCount(int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r)
        for (int c = 0; c < rows[std::size_t(r)].size(); ++c)
            grid->SetCells(c, r, rows[std::size_t(r)][c]);
    return grid;
}

// A one-column grid: heading "H", then the given data texts.
inline std::unique_ptr<TSortableGrid> makeColumn(const QStringList& texts)
{
    std::vector<QStringList> rows{{QStringLiteral("H")}};
    for (const QString& text : texts)
        rows.push_back({text});
    return makeGrid(rows);
}

// The data texts of a column, top to bottom.
inline QStringList dataTexts(const TSortableGrid& grid, int col)
{
    QStringList texts;
    for (int row = grid.FixedRows(); row < grid.RowCount(); ++row)
        texts.append(grid.Cells(col, row));
    return texts;
}

} // namespace wl::test
