#pragma once

#include <QMargins>
#include <QObject>
#include <QRect>

class QWidget;

namespace wl {

// Places a top-level window so that the whole of it, frame included, covers an area of the
// screen. A window's size is that of its client area, and the frame the window manager adds
// comes on top of it; on some systems the frame is known only once the window is on screen.
// So the fit is made at once with the frame known so far, and made again whenever the frame
// turns out different while the window is shown.
class WindowFit : public QObject
{
public:
    static void fit(QWidget& window, const QRect& area);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WindowFit(QWidget& window, const QRect& area);
    void apply();

    QWidget& window_;
    QRect area_;
    QMargins frame_;
};

} // namespace wl
