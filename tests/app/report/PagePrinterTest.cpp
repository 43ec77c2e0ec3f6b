#include "QStringPrinting.h"
#include "ReportTestSupport.h"
#include "app/report/PagePaintBox.h"

#include <QRegularExpression>
#include <QTemporaryDir>

namespace wl {
namespace {

class PagePrinterTest : public ::testing::Test, protected test::ApplicationFirst
{
protected:
    // A finished document of n pages, each showing its number at one inch from the corner.
    void makePages(int n)
    {
        pages.SetMargins(QMargins(20, 20, 80, 80));
        pages.SetPageOrientation(TPagePrinter::Orientation::Landscape);
        pages.StartPages();
        for (int page = 1; page <= n; ++page) {
            if (page > 1)
                pages.AddPage();
            pages.PageCanvas(page)->drawText(1440, 1440, QStringLiteral("Sheet %1").arg(page));
        }
        pages.FinishPages();
    }

    std::unique_ptr<QPrinter> printer = test::letterPrinter();
    TPagePrinter pages{*printer};
    QTemporaryDir dir;
};

TEST_F(PagePrinterTest, PagesAreWholeInchesOfThePrintersPaper)
{
    EXPECT_EQ(pages.DpiX(), 600);
    // Letter is 5100 x 6600 dots at 600 dpi: the half inch is dropped.
    pages.SetPageOrientation(TPagePrinter::Orientation::Landscape);
    EXPECT_EQ(pages.PageWidthInches(), 11);
    EXPECT_EQ(pages.PageHeightInches(), 8);
    EXPECT_EQ(printer->pageLayout().orientation(), QPageLayout::Landscape);
    pages.SetPageOrientation(TPagePrinter::Orientation::Portrait);
    EXPECT_EQ(pages.PageWidthInches(), 8);
    EXPECT_EQ(pages.PageHeightInches(), 11);
    EXPECT_EQ(pages.pageTwips(), QSize(8 * 1440, 11 * 1440));

    struct Case
    {
        int dots;
        int dpi;
        int inches;
    };
    for (const Case c :
         {Case{6600, 600, 11}, Case{5100, 600, 8}, Case{300, 600, 1}, Case{1000, 0, 1}})
        EXPECT_EQ(TPagePrinter::wholeInches(c.dots, c.dpi), c.inches) << c.dots << "/" << c.dpi;
}

TEST_F(PagePrinterTest, PagesAreAddedUntilTheDocumentIsFinished)
{
    EXPECT_EQ(pages.PageCount(), 0);
    pages.StartPages();
    EXPECT_EQ(pages.PageCount(), 1);
    EXPECT_EQ(pages.CurrentPage(), 1);
    ASSERT_NE(pages.PageCanvas(1), nullptr);
    // The canvas counts in twips: the default font is 10 points, 200 units high.
    EXPECT_EQ(pages.PageCanvas(1)->font().pixelSize(), 200);
    EXPECT_EQ(pages.PageCanvas(1)->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(pages.AddPage(), 2);
    EXPECT_EQ(pages.CurrentPage(), 2);
    EXPECT_EQ(pages.PageCanvas(3), nullptr);
    pages.PageCanvas(2)->drawText(2880, 1440, QStringLiteral("two"));

    pages.FinishPages();
    EXPECT_TRUE(pages.Finished());
    EXPECT_EQ(pages.PageCanvas(1), nullptr);
    EXPECT_EQ(pages.AddPage(), 0);
    EXPECT_EQ(pages.PageCount(), 2);
    const test::CapturedPage second = test::capture(pages, 2);
    ASSERT_EQ(second.texts.size(), 1u);
    EXPECT_EQ(second.texts[0].text, QStringLiteral("two"));
    EXPECT_EQ(second.texts[0].at.x(), 2880);

    // Starting again throws the old pages away.
    pages.StartPages();
    EXPECT_FALSE(pages.Finished());
    EXPECT_EQ(pages.PageCount(), 1);
    EXPECT_EQ(pages.PageMetafile(2), nullptr);
}

TEST_F(PagePrinterTest, PrintsTheChosenRangeOfAFinishedDocument)
{
    pages.StartPages();
    pages.AddPage();
    pages.AddPage();
    const QString early = dir.filePath(QStringLiteral("early.pdf"));
    printer->setOutputFileName(early);
    EXPECT_FALSE(pages.PrintPageRange(1, 3)) << "the document is not finished";
    EXPECT_FALSE(QFile::exists(early));
    pages.FinishPages();

    struct Case
    {
        int first;
        int last;
        int sheets; // 0: refused
    };
    const Case cases[] = {{2, 3, 2}, {1, 1, 1}, {1, 3, 3}, {0, 2, 0}, {3, 4, 0}, {3, 2, 0}};
    for (const Case c : cases) {
        const QString path =
            dir.filePath(QStringLiteral("range%1-%2.pdf").arg(c.first).arg(c.last));
        printer->setOutputFileName(path);
        EXPECT_EQ(pages.PrintPageRange(c.first, c.last), c.sheets > 0) << c.first << "-" << c.last;
        if (c.sheets > 0)
            EXPECT_EQ(test::pdfPageCount(test::bytesOf(path)), c.sheets)
                << c.first << "-" << c.last;
        else
            EXPECT_FALSE(QFile::exists(path));
    }
}

TEST_F(PagePrinterTest, PdfFileIsReplacedWholeOrNotAtAll)
{
    makePages(3);
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old contents");
    }
    QString error;
    ASSERT_TRUE(pages.PrintToPdf(path, error)) << error.toStdString();
    const QByteArray pdf = test::bytesOf(path);
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(test::pdfPageCount(pdf), 3);
    // Letter landscape, in points.
    const QRegularExpression letterLandscape(
        QStringLiteral("/MediaBox \\[0 0 792(\\.0*)? 612(\\.0*)?\\]"));
    EXPECT_TRUE(letterLandscape.match(QString::fromLatin1(pdf)).hasMatch());
    // No temporary files are left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("report.pdf")});

    // A folder that does not exist: nothing written, and the reason is given.
    const QString nowhere = dir.filePath(QStringLiteral("missing/report.pdf"));
    error.clear();
    EXPECT_FALSE(pages.PrintToPdf(nowhere, error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(nowhere));

    // An unfinished document is not written over a good file.
    pages.StartPages();
    error.clear();
    EXPECT_FALSE(pages.PrintToPdf(path, error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(test::bytesOf(path), pdf);
}

TEST_F(PagePrinterTest, DrawnDocumentKeepsOnlyRecentPages)
{
    // A long document is drawn page by page when asked, and only a few pages are kept, so the
    // memory it takes does not grow with its length.
    pages.SetMargins(QMargins(20, 20, 80, 80));
    std::vector<int> drawn;
    pages.StartPages(100'000, [&drawn](QPainter& canvas, int page) {
        drawn.push_back(page);
        canvas.drawText(1440, 1440, QStringLiteral("Sheet %1").arg(page));
    });
    EXPECT_TRUE(pages.Finished());
    EXPECT_EQ(pages.PageCount(), 100'000);
    EXPECT_TRUE(drawn.empty());
    EXPECT_EQ(pages.PageCanvas(1), nullptr);
    EXPECT_EQ(pages.AddPage(), 0);
    EXPECT_EQ(pages.PageMetafile(0), nullptr);
    EXPECT_EQ(pages.PageMetafile(100'001), nullptr);

    EXPECT_TRUE(test::capture(pages, 100'000).has(QStringLiteral("Sheet 100000")));
    for (int n = 1; n <= 20; ++n)
        ASSERT_NE(pages.PageMetafile(n), nullptr);
    EXPECT_EQ(drawn.size(), 21u);
    // A page just shown is not drawn again; one shown long ago is.
    pages.PageMetafile(20);
    EXPECT_EQ(drawn.size(), 21u);
    pages.PageMetafile(1);
    EXPECT_EQ(drawn.size(), 22u);
    EXPECT_EQ(drawn.back(), 1);

    // Starting a recorded document again drops the drawn one.
    makePages(2);
    EXPECT_EQ(pages.PageCount(), 2);
    EXPECT_TRUE(test::capture(pages, 2).has(QStringLiteral("Sheet 2")));
}

TEST_F(PagePrinterTest, CancelledPdfLeavesTheOldFile)
{
    pages.SetMargins(QMargins(20, 20, 80, 80));
    pages.StartPages(50, [](QPainter& canvas, int page) {
        canvas.drawText(1440, 1440, QStringLiteral("Sheet %1").arg(page));
    });
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old contents");
    }
    std::vector<std::pair<int, int>> told;
    pages.setProgress([&told](int done, int total) {
        told.emplace_back(done, total);
        return done < 3;
    });
    QString error;
    EXPECT_FALSE(pages.PrintToPdf(path, error));
    EXPECT_TRUE(pages.Cancelled());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(told, (std::vector<std::pair<int, int>>{{1, 50}, {2, 50}, {3, 50}}));
    EXPECT_EQ(test::bytesOf(path), QByteArray("old contents"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("report.pdf")});

    // Let through, every page is written and the next run is not taken for cancelled.
    pages.setProgress([](int, int) { return true; });
    ASSERT_TRUE(pages.PrintToPdf(path, error)) << error.toStdString();
    EXPECT_FALSE(pages.Cancelled());
    EXPECT_EQ(test::pdfPageCount(test::bytesOf(path)), 50);
}

// Each ink cell of one picture has ink at or beside it in the other; the texts of the failures.
QStringList inkMismatches(const std::vector<std::vector<bool>>& want,
                          const std::vector<std::vector<bool>>& got, const char* missing)
{
    QStringList wrong;
    for (size_t y = 0; y < want.size(); ++y) {
        for (size_t x = 0; x < want[y].size(); ++x) {
            if (!want[y][x])
                continue;
            bool near = false;
            for (size_t ny = y > 0 ? y - 1 : 0; ny <= y + 1 && ny < got.size(); ++ny) {
                for (size_t nx = x > 0 ? x - 1 : 0; nx <= x + 1 && nx < got[ny].size(); ++nx)
                    near = near || got[ny][nx];
            }
            if (!near)
                wrong
                    << QStringLiteral("%1 at cell %2,%3").arg(QLatin1String(missing)).arg(x).arg(y);
        }
    }
    return wrong;
}

TEST_F(PagePrinterTest, PdfPageHasInkWhereThePreviewHasIt)
{
    // A recorded page is played onto the paper; a drawn one is drawn onto it straight. Both
    // must put their ink where the preview shows it.
    const auto drawSample = [](QPainter& canvas) {
        canvas.fillRect(QRect(2880, 2880, 1440, 720), Qt::black);
        canvas.setFont(TPagePrinter::pageFont(QStringLiteral("Arial"), 16, true));
        canvas.drawText(QRect(1440, 720, 8000, 600), Qt::AlignLeft | Qt::AlignTop,
                        QStringLiteral("All Records   0 - 9999 MHz"));
        canvas.setFont(TPagePrinter::pageFont(QStringLiteral("Arial"), 10));
        canvas.drawText(QRect(10080, 8640, 4000, 400), Qt::AlignLeft | Qt::AlignTop,
                        QStringLiteral("45 38N 122 41W"));
    };
    for (const bool drawn : {false, true}) {
        SCOPED_TRACE(drawn ? "drawn" : "recorded");
        pages.SetMargins(QMargins(20, 20, 80, 80));
        pages.SetPageOrientation(TPagePrinter::Orientation::Landscape);
        if (drawn) {
            pages.StartPages(1, [&](QPainter& canvas, int) { drawSample(canvas); });
        } else {
            pages.StartPages();
            drawSample(*pages.PageCanvas(1));
            pages.FinishPages();
        }

        const QString path = dir.filePath(QStringLiteral("ink.pdf"));
        QString error;
        ASSERT_TRUE(pages.PrintToPdf(path, error)) << error.toStdString();
        constexpr int Dpi = 72;
        const QImage printed = test::renderPdfPage(path, 1, Dpi);
        ASSERT_FALSE(printed.isNull()) << "pdftoppm could not draw the page";

        PagePaintBox preview(pages, nullptr);
        preview.showPage(1, Dpi);
        const QImage shown = preview.grab().toImage().convertToFormat(QImage::Format_RGB32);

        // The box two inches in, shifted by the one-pixel top-left margin and, downwards, by
        // the quarter inch that centres the eight-inch page on the letter sheet.
        EXPECT_TRUE(test::isInk(printed.pixel(2 * Dpi + 36, 2 * Dpi + 18 + 18)));
        EXPECT_FALSE(test::isInk(printed.pixel(Dpi / 2, 5 * Dpi)));
        constexpr int Cell = 12;
        const auto printedInk = test::inkCells(printed, Cell);
        const auto shownInk = test::inkCells(shown, Cell);
        EXPECT_EQ(inkMismatches(shownInk, printedInk, "missing on paper"), QStringList());
        EXPECT_EQ(inkMismatches(printedInk, shownInk, "not in the preview"), QStringList());
    }
}

} // namespace
} // namespace wl
