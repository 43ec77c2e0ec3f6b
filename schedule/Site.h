#pragma once

#include <QString>

namespace wl::schedule {

// A transmitter site: its code as schedules name it, its name and its position in decimal
// degrees, north and east positive (0 is a real latitude or longitude here).
struct Site
{
    QString code;
    QString name;
    double lat = 0;
    double lon = 0;

    friend bool operator==(const Site&, const Site&) = default;
};

} // namespace wl::schedule
