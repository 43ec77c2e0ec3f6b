#include "app/report/TPagePrinter.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPicture>
#include <QPrinter>
#include <QSaveFile>

#include <algorithm>

namespace wl {

namespace {

// Twips between two points of a font's size.
constexpr int TwipsPerPoint = 20;

// Printer margins in dots, whatever unit the layout keeps them in.
QPoint minimumMarginDots(const QPageLayout& layout, int dpiX, int dpiY)
{
    QPageLayout points = layout;
    points.setUnits(QPageLayout::Point);
    const QMarginsF margins = points.minimumMargins();
    return QPoint(qRound(margins.left() * dpiX / 72.0), qRound(margins.top() * dpiY / 72.0));
}

int toTwips(int dots, int dpi)
{
    return dpi > 0 ? qRound(double(dots) * TPagePrinter::TwipsPerInch / dpi) : 0;
}

} // namespace

TPagePrinter::PrinterGeometry TPagePrinter::PrinterGeometry::of(const QPrinter& printer)
{
    PrinterGeometry g;
    g.dpiX = printer.logicalDpiX();
    g.dpiY = printer.logicalDpiY();
    const QPageLayout layout = printer.pageLayout();
    const QRectF paper = layout.fullRectPoints();
    g.paperDots =
        QSize(qRound(paper.width() * g.dpiX / 72.0), qRound(paper.height() * g.dpiY / 72.0));
    g.offsetDots = minimumMarginDots(layout, g.dpiX, g.dpiY);
    return g;
}

TPagePrinter::TPagePrinter(QPrinter& printer)
    : printer_(printer), geometry_(PrinterGeometry::of(printer))
{
    orientation_ = printer.pageLayout().orientation() == QPageLayout::Landscape
                       ? Orientation::Landscape
                       : Orientation::Portrait;
    pageWidthInches_ = wholeInches(geometry_.paperDots.width(), geometry_.dpiX);
    pageHeightInches_ = wholeInches(geometry_.paperDots.height(), geometry_.dpiY);
}

TPagePrinter::~TPagePrinter()
{
    // The canvases paint on the pictures, so they end first.
    canvases_.clear();
}

int TPagePrinter::wholeInches(int dots, int dpi)
{
    return dpi > 0 ? std::max(1, dots / dpi) : 1;
}

QFont TPagePrinter::pageFont(const QString& face, int points, bool bold, bool italic)
{
    QFont font(face);
    font.setPixelSize(std::max(1, points) * TwipsPerPoint);
    font.setBold(bold);
    font.setItalic(italic);
    // Positions on the page are exact twips; hinting would bend widths towards screen pixels.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

void TPagePrinter::SetPageOrientation(Orientation orientation)
{
    orientation_ = orientation;
    printer_.setPageOrientation(orientation == Orientation::Landscape ? QPageLayout::Landscape
                                                                      : QPageLayout::Portrait);
    geometry_ = PrinterGeometry::of(printer_);
    pageWidthInches_ = wholeInches(geometry_.paperDots.width(), geometry_.dpiX);
    pageHeightInches_ = wholeInches(geometry_.paperDots.height(), geometry_.dpiY);
}

QSize TPagePrinter::pageTwips() const
{
    return QSize(pageWidthInches_ * TwipsPerInch, pageHeightInches_ * TwipsPerInch);
}

QPoint TPagePrinter::offsetTwips() const
{
    return QPoint(toTwips(geometry_.offsetDots.x(), geometry_.dpiX),
                  toTwips(geometry_.offsetDots.y(), geometry_.dpiY));
}

QSize TPagePrinter::paperTwips() const
{
    return QSize(toTwips(geometry_.paperDots.width(), geometry_.dpiX),
                 toTwips(geometry_.paperDots.height(), geometry_.dpiY));
}

QPoint TPagePrinter::pageOriginTwips() const
{
    const QSize paper = paperTwips();
    const QSize page = pageTwips();
    return QPoint(std::max(0, (paper.width() - page.width()) / 2),
                  std::max(0, (paper.height() - page.height()) / 2));
}

void TPagePrinter::StartPages()
{
    canvases_.clear();
    pages_.clear();
    cache_.clear();
    drawer_ = nullptr;
    drawnCount_ = 0;
    currentPage_ = 0;
    finished_ = false;
    AddPage();
}

void TPagePrinter::StartPages(int count, PageDrawer drawer)
{
    canvases_.clear();
    pages_.clear();
    cache_.clear();
    drawer_ = std::move(drawer);
    drawnCount_ = drawer_ ? std::max(count, 0) : 0;
    currentPage_ = drawnCount_;
    finished_ = true;
}

std::unique_ptr<QPicture> TPagePrinter::recordPage(int n) const
{
    auto picture = std::make_unique<QPicture>();
    picture->setBoundingRect(QRect(QPoint(0, 0), pageTwips()));
    QPainter canvas(picture.get());
    canvas.setBrush(Qt::NoBrush);
    canvas.setPen(Qt::black);
    canvas.setFont(pageFont(QStringLiteral("Arial"), 10));
    drawer_(canvas, n);
    canvas.end();
    return picture;
}

int TPagePrinter::AddPage()
{
    if (finished_)
        return 0;
    if (drawer_)
        return 0;
    auto picture = std::make_unique<QPicture>();
    picture->setBoundingRect(QRect(QPoint(0, 0), pageTwips()));
    auto canvas = std::make_unique<QPainter>(picture.get());
    canvas->setBrush(Qt::NoBrush);
    canvas->setPen(Qt::black);
    canvas->setFont(pageFont(QStringLiteral("Arial"), 10));
    pages_.push_back(std::move(picture));
    canvases_.push_back(std::move(canvas));
    currentPage_ = PageCount();
    return currentPage_;
}

QPainter* TPagePrinter::PageCanvas(int n)
{
    if (n < 1 || n > int(canvases_.size()))
        return nullptr;
    return canvases_[size_t(n - 1)].get();
}

const QPicture* TPagePrinter::PageMetafile(int n) const
{
    if (n < 1 || n > PageCount())
        return nullptr;
    if (!drawer_)
        return pages_[size_t(n - 1)].get();
    for (const auto& [page, picture] : cache_) {
        if (page == n)
            return picture.get();
    }
    if (cache_.size() >= CachedPages)
        cache_.pop_front();
    cache_.emplace_back(n, recordPage(n));
    return cache_.back().second.get();
}

void TPagePrinter::drawPage(QPainter& painter, int n) const
{
    // A drawn document goes to the printer straight, not through a recorded picture: the
    // painter already maps twips to the device, and a long report prints nearly twice as fast.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(Qt::black);
    painter.setFont(pageFont(QStringLiteral("Arial"), 10));
    drawer_(painter, n);
}

bool TPagePrinter::pageDone(int done, int total) const
{
    if (progress_ && !progress_(done, total))
        cancelled_ = true;
    return !cancelled_;
}

void TPagePrinter::FinishPages()
{
    if (finished_)
        return;
    for (auto& canvas : canvases_)
        canvas->end();
    canvases_.clear();
    finished_ = true;
}

void TPagePrinter::playPage(QPainter& painter, const QPicture& page)
{
    // A picture played on a device scales itself by the device's resolution over the one it
    // was recorded at; the painter already maps twips to the device, so that is undone here.
    // Without it a 600 dpi sheet gets the page 6.25 times too large, most of it off the paper.
    const QPaintDevice* device = painter.device();
    if (device && device->logicalDpiX() > 0 && device->logicalDpiY() > 0)
        painter.scale(double(page.logicalDpiX()) / device->logicalDpiX(),
                      double(page.logicalDpiY()) / device->logicalDpiY());
    painter.drawPicture(0, 0, page);
}

bool TPagePrinter::render(QPagedPaintDevice& device, int first, int last) const
{
    // The device draws from the sheet's corner; the page goes where the preview shows it.
    const QPoint origin = pageOriginTwips();
    const QPoint originDots(qRound(double(origin.x()) * device.logicalDpiX() / TwipsPerInch),
                            qRound(double(origin.y()) * device.logicalDpiY() / TwipsPerInch));
    cancelled_ = false;
    if (!finished_ || first < 1 || last > PageCount() || first > last)
        return false;
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const QSize page = pageTwips();
    const QRect visible(0, 0, page.width() - margins_.left() - margins_.right(),
                        page.height() - margins_.top() - margins_.bottom());
    for (int n = first; n <= last; ++n) {
        if (n > first && !device.newPage()) {
            painter.end();
            return false;
        }
        painter.save();
        painter.translate(originDots);
        painter.scale(double(device.logicalDpiX()) / TwipsPerInch,
                      double(device.logicalDpiY()) / TwipsPerInch);
        painter.translate(margins_.left(), margins_.top());
        painter.setClipRect(visible);
        if (drawer_)
            drawPage(painter, n);
        else
            playPage(painter, *PageMetafile(n));
        painter.restore();
        if (!pageDone(n - first + 1, last - first + 1)) {
            // A stopped print job is dropped rather than sent half done.
            if (auto* printer = dynamic_cast<QPrinter*>(&device))
                printer->abort();
            painter.end();
            return false;
        }
    }
    return painter.end();
}

bool TPagePrinter::PrintPageRange(int first, int last)
{
    // Positions count from the sheet's corner, as in the preview.
    printer_.setFullPage(true);
    const bool printed = render(printer_, first, last);
    return printed && printer_.printerState() != QPrinter::Error;
}

bool TPagePrinter::PrintToPdf(const QString& path, QString& error) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    bool drawn = false;
    {
        QPdfWriter writer(&file);
        writer.setResolution(600);
        writer.setCreator(QStringLiteral("Wavelark"));
        QPageLayout layout = printer_.pageLayout();
        layout.setMinimumMargins(QMarginsF());
        layout.setMargins(QMarginsF());
        writer.setPageLayout(layout);
        drawn = render(writer, 1, PageCount());
    }
    if (!drawn) {
        error = cancelled_ ? QStringLiteral("Printing was cancelled.")
                : file.error() != QFileDevice::NoError
                    ? file.errorString()
                    : QStringLiteral("The pages could not be drawn.");
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

} // namespace wl
