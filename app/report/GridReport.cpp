#include "app/report/GridReport.h"

#include "app/report/TPagePrinter.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <memory>

namespace wl {

namespace {

const QColor Navy(0x00, 0x00, 0x80);
const QColor Silver(0xC0, 0xC0, 0xC0);
const QString Face = QStringLiteral("Arial");
// The mark of a cut text, the same as the grid export's.
const QString CutMark = QStringLiteral("-");
// Letters narrower than this share of their width become hard to read.
constexpr int MinStretch = 60;

// Draws a text with its top-left corner at (x, y).
void textAt(QPainter& canvas, int x, int y, const QString& text)
{
    canvas.drawText(QPoint(x, y + canvas.fontMetrics().ascent()), text);
}

QString cell(const QStringList& cells, int col)
{
    return col >= 0 && col < cells.size() ? cells[col].trimmed() : QString();
}

} // namespace

QFont GridReport::bodyFont(const ReportFont& font, int tallestLine)
{
    // A font too tall for one record on a page is made smaller until the record fits: a row
    // taller than the page would be cut off on every page it is given.
    int size = font.size;
    QFont body = TPagePrinter::pageFont(font.name, size, font.bold(), font.italic());
    while (size > 1 && QFontMetrics(body).height() > tallestLine) {
        size = std::max(1, size * tallestLine / QFontMetrics(body).height());
        body = TPagePrinter::pageFont(font.name, size, font.bold(), font.italic());
    }
    return body;
}

QString GridReport::fitted(const QString& text, const QFontMetrics& metrics, int width)
{
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    // Widths grow with the length, so the longest fitting start is found by halving.
    qsizetype low = 0;
    qsizetype high = text.size();
    while (low < high) {
        const qsizetype mid = (low + high + 1) / 2;
        if (metrics.horizontalAdvance(text.left(mid)) <= width)
            low = mid;
        else
            high = mid - 1;
    }
    // A cut between the halves of a surrogate pair would leave half a character.
    if (low > 0 && text[low - 1].isHighSurrogate())
        --low;
    return text.left(low);
}

QString GridReport::markedCut(const QString& text, const QFontMetrics& metrics, int width)
{
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    return fitted(text, metrics, width - metrics.horizontalAdvance(CutMark)) + CutMark;
}

void GridReport::drawCell(QPainter& canvas, int x, int y, const QString& text, int width)
{
    const QFont regular = canvas.font();
    QFont font = regular;
    const int full = QFontMetrics(font).horizontalAdvance(text);
    if (full > width && width > 0) {
        for (int stretch = std::max(MinStretch, 100 * width / full);; --stretch) {
            font.setStretch(stretch);
            if (stretch <= MinStretch || QFontMetrics(font).horizontalAdvance(text) <= width)
                break;
        }
    }
    canvas.setFont(font);
    // A narrowed font may draw wider on paper than it measures; the cell's own width is the
    // limit, so the gap to the next column always stays.
    canvas.save();
    canvas.setClipRect(QRect(x, y - TPagePrinter::TwipsPerInch, std::max(width, 0),
                             3 * TPagePrinter::TwipsPerInch),
                       Qt::IntersectClip);
    textAt(canvas, x, y, markedCut(text, canvas.fontMetrics(), width));
    canvas.restore();
    canvas.setFont(regular);
}

QString GridReport::printedCaption(const QString& caption)
{
    const QString trimmed = caption.trimmed();
    if (trimmed == QStringLiteral("Frequency(MHz)"))
        return QStringLiteral("MHz");
    return trimmed;
}

void GridReport::drawPageTop(QPainter& canvas, const TPagePrinter& pages,
                             const ReportLayout& layout, const ReportSource& source, int page)
{
    canvas.setPen(Qt::black);
    canvas.setFont(TPagePrinter::pageFont(Face, 8));
    textAt(canvas, layout.pageNumberX, layout.pageNumberY,
           QStringLiteral("Page number ") + QString::number(page));

    // The title is centred on the page; one wider than the printable width is cut.
    const QMargins margins = pages.GetMargins();
    const int printable = pages.pageTwips().width() - margins.left() - margins.right();
    const int middle = pages.PageWidthInches() * TPagePrinter::TwipsPerInch / 2;
    canvas.setFont(TPagePrinter::pageFont(Face, 16, true));
    canvas.setPen(Navy);
    const QString title =
        fitted(source.title, canvas.fontMetrics(), 2 * std::min(middle, printable - middle));
    textAt(canvas, middle - canvas.fontMetrics().horizontalAdvance(title) / 2, 1080, title);

    // The band behind the captions ends at the printable edge, whatever the blanks measure.
    canvas.setFont(TPagePrinter::pageFont(Face, 13, true));
    const QFontMetrics band = canvas.fontMetrics();
    const int bandWidth = std::min(band.horizontalAdvance(QString(layout.bandBlanks, u' ')),
                                   printable - layout.bandX);
    canvas.fillRect(QRect(layout.bandX, layout.headingY, std::max(bandWidth, 0), band.height()),
                    Silver);
    canvas.setPen(Navy);
    for (const ReportLayout::Column& column : layout.placed) {
        const QString caption = printedCaption(cell(source.captions, column.gridCol));
        drawCell(canvas, column.x, layout.headingY, caption, column.width);
    }
}

void GridReport::drawRecord(QPainter& canvas, const ReportLayout& layout, const QStringList& cells,
                            int y)
{
    for (const ReportLayout::Column& column : layout.placed) {
        QString text = cell(cells, column.gridCol);
        if (column.gridCol == layout.columns.frequency)
            text += cell(cells, layout.columns.modifier);
        drawCell(canvas, column.x, y, text, column.width);
    }
}

// What every page of one report needs to draw itself.
struct GridReport::Page
{
    const TPagePrinter* pages;
    ReportSource source;
    ReportFont font;
    QString printedDate;
    QFont body;
    ReportLayout layout;
    int count;
};

void GridReport::drawPage(QPainter& canvas, const Page& page, int number)
{
    const ReportLayout& layout = page.layout;
    drawPageTop(canvas, *page.pages, layout, page.source, number);
    canvas.setFont(page.body);
    const int records = page.source.rowCount();
    int record = (number - 1) * layout.recordsPerPage;
    int y = layout.headingY + ReportLayout::LineStep;
    for (int line = 0; line < layout.recordsPerPage && record < records; ++line, ++record) {
        const QStringList cells = page.source.row(record);
        y += layout.lineStep;
        canvas.setPen(Qt::black);
        drawRecord(canvas, layout, cells, y);
        if (layout.columns.notes >= 0) {
            y += layout.lineStep;
            canvas.setPen(page.font.qColor());
            textAt(canvas, layout.notesX, y,
                   markedCut(cell(cells, layout.columns.notes), canvas.fontMetrics(),
                             layout.notesLimit));
        }
    }
    if (number == page.count) {
        canvas.setFont(TPagePrinter::pageFont(Face, 8));
        canvas.setPen(Qt::black);
        textAt(canvas, layout.pageNumberX, layout.footerY,
               QStringLiteral("Printed ") + page.printedDate);
    }
}

ReportLayout GridReport::draw(TPagePrinter& pages, const ReportSource& source,
                              const ReportFont& font, const QString& printedDate)
{
    const ReportLayout::Columns columns = ReportLayout::columnsOf(
        source.captions, source.notesShown, source.frequencyCaption, source.modifierCaption);
    pages.SetMargins(QMargins(20, 20, 80, 80));
    pages.FrameMargins = true;
    pages.SetPageOrientation(ReportLayout::landscapeFor(int(columns.placed.size()))
                                 ? TPagePrinter::Orientation::Landscape
                                 : TPagePrinter::Orientation::Portrait);
    const QFont body = bodyFont(font, ReportLayout::tallestLine(columns, pages.offsetTwips()));
    const QMargins margins = pages.GetMargins();
    const ReportLayout layout = ReportLayout::make(
        columns, pages.offsetTwips(), pages.pageTwips().width() - margins.left() - margins.right(),
        QFontMetrics(body).height());

    // Pages are drawn when asked for, from a copy of the source: held rows are shared, not
    // copied, and fetched rows are read again each time a page is drawn.
    auto page = std::make_shared<const Page>(
        Page{&pages, source, font, printedDate, body, layout, layout.pageCount(source.rowCount())});
    pages.StartPages(page->count,
                     [page](QPainter& canvas, int number) { drawPage(canvas, *page, number); });
    return layout;
}

} // namespace wl
