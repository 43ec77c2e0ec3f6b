#include "grid/GridDelegate.h"

#include "grid/TSortableGrid.h"

#include <QPainter>

namespace wl {

GridDelegate::GridDelegate(TSortableGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const
{
    const int row = index.row() + grid_.FixedRows();
    TGridDrawState state = grid_.stateOf(index.column(), row);
    state.Selected = option.state.testFlag(QStyle::State_Selected);
    grid_.DrawCell(*painter, option.rect, index.column(), row, state);
}

} // namespace wl
