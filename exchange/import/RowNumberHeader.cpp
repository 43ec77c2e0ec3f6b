#include "exchange/import/RowNumberHeader.h"

#include <QPainter>
#include <QStyleOptionHeader>

namespace wl {

RowNumberHeader::RowNumberHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent)
{
    setObjectName(QStringLiteral("RowNumbers"));
    setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void RowNumberHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (!rect.isValid())
        return;
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.rect = rect;
    option.section = logicalIndex;
    option.text = label(logicalIndex);
    option.textAlignment = defaultAlignment();
    option.position = QStyleOptionHeader::Middle;
    painter->save();
    style()->drawControl(QStyle::CE_Header, &option, painter, this);
    painter->restore();
}

QSize RowNumberHeader::sectionSizeFromContents(int logicalIndex) const
{
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.section = logicalIndex;
    option.text = label(logicalIndex);
    const QSize text = fontMetrics().size(Qt::TextSingleLine, option.text);
    return style()->sizeFromContents(QStyle::CT_HeaderSection, &option, text, this);
}

// As wide as the number of the last row, measured without visiting every section: a file of a
// million rows would otherwise be measured row by row.
QSize RowNumberHeader::sizeHint() const
{
    const int rows = count();
    const QSize widest = sectionSizeFromContents(std::max(rows - 1, 0));
    return QSize(widest.width() + fontMetrics().horizontalAdvance(QLatin1Char('0')),
                 QHeaderView::sizeHint().height());
}

} // namespace wl
