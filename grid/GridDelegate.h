#pragma once

#include <QStyledItemDelegate>

namespace wl {

class TSortableGrid;

// Hands cell painting to the grid, which draws its own formatting; editing stays Qt's.
class GridDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit GridDelegate(TSortableGrid& grid);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    TSortableGrid& grid_;
};

} // namespace wl
