#pragma once

#include <QRect>
#include <QSize>

namespace wl {

// The size of the screen and the part of it left to windows (the screen minus task bars).
class ScreenService
{
public:
    virtual ~ScreenService() = default;
    virtual QSize screenSize() const = 0;
    virtual QRect workArea() const = 0;
};

} // namespace wl
