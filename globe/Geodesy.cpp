#include "globe/Geodesy.h"

#include "globe/GlobeMath.h"

#include <algorithm>
#include <cmath>

namespace wl {

using gmath::Pi;

long double wrapAngle(long double x)
{
    if (x < -Pi)
        return x + 2 * Pi;
    if (x > Pi)
        return x - 2 * Pi;
    return x;
}

long double extHypot(long double a, long double b)
{
    a = std::fabs(a);
    b = std::fabs(b);
    if (b > a)
        std::swap(a, b);
    if (b != 0)
        return a * std::sqrt((b / a) * (b / a) + 1);
    return a;
}

long double arcTan2(long double y, long double x)
{
    return std::atan2(y, x);
}

long double arcSin(long double x)
{
    x = std::clamp(x, -1.0L, 1.0L);
    return std::atan2(x, std::sqrt(1 - x * x));
}

long double arcCos(long double x)
{
    if (1 - x * x > 0)
        return std::atan2(std::sqrt(1 - x * x), x);
    return x >= 0 ? 0.0L : Pi;
}

std::int32_t llDistance(const LLPoint& p1, const LLPoint& p2)
{
    const long double phi1 = p1.lat * RadianPerGU;
    const long double phi2 = p2.lat * RadianPerGU;
    const long double dPhi = (static_cast<std::int64_t>(p1.lat) - p2.lat) * RadianPerGU;
    const long double dLambda = (static_cast<std::int64_t>(p1.lon) - p2.lon) * RadianPerGU;
    const long double a = std::sin(dPhi / 2);
    const long double b = std::sin(dLambda / 2);
    const long double h = a * a + std::cos(phi1) * std::cos(phi2) * b * b;
    return gmath::round32(arcSin(std::sqrt(h)) * 2 * GUPerRadian);
}

std::int32_t llBearing(const LLPoint& p1, const LLPoint& p2)
{
    const long double phi1 = p1.lat * RadianPerGU;
    const long double phi2 = p2.lat * RadianPerGU;
    const long double dLambda = (static_cast<std::int64_t>(p1.lon) - p2.lon) * RadianPerGU;
    const long double a = std::cos(phi2) * std::sin(dLambda);
    const long double b =
        std::cos(phi1) * std::sin(phi2) - std::sin(phi1) * std::cos(phi2) * std::cos(dLambda);
    return gmath::round32(wrapAngle(arcTan2(a, b)) * GUPerRadian);
}

namespace {

// Cosine and sine of the reduced latitude. Built from the normalised vector rather than from
// tan(phi): at the poles cos(phi) in extended precision is -2.5e-20, which would flip the sign.
void reducedLatitude(long double phi, long double r, long double& cu, long double& su)
{
    const long double c = std::max(0.0L, std::cos(phi));
    const long double s = r * std::sin(phi);
    const long double n = extHypot(c, s);
    cu = c / n;
    su = s / n;
}

} // namespace

std::int32_t ellipsoidDistance(const LLPoint& p1, const LLPoint& p2, Spheroid spheroid)
{
    if (p1.lon == p2.lon && p1.lat == p2.lat)
        return 0;
    const SpheroidData sd = spheroidData(spheroid);
    const long double a = sd.semiMajorAxis;
    const long double f = sd.flattening;
    const long double r = 1 - f;
    long double cu1, su1, cu2, su2;
    reducedLatitude(p1.lat * RadianPerGU, r, cu1, su1);
    reducedLatitude(p2.lat * RadianPerGU, r, cu2, su2);
    const long double s = cu1 * cu2;
    const long double baz = cu1 * su2;
    const long double faz = su1 * su2;
    const long double lambda = (static_cast<std::int64_t>(p2.lon) - p1.lon) * RadianPerGU;

    long double x = lambda;
    long double sy = 0, cy = 0, y = 0, c2a = 0, cz = 0, e = 0;
    // Near antipodes the iteration converges slowly or not at all; the cap bounds the work.
    for (int pass = 0; pass < 200; ++pass) {
        const long double sx = std::sin(x);
        const long double cx = std::cos(x);
        const long double t1 = cu2 * sx;
        const long double t2 = baz - su1 * cu2 * cx;
        sy = std::sqrt(t1 * t1 + t2 * t2);
        cy = s * cx + faz;
        y = arcTan2(sy, cy);
        const long double sa = sy != 0 ? s * sx / sy : 0.0L;
        c2a = 1 - sa * sa;
        cz = 2 * faz;
        if (c2a > 0)
            cz = cy - cz / c2a;
        e = 2 * cz * cz - 1;
        const long double c = ((-3 * c2a + 4) * f + 4) * c2a * f / 16;
        const long double d = x;
        x = (1 - c) * f * sa * (y + c * sy * (cz + c * cy * e)) + lambda;
        if (std::fabs(d - x) <= 1e-15L)
            break;
    }
    x = std::sqrt((1 / (r * r) - 1) * c2a + 1) + 1;
    x = (x - 2) / x;
    const long double c = (x * x / 4 + 1) / (1 - x);
    const long double d = (0.375L * x * x - 1) * x;
    const long double result =
        ((((4 * sy * sy - 3) * (1 - 2 * e) * cz * d / 6 - e * cy) * d / 4 + cz) * sy * d + y) * c *
        a * r;
    return gmath::round32(result);
}

} // namespace wl
