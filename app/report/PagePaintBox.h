#pragma once

#include <QWidget>

namespace wl {

class TPagePrinter;

// Shows one page of a finished document at a scale in pixels per inch, with its margins
// painted in the margin colour when the document asks for a frame.
class PagePaintBox : public QWidget
{
    Q_OBJECT
public:
    PagePaintBox(const TPagePrinter& pages, QWidget* parent);

    // Takes the size of the page at the scale and repaints.
    void showPage(int page, int zoom);
    int page() const { return page_; }
    int zoom() const { return zoom_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const TPagePrinter& pages_;
    int page_ = 1;
    int zoom_ = 1;
};

} // namespace wl
