#include "exchange/import/formats/OwnCsvReader.h"

#include "exchange/import/ImportMessages.h"
#include "exchange/import/formats/DecimalPosition.h"
#include "exchange/import/formats/HeadedCsv.h"

#include <QRegularExpression>

#include <cmath>

namespace wl {

namespace {

const QString Category = QStringLiteral("Category");
const QString Frequency = QStringLiteral("Frequency(MHz)");
const QString Modifier = QStringLiteral("+-");
const QString Callsign = QStringLiteral("Callsign");
const QString User = QStringLiteral("User");
const QString Location = QStringLiteral("Location");
const QString Special = QStringLiteral("Special");
const QString Position = QStringLiteral("Position");
const QString DateTime = QStringLiteral("Date/Time");
const QString Notes = QStringLiteral("Notes");
const QString Latitude = QStringLiteral("Latitude");
const QString Longitude = QStringLiteral("Longitude");

bool hasHeading(const QStringList& row, const QString& heading)
{
    for (const QString& cell : row) {
        if (cell.trimmed().compare(heading, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString quoted(const QString& cell)
{
    return ImportMessages::Quoted(cell);
}

} // namespace

bool OwnCsvReader::recognises(const QStringList& headingRow)
{
    return hasHeading(headingRow, Category) && hasHeading(headingRow, Frequency) &&
           hasHeading(headingRow, DateTime);
}

std::optional<std::pair<double, double>> OwnCsvReader::readPositionText(const QString& text)
{
    static const QRegularExpression form(
        QStringLiteral("^(\\d{1,2}) (\\d{1,2})([NS]) (\\d{1,3}) (\\d{1,2})([EW])$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = form.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const int latMinutes = m.captured(2).toInt();
    const int lonMinutes = m.captured(5).toInt();
    const double lat = m.captured(1).toInt() + latMinutes / 60.0;
    const double lon = m.captured(4).toInt() + lonMinutes / 60.0;
    if (latMinutes > 59 || lonMinutes > 59 || lat > 90 || lon > 180)
        return std::nullopt;
    const bool south = m.captured(3).compare(QStringLiteral("S"), Qt::CaseInsensitive) == 0;
    const bool west = m.captured(6).compare(QStringLiteral("W"), Qt::CaseInsensitive) == 0;
    return std::make_pair(south ? -lat : lat, west ? -lon : lon);
}

FormatImport OwnCsvReader::read(const QByteArray& bytes, const LocaleInfo& locale,
                                const QDate& today)
{
    FormatImport out;
    const HeadedCsv csv(bytes, out);
    if (!csv.ok())
        return out;
    const bool decimalPosition = csv.has(Latitude) && csv.has(Longitude);
    csv.describe({{Category, QStringLiteral("Category")},
                  {Frequency, QStringLiteral("Frequency (MHz)")},
                  {Modifier, QStringLiteral("+/-")},
                  {Callsign, QStringLiteral("Callsign")},
                  {User, QStringLiteral("User")},
                  {Location, QStringLiteral("Location")},
                  {Special, QStringLiteral("Special")},
                  {Position, decimalPosition ? QStringLiteral("Position (text; the decimal "
                                                              "columns give the coordinates)")
                                             : QStringLiteral("Position")},
                  {Latitude, QStringLiteral("Position (latitude)")},
                  {Longitude, QStringLiteral("Position (longitude)")},
                  {DateTime, QStringLiteral("Date/Time")},
                  {Notes, QStringLiteral("Notes")},
                  {QStringLiteral("Item"), QStringLiteral("(the row's number; not imported)")}},
                 out);
    if (!csv.has(Frequency)) {
        out.batch.problems << QStringLiteral("The file has no \"%1\" column.").arg(Frequency);
        return out;
    }
    for (qsizetype i = 0; i < csv.rowCount(); ++i) {
        const int row = csv.fileRow(i);
        if (csv.rowIsBlank(i)) {
            ++out.batch.blankRows;
            continue;
        }
        if (csv.rowTooWide(i)) {
            out.batch.problems
                << QStringLiteral("Row %1: more cells than the heading names.").arg(row);
            continue;
        }
        const qsizetype problemsBefore = out.batch.problems.size();
        ImportRecord r;
        r.row = row;
        const QString frequency = csv.cell(i, Frequency);
        if (const std::optional<double> mhz = locale.parseNumber(frequency);
            mhz && std::isfinite(*mhz))
            r.hz = *mhz;
        else
            out.batch.problems << QStringLiteral("Row %1: the frequency \"%2\" is not a number.")
                                      .arg(row)
                                      .arg(quoted(frequency));
        const QString modifier = csv.cell(i, Modifier);
        r.modifier = modifier.isEmpty() ? QStringLiteral(" ") : modifier.left(1);
        r.category = csv.cell(i, Category);
        r.callsign = csv.cell(i, Callsign);
        r.user = csv.cell(i, User);
        r.location = csv.cell(i, Location);
        r.special = csv.cell(i, Special);
        r.notes = csv.cell(i, Notes);
        const QString when = csv.cell(i, DateTime);
        if (when.isEmpty())
            r.rDate = QDateTime(today, QTime(0, 0), Qt::UTC);
        else if (const std::optional<QDateTime> date = locale.parseDateTime(when))
            r.rDate = *date;
        else
            out.batch.problems
                << QStringLiteral("Row %1: \"%2\" is not a date.").arg(row).arg(quoted(when));
        if (decimalPosition) {
            const QString lat = csv.cell(i, Latitude);
            const QString lon = csv.cell(i, Longitude);
            QString why;
            const auto position = DecimalPosition::read(lat, lon, locale, &why);
            if (!why.isEmpty())
                out.batch.problems << QStringLiteral("Row %1: %2.").arg(row).arg(why);
            else if (position) {
                r.lat = position->first;
                r.lon = position->second;
            }
        } else if (const QString text = csv.cell(i, Position); !text.isEmpty()) {
            if (const auto position = readPositionText(text)) {
                r.lat = position->first;
                r.lon = position->second;
            } else {
                out.batch.problems << QStringLiteral("Row %1: the position \"%2\" cannot be read "
                                                     "(as in 45 38N 122 41W).")
                                          .arg(row)
                                          .arg(quoted(text));
            }
        }
        if (out.batch.problems.size() == problemsBefore)
            out.batch.records.push_back(std::move(r));
    }
    return out;
}

} // namespace wl
