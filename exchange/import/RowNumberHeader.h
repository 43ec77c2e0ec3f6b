#pragma once

#include <QHeaderView>

namespace wl {

// The side heading of the import spreadsheet: each data row shows its number, the number the
// messages about refused rows use (the heading row is row 0, so the first data row is 1).
// The grid's model names no rows, so the numbers are drawn here.
class RowNumberHeader : public QHeaderView
{
public:
    explicit RowNumberHeader(QWidget* parent);

    static QString label(int logicalIndex) { return QString::number(logicalIndex + 1); }

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    QSize sectionSizeFromContents(int logicalIndex) const override;
    QSize sizeHint() const override;
};

} // namespace wl
