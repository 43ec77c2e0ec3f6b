#include "exchange/import/formats/DecimalPosition.h"

#include "exchange/import/ImportMessages.h"

#include <cmath>

namespace wl {

namespace {

std::optional<double> degrees(const QString& text, const LocaleInfo& locale)
{
    std::optional<double> value = locale.parseNumber(text);
    if (!value)
        value = LocaleInfo::fromLocale(QLocale::c()).parseNumber(text);
    if (value && !std::isfinite(*value))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<std::pair<double, double>> DecimalPosition::read(const QString& latitude,
                                                               const QString& longitude,
                                                               const LocaleInfo& locale,
                                                               QString* why)
{
    const QString latText = latitude.trimmed();
    const QString lonText = longitude.trimmed();
    if (latText.isEmpty() && lonText.isEmpty())
        return std::nullopt;
    if (latText.isEmpty() || lonText.isEmpty()) {
        *why = latText.isEmpty() ? QStringLiteral("the longitude \"%1\" has no latitude beside it")
                                       .arg(ImportMessages::Quoted(lonText))
                                 : QStringLiteral("the latitude \"%1\" has no longitude beside it")
                                       .arg(ImportMessages::Quoted(latText));
        return std::nullopt;
    }
    const std::optional<double> lat = degrees(latText, locale);
    if (!lat || std::fabs(*lat) > 90) {
        *why = QStringLiteral("the latitude \"%1\" is not a number of degrees from -90 to 90")
                   .arg(ImportMessages::Quoted(latText));
        return std::nullopt;
    }
    const std::optional<double> lon = degrees(lonText, locale);
    if (!lon || std::fabs(*lon) > 180) {
        *why = QStringLiteral("the longitude \"%1\" is not a number of degrees from -180 to 180")
                   .arg(ImportMessages::Quoted(lonText));
        return std::nullopt;
    }
    return std::make_pair(*lat, *lon);
}

} // namespace wl
