#pragma once

#include <QString>

#include <vector>

namespace wl::schedule {

// A broadcast band by its usual name ("49 m") and its edges in kHz.
struct BroadcastBand
{
    QString name;
    double lowKhz = 0;
    double highKhz = 0;

    static const std::vector<BroadcastBand>& all();
    // The band holding a frequency, or the nearest one.
    static const BroadcastBand& around(double khz);
};

} // namespace wl::schedule
