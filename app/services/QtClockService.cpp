#include "app/services/QtClockService.h"

namespace wl {

QDateTime QtClockService::now() const
{
    return QDateTime::currentDateTime();
}

} // namespace wl
