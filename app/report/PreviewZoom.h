#pragma once

#include <QMargins>

namespace wl {

// The arithmetic of the preview's scale, in pixels per inch of paper, and of the page's place
// in the window.
class PreviewZoom
{
public:
    static constexpr int MinLevel = 0;
    static constexpr int MaxLevel = 3;
    // The smallest scale: a page is never drawn smaller than this, however narrow the window.
    static constexpr int MinZoom = 4;

    // The scale a new preview starts with, from the window's width: the whole page, or the page
    // less its side margins when the margins are not framed, in the width less 50 pixels,
    // lowered to a multiple of 4.
    static int initial(int windowWidth, int pageWidthInches, const QMargins& margins,
                       bool frameMargins);
    // The scale of a zoom level (0 whole page .. 3 largest) in a window of the given width.
    static int forLevel(int level, bool landscape, int windowWidth, int pageWidthInches,
                        const QMargins& margins);
    // The scale the page is laid out with: a landscape page is drawn 4 smaller so that its
    // height fits too.
    static int laidOut(int zoom, bool landscape);
    // The left edge of the page in a window of the given width: centred when there is room.
    static int pageLeft(int windowWidth, int pageWidth);
    // A margin of twips in preview pixels.
    static int pixels(int twips, int zoom);

private:
    static double printableInches(int pageWidthInches, const QMargins& margins);
};

} // namespace wl
