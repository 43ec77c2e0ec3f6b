#include "app/MovablePanel.h"

#include <QMouseEvent>

#include <algorithm>

namespace wl {

MovablePanel::MovablePanel(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAutoFillBackground(true);
    hide();
}

void MovablePanel::dragBy(QWidget* handle)
{
    handle->installEventFilter(this);
}

bool MovablePanel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress)
        mousePressEvent(static_cast<QMouseEvent*>(event));
    else if (event->type() == QEvent::MouseMove)
        mouseMoveEvent(static_cast<QMouseEvent*>(event));
    return QFrame::eventFilter(watched, event);
}

void MovablePanel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        grabbed_ = event->globalPosition().toPoint() - pos();
}

void MovablePanel::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        moveTo(event->globalPosition().toPoint());
}

void MovablePanel::moveTo(QPoint globalMouse)
{
    QPoint at = globalMouse - grabbed_;
    if (const QWidget* area = parentWidget()) {
        at.setX(std::clamp(at.x(), 0, std::max(0, area->width() - width())));
        at.setY(std::clamp(at.y(), 0, std::max(0, area->height() - height())));
    }
    move(at);
}

} // namespace wl
