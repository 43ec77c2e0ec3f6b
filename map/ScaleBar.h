#pragma once

#include <QRect>
#include <QSize>
#include <QString>

class QPainter;

namespace wl {

class LocaleInfo;

// The one-inch scale bar in the bottom right corner of the map: "0" over the left end, the
// ground length of one inch over the right end, and a bracket one inch wide below them.
class ScaleBar
{
public:
    // The text over the right end, e.g. "312 MI", from the ground units (GU) per inch.
    static QString lengthText(long double unitsPerInch, int unitCode, const LocaleInfo& locale);
    // Draws the bar on a surface of the given size; ppi is the screen's pixels per inch.
    static void draw(QPainter& painter, QSize surface, int ppi, long double unitsPerInch,
                     int unitCode);
    // The part of the surface the bar covers, its texts and their white edge included.
    static QRect area(QSize surface, int ppi, long double unitsPerInch, int unitCode);
};

} // namespace wl
