#pragma once

#include <QString>

namespace wl::store {

// The record's Position text made from decimal degrees (latitude north positive, longitude
// west positive, as RLat and RLon keep them): whole degrees, then minutes as two digits and
// the hemisphere letter, e.g. "45 38N 122 41W", padded with blanks to the field's 20
// characters. Minutes are rounded to the nearest whole minute; 59.5 and more carries into
// the next degree.
QString positionText(double latNorth, double lonWest);

// Whether a record has a position. 0 is a latitude and a longitude (the equator, the prime
// meridian), so RLat and RLon alone cannot tell: a record entered with coordinates has its
// Position text, one without has it blank. A record with a blank Position text (written
// before the text was kept) has a position when both coordinates are non-zero.
bool hasPosition(const QString& positionText, double rLat, double rLon);

} // namespace wl::store
