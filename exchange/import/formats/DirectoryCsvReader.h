#pragma once

#include "exchange/import/formats/ImportFormats.h"

namespace wl {

// The CSV export of public frequency directories: Frequency Output (MHz), Frequency Input,
// Alpha Tag, Description, Mode, Tag, County or Agency and more. Alpha Tag becomes the call
// sign, the agency the user, the county the location, the mode (and tone) the optional field
// and the description, tag and input frequency the notes.
class DirectoryCsvReader
{
public:
    static FormatImport read(const QByteArray& bytes, const QDate& today);
};

} // namespace wl
