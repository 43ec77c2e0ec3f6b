#pragma once

#include "globe/Canvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <cstdint>
#include <optional>
#include <vector>

namespace wl {

class TextLayoutCache;

// Draws the globe engine's canvas calls with QPainter, on any QPaintDevice (window picture,
// image, printer).
class PainterCanvas : public Canvas
{
public:
    // With a layout cache, level text drawn over a transparent background reuses the layouts
    // of earlier renders.
    explicit PainterCanvas(QPainter& painter, TextLayoutCache* layouts = nullptr);

    static QColor toQColor(GlobeColor color);
    QPainter& painter() { return m_painter; }

    void setPen(const PenData& pen) override;
    void setBrush(const BrushData& brush) override;
    void setFont(const std::string& face, std::uint8_t styles, std::int32_t angle, int pixelHeight,
                 GlobeColor color) override;
    void setTransparentText(bool transparent) override;
    bool transparentText() const override;
    void drawPolyline(const ScreenPoint* points, int n) override;
    void drawPolygon(const ScreenPoint* points, int n) override;
    void drawEllipse(int x1, int y1, int x2, int y2) override;
    void setPixel(int x, int y, GlobeColor color) override;
    void fillSpan(int x1, int x2, int y, GlobeColor color) override;
    void drawText(int x, int y, std::string_view text) override;
    void drawGlyph(int x, int y, char16_t glyph) override;
    ScreenPoint glyphExtent(char16_t glyph) override;
    ScreenPoint textBlockExtent(const std::vector<std::string>& lines, int maxWidth) override;
    void drawTextBlock(int x, int y, const std::vector<std::string>& lines, int maxWidth,
                       GlobeColor halo) override;
    int pixelsPerInch() const override;
    void setSkipRepeatedEllipses(bool on) override;

private:
    void drawTurnedText(int x, int y, const QString& text);
    void drawCachedText(int x, int y, const QString& text);
    const QFontMetrics& metrics();
    // Whatever is drawn may cover an earlier ellipse, which must then be drawn again.
    void forgetEllipses();
    // Whether an ellipse of this place and size was drawn since the canvas last forgot them;
    // marks it drawn.
    bool drawnBefore(int left, int top, int w, int h);
    // Width of a line in the current font, from the layout cache when there is one.
    int lineWidth(const QString& text);

    QPainter& m_painter;
    TextLayoutCache* m_layouts;
    QFont m_font;
    QString m_fontKey;                     // m_font.key(), made when the cache first needs it
    int m_ascent = -1;                     // of m_font, measured when first needed
    std::optional<QFontMetrics> m_metrics; // of m_font, made when first needed
    bool m_painterHasFont = false;
    QColor m_textColor;
    std::optional<PenData> m_pen; // the last pen and brush set, as data and as given to Qt
    QPen m_qpen;
    std::optional<BrushData> m_brush;
    QBrush m_qbrush;
    std::int32_t m_angle = 0; // tenths of a degree, counter-clockwise
    bool m_skipRepeats = false;
    // Ellipses drawn in the run with the current pen, brush and size: the stamp of the run at
    // each top-left pixel of the surface.
    std::vector<std::uint32_t> m_ellipseMarks;
    std::uint32_t m_ellipseStamp = 1;
    bool m_ellipsesMarked = false;
    int m_ellipseW = 0, m_ellipseH = 0;
};

} // namespace wl
