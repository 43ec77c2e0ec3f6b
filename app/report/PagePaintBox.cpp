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
    // The whole sheet is shown, the page centred on it as the printer places it.
    const QSize paper = pages_.paperTwips();
    resize(PreviewZoom::pixels(paper.width(), zoom), PreviewZoom::pixels(paper.height(), zoom));
    update();
}

void PagePaintBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const QPoint origin = pages_.pageOriginTwips();
    painter.translate(PreviewZoom::pixels(origin.x(), zoom_), PreviewZoom::pixels(origin.y(), zoom_));
    const QSize page = pages_.pageTwips();
    const QRect pageRect(0, 0, PreviewZoom::pixels(page.width(), zoom_),
                         PreviewZoom::pixels(page.height(), zoom_));
    const QMargins m = pages_.GetMargins();
    const int left = PreviewZoom::pixels(m.left(), zoom_);
    const int top = PreviewZoom::pixels(m.top(), zoom_);
    const int right = PreviewZoom::pixels(m.right(), zoom_);
    const int bottom = PreviewZoom::pixels(m.bottom(), zoom_);
    if (pages_.FrameMargins) {
        painter.fillRect(pageRect, pages_.MarginColor);
        painter.translate(left, top);
        painter.setClipRect(
            QRect(0, 0, pageRect.width() - left - right, pageRect.height() - top - bottom));
        painter.fillRect(pageRect, Qt::white);
    }
    const QPicture* picture = pages_.PageMetafile(page_);
    if (!picture)
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(double(zoom_) / TPagePrinter::TwipsPerInch,
                  double(zoom_) / TPagePrinter::TwipsPerInch);
    TPagePrinter::playPage(painter, *picture);
}

} // namespace wl
