#include "exchange/import/formats/DirectoryCsvReader.h"

#include "exchange/import/formats/DecimalPosition.h"
#include "exchange/import/formats/ExactFrequency.h"
#include "exchange/import/formats/HeadedCsv.h"

namespace wl {

namespace {

// The headings each field is read from, the first one the file has winning.
const QStringList Frequency = {QStringLiteral("Frequency Output"), QStringLiteral("Frequency")};
const QStringList Licence = {QStringLiteral("FCC Callsign"), QStringLiteral("License"),
                             QStringLiteral("Licence")};
const QStringList Agency = {QStringLiteral("Agency/Category"), QStringLiteral("Agency")};
const QStringList Tone = {QStringLiteral("PL Tone"), QStringLiteral("Tone")};
const QStringList Station = {QStringLiteral("Class Station Code"), QStringLiteral("Type")};
const QString Input = QStringLiteral("Frequency Input");
const QString AlphaTag = QStringLiteral("Alpha Tag");
const QString County = QStringLiteral("County");
const QString Mode = QStringLiteral("Mode");
const QString Description = QStringLiteral("Description");
const QString Tag = QStringLiteral("Tag");
const QString Latitude = QStringLiteral("Latitude");
const QString Longitude = QStringLiteral("Longitude");

QString joined(QStringList parts, const QString& separator)
{
    parts.removeAll(QString());
    return parts.join(separator);
}

QString labelled(const QString& label, const QString& value)
{
    return value.isEmpty() ? QString() : label + u' ' + value;
}

} // namespace

FormatImport DirectoryCsvReader::read(const QByteArray& bytes, const QDate& today)
{
    FormatImport out;
    const HeadedCsv csv(bytes, out);
    if (!csv.ok())
        return out;
    const QString frequency = csv.firstOf(Frequency);
    const QString licence = csv.firstOf(Licence);
    const QString agency = csv.firstOf(Agency);
    const QString tone = csv.firstOf(Tone);
    const QString station = csv.firstOf(Station);
    QList<QPair<QString, QString>> used = {
        {frequency, QStringLiteral("Frequency (MHz)")},
        {Input, QStringLiteral("Notes (when not the output frequency)")},
        {AlphaTag, QStringLiteral("Callsign")},
        {licence, csv.has(AlphaTag) ? QStringLiteral("Notes (Callsign when no Alpha Tag)")
                                    : QStringLiteral("Callsign")},
        {agency, QStringLiteral("User")},
        {County, QStringLiteral("Location")},
        {Mode, QStringLiteral("Optional")},
        {tone, QStringLiteral("Optional")},
        {Description, QStringLiteral("Notes")},
        {Tag, QStringLiteral("Notes")},
        {station, QStringLiteral("Notes")},
        {Latitude, QStringLiteral("Position (latitude)")},
        {Longitude, QStringLiteral("Position (longitude)")}};
    used.removeIf([](const QPair<QString, QString>& use) { return use.first.isEmpty(); });
    csv.describe(used, out);
    if (frequency.isEmpty()) {
        out.batch.problems << QStringLiteral("The file has no \"%1\" or \"%2\" column.")
                                  .arg(Frequency[0], Frequency[1]);
        return out;
    }
    // The file's numbers are written with a point whatever the reader's locale.
    const LocaleInfo pointLocale = LocaleInfo::fromLocale(QLocale::c());
    csv.readRecords(frequency, today, out, [&](qsizetype i, ImportRecord& r) {
        QString why;
        const auto position =
            DecimalPosition::read(csv.cell(i, Latitude), csv.cell(i, Longitude), pointLocale, &why);
        if (!why.isEmpty())
            return why;
        if (position) {
            r.lat = position->first;
            r.lon = position->second;
        }
        const QString tagText = csv.cell(i, AlphaTag);
        const QString licenceText = licence.isEmpty() ? QString() : csv.cell(i, licence);
        r.callsign = tagText.isEmpty() ? licenceText : tagText;
        r.user = agency.isEmpty() ? QString() : csv.cell(i, agency);
        r.location = csv.cell(i, County);
        r.special = joined({csv.cell(i, Mode), tone.isEmpty() ? QString() : csv.cell(i, tone)},
                           QStringLiteral(" "));
        const QString input = csv.cell(i, Input);
        const std::optional<double> inputMHz = ExactFrequency::toMHz(input);
        r.notes = joined(
            {csv.cell(i, Description), csv.cell(i, Tag),
             station.isEmpty() ? QString() : labelled(station, csv.cell(i, station)),
             inputMHz && *inputMHz != r.hz ? labelled(QStringLiteral("Input"), input) : QString(),
             r.callsign == licenceText ? QString() : labelled(licence, licenceText)},
            QStringLiteral("; "));
        return QString();
    });
    return out;
}

} // namespace wl
