#pragma once

#include <QFrame>
#include <QPoint>

namespace wl {

// A small panel inside the main window that the user drags by pressing the mouse on its
// background. It stays inside its parent so it cannot be lost off the window's edge.
class MovablePanel : public QFrame
{
    Q_OBJECT
public:
    explicit MovablePanel(QWidget* parent);

    // Lets a child (a heading, say) move the panel too.
    void dragBy(QWidget* handle);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void moveTo(QPoint globalMouse);

    QPoint grabbed_;
};

} // namespace wl
