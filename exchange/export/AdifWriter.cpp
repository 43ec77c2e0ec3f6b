#include "exchange/export/AdifWriter.h"

#include "exchange/export/AdifModes.h"

#include <QLocale>

#include <cmath>

namespace wl {

const QString AdifWriter::CategoryField = QStringLiteral("APP_WAVELARK_CATEGORY");
const QString AdifWriter::ModifierField = QStringLiteral("APP_WAVELARK_MODIFIER");
const QString AdifWriter::OptionalField = QStringLiteral("APP_WAVELARK_OPTIONAL");

namespace {

void field(QByteArray& out, const QString& name, const QString& value)
{
    if (value.isEmpty())
        return;
    const QByteArray bytes = value.toUtf8();
    out += '<' + name.toLatin1() + ':' + QByteArray::number(bytes.size()) + '>' + bytes + ' ';
}

} // namespace

QString AdifWriter::location(double degrees, bool latitude)
{
    const QChar hemisphere = latitude ? (degrees < 0 ? u'S' : u'N') : (degrees < 0 ? u'W' : u'E');
    // Whole thousandths of a minute, so rounding never writes "60.000" minutes.
    const long long thousandths = std::llround(std::fabs(degrees) * 60000.0);
    const long long whole = thousandths / 60000;
    const double minutes = double(thousandths % 60000) / 1000.0;
    return QStringLiteral("%1%2 %3")
        .arg(hemisphere)
        .arg(whole, 3, 10, QLatin1Char('0'))
        .arg(minutes, 6, 'f', 3, QLatin1Char('0'));
}

QByteArray AdifWriter::write(const std::vector<LoggedRecord>& records)
{
    QByteArray out = "Listening log written by Wavelark\n<ADIF_VER:5>3.1.4 "
                     "<PROGRAMID:8>Wavelark <EOH>\n";
    for (const LoggedRecord& r : records) {
        field(out, QStringLiteral("CALL"), r.callsign);
        // The shortest text that reads back as the same number.
        field(out, QStringLiteral("FREQ"),
              QLocale::c().toString(r.mhz, 'f', QLocale::FloatingPointShortest));
        field(out, QStringLiteral("SWL"), QStringLiteral("Y"));
        if (r.rDate.isValid()) {
            field(out, QStringLiteral("QSO_DATE"), r.rDate.toString(QStringLiteral("yyyyMMdd")));
            field(out, QStringLiteral("TIME_ON"), r.rDate.toString(QStringLiteral("HHmmss")));
        }
        field(out, QStringLiteral("NAME"), r.user);
        field(out, QStringLiteral("QTH"), r.location);
        // The free Special field becomes a mode only when it names one of ADIF's, so no other
        // program is handed an invalid mode; it always travels whole in the program's field.
        if (const std::optional<AdifModes::Mode> mode = AdifModes::find(r.special)) {
            field(out, QStringLiteral("MODE"), mode->mode);
            field(out, QStringLiteral("SUBMODE"), mode->submode);
        }
        if (r.hasPosition()) {
            field(out, QStringLiteral("LAT"), location(*r.lat, true));
            field(out, QStringLiteral("LON"), location(*r.lon, false));
        }
        field(out, QStringLiteral("NOTES"), r.notes);
        field(out, CategoryField, r.category);
        field(out, ModifierField, r.modifier);
        field(out, OptionalField, r.special);
        out += "<EOR>\n";
    }
    return out;
}

} // namespace wl
