#pragma once

#include "app/AppTestSupport.h"
#include "app/report/TPagePrinter.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPicture>
#include <QPrinter>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

namespace wl::test {

// A base that makes the application before the members of a fixture: printers need it.
struct ApplicationFirst
{
    ApplicationFirst() { ensureApplication(); }
};

// One text of a page: its top-left corner in twips, as the report places texts.
struct PageText
{
    QString text;
    QPoint at;
    QFont font;
    QColor color;
};

struct PageFill
{
    QRect rect;
    QColor color;
};

// A paint engine that keeps what is drawn on it instead of drawing: pages played onto it
// tell where each text went, in which font and colour.
class CaptureEngine : public QPaintEngine
{
public:
    CaptureEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    std::vector<PageText> texts;
    std::vector<PageFill> fills;

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }
    void updateState(const QPaintEngineState& state) override
    {
        if (state.state() & QPaintEngine::DirtyPen)
            pen_ = state.pen();
        if (state.state() & QPaintEngine::DirtyBrush)
            brush_ = state.brush();
    }
    void drawTextItem(const QPointF& p, const QTextItem& item) override
    {
        const QFontMetrics metrics(item.font());
        texts.push_back({item.text(), QPoint(qRound(p.x()), qRound(p.y()) - metrics.ascent()),
                         item.font(), pen_.color()});
    }
    void drawRects(const QRect* rects, int count) override
    {
        for (int i = 0; i < count; ++i)
            fills.push_back({rects[i], brush_.color()});
    }
    void drawRects(const QRectF* rects, int count) override
    {
        for (int i = 0; i < count; ++i)
            fills.push_back({rects[i].toRect(), brush_.color()});
    }
    void drawPath(const QPainterPath& path) override
    {
        fills.push_back({path.boundingRect().toRect(), brush_.color()});
    }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}

private:
    QPen pen_;
    QBrush brush_;
};

class CaptureDevice : public QPaintDevice
{
public:
    CaptureEngine engine;
    QPaintEngine* paintEngine() const override { return const_cast<CaptureEngine*>(&engine); }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth:
        case PdmHeight:
            return 20000;
        case PdmWidthMM:
        case PdmHeightMM:
            return 5000;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return INT_MAX;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(QPaintDevice::devicePixelRatioFScale());
        }
        return 0;
    }
};

// What page n of a finished document shows.
struct CapturedPage
{
    std::vector<PageText> texts;
    std::vector<PageFill> fills;

    const PageText* find(const QString& text) const
    {
        for (const PageText& t : texts) {
            if (t.text == text)
                return &t;
        }
        return nullptr;
    }
    bool has(const QString& text) const { return find(text) != nullptr; }
    // The texts whose top is at y, left to right.
    QStringList line(int y) const
    {
        std::vector<const PageText*> hits;
        for (const PageText& t : texts) {
            if (t.at.y() == y)
                hits.push_back(&t);
        }
        std::sort(hits.begin(), hits.end(),
                  [](const PageText* a, const PageText* b) { return a->at.x() < b->at.x(); });
        QStringList result;
        for (const PageText* t : hits)
            result << t->text;
        return result;
    }
};

inline CapturedPage capture(const TPagePrinter& pages, int n)
{
    CaptureDevice device;
    {
        QPainter painter(&device);
        painter.drawPicture(0, 0, *pages.PageMetafile(n));
    }
    return {device.engine.texts, device.engine.fills};
}

// A printer without a print server: letter paper at 600 dots per inch, writing PDF.
inline std::unique_ptr<QPrinter> letterPrinter()
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setResolution(600);
    printer->setPageSize(QPageSize(QPageSize::Letter));
    printer->setPageOrientation(QPageLayout::Portrait);
    return printer;
}

inline int pdfPageCount(const QByteArray& pdf)
{
    return int(pdf.count("/Type /Page")) - int(pdf.count("/Type /Pages"));
}

inline QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Page n of a PDF file as poppler draws it at dpi dots per inch; a null image when it cannot.
inline QImage renderPdfPage(const QString& pdf, int n, int dpi)
{
    QTemporaryDir out;
    const QString prefix = out.filePath(QStringLiteral("page"));
    QProcess pdftoppm;
    pdftoppm.start(QStringLiteral("pdftoppm"),
                   {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"),
                    QString::number(n), QStringLiteral("-l"), QString::number(n),
                    QStringLiteral("-singlefile"), QStringLiteral("-png"), pdf, prefix});
    if (!pdftoppm.waitForFinished(60000) || pdftoppm.exitCode() != 0)
        return {};
    return QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

inline bool isInk(QRgb pixel)
{
    return qGray(pixel) < 160;
}

// Where an image has ink (dark pixels): a grid of cells of the given size, true where a cell
// holds any ink. Comparing cells instead of pixels forgives the small differences between two
// renderers' anti-aliasing and glyph shapes.
inline std::vector<std::vector<bool>> inkCells(const QImage& image, int cell)
{
    std::vector<std::vector<bool>> cells(size_t((image.height() + cell - 1) / cell),
                                         std::vector<bool>(size_t((image.width() + cell - 1) / cell)));
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (isInk(line[x]))
                cells[size_t(y / cell)][size_t(x / cell)] = true;
        }
    }
    return cells;
}

} // namespace wl::test
