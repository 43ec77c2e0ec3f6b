#pragma once

#include "grid/CellColumn.h"

#include <QAbstractTableModel>

#include <functional>
#include <string_view>
#include <vector>

namespace wl {

// The cells of a TSortableGrid, fixed rows included, stored column by column.
//
// The grid addresses cells as (column, row) over the whole array, row 0 being the first fixed
// row. Views see only the data rows; the fixed rows' texts are the horizontal header (several
// fixed rows show as lines of one heading).
class GridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit GridModel(QObject* parent = nullptr);

    int RowCount() const { return rowCount_; }
    int ColCount() const { return int(columns_.size()); }
    int FixedRows() const { return fixedRows_; }
    int FixedCols() const { return fixedCols_; }
    // The row count never falls below FixedRows, the column count never below 1 or FixedCols.
    void setRowCount(int rows);
    void setColCount(int cols);
    void setFixedRows(int rows);
    void setFixedCols(int cols);

    bool validCell(int col, int row) const
    {
        return col >= 0 && col < ColCount() && row >= 0 && row < rowCount_;
    }
    QString cell(int col, int row) const;
    void setCell(int col, int row, const QString& text);
    // Stores a cell's text given as UTF-8 without telling the views: for a fill that sets many
    // cells and then announces them at once with dataChanged.
    void storeCellUtf8(int col, int row, std::string_view text);
    QVariant object(int col, int row) const;
    void setObject(int col, int row, const QVariant& object);
    const CellColumn& column(int col) const { return columns_[std::size_t(col)]; }
    // Column widths live with the columns so they follow inserts, removals and moves.
    int columnWidth(int col) const;
    void setColumnWidth(int col, int width);
    void forgetTextWidths();

    // Empties every cell (texts and objects); counts stay.
    void clearCells();
    void insertRow(int row);
    void removeRow(int row);
    void moveRow(int from, int to);
    void insertColumn(int col);
    void removeColumn(int col);
    void moveColumn(int from, int to);
    // Adds `count` rows at the end; `write` sets their cells (the first new row is passed) while
    // the views wait, and they then see one insertion, not a reset: a view keeps its scroll
    // position and selection while a long list is still growing.
    void appendRows(int count, const std::function<void(int firstRow)>& write);
    // Replaces every cell by columns filled elsewhere (each with `rows` ids, fixed rows
    // included), as one reset. Column 0 keeps its width; the other columns take the default.
    void replaceColumns(std::vector<CellColumn>&& columns, int rows);
    // Reorders the data rows: data row i takes the row that was data row order[i].
    void applyRowOrder(const std::vector<std::uint32_t>& order);

    // Between beginBatch and endBatch the views see one reset instead of a change per cell.
    void beginBatch();
    void endBatch();

    bool Editable() const { return editable_; }
    void setEditable(bool editable) { editable_ = editable; }
    // Called instead of storing when a view's editor hands over a text.
    std::function<void(int col, int row, const QString& text)> onEditorText;

    // QAbstractItemModel: the data rows only.
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    std::size_t memoryBytes() const;

private:
    bool batching() const { return batchDepth_ > 0; }
    void resetAround(const std::function<void()>& change);
    void notifyCell(int col, int row);

    std::vector<CellColumn> columns_;
    int rowCount_ = 0;
    int fixedRows_ = 0;
    int fixedCols_ = 0;
    int batchDepth_ = 0;
    bool editable_ = false;
};

} // namespace wl
