#include "map/ScaleBar.h"

#include "globe/GlobeUnits.h"
#include "grid/LocaleInfo.h"
#include "map/MapMeasure.h"

#include <QFontMetrics>
#include <QPainter>

namespace wl {

namespace {

QFont barFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    return font;
}

QPoint barOrigin(QSize surface, int ppi)
{
    return {surface.width() - (ppi + 50), surface.height() - 50};
}

// Text centred horizontally with its top at y, as the bar's labels stand.
void centredText(QPainter& p, int x, int y, const QString& text)
{
    const QRect box(x - 500, y, 1000, p.fontMetrics().height());
    p.drawText(box, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, text);
}

} // namespace

QString ScaleBar::lengthText(long double unitsPerInch, int unitCode, const LocaleInfo& locale)
{
    const GlobeUnits unit = MapMeasure::unitOf(unitCode);
    const long double d = guToUnits(static_cast<std::int64_t>(unitsPerInch), unit);
    // Whole units as a rule; an inch shorter than one unit keeps its tenths (or hundredths),
    // so a close view never claims "0".
    const int decimals = d >= 0.95L ? 0 : d >= 0.095L ? 1 : 2;
    return locale.formatFixed(static_cast<double>(d), decimals) + QLatin1Char(' ') +
           QString::fromStdString(unitsToStr(unit));
}

void ScaleBar::draw(QPainter& p, QSize surface, int ppi, long double unitsPerInch, int unitCode)
{
    const int x0 = barOrigin(surface, ppi).x();
    const int y0 = barOrigin(surface, ppi).y();
    const QString length = lengthText(unitsPerInch, unitCode, LocaleInfo::current());
    const QPoint bracket[] = {
        {x0, y0 + 16}, {x0, y0 + 20}, {x0 + ppi, y0 + 20}, {x0 + ppi, y0 + 15}};
    p.save();
    p.setFont(barFont());
    p.setBackgroundMode(Qt::TransparentMode);
    // Black on the map's black background and in the night shadow would not be seen: a white
    // edge one pixel wide keeps the bar readable on any ground.
    p.setPen(Qt::white);
    for (const QPoint d : {QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1)}) {
        centredText(p, x0 + d.x(), y0 + d.y(), QStringLiteral("0"));
        centredText(p, x0 + ppi + d.x(), y0 + d.y(), length);
    }
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPolyline(bracket, 4);
    p.setPen(Qt::black);
    centredText(p, x0, y0, QStringLiteral("0"));
    centredText(p, x0 + ppi, y0, length);
    p.setPen(QPen(Qt::black, 1));
    p.drawPolyline(bracket, 4);
    p.restore();
}

QRect ScaleBar::area(QSize surface, int ppi, long double unitsPerInch, int unitCode)
{
    const QPoint o = barOrigin(surface, ppi);
    const QFontMetrics metrics(barFont());
    const int zeroHalf = metrics.horizontalAdvance(QStringLiteral("0")) / 2 + 1;
    const int lengthHalf =
        metrics.horizontalAdvance(lengthText(unitsPerInch, unitCode, LocaleInfo::current())) / 2 +
        1;
    // From the edge above the texts to the bracket's lower edge, 3 pixels wide.
    return QRect(QPoint(o.x() - zeroHalf - 1, o.y() - 1),
                 QPoint(o.x() + ppi + lengthHalf + 1, o.y() + 22));
}

} // namespace wl
