#pragma once

#include "exchange/export/LoggedRecord.h"

#include <QByteArray>

namespace wl {

// The log as an ADIF 3.1 tagged file (.adi) marked as listening (SWL) records, so other logging
// programs can take it over. Each field's length counts the bytes of its UTF-8 value. Fields
// without an ADIF equivalent (the category, the +/- modifier and the optional field) travel as
// this program's application fields, which other programs skip, so reading the file back gives
// the same records.
class AdifWriter
{
public:
    static const QString CategoryField;
    static const QString ModifierField;
    static const QString OptionalField;

    static QByteArray write(const std::vector<LoggedRecord>& records);
    // "XDDD MM.MMM", as ADIF writes latitudes (N/S) and longitudes (E/W).
    static QString location(double degrees, bool latitude);
};

} // namespace wl
