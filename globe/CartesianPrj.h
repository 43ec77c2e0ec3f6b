#pragma once

#include "globe/FlatPrj.h"

namespace wl {

// Plate carree: latitude and longitude at the same scale.
class CartesianPrj : public FlatPrj
{
public:
    explicit CartesianPrj(PrjHost& host);

protected:
    long double northing(long double lat) const override { return lat; }
    long double latitudeOf(long double n) const override { return n; }
};

} // namespace wl
