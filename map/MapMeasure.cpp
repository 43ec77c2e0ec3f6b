#include "map/MapMeasure.h"

#include "globe/AngleText.h"
#include "globe/Geodesy.h"
#include "grid/LocaleInfo.h"

namespace wl {

namespace {

// The data's code page has the ordinal indicator at 0xBA, which is U+00BA in Latin-1.
const QChar Degree(0x00BA);

QString angle(std::int32_t gu, const char* format)
{
    return QString::fromLatin1(guToStr(gu, format));
}

} // namespace

GlobeUnits MapMeasure::unitOf(int code)
{
    switch (code) {
    case 1:
        return GlobeUnits::NauticalMile;
    case 2:
        return GlobeUnits::Kilometer;
    default:
        return GlobeUnits::Mile;
    }
}

QString MapMeasure::unitWords(int code)
{
    switch (code) {
    case 1:
        return QStringLiteral(" nautical miles");
    case 2:
        return QStringLiteral(" kilometers");
    default:
        return QStringLiteral(" miles");
    }
}

QString MapMeasure::positionText(const LLPoint& p)
{
    return angle(p.lat, "%d") + Degree + angle(p.lat, " %m") + QLatin1Char('\'') +
           angle(p.lat, " %N   ") + angle(p.lon, "%d") + Degree + angle(p.lon, " %m") +
           QLatin1Char('\'') + angle(p.lon, " %E ");
}

float MapMeasure::heading(const LLPoint& home, const LLPoint& point)
{
    // The course is measured from north toward the west; the heading turns the other way.
    const double b = static_cast<double>(llBearing(home, point)) / GUPerDegree;
    float h = static_cast<float>(b >= 0 ? 360 - b : -b);
    if (h > 359.49f)
        h = 0;
    return h;
}

double MapMeasure::distance(const LLPoint& home, const LLPoint& point, int unitCode)
{
    return static_cast<double>(guToUnits(llDistance(home, point), unitOf(unitCode)));
}

QString MapMeasure::bearingText(const LLPoint& home, const LLPoint& point, int unitCode,
                                const QString& homeName, const LocaleInfo& locale)
{
    const QString degrees =
        locale.formatFixed(heading(home, point), 0).rightJustified(3, QLatin1Char('0'));
    return degrees + Degree + QStringLiteral(" / ") +
           locale.formatFixed(distance(home, point, unitCode), 1) + unitWords(unitCode) +
           QStringLiteral(" from ") + homeName;
}

bool MapMeasure::homePoint(const QString& latText, const QString& lonText, const LocaleInfo& locale,
                           LLPoint& home)
{
    const std::optional<double> lat = locale.parseNumber(latText);
    const std::optional<double> lon = locale.parseNumber(lonText);
    if (!lat || !lon || std::abs(*lat) > 90 || std::abs(*lon) > 180)
        return false;
    // The texts are taken at single precision, as the stored home always was.
    home = makeLLPoint(degToGU(-static_cast<float>(*lon)), degToGU(static_cast<float>(*lat)));
    return true;
}

} // namespace wl
