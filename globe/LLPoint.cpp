#include "globe/LLPoint.h"

#include "globe/GlobeMath.h"

#include <cmath>

namespace wl {

LLPoint makeLLPoint(std::int32_t lon, std::int32_t lat)
{
    // One wrap is enough for any 32-bit input: 2^31 - 360 degrees lies inside the range.
    if (lon > GU180)
        lon = static_cast<std::int32_t>(lon - GU360);
    else if (lon < -971999999)
        lon = static_cast<std::int32_t>(lon + GU360);
    const long double lambda = lon * RadianPerGU;
    const long double phi = lat * RadianPerGU;
    long double sinLambda, cosLambda, sinPhi, cosPhi;
    gmath::sinCos(lambda, sinLambda, cosLambda);
    gmath::sinCos(phi, sinPhi, cosPhi);
    const long double c = cosPhi * GlobeRadius;
    LLPoint p{lon, lat, 0, 0, 0};
    p.x = gmath::round32(sinLambda * c);
    p.z = gmath::round32(cosLambda * c);
    p.y = gmath::round32(sinPhi * GlobeRadius);
    return p;
}

std::int32_t normalizeLon(std::int64_t lon)
{
    return static_cast<std::int32_t>(gmath::floorMod(lon + GU180 - 1, GU360) - GU180 + 1);
}

std::int32_t clampLat(std::int64_t lat)
{
    if (lat > GU90)
        return GU90;
    if (lat < -GU90)
        return -GU90;
    return static_cast<std::int32_t>(lat);
}

} // namespace wl
