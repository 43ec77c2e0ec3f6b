#include "app/report/ReportLayout.h"

#include <algorithm>

namespace wl {

namespace {

// Room left between a cell and the next column.
constexpr int ColumnGap = 60;
// Twips of the landscape page the columns may take.
constexpr int LandscapeColumnsWidth = 8 * 1640;

} // namespace

ReportLayout::Columns ReportLayout::columnsOf(const QStringList& captions, bool notesShown,
                                              const QString& frequencyCaption,
                                              const QString& modifierCaption)
{
    Columns c;
    const int count = int(captions.size());
    if (notesShown && count > 0)
        c.notes = count - 1;
    const auto find = [&](const QString& caption, int skip) {
        for (int col = 0; col < count; ++col) {
            if (col != c.notes && col != skip && captions[col].trimmed() == caption.trimmed())
                return col;
        }
        return -1;
    };
    c.frequency = find(frequencyCaption, -1);
    if (c.frequency >= 0)
        c.modifier = find(modifierCaption, c.frequency);
    for (int col = 0; col < count; ++col) {
        if (col != c.notes && col != c.modifier)
            c.placed.push_back(col);
    }
    return c;
}

int ReportLayout::columnStep(int placedCount, bool landscape)
{
    switch (placedCount) {
    case 0:
    case 1:
    case 2:
        return 5040;
    case 3:
        return 3380;
    case 4:
        return 2520;
    case 5:
        return 1940;
    case 6:
        return 2360;
    case 7:
        return 1940;
    case 8:
        return 1640;
    default:
        // More columns than the layout knows: they share the width eight would take.
        return (landscape ? LandscapeColumnsWidth : 5 * 1940) / placedCount;
    }
}

int ReportLayout::tallestLine(const Columns& columns, QPoint offset)
{
    const ReportLayout l = make(columns, offset, 0, LineStep);
    // The heading line and the record's lines share the room above the footer.
    return (l.footerY - l.headingY - LineStep) / (l.linesPerRecord + 1);
}

ReportLayout ReportLayout::make(const Columns& columns, QPoint offset, int pageWidth,
                                int bodyHeight)
{
    ReportLayout l;
    l.columns = columns;
    const int s = int(columns.placed.size());
    l.landscape = landscapeFor(s);
    l.step = columnStep(s, l.landscape);
    l.x0 = offset.x() + (s < 4 ? 1800 : 1080);
    for (int i = 0; i < s; ++i) {
        Column column;
        column.gridCol = columns.placed[size_t(i)];
        column.x = i * l.step + l.x0;
        column.width = i + 1 < s ? l.step - ColumnGap : pageWidth - column.x;
        column.width = std::max(column.width, 0);
        l.placed.push_back(column);
    }
    l.pageNumberX = l.landscape ? 12960 : 9360;
    l.pageNumberY = 720 - offset.y();
    l.headingY = 2160 - offset.y();
    l.footerY = (l.landscape ? 10800 : 14760) - offset.y();
    l.bandX = offset.x() + 720;
    l.bandBlanks = l.landscape ? 195 : 136;
    l.notesX = l.x0 + 180;
    l.notesLimit = std::max(0, std::min(l.landscape ? 13500 : 9100, pageWidth - l.notesX));

    // A body font taller than a line gets lines of its own height, and the page takes only the
    // lines that end above the footer, but always at least one record.
    l.lineStep = std::max(LineStep, bodyHeight);
    l.linesPerRecord = columns.notes >= 0 ? 2 : 1;
    const int usual = l.landscape ? 30 : 44;
    const int fittingLines = (l.footerY - l.headingY - LineStep) / l.lineStep - 1;
    l.recordsPerPage = std::max(1, std::min(usual, fittingLines) / l.linesPerRecord);
    return l;
}

int ReportLayout::pageCount(int records) const
{
    return std::max(1, (records + recordsPerPage - 1) / recordsPerPage);
}

} // namespace wl
