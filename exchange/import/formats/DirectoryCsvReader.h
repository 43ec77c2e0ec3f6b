#pragma once

#include "exchange/import/formats/ImportFormats.h"

namespace wl {

// The CSV downloads of public frequency directories, which come with more than one set of
// headings: a long one (Frequency Output, Frequency Input, FCC Callsign, Agency/Category,
// Description, Alpha Tag, PL Tone, Mode, Class Station Code, Tag, County) and a short one
// (Frequency, License, Type, Tone, ..., Latitude, Longitude). Columns are found by heading:
// the alpha tag (or else the licence) becomes the call sign, the agency the user, the county
// the location, the mode and tone the optional field, latitude and longitude (decimal degrees)
// the position, and the description, tag, type, station class, input frequency and a licence
// that is not the call sign the notes.
class DirectoryCsvReader
{
public:
    static FormatImport read(const QByteArray& bytes, const QDate& today);
};

} // namespace wl
