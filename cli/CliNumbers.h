#pragma once

#include <QString>

#include <optional>

namespace wl::cli {

// Numbers on the command line are written the same way in every locale, with a point as the
// decimal separator, so a script works wherever it runs.
std::optional<double> parseCliNumber(const QString& text);
// "LAT,LON" in decimal degrees, north and east positive.
std::optional<std::pair<double, double>> parseCliLatLon(const QString& text);

} // namespace wl::cli
