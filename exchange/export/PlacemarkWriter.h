#pragma once

#include "exchange/export/LoggedRecord.h"

#include <QByteArray>

namespace wl {

// The plotted records as placemarks for other maps: KML 2.2 and GeoJSON (RFC 7946, positions
// as [longitude, latitude], east and north positive). A record without a position is left out
// and counted rather than placed at 0,0 off the coast of Africa. Each placemark carries the
// record's name (call sign, else location, else frequency), frequency, category and notes.
class PlacemarkWriter
{
public:
    static QByteArray kml(const std::vector<LoggedRecord>& records, int* leftOut = nullptr);
    static QByteArray geoJson(const std::vector<LoggedRecord>& records, int* leftOut = nullptr);
    static QString name(const LoggedRecord& record);
};

} // namespace wl
