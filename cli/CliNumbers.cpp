#include "cli/CliNumbers.h"

#include "grid/LocaleInfo.h"

#include <QStringList>

namespace wl::cli {

std::optional<double> parseCliNumber(const QString& text)
{
    static const LocaleInfo points = LocaleInfo::fromName(QStringLiteral("C"));
    return points.parseNumber(text);
}

std::optional<std::pair<double, double>> parseCliLatLon(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2)
        return std::nullopt;
    const std::optional<double> lat = parseCliNumber(parts[0]);
    const std::optional<double> lon = parseCliNumber(parts[1]);
    if (!lat || !lon || *lat < -90 || *lat > 90 || *lon < -180 || *lon > 180)
        return std::nullopt;
    return std::make_pair(*lat, *lon);
}

} // namespace wl::cli
