#include "exchange/import/formats/DirectoryCsvReader.h"

#include "exchange/import/formats/ExactFrequency.h"
#include "exchange/import/formats/HeadedCsv.h"

namespace wl {

namespace {

const QString Output = QStringLiteral("Frequency Output");
const QString Input = QStringLiteral("Frequency Input");

QString joined(QStringList parts, const QString& separator)
{
    parts.removeAll(QString());
    return parts.join(separator);
}

} // namespace

FormatImport DirectoryCsvReader::read(const QByteArray& bytes, const QDate& today)
{
    FormatImport out;
    const HeadedCsv csv(bytes, out);
    if (!csv.ok())
        return out;
    csv.describe({{Output, QStringLiteral("Frequency (MHz)")},
                  {Input, QStringLiteral("Notes")},
                  {QStringLiteral("Alpha Tag"), QStringLiteral("Callsign")},
                  {QStringLiteral("Agency"), QStringLiteral("User")},
                  {QStringLiteral("County"), QStringLiteral("Location")},
                  {QStringLiteral("Mode"), QStringLiteral("Optional")},
                  {QStringLiteral("Tone"), QStringLiteral("Optional")},
                  {QStringLiteral("Description"), QStringLiteral("Notes")},
                  {QStringLiteral("Tag"), QStringLiteral("Notes")}},
                 out);
    if (!csv.has(Output)) {
        out.batch.problems << QStringLiteral("The file has no \"Frequency Output\" column.");
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
        const std::optional<double> mhz = ExactFrequency::toMHz(csv.cell(i, Output));
        if (!mhz) {
            out.batch.problems << QStringLiteral("Row %1: the frequency \"%2\" cannot be read.")
                                      .arg(row)
                                      .arg(csv.cell(i, Output));
            continue;
        }
        ImportRecord r;
        r.row = row;
        r.hz = *mhz;
        r.modifier = QStringLiteral(" ");
        r.callsign = csv.cell(i, QStringLiteral("Alpha Tag"));
        r.user = csv.cell(i, QStringLiteral("Agency"));
        r.location = csv.cell(i, QStringLiteral("County"));
        r.special =
            joined({csv.cell(i, QStringLiteral("Mode")), csv.cell(i, QStringLiteral("Tone"))},
                   QStringLiteral(" "));
        const QString input = csv.cell(i, Input);
        const std::optional<double> inputMHz = ExactFrequency::toMHz(input);
        r.notes =
            joined({csv.cell(i, QStringLiteral("Description")), csv.cell(i, QStringLiteral("Tag")),
                    inputMHz && *inputMHz != *mhz ? QStringLiteral("Input ") + input : QString()},
                   QStringLiteral("; "));
        r.rDate = QDateTime(today, QTime(0, 0), Qt::UTC);
        out.batch.records.push_back(std::move(r));
    }
    return out;
}

} // namespace wl
