#pragma once

#include "grid/LocaleInfo.h"

#include <QString>

#include <optional>
#include <utility>

namespace wl {

// A position given as two columns of decimal degrees, north and east positive. 0 is a latitude
// and a longitude like any other: only two empty cells mean "no position".
class DecimalPosition
{
public:
    // (latitude, longitude) when both cells hold a coordinate in range; nothing when both are
    // empty. Anything else gives nothing with *why set: one cell alone, a text that is not a
    // number (in the locale's format or with a point), a latitude beyond 90 or a longitude
    // beyond 180 degrees.
    static std::optional<std::pair<double, double>>
    read(const QString& latitude, const QString& longitude, const LocaleInfo& locale, QString* why);
};

} // namespace wl
