#pragma once

#include <QIcon>

namespace wl {

// The glyphs of the map window's tool buttons, drawn on a 24-unit square like the main
// window's, so they need no artwork files.
enum class MapGlyph
{
    Back,
    Forward,
    LonPlus,
    LonMinus,
    LatPlus,
    LatMinus,
    ZoomOut,
    ZoomIn,
    UserView,
    DefaultView,
    Close
};

QIcon mapGlyphIcon(MapGlyph glyph);

} // namespace wl
