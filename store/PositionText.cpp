#include "store/PositionText.h"

#include <cmath>

namespace wl::store {

bool hasPosition(const QString& positionText, double rLat, double rLon)
{
    if (!positionText.trimmed().isEmpty())
        return true;
    return rLat != 0 && rLon != 0;
}

namespace {

constexpr int PositionLength = 20;

// "45 38N": whole degrees and two-digit minutes of one coordinate, with its hemisphere letter.
QString axisText(double degrees, QChar positive, QChar negative)
{
    const QChar hemisphere = degrees < 0 ? negative : positive;
    const long totalMinutes = std::lround(std::fabs(degrees) * 60.0);
    return QStringLiteral("%1 %2%3")
        .arg(totalMinutes / 60)
        .arg(totalMinutes % 60, 2, 10, QLatin1Char('0'))
        .arg(hemisphere);
}

} // namespace

QString positionText(double latNorth, double lonWest)
{
    const QString text = axisText(latNorth, u'N', u'S') + u' ' + axisText(lonWest, u'W', u'E');
    return text.leftJustified(PositionLength, u' ', true);
}

} // namespace wl::store
