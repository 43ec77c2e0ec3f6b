#pragma once

#include "globe/LLPoint.h"
#include "globe/Spheroid.h"

#include <cstdint>

namespace wl {

// Extended-precision helpers the projections share.
long double wrapAngle(long double radians); // one step into [-pi, pi]
long double extHypot(long double a, long double b);
long double arcTan2(long double y, long double x);
// Argument clamped to [-1, 1], so rounding noise just past a pole still gives the pole.
long double arcSin(long double x);
long double arcCos(long double x);

// Central angle between two points in GU; as a length, one arc minute is one nautical mile.
std::int32_t llDistance(const LLPoint& p1, const LLPoint& p2);
// Initial course from p1 to p2, measured from north toward the west, in (-180, 180].
std::int32_t llBearing(const LLPoint& p1, const LLPoint& p2);
// Length of the geodesic on the given ellipsoid in GU (Vincenty's inverse method).
std::int32_t ellipsoidDistance(const LLPoint& p1, const LLPoint& p2, Spheroid spheroid);

} // namespace wl
