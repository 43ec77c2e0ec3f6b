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
    csv.readRecords(Output, today, out, [&](qsizetype i, ImportRecord& r) {
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
                    inputMHz && *inputMHz != r.hz ? QStringLiteral("Input ") + input : QString()},
                   QStringLiteral("; "));
    });
    return out;
}

} // namespace wl
