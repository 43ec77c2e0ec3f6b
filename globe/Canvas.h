#pragma once

#include "globe/DrawStyle.h"
#include "globe/ScreenPoint.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace wl {

// The drawing surface as the objects see it; the render layer implements it with QPainter.
// Text is single-byte text in the data's code page.
class Canvas
{
public:
    virtual ~Canvas() = default;

    virtual void setPen(const PenData& pen) = 0;
    virtual void setBrush(const BrushData& brush) = 0;
    // pixelHeight is the character height in device pixels (at least 1).
    virtual void setFont(const std::string& face, std::uint8_t styles, std::int32_t angle,
                         int pixelHeight, GlobeColor color) = 0;
    virtual void setTransparentText(bool transparent) = 0;
    virtual bool transparentText() const = 0;

    virtual void drawPolyline(const ScreenPoint* points, int n) = 0;
    virtual void drawPolygon(const ScreenPoint* points, int n) = 0;
    virtual void drawEllipse(int x1, int y1, int x2, int y2) = 0;
    virtual void setPixel(int x, int y, GlobeColor color) = 0;
    // Sets the pixels x1..x2 (inclusive) of row y.
    virtual void fillSpan(int x1, int x2, int y, GlobeColor color)
    {
        for (int x = x1; x <= x2; ++x)
            setPixel(x, y, color);
    }
    // Writes text with its top-left corner at (x, y) in the current font.
    virtual void drawText(int x, int y, std::string_view text) = 0;
    virtual void drawGlyph(int x, int y, char16_t glyph) = 0;
    virtual ScreenPoint glyphExtent(char16_t glyph) = 0;
    // Size of lines of text set one under another in the current font, each line cut to
    // maxWidth pixels with the truncation mark.
    virtual ScreenPoint textBlockExtent(const std::vector<std::string>& lines, int maxWidth)
    {
        const ScreenPoint c = glyphExtent(u'x');
        int w = 0;
        for (const std::string& line : lines)
            w = std::max(w, std::min(maxWidth, static_cast<int>(line.size()) * c.x));
        return {w, static_cast<int>(lines.size()) * c.y};
    }
    // Writes such a block with its top-left corner at (x, y), each letter ringed with halo so
    // the text reads on land and water alike.
    virtual void drawTextBlock(int x, int y, const std::vector<std::string>& lines, int maxWidth,
                               GlobeColor halo)
    {
        (void)maxWidth;
        (void)halo;
        const int h = glyphExtent(u'x').y;
        for (const std::string& line : lines) {
            drawText(x, y, line);
            y += h;
        }
    }
    virtual int pixelsPerInch() const = 0;

    // During a run of drawing with nothing else drawn on the surface in between (one layer's
    // objects), an ellipse drawn again where the same pen and brush already drew it changes
    // no pixel, and the canvas may leave it out: a million points of a log fall on a few
    // thousand pixels. Switching it off ends the run.
    virtual void setSkipRepeatedEllipses(bool) {}
};

} // namespace wl
