#include "dialogs/NotesPrinter.h"

#include <QPainter>
#include <QPrinter>
#include <QStringList>
#include <QTextLayout>

#include <algorithm>

namespace wl {

namespace {

constexpr double SideMarginInch = 0.75;
constexpr double TopMarginInch = 1.0;

} // namespace

QStringList NotesPrinter::splitLines(const QString& text)
{
    return text.split(QStringLiteral("\r\n"));
}

bool NotesPrinter::print(QPrinter& printer, const QString& text, const QFont& font)
{
    printer.setDocName(QString());
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRect page(QPoint(0, 0),
                     printer.pageLayout().fullRectPixels(printer.resolution()).size());
    const int left = int(SideMarginInch * printer.logicalDpiX());
    const int top = int(TopMarginInch * printer.logicalDpiY());
    const QRect area(left, top, page.width() - 2 * left, page.height() - 2 * top);
    const QFont printFont(font, &printer);
    painter.setFont(printFont);
    painter.setPen(Qt::black);
    const QFontMetricsF metrics(printFont, &printer);
    const qreal lineHeight = metrics.lineSpacing();

    qreal y = area.top();
    QTextOption wrap;
    wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        QTextLayout layout(line, printFont, &printer);
        layout.setTextOption(wrap);
        layout.beginLayout();
        for (QTextLine piece = layout.createLine(); piece.isValid(); piece = layout.createLine())
            piece.setLineWidth(area.width());
        layout.endLayout();
        // An empty line still takes one line of the page.
        for (int i = 0; i < std::max(1, layout.lineCount()); ++i) {
            if (y + lineHeight > area.bottom() && y > area.top()) {
                printer.newPage();
                y = area.top();
            }
            if (i < layout.lineCount()) {
                const QTextLine piece = layout.lineAt(i);
                piece.draw(&painter, QPointF(area.left(), y - piece.y()));
            }
            y += lineHeight;
        }
    }
    return painter.end();
}

} // namespace wl
