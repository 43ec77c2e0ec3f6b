#pragma once

#include "globe/DrawStyle.h"
#include "globe/LLPoint.h"

#include <cstdint>

namespace wl {

class Canvas;
class GlobeObject;
class LLPointList;
class PrjModel;

// The globe control as objects and attributes reach it. Keeping it this small lets the
// objects, the layers and the control be built and tested apart.
class GlobeHost
{
public:
    virtual ~GlobeHost() = default;

    virtual PrjModel& projection() = 0;
    // Resolution of the surface being drawn on (the off-screen picture when none is current)
    // and of the screen, for font sizes given in screen pixels.
    virtual int surfacePixelsPerInch() const = 0;
    virtual int screenPixelsPerInch() const = 0;
    virtual int minTextHeight() const = 0;

    // Settings new objects take, and the look of selected objects.
    virtual PenData pen() const = 0;
    virtual BrushData brush() const = 0;
    virtual FontData font() const = 0;
    virtual PenData selectedPen() const = 0;
    virtual BrushData selectedBrush() const = 0;

    virtual void redraw() = 0;
    virtual void invalidate() = 0;
    virtual void addToSelection(GlobeObject& object) = 0;
    virtual void removeFromSelection(GlobeObject& object) = 0;

    // Notifications the control turns into its events.
    virtual void objectCreated(GlobeObject&) {}
    virtual void objectFreed(GlobeObject&) {}
    virtual void objectSelected(GlobeObject&) {}

    // Drawing services: a polyline split at the date line, and a line in equal steps.
    virtual void drawLLPolyline(Canvas& canvas, const LLPointList& points,
                                std::uint8_t clipCode) = 0;
    virtual void drawLLLine(Canvas& canvas, const LLPoint& from, const LLPoint& to, int steps) = 0;
};

} // namespace wl
