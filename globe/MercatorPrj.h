#pragma once

#include "globe/FlatPrj.h"

namespace wl {

// Mercator map up to 86 degrees north and south.
class MercatorPrj : public FlatPrj
{
public:
    explicit MercatorPrj(PrjHost& host);

protected:
    long double northing(long double lat) const override;
    long double latitudeOf(long double n) const override;
};

} // namespace wl
