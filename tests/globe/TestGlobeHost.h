#pragma once

// A control stand-in for the object tests and the fuzz target: a spherical projection on a
// fixed surface, recorded selection and events, and drawing services that only count.

#include "globe/GlobeHost.h"
#include "globe/GlobeObject.h"
#include "globe/LLPointList.h"
#include "globe/PrjHost.h"
#include "globe/SphericalPrj.h"

#include <algorithm>
#include <memory>
#include <vector>

class TestGlobeHost : public wl::GlobeHost, public wl::PrjHost
{
public:
    TestGlobeHost() : model(std::make_unique<wl::SphericalPrj>(*this))
    {
        model->setView(0, 0, 300.0L / wl::GlobeRadius, 0);
        model->setOrigin(400, 300);
    }

    // PrjHost
    int surfaceWidth() const override { return 800; }
    int surfaceHeight() const override { return 600; }
    int surfacePixelsPerInch() const override { return surfacePpi; }
    void viewChanged() override { ++redraws; }

    // GlobeHost
    wl::PrjModel& projection() override { return *model; }
    int screenPixelsPerInch() const override { return 96; }
    int minTextHeight() const override { return minText; }
    wl::PenData pen() const override { return penData; }
    wl::BrushData brush() const override { return brushData; }
    wl::FontData font() const override { return fontData; }
    wl::PenData selectedPen() const override { return {255, 0, 1}; }
    wl::BrushData selectedBrush() const override { return {65535, 0}; }
    void redraw() override { ++redraws; }
    void invalidate() override { ++invalidates; }
    void addToSelection(wl::GlobeObject& o) override { selection.push_back(&o); }
    void removeFromSelection(wl::GlobeObject& o) override
    {
        auto it = std::find(selection.begin(), selection.end(), &o);
        if (it != selection.end())
            selection.erase(it);
    }
    void objectCreated(wl::GlobeObject&) override { ++created; }
    void objectFreed(wl::GlobeObject&) override { ++freed; }
    void drawLLPolyline(wl::Canvas&, const wl::LLPointList& points, std::uint8_t) override
    {
        llPolylines.push_back(points.count());
    }
    void drawLLLine(wl::Canvas&, const wl::LLPoint& from, const wl::LLPoint& to, int steps) override
    {
        llLines.push_back({from, to, steps});
    }

    struct Line
    {
        wl::LLPoint from, to;
        int steps;
    };

    std::unique_ptr<wl::SphericalPrj> model;
    int surfacePpi = 96;
    int minText = 5;
    wl::PenData penData{0x0000FF00, 0, 2};
    wl::BrushData brushData{0x00FF0000, 0};
    wl::FontData fontData;
    int redraws = 0, invalidates = 0, created = 0, freed = 0;
    std::vector<wl::GlobeObject*> selection;
    std::vector<int> llPolylines;
    std::vector<Line> llLines;
};
