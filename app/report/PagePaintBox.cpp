#include "app/report/PagePaintBox.h"

#include "app/report/PreviewZoom.h"
#include "app/report/TPagePrinter.h"

#include <QPainter>
#include <QPicture>

namespace wl {

PagePaintBox::PagePaintBox(const TPagePrinter& pages, QWidget* parent)
    : QWidget(parent), pages_(pages)
{
    setObjectName(QStringLiteral("PaintBox1"));
}

void PagePaintBox::showPage(int page, int zoom)
{
    page_ = page;
    zoom_ = zoom;
    resize(zoom * pages_.PageWidthInches(), zoom * pages_.PageHeightInches());
    update();
}

void PagePaintBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QMargins m = pages_.GetMargins();
    const int left = PreviewZoom::pixels(m.left(), zoom_);
    const int top = PreviewZoom::pixels(m.top(), zoom_);
    const int right = PreviewZoom::pixels(m.right(), zoom_);
    const int bottom = PreviewZoom::pixels(m.bottom(), zoom_);
    if (pages_.FrameMargins) {
        painter.fillRect(rect(), pages_.MarginColor);
        painter.translate(left, top);
        painter.setClipRect(QRect(0, 0, width() - left - right, height() - top - bottom));
    }
    painter.fillRect(rect(), Qt::white);
    const QPicture* picture = pages_.PageMetafile(page_);
    if (!picture)
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(double(width()) / pages_.pageTwips().width(),
                  double(height()) / pages_.pageTwips().height());
    TPagePrinter::playPage(painter, *picture);
}

} // namespace wl
