#include "map/MapGlyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace wl {

namespace {

const QColor Ink(0x33, 0x3d, 0x4a);
const QColor Blue(0x2f, 0x6f, 0xb8);
const QColor Green(0x2e, 0x9d, 0x4f);
const QColor Red(0xc8, 0x3a, 0x32);
const QColor Sea(0x7f, 0xd3, 0xe6);

QPen stroke(const QColor& color, qreal width = 2.0)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A filled arrow pointing right, turned by the given angle about the centre.
void drawArrow(QPainter& p, qreal angle, const QColor& color)
{
    p.save();
    p.translate(12, 12);
    p.rotate(angle);
    QPainterPath arrow;
    arrow.moveTo(-9, -3);
    arrow.lineTo(1, -3);
    arrow.lineTo(1, -8);
    arrow.lineTo(10, 0);
    arrow.lineTo(1, 8);
    arrow.lineTo(1, 3);
    arrow.lineTo(-9, 3);
    arrow.closeSubpath();
    p.setPen(stroke(Ink, 1));
    p.setBrush(color);
    p.drawPath(arrow);
    p.restore();
}

void drawGlobe(QPainter& p)
{
    p.setPen(stroke(Ink, 1.2));
    p.setBrush(Sea);
    p.drawEllipse(QRectF(3, 3, 18, 18));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(8, 3, 8, 18));
    p.drawLine(QPointF(3, 12), QPointF(21, 12));
}

void drawLens(QPainter& p, bool plus)
{
    p.setPen(stroke(Ink, 2));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(3, 3, 13, 13));
    p.drawLine(QPointF(15, 15), QPointF(21, 21));
    p.setPen(stroke(Blue, 2));
    p.drawLine(QPointF(6.5, 9.5), QPointF(12.5, 9.5));
    if (plus)
        p.drawLine(QPointF(9.5, 6.5), QPointF(9.5, 12.5));
}

void drawPerson(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Blue);
    p.drawEllipse(QRectF(8, 3, 8, 8));
    QPainterPath body;
    body.moveTo(4, 21);
    body.cubicTo(4, 12, 20, 12, 20, 21);
    body.closeSubpath();
    p.drawPath(body);
}

void drawClose(QPainter& p)
{
    p.setPen(stroke(Red, 3));
    p.drawLine(QPointF(6, 6), QPointF(18, 18));
    p.drawLine(QPointF(18, 6), QPointF(6, 18));
}

void draw(QPainter& p, MapGlyph glyph)
{
    switch (glyph) {
    case MapGlyph::Back:
        return drawArrow(p, 180, Blue);
    case MapGlyph::Forward:
        return drawArrow(p, 0, Blue);
    case MapGlyph::LonPlus:
        return drawArrow(p, 180, Green);
    case MapGlyph::LonMinus:
        return drawArrow(p, 0, Green);
    case MapGlyph::LatPlus:
        return drawArrow(p, -90, Green);
    case MapGlyph::LatMinus:
        return drawArrow(p, 90, Green);
    case MapGlyph::ZoomOut:
        return drawLens(p, false);
    case MapGlyph::ZoomIn:
        return drawLens(p, true);
    case MapGlyph::UserView:
        return drawPerson(p);
    case MapGlyph::DefaultView:
        return drawGlobe(p);
    case MapGlyph::Close:
        return drawClose(p);
    }
}

QPixmap pixmap(MapGlyph glyph, int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 24.0, size / 24.0);
    draw(p, glyph);
    return pm;
}

} // namespace

QIcon mapGlyphIcon(MapGlyph glyph)
{
    QIcon icon;
    for (int size : {18, 24, 36})
        icon.addPixmap(pixmap(glyph, size));
    // Disabled buttons grey out through the style.
    return icon;
}

} // namespace wl
