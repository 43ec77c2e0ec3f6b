#include "globe/MercatorPrj.h"

#include "globe/Geodesy.h"
#include "globe/GlobeMath.h"

#include <cmath>

namespace wl {

MercatorPrj::MercatorPrj(PrjHost& host)
    : FlatPrj(host, GURect{-GU180, -464400000, GU180, 464400000})
{
}

long double MercatorPrj::northing(long double lat) const
{
    return std::log(std::tan(lat * RadianPerGU / 2 + gmath::Pi / 4)) * GUPerRadian;
}

long double MercatorPrj::latitudeOf(long double n) const
{
    const long double t = n * RadianPerGU;
    return (2 * arcTan2(std::exp(t), 1) - gmath::Pi / 2) * GUPerRadian;
}

} // namespace wl
