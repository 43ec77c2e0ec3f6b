#pragma once

#include <QString>

namespace wl {

// What the user typed into the latitude and longitude boxes of the entry dialog, and the
// record values made from it: the decimal degrees (north and west positive) and the position
// text padded to the field's 20 characters.
struct CoordinateEntry
{
    QString degLat;
    QString minLat;
    bool south = false;
    QString degLon;
    QString minLon;
    bool east = false;

    struct Result
    {
        double rlat = 0;
        double rlon = 0;
        QString position;
    };

    // Degrees at the limit (90 or 180) carry no minutes: a minutes box that kept its text while
    // it was disabled must not turn 90 degrees into 90.5.
    Result toRecord() const;

    // Why the typed position cannot be stored (degrees past 90 or 180, minutes past 59), or
    // empty when it can. Minutes beside degrees at the limit are not counted, as above.
    QString problem() const;
};

} // namespace wl
