#pragma once

#include <QIcon>
#include <QPixmap>

namespace wl {

enum class Glyph
{
    Add,
    Edit,
    Cancel,
    Delete,
    Save,
    Find,
    Print,
    Notes,
    Globe,
    Exit,
    Ok,
    Program,
    // The map window's view buttons.
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
    Close,
    // The report preview's font button.
    Font
};

// The program's glyphs and icon, drawn as flat figures on a 24-unit square so that they scale
// cleanly to any size and need no artwork files.
class Glyphs
{
public:
    static QPixmap pixmap(Glyph glyph, int size);
    static QIcon icon(Glyph glyph);
    static QIcon programIcon();
};

} // namespace wl
