#include "dialogs/CoordinateEntry.h"

namespace wl {

namespace {

constexpr int PositionLength = 20;

struct Axis
{
    double value = 0;
    QString degrees; // as written into the position text
    QString minutes; // two digits
};

// One coordinate: whole degrees (empty counts as 0) plus minutes / 60; the minutes are dropped
// when the degrees are at the limit.
Axis readAxis(const QString& degText, const QString& minText, int limit)
{
    Axis axis;
    bool degOk = false;
    const int degrees = degText.trimmed().isEmpty() ? 0 : degText.trimmed().toInt(&degOk);
    if (!degText.trimmed().isEmpty() && !degOk)
        return {0, QStringLiteral("0"), QStringLiteral("00")};
    bool minOk = false;
    int minutes = minText.trimmed().toInt(&minOk);
    if (!minOk || degrees >= limit)
        minutes = 0;
    axis.value = degrees + minutes / 60.0;
    axis.degrees = QString::number(degrees);
    axis.minutes = QStringLiteral("%1").arg(minutes, 2, 10, QLatin1Char('0'));
    return axis;
}

bool blank(const QString& a, const QString& b)
{
    return a.trimmed().isEmpty() && b.trimmed().isEmpty();
}

QString axisProblem(const QString& name, const QString& degText, const QString& minText, int limit)
{
    const int degrees = degText.trimmed().toInt();
    const int minutes = degrees >= limit ? 0 : minText.trimmed().toInt();
    if (degrees <= limit && minutes <= 59)
        return {};
    return QStringLiteral("The %1 %2\u00B0 %3' is out of range: degrees go from 0 to %4 and "
                          "minutes from 0 to 59.")
        .arg(name, degText.trimmed().isEmpty() ? QStringLiteral("0") : degText.trimmed(),
             minText.trimmed().isEmpty() ? QStringLiteral("0") : minText.trimmed())
        .arg(limit);
}

} // namespace

QString CoordinateEntry::problem() const
{
    QString latitude = axisProblem(QStringLiteral("latitude"), degLat, minLat, 90);
    return latitude.isEmpty() ? axisProblem(QStringLiteral("longitude"), degLon, minLon, 180)
                              : latitude;
}

CoordinateEntry::Result CoordinateEntry::toRecord() const
{
    const Axis lat = readAxis(degLat, minLat, 90);
    const Axis lon = readAxis(degLon, minLon, 180);
    Result result;
    result.rlat = south && lat.value != 0 ? -lat.value : lat.value;
    result.rlon = east && lon.value != 0 ? -lon.value : lon.value;
    // A position text needs both coordinates; a lone one is kept only in its number.
    if (blank(degLat, minLat) || blank(degLon, minLon)) {
        result.position = QString(PositionLength, QLatin1Char(' '));
        return result;
    }
    const QString text = lat.degrees + QLatin1Char(' ') + lat.minutes +
                         (south ? QLatin1Char('S') : QLatin1Char('N')) + QLatin1Char(' ') +
                         lon.degrees + QLatin1Char(' ') + lon.minutes +
                         (east ? QLatin1Char('E') : QLatin1Char('W'));
    result.position = text.leftJustified(PositionLength, QLatin1Char(' '), true);
    return result;
}

} // namespace wl
