#pragma once

#include "exchange/import/formats/ImportFormats.h"

#include <QHash>

#include <functional>

namespace wl {

// Logs in ADIF 3.1: the tagged text form (.adi, "<CALL:5>W1ABC ... <EOR>") and the XML form
// (.adx), told apart by their first characters. FREQ (MHz) gives the frequency, CALL the call
// sign, NAME the user, QTH the location, MODE and SUBMODE the optional field, NOTES and COMMENT
// the notes, QSO_DATE and TIME_ON the date, LAT and LON ("N051 30.000") or else the centre of
// GRIDSQUARE the position.
class AdifReader
{
public:
    using Fields = QHash<QString, QString>; // field name in capitals -> value
    // Takes each record as it is read, or nullptr for one already reported as broken, so the
    // records are numbered in step and a long log is never held as fields and records at once.
    using RecordSink = std::function<void(const Fields*)>;

    static FormatImport read(const QByteArray& bytes, const QDate& today);
    // "XDDD MM.MMM" to degrees, north and east positive.
    static std::optional<double> readLocation(const QString& text);
    // The centre of a Maidenhead locator of 2, 4, 6 or 8 characters, as (lat, lon).
    static std::optional<std::pair<double, double>> gridCentre(const QString& locator);

private:
    static void readTagged(const QByteArray& bytes, const RecordSink& sink,
                           QStringList& problems);
    static void readXml(const QByteArray& bytes, const RecordSink& sink, QStringList& problems);
    static std::optional<ImportRecord> record(const Fields& fields, int number, const QDate& today,
                                              QStringList& problems);
};

} // namespace wl
