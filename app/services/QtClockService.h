#pragma once

#include "app/services/ClockService.h"

namespace wl {

// The system clock, in local time.
class QtClockService : public ClockService
{
public:
    QDateTime now() const override;
};

} // namespace wl
