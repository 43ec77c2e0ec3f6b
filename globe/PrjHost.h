#pragma once

namespace wl {

// What a projection model needs from the control that owns it: the drawing surface's size
// and resolution, and a way to ask for a new picture after the view changed.
class PrjHost
{
public:
    virtual ~PrjHost() = default;
    virtual int surfaceWidth() const = 0;
    virtual int surfaceHeight() const = 0;
    virtual int surfacePixelsPerInch() const = 0;
    virtual void viewChanged() = 0;
};

} // namespace wl
