#include "app/WindowFit.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace wl {

namespace {

QMargins frameOf(const QWidget& window)
{
    const QWindow* handle = window.windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

} // namespace

WindowFit::WindowFit(QWidget& window, const QRect& area)
    : QObject(&window), window_(window), area_(area)
{
    setObjectName(QStringLiteral("WindowFit"));
}

void WindowFit::fit(QWidget& window, const QRect& area)
{
    // One fit per window: a later call replaces the area of the earlier one.
    auto* fitter = window.findChild<WindowFit*>(QStringLiteral("WindowFit"),
                                                Qt::FindDirectChildrenOnly);
    if (!fitter) {
        fitter = new WindowFit(window, area);
        window.installEventFilter(fitter);
    }
    fitter->area_ = area;
    fitter->apply();
}

void WindowFit::apply()
{
    frame_ = frameOf(window_);
    const QSize client(area_.width() - frame_.left() - frame_.right(),
                       area_.height() - frame_.top() - frame_.bottom());
    window_.resize(client.expandedTo(QSize(1, 1)));
    // A top-level window's position is that of its frame.
    window_.move(area_.topLeft());
}

bool WindowFit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &window_ && window_.isVisible()) {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
            // The user moving or sizing the window leaves the frame as it was; only a frame
            // that the window manager has just put on changes it.
            if (frameOf(window_) != frame_ && !window_.isMaximized() && !window_.isFullScreen())
                apply();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace wl
