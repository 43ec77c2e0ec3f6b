#pragma once

#include <QDateTime>

namespace wl {

// The time of day, replaceable so that time-dependent behaviour can be tested.
class ClockService
{
public:
    virtual ~ClockService() = default;
    virtual QDateTime now() const = 0;
};

} // namespace wl
