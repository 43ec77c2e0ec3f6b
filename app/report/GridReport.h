#pragma once

#include "app/report/ReportFont.h"
#include "app/report/ReportLayout.h"
#include "app/report/ReportSource.h"

#include <QString>

class QFontMetrics;
class QPainter;

namespace wl {

class TPagePrinter;

// Lays the records of a grid snapshot out page by page on a page printer: on every page the
// page number, the title, the heading band with the column captions and up to a page of
// record lines, each with its notes line when notes are shown; on the last page the date of
// printing. The document is finished when this returns; each page is drawn from the source's
// rows when it is shown or printed, so the source's fetch must outlive the page printer.
class GridReport
{
public:
    static ReportLayout draw(TPagePrinter& pages, const ReportSource& source,
                             const ReportFont& font, const QString& printedDate);

    // The longest start of a text that is at most width wide.
    static QString fitted(const QString& text, const QFontMetrics& metrics, int width);
    // The text when it fits the width, else its longest start that fits with the cut mark "-"
    // after it, so a cut never passes for the whole text.
    static QString markedCut(const QString& text, const QFontMetrics& metrics, int width);
    // Draws a text with its top-left corner at (x, y) within width: a text too wide is set in
    // narrower letters down to a readable limit, and cut with the mark only beyond that.
    static void drawCell(QPainter& canvas, int x, int y, const QString& text, int width);
    // The page font of the report font, made smaller when its lines are taller than
    // tallestLine.
    static QFont bodyFont(const ReportFont& font, int tallestLine);
    // The caption a column prints under: the frequency's long caption is shortened to "MHz".
    static QString printedCaption(const QString& caption);

private:
    static void drawPageTop(QPainter& canvas, const TPagePrinter& pages, const ReportLayout& layout,
                            const ReportSource& source, int page);
    static void drawRecord(QPainter& canvas, const ReportLayout& layout, const QStringList& cells,
                           int y);
    struct Page;
    static void drawPage(QPainter& canvas, const Page& page, int number);
};

} // namespace wl
