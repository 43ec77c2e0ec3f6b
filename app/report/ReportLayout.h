#pragma once

#include <QPoint>
#include <QStringList>

#include <vector>

namespace wl {

// Where the report puts things on its pages, in twips from the paper's corner.
class ReportLayout
{
public:
    // A grid column that prints under a caption of its own.
    struct Column
    {
        int gridCol = 0;
        int x = 0;
        int width = 0; // room up to the next column, or to the printable edge for the last
    };

    // The columns of a heading row: which grid column holds the frequency, the repeater offset
    // and the notes (-1 for none), and which print with a place of their own.
    struct Columns
    {
        int frequency = -1;
        int modifier = -1;
        int notes = -1;
        std::vector<int> placed; // grid columns in print order
    };

    static constexpr int LineStep = 260;

    // The offset mark is joined to the frequency and takes no place of its own, wherever the
    // two columns stand; without a displayed frequency it prints as a column like any other.
    static Columns columnsOf(const QStringList& captions, bool notesShown,
                             const QString& frequencyCaption, const QString& modifierCaption);
    static bool landscapeFor(int placedCount) { return placedCount >= 6; }
    // The step between column origins for a number of placed columns.
    static int columnStep(int placedCount, bool landscape);

    // The tallest body line that still lets one record, with its notes line, fit on a page.
    static int tallestLine(const Columns& columns, QPoint offset);
    // The whole layout, once the orientation is known: offset is the printer's printable-area
    // offset, pageWidth the page in twips less its side margins, bodyHeight the height of a
    // line of the body font.
    static ReportLayout make(const Columns& columns, QPoint offset, int pageWidth, int bodyHeight);

    Columns columns;
    std::vector<Column> placed;
    bool landscape = true;
    int step = 0;
    int x0 = 0;
    int pageNumberX = 0;
    int pageNumberY = 0;
    int headingY = 0;
    int bandX = 0;
    int bandBlanks = 0;
    int footerY = 0;
    int notesX = 0;
    int notesLimit = 0;
    int lineStep = LineStep;
    int linesPerRecord = 1;
    int recordsPerPage = 1;

    int pageCount(int records) const;
};

} // namespace wl
