#include "rig/RigFrequency.h"

#include <cmath>

namespace wl::rig {

qint64 hertzFromMegahertz(double mhz)
{
    return static_cast<qint64>(std::llround(mhz * 1e6));
}

double megahertzFromHertz(qint64 hz)
{
    return static_cast<double>(hz) / 1e6;
}

} // namespace wl::rig
