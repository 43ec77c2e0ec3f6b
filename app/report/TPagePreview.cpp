#include "app/report/TPagePreview.h"

#include "app/Glyphs.h"
#include "app/WaitCursor.h"
#include "app/report/PagePaintBox.h"
#include "app/report/PreviewZoom.h"
#include "app/report/TPagePrinter.h"
#include "app/services/CaptionedMessage.h"
#include "app/services/UiServices.h"

#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace wl {

namespace {

// The width the window is designed at; the first scale is taken from it, before the window
// is maximized.
constexpr int DesignWidth = 640;
constexpr int DesignHeight = 480;
constexpr int ToolBarHeight = 32;
constexpr int PageTop = 10;

QToolButton* makeButton(QWidget* parent, const char* name, const QIcon& icon, const QString& hint)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setIcon(icon);
    button->setIconSize(QSize(20, 20));
    button->setAutoRaise(true);
    button->setFixedSize(28, 28);
    button->setToolTip(hint);
    return button;
}

} // namespace

TPagePreview::TPagePreview(TPagePrinter& pages, QWidget* parent) : QDialog(parent), pages_(pages)
{
    setObjectName(QStringLiteral("TPagePreview"));
    setWindowTitle(QStringLiteral("Print Preview"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    resize(DesignWidth, DesignHeight);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    buildToolBar();
    column->addWidget(ToolPanel);

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The page follows the thumb while it is dragged.
    ScrollBox1->horizontalScrollBar()->setTracking(true);
    ScrollBox1->verticalScrollBar()->setTracking(true);
    auto* sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("Sheet"));
    PaintBox1 = new PagePaintBox(pages_, sheet);
    ScrollBox1->setWidget(sheet);
    column->addWidget(ScrollBox1, 1);

    PrintBtn->setVisible(pages_.ShowPrintButton);
    currentPage_ = 1;
    zoom_ = PreviewZoom::initial(width(), pages_.PageWidthInches(), pages_.GetMargins(),
                                 pages_.FrameMargins);
    layOut();
    showPageLabel();
}

void TPagePreview::buildToolBar()
{
    ToolPanel = new QWidget(this);
    ToolPanel->setObjectName(QStringLiteral("ToolPanel"));
    ToolPanel->setFixedHeight(ToolBarHeight);
    tools_ = new QWidget(ToolPanel);
    auto* row = new QHBoxLayout(tools_);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(4);

    BtnView2 = makeButton(tools_, "BtnView2", Glyphs::icon(Glyph::ZoomOut), {});
    BtnView1 = makeButton(tools_, "BtnView1", Glyphs::icon(Glyph::ZoomIn), {});
    SBtnPrev =
        makeButton(tools_, "SBtnPrev", Glyphs::icon(Glyph::Back), QStringLiteral("Previous Page"));
    LabelPage = new QLabel(tools_);
    LabelPage->setObjectName(QStringLiteral("LabelPage"));
    LabelPage->setTextFormat(Qt::PlainText);
    LabelPage->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    LabelPage->setAlignment(Qt::AlignCenter);
    LabelPage->setMinimumWidth(110);
    LabelPage->setToolTip(
        QStringLiteral("Home and End go to the first and last page; Page Up and Page Down turn "
                       "one page, ten with Ctrl."));
    SBtnNext =
        makeButton(tools_, "SBtnNext", Glyphs::icon(Glyph::Forward), QStringLiteral("Next Page"));
    PrintBtn = makeButton(tools_, "PrintBtn", Glyphs::icon(Glyph::Print), QStringLiteral("Print"));
    BtnFnt = makeButton(tools_, "BtnFnt", Glyphs::icon(Glyph::Font), QStringLiteral("Select Font"));
    BtnClose = makeButton(tools_, "BtnClose", Glyphs::icon(Glyph::Exit), QStringLiteral("Close"));
    for (QWidget* w : std::initializer_list<QWidget*>{BtnView2, BtnView1, SBtnPrev, LabelPage,
                                                      SBtnNext, PrintBtn, BtnFnt, BtnClose})
        row->addWidget(w);
    tools_->adjustSize();

    connect(BtnView1, &QToolButton::clicked, this, &TPagePreview::BtnView1Click);
    connect(BtnView2, &QToolButton::clicked, this, &TPagePreview::BtnView2Click);
    connect(SBtnPrev, &QToolButton::clicked, this, &TPagePreview::SBtnPrevClick);
    connect(SBtnNext, &QToolButton::clicked, this, &TPagePreview::SBtnNextClick);
    connect(PrintBtn, &QToolButton::clicked, this, [this] { PrintBtnClick(); });
    connect(BtnFnt, &QToolButton::clicked, this, &TPagePreview::BtnFntClick);
    connect(BtnClose, &QToolButton::clicked, this, &QDialog::reject);
}

bool TPagePreview::ShowPreview(TPagePrinter& pages, QWidget* parent, FontChooser chooseFont)
{
    pages.FinishPages();
    TPagePreview preview(pages, parent);
    preview.OnSelectFont = std::move(chooseFont);
    preview.setWindowState(Qt::WindowMaximized);
    preview.exec();
    return preview.fontChanged();
}

bool TPagePreview::landscape() const
{
    return pages_.orientation() == TPagePrinter::Orientation::Landscape;
}

void TPagePreview::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Once per preview: doing it at every activation would send the user back to page 1 after
    // each print dialog, with the zoom buttons out of step with the scale.
    if (!activated_) {
        activated_ = true;
        FormActivate();
    }
}

void TPagePreview::FormActivate()
{
    currentPage_ = 1;
    PaintBox1->showPage(currentPage_, zoom_);
    showPageLabel();
    placeTools();
    zoomLevel_ = landscape() ? 0 : 1;
    BtnView2->setEnabled(zoomLevel_ > PreviewZoom::MinLevel);
    BtnView1->setEnabled(true);
}

void TPagePreview::placeTools()
{
    // Centred on the screen for a maximized preview, but never out of a smaller window.
    const int ppi = std::max(1, logicalDpiX());
    const int centred =
        (UiServices::screen().screenSize().width() / 2 - DesignWidth / 2) * (96 / ppi);
    const int left = std::min(centred, width() - tools_->width());
    tools_->move(std::max(0, left), (ToolBarHeight - tools_->height()) / 2);
}

void TPagePreview::layOut()
{
    zoom_ = PreviewZoom::laidOut(zoom_, landscape());
    PaintBox1->showPage(currentPage_, zoom_);
    placePage();
}

void TPagePreview::placePage()
{
    const int left = PreviewZoom::pageLeft(width(), PaintBox1->width());
    PaintBox1->move(left, PageTop);
    QWidget* sheet = ScrollBox1->widget();
    sheet->resize(std::max(left + PaintBox1->width() + 10, ScrollBox1->viewport()->width()),
                  PaintBox1->height() + 2 * PageTop);
}

void TPagePreview::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    // The scale stays; only the places of the page and the buttons follow the window.
    if (PaintBox1)
        placePage();
    if (activated_)
        placeTools();
}

void TPagePreview::showPageLabel()
{
    LabelPage->setText(QStringLiteral("Page %1 of %2").arg(currentPage_).arg(pages_.PageCount()));
    // Wide enough for the longest page number of the document, so the text is never cut and
    // the buttons do not move while paging.
    const QString widest =
        QStringLiteral("Page %1 of %1")
            .arg(pages_.PageCount())
            .replace(QRegularExpression(QStringLiteral("\\d")), QStringLiteral("8"));
    const int needed = LabelPage->fontMetrics().horizontalAdvance(widest) +
                       2 * LabelPage->frameWidth() + LabelPage->fontMetrics().averageCharWidth();
    if (LabelPage->minimumWidth() < needed) {
        LabelPage->setMinimumWidth(needed);
        tools_->adjustSize();
        if (activated_)
            placeTools();
    }
    SBtnPrev->setEnabled(currentPage_ > 1);
    SBtnNext->setEnabled(currentPage_ < pages_.PageCount());
}

void TPagePreview::goToPage(int n)
{
    n = std::clamp(n, 1, std::max(1, pages_.PageCount()));
    if (n == currentPage_)
        return;
    currentPage_ = n;
    showPageLabel();
    PaintBox1->showPage(currentPage_, zoom_);
}

void TPagePreview::SBtnNextClick()
{
    goToPage(currentPage_ + 1);
}

void TPagePreview::SBtnPrevClick()
{
    goToPage(currentPage_ - 1);
}

void TPagePreview::setZoomLevel(int level)
{
    zoomLevel_ = std::clamp(level, PreviewZoom::MinLevel, PreviewZoom::MaxLevel);
    zoom_ = PreviewZoom::forLevel(zoomLevel_, landscape(), width(), pages_.PageWidthInches(),
                                  pages_.GetMargins());
    BtnView2->setEnabled(zoomLevel_ > PreviewZoom::MinLevel);
    BtnView1->setEnabled(zoomLevel_ < PreviewZoom::MaxLevel);
    layOut();
}

void TPagePreview::BtnView1Click()
{
    setZoomLevel(zoomLevel_ + 1);
}

void TPagePreview::BtnView2Click()
{
    setZoomLevel(zoomLevel_ - 1);
}

bool TPagePreview::PrintBtnClick()
{
    if (QPrinterInfo::availablePrinters().isEmpty())
        return printToPdf();
    return printOnPrinter();
}

bool TPagePreview::printToPdf()
{
    const QString path =
        UiServices::dialogs().saveFileName(this, QStringLiteral("Print Report To PDF"),
                                           QDir::homePath(), QStringLiteral("PDF files (*.pdf)"));
    if (path.isEmpty())
        return false;
    QString error;
    const bool printed = printWithProgress([&] { return pages_.PrintToPdf(path, error); });
    if (!printed && !pages_.Cancelled()) {
        ShowMessage(QStringLiteral("The report could not be printed to \"%1\".")
                        .arg(QDir::toNativeSeparators(path)),
                    error);
        return false;
    }
    return true;
}

bool TPagePreview::printOnPrinter()
{
    QPrinter& printer = pages_.printer();
    const int count = pages_.PageCount();
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(1, count);
    if (!UiServices::dialogs().print(this, printer))
        return false;
    int first = 1;
    int last = count;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = printer.fromPage();
        last = printer.toPage() > 0 ? printer.toPage() : count;
    }
    if (first > count || last < 1 || first > last) {
        ShowMessage(QStringLiteral("The report has no pages %1 to %2; it has %3.")
                        .arg(first)
                        .arg(last)
                        .arg(count));
        return false;
    }
    const bool printed = printWithProgress(
        [&] { return pages_.PrintPageRange(std::max(first, 1), std::min(last, count)); });
    if (!printed && !pages_.Cancelled()) {
        ShowMessage(QStringLiteral("The report could not be printed."));
        return false;
    }
    return true;
}

bool TPagePreview::printWithProgress(const std::function<bool()>& print)
{
    // A report of thousands of pages takes minutes; the window appears only when it is slow.
    QProgressDialog progress(QStringLiteral("Printing the report..."), QStringLiteral("Cancel"), 0,
                             pages_.PageCount(), this);
    progress.setWindowTitle(QStringLiteral("Print"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    pages_.setProgress([&progress](int done, int total) {
        progress.setMaximum(total);
        progress.setLabelText(QStringLiteral("Printing page %1 of %2...").arg(done).arg(total));
        progress.setValue(done);
        return !progress.wasCanceled();
    });
    bool printed = false;
    {
        WaitCursor wait;
        printed = print();
    }
    pages_.setProgress(nullptr);
    return printed;
}

void TPagePreview::BtnFntClick()
{
    if (!OnSelectFont || !OnSelectFont(this))
        return;
    fontChanged_ = true;
    accept();
}

void TPagePreview::keyPressEvent(QKeyEvent* event)
{
    // Enter steps through the controls instead of closing the preview.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        focusNextChild();
        event->accept();
        return;
    }
    // A long report is paged through from the keyboard: a page, ten pages, or to either end.
    const int step = event->modifiers() & Qt::ControlModifier ? 10 : 1;
    switch (event->key()) {
    case Qt::Key_Home:
        goToPage(1);
        return;
    case Qt::Key_End:
        goToPage(pages_.PageCount());
        return;
    case Qt::Key_PageDown:
        goToPage(currentPage_ + step);
        return;
    case Qt::Key_PageUp:
        goToPage(currentPage_ - step);
        return;
    default:
        break;
    }
    QDialog::keyPressEvent(event);
}

} // namespace wl
