#include "app/Glyphs.h"

#include <QPainter>
#include <QPainterPath>

namespace wl {

namespace {

const QColor Ink(0x33, 0x3d, 0x4a);
const QColor Blue(0x2f, 0x6f, 0xb8);
const QColor Green(0x2e, 0x9d, 0x4f);
const QColor Red(0xc8, 0x3a, 0x32);
const QColor Amber(0xe8, 0xa3, 0x2c);
const QColor Paper(0xfb, 0xf8, 0xef);

QPen stroke(const QColor& color, qreal width = 2.0)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void drawAdd(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Green);
    p.drawEllipse(QRectF(2, 2, 20, 20));
    p.setPen(stroke(Qt::white, 3));
    p.drawLine(QPointF(12, 7), QPointF(12, 17));
    p.drawLine(QPointF(7, 12), QPointF(17, 12));
}

void drawEdit(QPainter& p)
{
    p.translate(12, 12);
    p.rotate(45);
    p.setPen(stroke(Ink, 1.2));
    p.setBrush(Amber);
    p.drawRect(QRectF(-3, -10, 6, 14));
    p.setBrush(Paper);
    QPainterPath tip;
    tip.moveTo(-3, 4);
    tip.lineTo(3, 4);
    tip.lineTo(0, 10);
    tip.closeSubpath();
    p.drawPath(tip);
    p.setBrush(Red);
    p.drawRect(QRectF(-3, -12, 6, 3));
}

void drawCancel(QPainter& p)
{
    p.setPen(stroke(Blue, 2.6));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(5, 5, 15, 14), 90 * 16, -250 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(Blue);
    QPainterPath head;
    head.moveTo(3, 6);
    head.lineTo(11, 1.5);
    head.lineTo(11, 10.5);
    head.closeSubpath();
    p.drawPath(head);
}

void drawDelete(QPainter& p)
{
    p.setPen(stroke(Ink, 1.4));
    p.setBrush(QColor(0xd9, 0xdd, 0xe2));
    p.drawRoundedRect(QRectF(6, 7, 12, 15), 1.5, 1.5);
    p.drawLine(QPointF(4, 5.5), QPointF(20, 5.5));
    p.drawLine(QPointF(10, 5.5), QPointF(10, 3));
    p.drawLine(QPointF(10, 3), QPointF(14, 3));
    p.drawLine(QPointF(14, 3), QPointF(14, 5.5));
    p.setPen(stroke(Red, 1.6));
    for (qreal x : {9.5, 12.0, 14.5})
        p.drawLine(QPointF(x, 10), QPointF(x, 19));
}

void drawSave(QPainter& p)
{
    p.setPen(stroke(Ink, 1.2));
    p.setBrush(Blue);
    p.drawRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
    p.setBrush(Paper);
    p.drawRect(QRectF(6, 3, 12, 7));
    p.setBrush(QColor(0xd9, 0xdd, 0xe2));
    p.drawRect(QRectF(7, 14, 10, 7));
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawRect(QRectF(14, 4.5, 2.5, 4));
}

void drawFind(QPainter& p)
{
    p.setPen(stroke(Ink, 2.2));
    p.setBrush(QColor(0xcf, 0xe3, 0xf7));
    p.drawEllipse(QRectF(3, 3, 12, 12));
    p.setPen(stroke(Ink, 3.5));
    p.drawLine(QPointF(14, 14), QPointF(20.5, 20.5));
}

void drawPrint(QPainter& p)
{
    p.setPen(stroke(Ink, 1.2));
    p.setBrush(Paper);
    p.drawRect(QRectF(7, 2, 10, 7));
    p.setBrush(QColor(0x8a, 0x94, 0xa1));
    p.drawRoundedRect(QRectF(2, 8, 20, 9), 2, 2);
    p.setBrush(Paper);
    p.drawRect(QRectF(7, 14, 10, 8));
    p.setPen(stroke(Ink, 1));
    p.drawLine(QPointF(9, 17), QPointF(15, 17));
    p.drawLine(QPointF(9, 19.5), QPointF(15, 19.5));
    p.setPen(Qt::NoPen);
    p.setBrush(Green);
    p.drawEllipse(QRectF(18, 10, 2, 2));
}

void drawNotes(QPainter& p)
{
    p.setPen(stroke(Ink, 1.2));
    p.setBrush(QColor(0xfb, 0xe7, 0x8e));
    QPainterPath page;
    page.moveTo(4, 2);
    page.lineTo(15, 2);
    page.lineTo(20, 7);
    page.lineTo(20, 22);
    page.lineTo(4, 22);
    page.closeSubpath();
    p.drawPath(page);
    p.drawLine(QPointF(15, 2), QPointF(15, 7));
    p.drawLine(QPointF(15, 7), QPointF(20, 7));
    p.setPen(stroke(Ink, 1));
    for (qreal y : {10.0, 13.5, 17.0})
        p.drawLine(QPointF(7, y), QPointF(17, y));
}

void drawGlobe(QPainter& p)
{
    const QRectF ball(2, 2, 20, 20);
    p.setPen(Qt::NoPen);
    p.setBrush(Blue);
    p.drawEllipse(ball);
    p.setPen(stroke(QColor(0xd8, 0xe8, 0xf8), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(8, 2, 8, 20));
    p.drawLine(QPointF(12, 2), QPointF(12, 22));
    p.drawLine(QPointF(2, 12), QPointF(22, 12));
    p.drawLine(QPointF(4, 7), QPointF(20, 7));
    p.drawLine(QPointF(4, 17), QPointF(20, 17));
    p.setPen(stroke(Ink, 1.2));
    p.drawEllipse(ball);
}

void drawExit(QPainter& p)
{
    p.setPen(stroke(Ink, 1.2));
    p.setBrush(QColor(0xb0, 0x7a, 0x4a));
    p.drawRect(QRectF(3, 2, 11, 20));
    p.setPen(Qt::NoPen);
    p.setBrush(Amber);
    p.drawEllipse(QRectF(10, 11, 2, 2));
    p.setPen(stroke(Red, 2.4));
    p.drawLine(QPointF(12, 12), QPointF(21, 12));
    p.drawLine(QPointF(17.5, 8.5), QPointF(21, 12));
    p.drawLine(QPointF(17.5, 15.5), QPointF(21, 12));
}

void drawOk(QPainter& p)
{
    p.setPen(stroke(Green, 3.4));
    p.drawLine(QPointF(4, 13), QPointF(10, 19));
    p.drawLine(QPointF(10, 19), QPointF(20, 5));
}

void drawProgram(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Blue);
    p.drawRoundedRect(QRectF(1, 1, 22, 22), 5, 5);
    p.setPen(stroke(Qt::white, 1.8));
    p.setBrush(Qt::NoBrush);
    // A mast sending waves: the program logs what it hears.
    p.drawLine(QPointF(12, 11), QPointF(8, 20));
    p.drawLine(QPointF(12, 11), QPointF(16, 20));
    p.drawLine(QPointF(9.5, 17), QPointF(14.5, 17));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(11, 9, 2, 2));
    p.setBrush(Qt::NoBrush);
    for (qreal r : {4.0, 7.0}) {
        const QRectF arc(12 - r, 10 - r, 2 * r, 2 * r);
        p.drawArc(arc, 30 * 16, 120 * 16);
    }
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

void drawFont(QPainter& p)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(18);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Ink);
    p.drawText(QRectF(1, 1, 14, 20), Qt::AlignCenter, QStringLiteral("A"));
    font.setPixelSize(12);
    font.setItalic(true);
    p.setFont(font);
    p.setPen(Blue);
    p.drawText(QRectF(12, 8, 11, 14), Qt::AlignCenter, QStringLiteral("a"));
}

void draw(QPainter& p, Glyph glyph)
{
    switch (glyph) {
    case Glyph::Add:
        return drawAdd(p);
    case Glyph::Edit:
        return drawEdit(p);
    case Glyph::Cancel:
        return drawCancel(p);
    case Glyph::Delete:
        return drawDelete(p);
    case Glyph::Save:
        return drawSave(p);
    case Glyph::Find:
        return drawFind(p);
    case Glyph::Print:
        return drawPrint(p);
    case Glyph::Notes:
        return drawNotes(p);
    case Glyph::Globe:
        return drawGlobe(p);
    case Glyph::Exit:
        return drawExit(p);
    case Glyph::Ok:
        return drawOk(p);
    case Glyph::Program:
        return drawProgram(p);
    case Glyph::Back:
        return drawArrow(p, 180, Blue);
    case Glyph::Forward:
        return drawArrow(p, 0, Blue);
    case Glyph::LonPlus:
        return drawArrow(p, 180, Green);
    case Glyph::LonMinus:
        return drawArrow(p, 0, Green);
    case Glyph::LatPlus:
        return drawArrow(p, -90, Green);
    case Glyph::LatMinus:
        return drawArrow(p, 90, Green);
    case Glyph::ZoomOut:
        return drawLens(p, false);
    case Glyph::ZoomIn:
        return drawLens(p, true);
    case Glyph::UserView:
        return drawPerson(p);
    case Glyph::DefaultView:
        return drawGlobe(p);
    case Glyph::Close:
        return drawClose(p);
    case Glyph::Font:
        return drawFont(p);
    }
}

} // namespace

QPixmap Glyphs::pixmap(Glyph glyph, int size)
{
    QPixmap result(size, size);
    result.fill(Qt::transparent);
    QPainter painter(&result);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 24.0, size / 24.0);
    draw(painter, glyph);
    return result;
}

QIcon Glyphs::icon(Glyph glyph)
{
    QIcon result;
    for (int size : {16, 20, 24, 32, 48})
        result.addPixmap(pixmap(glyph, size));
    return result;
}

QIcon Glyphs::programIcon()
{
    QIcon result;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        result.addPixmap(pixmap(Glyph::Program, size));
    return result;
}

} // namespace wl
