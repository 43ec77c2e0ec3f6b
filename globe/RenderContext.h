#pragma once

namespace wl {

class Canvas;
class GlobeFont;
class LabelPlacer;

// State of one render pass, passed to every object instead of living in globals: the surface,
// the font last made for it, and the label offset a point text sets while drawing its label.
struct RenderContext
{
    Canvas& canvas;
    const GlobeFont* fontCache = nullptr;
    int textOffset = 0;
    // Labels go here to be placed once every layer is drawn; without it they are written at
    // once, over whatever is there.
    LabelPlacer* labels = nullptr;
};

} // namespace wl
