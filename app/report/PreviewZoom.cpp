#include "app/report/PreviewZoom.h"

#include <algorithm>
#include <cmath>

namespace wl {

namespace {

constexpr double TwipsPerInch = 1440.0;

int atLeastMin(long value)
{
    return int(std::clamp<long>(value, PreviewZoom::MinZoom, 100000));
}

} // namespace

double PreviewZoom::printableInches(int pageWidthInches, const QMargins& margins)
{
    const double inches = pageWidthInches - (margins.left() + margins.right()) / TwipsPerInch;
    // Margins as wide as the paper would leave nothing to divide by.
    return std::max(inches, 1.0 / 8);
}

int PreviewZoom::initial(int windowWidth, int pageWidthInches, const QMargins& margins,
                         bool frameMargins)
{
    const double inches =
        frameMargins ? std::max(pageWidthInches, 1) : printableInches(pageWidthInches, margins);
    long zoom = std::lround((windowWidth - 50) / inches);
    // Lowered, not rounded, to the multiple of 4: the page must still fit.
    zoom -= ((zoom % 4) + 4) % 4;
    return atLeastMin(zoom);
}

int PreviewZoom::forLevel(int level, bool landscape, int windowWidth, int pageWidthInches,
                          const QMargins& margins)
{
    const double a = landscape ? 0 : 50;
    const double x = printableInches(pageWidthInches, margins);
    double share = 1.0;
    switch (std::clamp(level, MinLevel, MaxLevel)) {
    case 0:
        share = landscape ? 0.93 : 0.52;
        break;
    case 1:
        share = 1.0;
        break;
    case 2:
        share = 1.25;
        break;
    default:
        share = 1.5;
        break;
    }
    return atLeastMin(std::lround((windowWidth * share - a) / x));
}

int PreviewZoom::laidOut(int zoom, bool landscape)
{
    return std::max(MinZoom, landscape ? zoom - 4 : zoom);
}

int PreviewZoom::pageLeft(int windowWidth, int pageWidth)
{
    const int room = windowWidth - pageWidth;
    return room > 20 ? room / 2 - 12 : 10;
}

int PreviewZoom::pixels(int twips, int zoom)
{
    return int(std::lround(twips * double(zoom) / TwipsPerInch));
}

} // namespace wl
