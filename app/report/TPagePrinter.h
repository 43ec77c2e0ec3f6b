#pragma once

#include <QColor>
#include <QFont>
#include <QMargins>
#include <QPoint>
#include <QSize>
#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

class QPagedPaintDevice;
class QPainter;
class QPicture;
class QPrinter;

namespace wl {

// Records a printed document as a list of page pictures instead of sending it to the printer at
// once: the caller draws each page on its canvas in twips (1/1440 inch) from the paper's
// top-left corner, finishes the pages, and then previews them or prints all or some of them.
//
// A long document is not recorded at all: it is given as a page count and a function that draws
// any one page, and each page is recorded when it is shown or printed. Only a few recent pages
// are kept, so memory stays the same whatever the page count.
//
// The page size comes from the printer handed in, which the object keeps using for printing.
class TPagePrinter
{
public:
    // Draws page n (from 1) on a fresh page canvas.
    using PageDrawer = std::function<void(QPainter& canvas, int page)>;
    // Told after each page printed, with the pages done and the pages to do; false stops.
    using Progress = std::function<bool(int done, int total)>;

    enum class Orientation
    {
        Portrait = 0,
        Landscape = 1
    };

    // What the page layout needs to know of a printer, in its device dots.
    struct PrinterGeometry
    {
        int dpiX = 0;
        int dpiY = 0;
        QSize paperDots;   // the whole sheet in the printer's orientation
        QPoint offsetDots; // where the printable area starts on the sheet

        static PrinterGeometry of(const QPrinter& printer);
    };

    static constexpr int TwipsPerInch = 1440;

    explicit TPagePrinter(QPrinter& printer);
    ~TPagePrinter();
    TPagePrinter(const TPagePrinter&) = delete;
    TPagePrinter& operator=(const TPagePrinter&) = delete;

    // Whole inches of a paper edge: a part inch is dropped, and a sheet is at least one inch.
    static int wholeInches(int dots, int dpi);
    // A font for a page canvas, whose units are twips: p points are p x 20 units high.
    static QFont pageFont(const QString& face, int points, bool bold = false, bool italic = false);

    void SetMargins(const QMargins& margins) { margins_ = margins; }
    QMargins GetMargins() const { return margins_; }
    // The preview paints the margins in the margin colour around the page.
    bool FrameMargins = false;
    QColor MarginColor = Qt::black;
    bool ShowPrintButton = true;

    // Sets the printer's orientation and takes the page size from it.
    void SetPageOrientation(Orientation orientation);
    Orientation orientation() const { return orientation_; }
    int DpiX() const { return geometry_.dpiX; }
    int DpiY() const { return geometry_.dpiY; }
    int PageWidthInches() const { return pageWidthInches_; }
    int PageHeightInches() const { return pageHeightInches_; }
    // The page in twips, and the printer's printable-area offset in twips.
    QSize pageTwips() const;
    QPoint offsetTwips() const;
    // The whole sheet in twips, and where the page sits on it: the page is whole inches, so it
    // is centred on the sheet, on paper and in the preview alike.
    QSize paperTwips() const;
    QPoint pageOriginTwips() const;
    QPrinter& printer() { return printer_; }

    // Discards every page and opens the first.
    void StartPages();
    // Discards every page and makes a finished document of count pages, each drawn by drawer
    // when it is needed.
    void StartPages(int count, PageDrawer drawer);
    // Opens a new page and returns its number; 0 once the document is finished.
    int AddPage();
    int PageCount() const { return drawer_ ? drawnCount_ : int(pages_.size()); }
    int CurrentPage() const { return currentPage_; }
    // The canvas of page n (from 1) while the document is drawn, else nullptr.
    QPainter* PageCanvas(int n);
    // The picture of page n (from 1), nullptr when there is no such page. A drawn document's
    // picture stays valid until a few other pages have been asked for.
    const QPicture* PageMetafile(int n) const;
    // Completes every page picture; no page can be added after this.
    void FinishPages();
    bool Finished() const { return finished_; }

    // Called while pages are printed or written; printing stops when it answers false.
    void setProgress(Progress progress) { progress_ = std::move(progress); }
    // Whether the last printing was stopped through the progress.
    bool Cancelled() const { return cancelled_; }

    // Prints pages first..last of the finished document on the printer handed in at creation.
    // False when the document is not finished, the range holds no page of it, or the printer
    // failed.
    bool PrintPageRange(int first, int last);
    // Writes every page into a PDF file of the printer's paper size, replacing the file in
    // one step; on failure the file is left as it was and error says why.
    bool PrintToPdf(const QString& path, QString& error) const;
    // Plays pages first..last onto a paged device whose printable area starts at origin
    // (in device dots from the sheet's corner): each page shifted right and down by the left
    // and top margins and cut at the page less all four margins.
    bool render(QPagedPaintDevice& device, int first, int last) const;
    // Draws a page picture with the painter's transformation as it stands, whatever the
    // resolution of the painter's device: one picture unit is one unit of the painter.
    static void playPage(QPainter& painter, const QPicture& page);

private:
    std::unique_ptr<QPicture> recordPage(int n) const;
    void drawPage(QPainter& painter, int n) const;
    bool pageDone(int done, int total) const;

    // Pages of a drawn document kept for the preview going back and forth.
    static constexpr size_t CachedPages = 8;

    QPrinter& printer_;
    PrinterGeometry geometry_;
    Orientation orientation_ = Orientation::Portrait;
    int pageWidthInches_ = 1;
    int pageHeightInches_ = 1;
    QMargins margins_;
    std::vector<std::unique_ptr<QPicture>> pages_;
    std::vector<std::unique_ptr<QPainter>> canvases_;
    int currentPage_ = 0;
    bool finished_ = false;
    PageDrawer drawer_;
    int drawnCount_ = 0;
    mutable std::deque<std::pair<int, std::unique_ptr<QPicture>>> cache_;
    Progress progress_;
    mutable bool cancelled_ = false;
};

} // namespace wl
