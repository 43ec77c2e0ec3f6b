#include "globe/PainterCanvas.h"

#include "globe/TextLayoutCache.h"

#include <QFontMetrics>
#include <QLine>
#include <QPaintDevice>
#include <QPen>
#include <QPoint>
#include <QStaticText>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

namespace wl {

namespace {

Qt::PenStyle penStyle(std::uint8_t s)
{
    switch (static_cast<PenStyle>(s)) {
    case PenStyle::Dash:
        return Qt::DashLine;
    case PenStyle::Dot:
        return Qt::DotLine;
    case PenStyle::DashDot:
        return Qt::DashDotLine;
    case PenStyle::DashDotDot:
        return Qt::DashDotDotLine;
    case PenStyle::Clear:
        return Qt::NoPen;
    default:
        return Qt::SolidLine;
    }
}

Qt::BrushStyle brushStyle(std::uint8_t s)
{
    switch (static_cast<BrushStyle>(s)) {
    case BrushStyle::Clear:
        return Qt::NoBrush;
    case BrushStyle::Horizontal:
        return Qt::HorPattern;
    case BrushStyle::Vertical:
        return Qt::VerPattern;
    case BrushStyle::FDiagonal:
        return Qt::FDiagPattern;
    case BrushStyle::BDiagonal:
        return Qt::BDiagPattern;
    case BrushStyle::Cross:
        return Qt::CrossPattern;
    case BrushStyle::DiagCross:
        return Qt::DiagCrossPattern;
    default:
        return Qt::SolidPattern;
    }
}

// The edges of a closed polygon that are not run in both directions.
std::vector<QLine> outlineOf(const std::vector<QPoint>& q)
{
    const auto point = [](QPoint a) {
        return (std::uint64_t{static_cast<std::uint32_t>(a.x())} << 32) |
               static_cast<std::uint32_t>(a.y());
    };
    std::vector<std::pair<std::uint64_t, std::uint64_t>> edges;
    const std::size_t n = q.size();
    edges.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        edges.emplace_back(point(q[i]), point(q[(i + 1) % n]));
    std::sort(edges.begin(), edges.end());
    std::vector<QLine> outline;
    outline.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const QPoint a = q[i], b = q[(i + 1) % n];
        if (a == b ||
            !std::binary_search(edges.begin(), edges.end(), std::pair{point(b), point(a)}))
            outline.emplace_back(a, b);
    }
    return outline;
}

std::vector<QPoint> toQPoints(const ScreenPoint* points, int n)
{
    std::vector<QPoint> q;
    q.reserve(static_cast<std::size_t>(std::max(n, 0)));
    for (int i = 0; i < n; ++i)
        q.emplace_back(points[i].x, points[i].y);
    return q;
}

} // namespace

PainterCanvas::PainterCanvas(QPainter& painter, TextLayoutCache* layouts)
    : m_painter(painter), m_layouts(layouts)
{
}

QColor PainterCanvas::toQColor(GlobeColor c)
{
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// A map sets the same pen and brush for each of its many points: the painter's state is
// changed only when they differ from what it holds, which also covers a render handler that
// drew with the painter in between.
void PainterCanvas::setPen(const PenData& pen)
{
    if (m_pen && m_pen->color == pen.color && m_pen->style == pen.style &&
        m_pen->width == pen.width && m_painter.pen() == m_qpen)
        return;
    m_qpen = QPen(toQColor(pen.color));
    m_qpen.setWidth(std::max<int>(pen.width, 1));
    m_qpen.setStyle(penStyle(pen.style));
    m_pen = pen;
    m_painter.setPen(m_qpen);
    forgetEllipses();
}

void PainterCanvas::setBrush(const BrushData& brush)
{
    if (m_brush && m_brush->color == brush.color && m_brush->style == brush.style &&
        m_painter.brush() == m_qbrush)
        return;
    m_qbrush = QBrush(toQColor(brush.color), brushStyle(brush.style));
    m_brush = brush;
    m_painter.setBrush(m_qbrush);
    forgetEllipses();
}

void PainterCanvas::setFont(const std::string& face, std::uint8_t styles, std::int32_t angle,
                            int pixelHeight, GlobeColor color)
{
    QFont f(QString::fromLatin1(face.data(), static_cast<qsizetype>(face.size())));
    f.setPixelSize(std::max(pixelHeight, 1));
    f.setBold(styles & FontBold);
    f.setItalic(styles & FontItalic);
    f.setUnderline(styles & FontUnderline);
    f.setStrikeOut(styles & FontStrikeOut);
    if (f != m_font) {
        m_font = f;
        m_fontKey.clear();
        m_ascent = -1;
        m_metrics.reset();
        m_painterHasFont = false;
    }
    m_textColor = toQColor(color);
    m_angle = angle;
}

void PainterCanvas::setTransparentText(bool transparent)
{
    m_painter.setBackgroundMode(transparent ? Qt::TransparentMode : Qt::OpaqueMode);
}

bool PainterCanvas::transparentText() const
{
    return m_painter.backgroundMode() == Qt::TransparentMode;
}

void PainterCanvas::drawPolyline(const ScreenPoint* points, int n)
{
    forgetEllipses();
    const auto q = toQPoints(points, n);
    m_painter.drawPolyline(q.data(), static_cast<int>(q.size()));
}

void PainterCanvas::drawPolygon(const ScreenPoint* points, int n)
{
    forgetEllipses();
    const auto q = toQPoints(points, n);
    // Without a pen there is no outline to look for.
    const std::vector<QLine> outline =
        m_painter.pen().style() == Qt::NoPen ? std::vector<QLine>{} : outlineOf(q);
    if (m_painter.pen().style() == Qt::NoPen || outline.size() == q.size()) {
        m_painter.drawPolygon(q.data(), static_cast<int>(q.size()), Qt::OddEvenFill);
        return;
    }
    // An edge run both ways (a cut that joins a ring to a hole, or two parts of a land tile
    // joined along the tile's border) cancels in the even-odd fill; stroked, it would draw a
    // line across the water the fill left open. The fill goes without them, the outline
    // without those edges.
    const QPen pen = m_painter.pen();
    m_painter.setPen(Qt::NoPen);
    m_painter.drawPolygon(q.data(), static_cast<int>(q.size()), Qt::OddEvenFill);
    m_painter.setPen(pen);
    m_painter.drawLines(outline.data(), static_cast<int>(outline.size()));
}

void PainterCanvas::setSkipRepeatedEllipses(bool on)
{
    m_skipRepeats = on;
    forgetEllipses();
}

void PainterCanvas::forgetEllipses()
{
    // A new stamp forgets every ellipse at once; on the rare wrap the marks are cleared.
    if (m_ellipsesMarked && ++m_ellipseStamp == 0) {
        std::fill(m_ellipseMarks.begin(), m_ellipseMarks.end(), 0);
        m_ellipseStamp = 1;
    }
    m_ellipsesMarked = false;
}

bool PainterCanvas::drawnBefore(int left, int top, int w, int h)
{
    if (w != m_ellipseW || h != m_ellipseH) {
        forgetEllipses();
        m_ellipseW = w;
        m_ellipseH = h;
    }
    const QPaintDevice* device = m_painter.device();
    if (!device || left < 0 || top < 0 || left >= device->width() || top >= device->height())
        return false;
    const auto cells =
        static_cast<std::size_t>(device->width()) * static_cast<std::size_t>(device->height());
    if (m_ellipseMarks.size() != cells)
        m_ellipseMarks.assign(cells, 0);
    std::uint32_t& mark =
        m_ellipseMarks[static_cast<std::size_t>(top) * static_cast<std::size_t>(device->width()) +
                       static_cast<std::size_t>(left)];
    m_ellipsesMarked = true;
    if (mark == m_ellipseStamp)
        return true;
    mark = m_ellipseStamp;
    return false;
}

void PainterCanvas::drawEllipse(int x1, int y1, int x2, int y2)
{
    const QRect r(QPoint(std::min(x1, x2), std::min(y1, y2)),
                  QPoint(std::max(x1, x2) - 1, std::max(y1, y2) - 1));
    // Painted again with the same pen and brush, an ellipse without smoothed edges leaves its
    // pixels as they are: a million points of a log fall on a few thousand pixels.
    if (m_skipRepeats && !m_painter.testRenderHint(QPainter::Antialiasing) &&
        drawnBefore(r.left(), r.top(), r.width(), r.height()))
        return;
    m_painter.drawEllipse(r);
}

void PainterCanvas::fillSpan(int x1, int x2, int y, GlobeColor color)
{
    forgetEllipses();
    m_painter.fillRect(QRect(x1, y, x2 - x1 + 1, 1), toQColor(color));
}

void PainterCanvas::setPixel(int x, int y, GlobeColor color)
{
    forgetEllipses();
    m_painter.save();
    m_painter.setPen(QPen(toQColor(color), 1));
    m_painter.drawPoint(x, y);
    m_painter.restore();
}

void PainterCanvas::drawTurnedText(int x, int y, const QString& text)
{
    forgetEllipses();
    m_painter.save();
    m_painter.setFont(m_font);
    m_painter.setPen(m_textColor);
    m_painter.translate(x, y);
    // The stored angle turns counter-clockwise; Qt's rotation is clockwise on screen.
    m_painter.rotate(-m_angle / 10.0);
    if (m_ascent < 0)
        m_ascent = QFontMetrics(m_font).ascent();
    m_painter.drawText(0, m_ascent, text);
    m_painter.restore();
}

void PainterCanvas::drawCachedText(int x, int y, const QString& text)
{
    forgetEllipses();
    if (m_fontKey.isEmpty())
        m_fontKey = m_font.key();
    const QStaticText& layout = m_layouts->layout(text, m_font, m_fontKey);
    // The painter keeps this canvas's font between texts; a layout drawn in another font would
    // be laid out again.
    if (!m_painterHasFont) {
        m_painter.setFont(m_font);
        m_painterHasFont = true;
    }
    const QPen pen = m_painter.pen();
    m_painter.setPen(m_textColor);
    m_painter.drawStaticText(x, y, layout);
    m_painter.setPen(pen);
}

void PainterCanvas::drawText(int x, int y, std::string_view text)
{
    // Titles are single-byte text; drawn as plain text, never interpreted.
    const QString s = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    // A static text has no background of its own, so opaque text takes the plain path.
    if (m_layouts && m_angle == 0 && transparentText())
        drawCachedText(x, y, s);
    else
        drawTurnedText(x, y, s);
}

const QFontMetrics& PainterCanvas::metrics()
{
    if (!m_metrics)
        m_metrics.emplace(m_font);
    return *m_metrics;
}

int PainterCanvas::lineWidth(const QString& text)
{
    if (m_layouts) {
        if (m_fontKey.isEmpty())
            m_fontKey = m_font.key();
        return static_cast<int>(
            std::ceil(m_layouts->layout(text, m_font, m_fontKey).size().width()));
    }
    return metrics().horizontalAdvance(text);
}

ScreenPoint PainterCanvas::textBlockExtent(const std::vector<std::string>& lines, int maxWidth)
{
    int w = 0;
    for (const std::string& line : lines)
        w = std::max(w, std::min(maxWidth, lineWidth(QString::fromLatin1(
                                               line.data(), static_cast<qsizetype>(line.size())))));
    // One pixel of halo on every side.
    return {w + 2, static_cast<int>(lines.size()) * metrics().height() + 2};
}

void PainterCanvas::drawTextBlock(int x, int y, const std::vector<std::string>& lines, int maxWidth,
                                  GlobeColor halo)
{
    forgetEllipses();
    const QPen pen = m_painter.pen();
    m_painter.setFont(m_font);
    m_painterHasFont = true;
    const QColor ring = toQColor(halo);
    const int h = metrics().height();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        QString text =
            QString::fromLatin1(lines[i].data(), static_cast<qsizetype>(lines[i].size()));
        const bool cut = lineWidth(text) > maxWidth;
        if (cut)
            text = metrics().elidedText(text, Qt::ElideRight, maxWidth);
        // The layout cache keeps whole titles; a cut one is laid out on its own.
        QStaticText own;
        if (cut) {
            own.setText(text);
            own.setTextFormat(Qt::PlainText);
            own.prepare(m_painter.transform(), m_font);
        } else if (m_fontKey.isEmpty()) {
            m_fontKey = m_font.key();
        }
        const QStaticText& layout =
            cut || !m_layouts ? own : m_layouts->layout(text, m_font, m_fontKey);
        if (!cut && !m_layouts) {
            own.setText(text);
            own.setTextFormat(Qt::PlainText);
        }
        const int tx = x + 1, ty = y + 1 + static_cast<int>(i) * h;
        m_painter.setPen(ring);
        for (const auto& [dx, dy] :
             {std::pair{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}})
            m_painter.drawStaticText(tx + dx, ty + dy, layout);
        m_painter.setPen(m_textColor);
        m_painter.drawStaticText(tx, ty, layout);
    }
    m_painter.setPen(pen);
}

void PainterCanvas::drawGlyph(int x, int y, char16_t glyph)
{
    drawTurnedText(x, y, QString(QChar(glyph)));
}

ScreenPoint PainterCanvas::glyphExtent(char16_t glyph)
{
    const QFontMetrics m(m_font);
    return {m.horizontalAdvance(QChar(glyph)), m.height()};
}

int PainterCanvas::pixelsPerInch() const
{
    return m_painter.device() ? m_painter.device()->logicalDpiY() : 96;
}

} // namespace wl
