#pragma once

#include "globe/Canvas.h"

#include <string>
#include <vector>

// Records what objects draw, so tests can check positions and colours without pixels.
class RecordingCanvas : public wl::Canvas
{
public:
    struct Call
    {
        std::string what;
        std::vector<wl::ScreenPoint> points;
        std::string text;
        wl::GlobeColor color = 0;
    };

    void setPen(const wl::PenData& p) override { pen = p; }
    void setBrush(const wl::BrushData& b) override { brush = b; }
    void setFont(const std::string&, std::uint8_t, std::int32_t, int height,
                 wl::GlobeColor color) override
    {
        fontHeight = height;
        fontColor = color;
    }
    void setTransparentText(bool t) override { transparent = t; }
    bool transparentText() const override { return transparent; }
    void drawPolyline(const wl::ScreenPoint* p, int n) override
    {
        calls.push_back({"polyline", {p, p + n}, {}, pen.color});
    }
    void drawPolygon(const wl::ScreenPoint* p, int n) override
    {
        calls.push_back({"polygon", {p, p + n}, {}, brush.color});
    }
    void drawEllipse(int x1, int y1, int x2, int y2) override
    {
        calls.push_back({"ellipse", {{x1, y1}, {x2, y2}}, {}, brush.color});
    }
    void setPixel(int x, int y, wl::GlobeColor c) override
    {
        calls.push_back({"pixel", {{x, y}}, {}, c});
    }
    void drawText(int x, int y, std::string_view t) override
    {
        calls.push_back({"text", {{x, y}}, std::string(t), fontColor});
    }
    void drawGlyph(int x, int y, char16_t g) override
    {
        calls.push_back({"glyph", {{x, y}}, std::string(1, static_cast<char>(g)), fontColor});
    }
    wl::ScreenPoint glyphExtent(char16_t) override { return {10, 20}; }
    int pixelsPerInch() const override { return 96; }

    wl::PenData pen;
    wl::BrushData brush;
    int fontHeight = 0;
    wl::GlobeColor fontColor = 0;
    bool transparent = false;
    std::vector<Call> calls;
};
