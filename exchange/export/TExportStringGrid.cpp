#include "exchange/export/TExportStringGrid.h"

#include "exchange/export/ExportMessages.h"
#include "exchange/export/WidgetExportHost.h"
#include "grid/TSortableGrid.h"

#include <QWidget>

namespace wl {

TExportStringGrid::TExportStringGrid(QWidget* owner, TSortableGrid* grid)
    : TExportComponent(std::make_unique<WidgetExportHost>(owner), owner), grid_(grid)
{
    if (!grid_ && owner)
        grid_ = owner->findChild<TSortableGrid*>();
    SetOptions(Options());
}

TSortableGrid* TExportStringGrid::StringGrid() const
{
    return grid_;
}

void TExportStringGrid::SetStringGrid(TSortableGrid* grid)
{
    grid_ = grid;
}

void TExportStringGrid::SetOptions(TExportOptions options)
{
    options.setFlag(ExportAllWhenNoneSelected, false);
    TExportComponent::SetOptions(options);
}

bool TExportStringGrid::isExported(int col) const
{
    return Options().testFlag(ExportInvisibleCols) || grid_->ColWidths(col) > 0;
}

QString TExportStringGrid::captionOf(int col) const
{
    const QStringList captions = Captions();
    return col < captions.size() ? captions[col] : GetColumnCaption(col);
}

QString TExportStringGrid::GetColumnCaption(int col) const
{
    return grid_ ? grid_->Cells(col, 0) : QString();
}

int TExportStringGrid::GetItemCount()
{
    if (!grid_)
        return 0;
    if (Options().testFlag(SelectedRowsOnly)) {
        const TSortableGrid::TGridRect selection = grid_->Selection();
        SetSelectionCount(selection.Bottom - selection.Top + 1);
        if (SelectionCount() > 0)
            return SelectionCount();
    }
    return grid_->RowCount() - 1;
}

bool TExportStringGrid::IsItemSelected() const
{
    if (!grid_)
        return false;
    const TSortableGrid::TGridRect selection = grid_->Selection();
    return ItemCursor() >= selection.Top - 1 && ItemCursor() <= selection.Bottom - 1;
}

void TExportStringGrid::GetColumns(QStringList& list)
{
    list.clear();
    if (!grid_)
        return;
    for (int col = 0; col < grid_->ColCount(); ++col) {
        if (isExported(col))
            list << captionOf(col);
    }
}

void TExportStringGrid::FillItem(QStringList& cells)
{
    if (!grid_)
        return;
    const int row = ItemCursor() + 1;
    for (int col = 0; col < grid_->ColCount(); ++col) {
        if (!isExported(col))
            continue;
        const QString shown = grid_->Cells(col, row);
        std::optional<QString> whole;
        if (WholeCellText)
            whole = WholeCellText(col, row, shown);
        cells << (whole ? *whole : shown);
    }
}

int TExportStringGrid::SourceItemCount() const
{
    return grid_ ? grid_->RowCount() - 1 : 0;
}

bool TExportStringGrid::CanExport()
{
    if (!grid_) {
        Host().message(ExportMessageKind::Error, ExportMessages::NoGrid());
        return false;
    }
    if (grid_->RowCount() <= 1) {
        Host().message(ExportMessageKind::Warning, ExportMessages::NoData());
        return false;
    }
    for (int col = 0; col < grid_->ColCount(); ++col) {
        if (isExported(col) && !captionOf(col).trimmed().isEmpty())
            return true;
    }
    Host().message(ExportMessageKind::Warning, ExportMessages::NoVisibleData());
    return false;
}

} // namespace wl
