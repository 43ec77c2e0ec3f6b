#include "app/services/QtScreenService.h"

#include <QGuiApplication>
#include <QScreen>

namespace wl {

QSize QtScreenService::screenSize() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize();
}

QRect QtScreenService::workArea() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace wl
