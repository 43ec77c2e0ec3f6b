#pragma once

#include "exchange/export/TExportComponent.h"

#include "grid/TSortableGrid.h"

#include <QPointer>

#include <functional>
#include <optional>

class QWidget;

namespace wl {

// Exports the rows of a string grid as displayed: row 0 gives the captions, rows 1 and down
// the items, columns of width 0 are left out unless ExportInvisibleCols is set.
class TExportStringGrid : public TExportComponent
{
    Q_OBJECT
public:
    // Without a grid, the first string grid among the owner's children is taken.
    explicit TExportStringGrid(QWidget* owner, TSortableGrid* grid = nullptr);

    // The whole text behind a cell that the grid shows shortened (the grid cuts long texts and
    // puts notes on one line), by grid column and row (1 for the first item); nullopt keeps
    // the cell as shown. Unset, every cell is exported as shown.
    std::function<std::optional<QString>(int col, int row, const QString& shown)> WholeCellText;

    // The grid may go away before the component; it is forgotten then.
    TSortableGrid* StringGrid() const;
    void SetStringGrid(TSortableGrid* grid);

    // ExportAllWhenNoneSelected does not apply to a grid, which always has a current row.
    void SetOptions(TExportOptions options) override;

    QString GetColumnCaption(int col) const override;
    int GetItemCount() override;
    bool IsItemSelected() const override;
    void GetColumns(QStringList& list) override;
    void FillItem(QStringList& cells) override;
    bool CanExport() override;

protected:
    int SourceItemCount() const override;

private:
    bool isExported(int col) const;
    QString captionOf(int col) const;

    QPointer<TSortableGrid> grid_;
};

} // namespace wl
