#include "app/report/GridReport.h"
#include "QStringPrinting.h"
#include "ReportTestSupport.h"
#include "app/report/PagePaintBox.h"
#include "app/report/PreviewZoom.h"

#include <QPainter>

#include <QTemporaryDir>

#include <algorithm>

namespace wl {
namespace {

using test::capture;
using test::CapturedPage;

const QStringList AllCaptions = {QStringLiteral(" Category"),  QStringLiteral(" Frequency(MHz)"),
                                 QStringLiteral(" +-"),        QStringLiteral(" Callsign"),
                                 QStringLiteral(" User"),      QStringLiteral(" Location"),
                                 QStringLiteral(" Special"),   QStringLiteral(" Position"),
                                 QStringLiteral(" Date/Time"), QStringLiteral(" Notes")};

// The twips where a page's first record line starts, with a printer without offsets.
constexpr int HeadingY = 2160;
constexpr int FirstLineY = HeadingY + 520;

class GridReportTest : public ::testing::Test, protected test::ApplicationFirst
{
protected:
    // A source of the given columns (by their default captions) and n records; record i has
    // frequency 100 + i, callsign "C<i>" and notes "N<i>".
    static ReportSource source(const QStringList& captions, int records)
    {
        ReportSource s;
        s.title = QStringLiteral("All Records   0 - 9999 MHz");
        s.captions = captions;
        s.notesShown = captions.last().trimmed() == QStringLiteral("Notes");
        s.frequencyCaption = QStringLiteral("Frequency(MHz)");
        s.modifierCaption = QStringLiteral("+-");
        for (int i = 0; i < records; ++i) {
            QStringList cells;
            for (const QString& caption : captions) {
                const QString c = caption.trimmed();
                if (c == QStringLiteral("Frequency(MHz)"))
                    cells << QStringLiteral(" %1.5200").arg(100 + i);
                else if (c == QStringLiteral("+-"))
                    cells << QStringLiteral("+");
                else if (c == QStringLiteral("Callsign"))
                    cells << QStringLiteral("C%1").arg(i);
                else if (c == QStringLiteral("Notes"))
                    cells << QStringLiteral("N%1").arg(i);
                else
                    cells << c.left(3) + QString::number(i);
            }
            s.rows.push_back(cells);
        }
        return s;
    }

    static QStringList without(QStringList captions, const QStringList& dropped)
    {
        for (const QString& d : dropped)
            captions.removeAll(QLatin1Char(' ') + d);
        return captions;
    }

    ReportLayout draw(const ReportSource& s, const ReportFont& font = {})
    {
        return GridReport::draw(pages, s, font, QStringLiteral("11/22/04"));
    }

    std::unique_ptr<QPrinter> printer = test::letterPrinter();
    TPagePrinter pages{*printer};
};

TEST_F(GridReportTest, ColumnsChooseOrientationStepAndRowsPerPage)
{
    struct Case
    {
        const char* name;
        QStringList captions;
        int placed;
        bool landscape;
        int step;
        int x0;
        int recordsPerPage;
        QStringList firstLine;
    };
    const Case cases[] = {
        {"all ten columns",
         AllCaptions,
         8,
         true,
         1640,
         1080,
         15,
         {"Cat0", "100.5200+", "C0", "Use0", "Loc0", "Spe0", "Pos0", "Dat0"}},
        {"notes and offset hidden",
         without(AllCaptions, {"+-", "Notes"}),
         8,
         true,
         1640,
         1080,
         30,
         {"Cat0", "100.5200", "C0", "Use0", "Loc0", "Spe0", "Pos0", "Dat0"}},
        {"category tab, four fields",
         without(AllCaptions, {"Category", "+-", "Special", "Position", "Date/Time", "Notes"}),
         4,
         false,
         2520,
         1080,
         44,
         {"100.5200", "C0", "Use0", "Loc0"}},
        {"three fields",
         {" Frequency(MHz)", " +-", " Callsign", " User", " Notes"},
         3,
         false,
         3380,
         1800,
         22,
         {"100.5200+", "C0", "Use0"}},
        // The offset mark moved before the frequency still belongs to the frequency.
        {"offset column moved first",
         {" Category", " +-", " Callsign", " Frequency(MHz)", " User", " Location", " Special",
          " Position", " Date/Time", " Notes"},
         8,
         true,
         1640,
         1080,
         15,
         {"Cat0", "C0", "100.5200+", "Use0", "Loc0", "Spe0", "Pos0", "Dat0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ReportLayout layout = draw(source(c.captions, 1));
        EXPECT_EQ(int(layout.placed.size()), c.placed);
        EXPECT_EQ(layout.landscape, c.landscape);
        EXPECT_EQ(pages.orientation(), c.landscape ? TPagePrinter::Orientation::Landscape
                                                   : TPagePrinter::Orientation::Portrait);
        EXPECT_EQ(layout.step, c.step);
        EXPECT_EQ(layout.recordsPerPage, c.recordsPerPage);
        const CapturedPage page = capture(pages, 1);
        EXPECT_EQ(page.line(FirstLineY), c.firstLine);
        // Each cell starts at its column's origin.
        for (int i = 0; i < c.firstLine.size(); ++i) {
            const test::PageText* t = page.find(c.firstLine[i]);
            ASSERT_TRUE(t) << c.firstLine[i].toStdString();
            EXPECT_EQ(t->at.x(), i * c.step + c.x0) << c.firstLine[i].toStdString();
        }
        // The offset column has neither a caption nor a place of its own; the frequency prints
        // under "MHz".
        EXPECT_FALSE(page.has(QStringLiteral("+-")));
        EXPECT_FALSE(page.has(QStringLiteral("Frequency(MHz)")));
        EXPECT_TRUE(page.has(QStringLiteral("MHz")));
    }
}

TEST_F(GridReportTest, PagesBreakAfterAPageOfRecordsAndRepeatTheirHeadings)
{
    const QStringList noNotes = without(AllCaptions, {"+-", "Notes"});
    struct Case
    {
        QStringList captions;
        int records;
        std::vector<int> linesPerPage;
    };
    const Case cases[] = {
        {noNotes, 30, {30}},        {noNotes, 31, {30, 1}}, {noNotes, 61, {30, 30, 1}},
        {AllCaptions, 16, {15, 1}}, {noNotes, 0, {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.records);
        draw(source(c.captions, c.records));
        ASSERT_TRUE(pages.Finished());
        ASSERT_EQ(pages.PageCount(), int(c.linesPerPage.size()));
        int record = 0;
        for (int n = 1; n <= pages.PageCount(); ++n) {
            const CapturedPage page = capture(pages, n);
            EXPECT_TRUE(page.has(QStringLiteral("Page number %1").arg(n)));
            EXPECT_TRUE(page.has(QStringLiteral("All Records   0 - 9999 MHz")));
            EXPECT_TRUE(page.has(QStringLiteral("Callsign")));
            EXPECT_EQ(page.find(QStringLiteral("Callsign"))->at.y(), HeadingY);
            // The records of the page, in order, one line (two with notes) apart.
            const int step = c.captions.last() == QStringLiteral(" Notes") ? 520 : 260;
            for (int line = 0; line < c.linesPerPage[size_t(n - 1)]; ++line, ++record) {
                const test::PageText* t = page.find(QStringLiteral("C%1").arg(record));
                ASSERT_TRUE(t) << "page " << n << " record " << record;
                EXPECT_EQ(t->at.y(), FirstLineY + line * step);
            }
            EXPECT_FALSE(page.has(QStringLiteral("C%1").arg(record)));
            const bool last = n == pages.PageCount();
            EXPECT_EQ(page.has(QStringLiteral("Printed 11/22/04")), last) << "page " << n;
        }
        EXPECT_EQ(record, c.records);
    }
}

TEST_F(GridReportTest, MillionRecordsAreReadOnlyForThePagesShown)
{
    // The rows come from a function, as the main window's grid gives them; the report reads a
    // row only when its page is drawn, so a long list is neither copied nor laid out at once.
    const QStringList noNotes = without(AllCaptions, {"+-", "Notes"});
    const ReportSource sample = source(noNotes, 1);
    ReportSource s = sample;
    s.rows.clear();
    s.fetchCount = 1'000'000;
    auto reads = std::make_shared<std::vector<int>>();
    s.fetch = [reads, cells = sample.rows[0]](int i) {
        reads->push_back(i);
        QStringList row = cells;
        row[2] = QStringLiteral("C%1").arg(i);
        return row;
    };
    draw(s);
    ASSERT_TRUE(pages.Finished());
    EXPECT_EQ(pages.PageCount(), 33'334); // 30 records a page
    EXPECT_TRUE(reads->empty());

    const CapturedPage last = capture(pages, pages.PageCount());
    EXPECT_TRUE(last.has(QStringLiteral("Page number 33334")));
    EXPECT_TRUE(last.has(QStringLiteral("C999999")));
    EXPECT_TRUE(last.has(QStringLiteral("Printed 11/22/04")));
    EXPECT_EQ(*reads, std::vector<int>({999'990, 999'991, 999'992, 999'993, 999'994, 999'995,
                                        999'996, 999'997, 999'998, 999'999}));
    reads->clear();
    const CapturedPage middle = capture(pages, 1000);
    EXPECT_TRUE(middle.has(QStringLiteral("C29970")));
    EXPECT_TRUE(middle.has(QStringLiteral("C29999")));
    EXPECT_FALSE(middle.has(QStringLiteral("Printed 11/22/04")));
    EXPECT_EQ(reads->size(), 30u);
}

TEST_F(GridReportTest, PageTopHasTheNumberTitleAndHeadingBand)
{
    draw(source(AllCaptions, 2));
    const CapturedPage page = capture(pages, 1);
    const test::PageText* number = page.find(QStringLiteral("Page number 1"));
    ASSERT_TRUE(number);
    EXPECT_EQ(number->at, QPoint(12960, 720));
    EXPECT_EQ(number->font.pixelSize(), 160);

    const test::PageText* title = page.find(QStringLiteral("All Records   0 - 9999 MHz"));
    ASSERT_TRUE(title);
    EXPECT_EQ(title->at.y(), 1080);
    EXPECT_TRUE(title->font.bold());
    EXPECT_EQ(title->color, QColor(0, 0, 0x80));
    // Centred on the middle of an 11-inch page.
    const int width = QFontMetrics(title->font).horizontalAdvance(title->text);
    EXPECT_NEAR(title->at.x() + width / 2, 11 * 720, 2);

    ASSERT_FALSE(page.fills.empty());
    const test::PageFill& band = page.fills.front();
    EXPECT_EQ(band.color, QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(band.rect.topLeft(), QPoint(720, HeadingY));
    EXPECT_LE(band.rect.right(), 11 * 1440 - 100);
    EXPECT_GT(band.rect.width(), 9 * 1440);

    const test::PageText* caption = page.find(QStringLiteral("Category"));
    ASSERT_TRUE(caption);
    EXPECT_EQ(caption->at, QPoint(1080, HeadingY));
    EXPECT_EQ(caption->color, QColor(0, 0, 0x80));
    EXPECT_EQ(caption->font.pixelSize(), 260);
}

TEST_F(GridReportTest, NotesLinesAreCutToTheirWidthInTheNotesColour)
{
    ReportSource s = source(AllCaptions, 2);
    const QString longNotes =
        QStringLiteral("Heard on the evening net, strong signal. ").repeated(20);
    s.rows[1].last() = longNotes;
    ReportFont font;
    font.color = 0x0000FF; // red, stored as blue-green-red
    draw(s, font);
    const CapturedPage page = capture(pages, 1);

    const test::PageText* shortNotes = page.find(QStringLiteral("N0"));
    ASSERT_TRUE(shortNotes);
    EXPECT_EQ(shortNotes->at, QPoint(1080 + 180, FirstLineY + 260));
    EXPECT_EQ(shortNotes->color, QColor(255, 0, 0));

    const std::vector<QString> cut = [&] {
        std::vector<QString> found;
        for (const test::PageText& t : page.texts) {
            if (t.text.startsWith(QStringLiteral("Heard")))
                found.push_back(t.text);
        }
        return found;
    }();
    ASSERT_EQ(cut.size(), 1u);
    // The cut is marked, as the grid export marks its cuts.
    ASSERT_TRUE(cut.front().endsWith(QLatin1Char('-')));
    const QString kept = cut.front().chopped(1);
    EXPECT_TRUE(longNotes.startsWith(kept));
    EXPECT_LT(kept.size(), longNotes.size());
    const QFontMetrics metrics(TPagePrinter::pageFont(QStringLiteral("Arial"), 10));
    EXPECT_LE(metrics.horizontalAdvance(cut.front()), 13500);
    // One character more would not have fitted.
    EXPECT_GT(metrics.horizontalAdvance(longNotes.left(kept.size() + 1) + QLatin1Char('-')), 13500);
}

TEST_F(GridReportTest, CellsTooWideAreNarrowedOrMarkedButNeverCutSilently)
{
    ReportSource s = source(AllCaptions, 2);
    const int position = int(AllCaptions.indexOf(QStringLiteral(" Position")));
    s.rows[0][position] = QStringLiteral("45 38N 122 41W");
    s.rows[1][position] = QStringLiteral("A position text far longer than any column could hold");
    ReportFont font;
    font.size = 12;
    draw(s, font);
    const CapturedPage page = capture(pages, 1);
    // Every character of a position at 12 points, in narrower letters within its column.
    const test::PageText* whole = page.find(QStringLiteral("45 38N 122 41W"));
    ASSERT_TRUE(whole);
    EXPECT_LT(whole->font.stretch(), 100);
    EXPECT_LE(QFontMetrics(whole->font).horizontalAdvance(whole->text), 1640);
    // What cannot fit even so ends with the cut mark.
    const auto cut = std::find_if(page.texts.begin(), page.texts.end(), [](const auto& t) {
        return t.text.startsWith(QStringLiteral("A position text"));
    });
    ASSERT_NE(cut, page.texts.end());
    EXPECT_TRUE(cut->text.endsWith(QLatin1Char('-'))) << cut->text.toStdString();
    EXPECT_LE(QFontMetrics(cut->font).horizontalAdvance(cut->text), 1640);
    // Texts that fit keep their letters.
    const test::PageText* callsign = page.find(QStringLiteral("C0"));
    ASSERT_TRUE(callsign);
    EXPECT_EQ(callsign->font.stretch(), QFont::AnyStretch);
}

TEST_F(GridReportTest, WideTextsStayInTheirColumns)
{
    QStringList captions = AllCaptions;
    captions[3] = QStringLiteral(" A Callsign Caption Too Wide");
    ReportSource s = source(captions, 1);
    s.rows[0][5] = QStringLiteral("A location name far longer than its column");
    s.title = QStringLiteral("A category with a name so long that the title would run off the "
                             "page on both sides Frequencies  0 - 9999 MHz");
    draw(s);
    const CapturedPage page = capture(pages, 1);
    const int printable = 11 * 1440 - 100;
    for (const test::PageText& t : page.texts) {
        const int width = QFontMetrics(t.font).horizontalAdvance(t.text);
        EXPECT_GE(t.at.x(), 0) << t.text.toStdString();
        EXPECT_LE(t.at.x() + width, printable) << t.text.toStdString();
        // A cell or caption ends before the next column starts.
        const bool inColumnRow = t.at.y() == HeadingY || t.at.y() == FirstLineY;
        if (inColumnRow && t.at.x() < 1080 + 7 * 1640) {
            EXPECT_LT(width, 1640) << t.text.toStdString();
        }
    }
    EXPECT_FALSE(page.has(QStringLiteral("A location name far longer than its column")));
}

TEST_F(GridReportTest, LargeBodyFontsGetFewerRecordsPerPage)
{
    const QStringList captions = without(AllCaptions, {"+-", "Notes"});
    ReportFont big;
    big.size = 40;
    const ReportLayout layout = draw(source(captions, 40), big);
    const int height = QFontMetrics(TPagePrinter::pageFont(big.name, 40)).height();
    EXPECT_EQ(layout.lineStep, height);
    EXPECT_LT(layout.recordsPerPage, 30);
    EXPECT_GE(layout.recordsPerPage, 1);
    // The last line of a full page ends above the footer.
    const int lastTop = HeadingY + 260 + layout.recordsPerPage * layout.lineStep;
    EXPECT_LE(lastTop + height, layout.footerY);
    EXPECT_EQ(pages.PageCount(), layout.pageCount(40));

    // A row taller than a page: the font shrinks until one record with its notes fits on a
    // page above the footer, and every record gets a page.
    ReportFont huge;
    huge.size = 600;
    const ReportLayout one = draw(source(AllCaptions, 3), huge);
    EXPECT_EQ(one.recordsPerPage, 1);
    ASSERT_EQ(pages.PageCount(), 3);
    for (int n = 1; n <= 3; ++n) {
        const CapturedPage page = capture(pages, n);
        const test::PageText* notes = page.find(QStringLiteral("N%1").arg(n - 1));
        ASSERT_TRUE(notes) << n;
        // The record line above its notes, its cells cut to their columns.
        EXPECT_FALSE(page.line(notes->at.y() - one.lineStep).isEmpty()) << n;
        EXPECT_LT(notes->font.pixelSize(), 600 * 20);
        EXPECT_LE(notes->at.y() + QFontMetrics(notes->font).height(), one.footerY) << n;
    }
}

TEST_F(GridReportTest, BodyFontFollowsTheStoredStyle)
{
    struct Case
    {
        int style;
        bool bold;
        bool italic;
    };
    // An unknown code keeps the bold of the heading line.
    for (const Case c : {Case{1, false, false}, Case{2, false, true}, Case{3, true, false},
                         Case{4, true, true}, Case{7, true, false}}) {
        ReportFont font;
        font.name = QStringLiteral("Courier New");
        font.size = 9;
        font.style = c.style;
        draw(source(AllCaptions, 1), font);
        const test::PageText* cell = capture(pages, 1).find(QStringLiteral("C0"));
        ASSERT_TRUE(cell);
        EXPECT_EQ(cell->font.bold(), c.bold) << c.style;
        EXPECT_EQ(cell->font.italic(), c.italic) << c.style;
        EXPECT_EQ(cell->font.pixelSize(), 180);
        EXPECT_EQ(cell->color, QColor(Qt::black));
    }
}

TEST_F(GridReportTest, OffsetsOfThePrinterMoveTheLayout)
{
    const ReportLayout::Columns columns = ReportLayout::columnsOf(
        AllCaptions, true, QStringLiteral("Frequency(MHz)"), QStringLiteral("+-"));
    const ReportLayout l = ReportLayout::make(columns, QPoint(144, 72), 15740, 200);
    EXPECT_EQ(l.x0, 144 + 1080);
    EXPECT_EQ(l.pageNumberY, 720 - 72);
    EXPECT_EQ(l.headingY, 2160 - 72);
    EXPECT_EQ(l.footerY, 10800 - 72);
    EXPECT_EQ(l.bandX, 144 + 720);
    EXPECT_EQ(l.notesX, 144 + 1080 + 180);
}

// The columns of ink in an image: true where any pixel of that x is dark.
std::vector<bool> inkColumns(const QImage& image)
{
    std::vector<bool> ink(size_t(image.width()));
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            ink[size_t(x)] = ink[size_t(x)] || test::isInk(line[x]);
    }
    return ink;
}

// The blank left and right of the ink, in pixels.
std::pair<int, int> inkMargins(const QImage& image)
{
    const std::vector<bool> ink = inkColumns(image);
    const auto first = std::find(ink.begin(), ink.end(), true);
    const auto last = std::find(ink.rbegin(), ink.rend(), true);
    return {int(first - ink.begin()), int(last - ink.rbegin())};
}

// On paper that is not a whole number of inches (A4) the printed page is laid out as the
// preview shows it, and texts too wide for their column leave the gap to the next one.
TEST_F(GridReportTest, PrintedPageMatchesThePreviewAndColumnsKeepTheirGap)
{
    for (const auto orientation : {QPageLayout::Portrait, QPageLayout::Landscape}) {
        SCOPED_TRACE(orientation == QPageLayout::Portrait ? "portrait" : "landscape");
        auto a4 = test::letterPrinter();
        a4->setPageSize(QPageSize(QPageSize::A4));
        a4->setPageOrientation(orientation);
        TPagePrinter a4Pages(*a4);
        const QStringList captions =
            orientation == QPageLayout::Portrait
                ? without(AllCaptions, {"Category", "+-", "User", "Location", "Special", "Notes"})
                : AllCaptions;
        ReportSource s = source(captions, 3);
        const int position = int(captions.indexOf(QStringLiteral(" Position")));
        ASSERT_GE(position, 0);
        for (QStringList& row : s.rows)
            row[position] = QStringLiteral("\u00d8resund 55\u00b042'12\"N 012\u00b035'59\"E WWWWWW");
        const ReportLayout layout = GridReport::draw(a4Pages, s, {}, QStringLiteral("11/22/04"));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("report.pdf"));
        QString error;
        ASSERT_TRUE(a4Pages.PrintToPdf(path, error)) << error.toStdString();
        constexpr int Dpi = 100;
        const QImage printed = test::renderPdfPage(path, 1, Dpi);
        ASSERT_FALSE(printed.isNull()) << "pdftoppm could not draw the page";
        PagePaintBox preview(a4Pages, nullptr);
        preview.showPage(1, Dpi);
        QImage shown = preview.grab().toImage().convertToFormat(QImage::Format_RGB32);
        // The dark frame the preview draws round the margins is not on paper.
        {
            const QPoint origin = a4Pages.pageOriginTwips();
            const QMargins m = a4Pages.GetMargins();
            const QSize page = a4Pages.pageTwips();
            const auto px = [](int twips) { return PreviewZoom::pixels(twips, Dpi); };
            const QRect inner(px(origin.x()) + px(m.left()), px(origin.y()) + px(m.top()),
                              px(page.width()) - px(m.left()) - px(m.right()),
                              px(page.height()) - px(m.top()) - px(m.bottom()));
            QImage cleaned(shown.size(), QImage::Format_RGB32);
            cleaned.fill(Qt::white);
            QPainter painter(&cleaned);
            painter.drawImage(inner.topLeft(), shown.copy(inner));
            painter.end();
            shown = cleaned;
        }

        // The same sheet, and the ink at the same distance from both of its edges.
        EXPECT_NEAR(shown.width(), printed.width(), 2);
        EXPECT_NEAR(shown.height(), printed.height(), 2);
        const auto [printedLeft, printedRight] = inkMargins(printed);
        const auto [shownLeft, shownRight] = inkMargins(shown);
        EXPECT_NEAR(printedLeft, shownLeft, 3);
        EXPECT_NEAR(printedRight, shownRight, 3);
        // The page is centred on the sheet: A4 is a quarter inch wider than the page.
        EXPECT_GT(printedRight, Dpi / 10);

        // Between the Position column and the next, the record lines leave blank paper.
        const QPoint origin = a4Pages.pageOriginTwips();
        const QMargins margins = a4Pages.GetMargins();
        const auto toX = [&](int twips) {
            return (twips + origin.x() + margins.left()) * Dpi / TPagePrinter::TwipsPerInch;
        };
        const auto toY = [&](int twips) {
            return (twips + origin.y() + margins.top()) * Dpi / TPagePrinter::TwipsPerInch;
        };
        const auto placed = std::find_if(layout.placed.begin(), layout.placed.end(),
                                         [&](const auto& c) { return c.gridCol == position; });
        ASSERT_NE(placed, layout.placed.end());
        ASSERT_NE(placed + 1, layout.placed.end());
        const int gapFrom = toX(placed->x + placed->width) + 1;
        const int gapTo = toX((placed + 1)->x) - 1;
        ASSERT_LE(gapFrom, gapTo);
        int inkInGap = 0;
        for (int y = toY(layout.headingY); y < toY(layout.headingY + 3 * 1440); ++y)
            for (int x = gapFrom; x <= gapTo; ++x)
                inkInGap += test::isInk(printed.pixel(x, y)) ? 1 : 0;
        EXPECT_EQ(inkInGap, 0) << "x " << gapFrom << ".." << gapTo;
    }
}

} // namespace
} // namespace wl
