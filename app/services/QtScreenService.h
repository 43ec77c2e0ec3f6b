#pragma once

#include "app/services/ScreenService.h"

namespace wl {

// The primary screen as the windowing system reports it.
class QtScreenService : public ScreenService
{
public:
    QSize screenSize() const override;
    QRect workArea() const override;
};

} // namespace wl
