#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QScrollArea;
class QToolButton;

namespace wl {

class PagePaintBox;
class TPagePrinter;

// The modal preview of a finished page printer document: paging, four zoom levels, printing of
// all or some pages, and a font button that asks for the document to be built again.
class TPagePreview : public QDialog
{
    Q_OBJECT
public:
    // Answers the font button: lets the user choose and store a new font and says whether one
    // was chosen.
    using FontChooser = std::function<bool(QWidget* parent)>;

    TPagePreview(TPagePrinter& pages, QWidget* parent = nullptr);

    // Finishes the document and shows it maximized until the user closes the preview. True when
    // it closed because a new font was chosen, so that the caller builds the document again.
    static bool ShowPreview(TPagePrinter& pages, QWidget* parent, FontChooser chooseFont);

    TPagePrinter& PagePrinter() { return pages_; }
    int Zoom() const { return zoom_; }
    int CurrentPage() const { return currentPage_; }
    int ZoomLevel() const { return zoomLevel_; }
    bool fontChanged() const { return fontChanged_; }
    FontChooser OnSelectFont;

    void SBtnNextClick();
    void SBtnPrevClick();
    // Shows page n, kept within the document.
    void goToPage(int n);
    void BtnView1Click(); // zoom in
    void BtnView2Click(); // zoom out
    // Prints through the print dialog, or into a PDF file when no printer is installed; false
    // when cancelled or failed (a failure is reported).
    bool PrintBtnClick();
    void BtnFntClick();

    QWidget* ToolPanel = nullptr;
    QToolButton* BtnView2 = nullptr;
    QToolButton* BtnView1 = nullptr;
    QToolButton* SBtnPrev = nullptr;
    QLabel* LabelPage = nullptr;
    QToolButton* SBtnNext = nullptr;
    QToolButton* PrintBtn = nullptr;
    QToolButton* BtnFnt = nullptr;
    QToolButton* BtnClose = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    PagePaintBox* PaintBox1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildToolBar();
    void FormActivate();
    void layOut();
    void placePage();
    void placeTools();
    void showPageLabel();
    void setZoomLevel(int level);
    bool landscape() const;
    bool printToPdf();
    bool printOnPrinter();
    // Prints through print, with a progress window whose Cancel stops it; false when it
    // failed or was cancelled.
    bool printWithProgress(const std::function<bool()>& print);

    TPagePrinter& pages_;
    QWidget* tools_ = nullptr;
    int zoom_ = 4;
    int currentPage_ = 1;
    int zoomLevel_ = 0;
    bool activated_ = false;
    bool fontChanged_ = false;
};

} // namespace wl
