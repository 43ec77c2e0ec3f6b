#include "exchange/import/formats/ChannelCsvReader.h"

#include "exchange/import/formats/ExactFrequency.h"
#include "exchange/import/formats/HeadedCsv.h"

namespace wl {

namespace {

const QString Frequency = QStringLiteral("Frequency");

// The tone as a listener reads it: the encode tone, the squelch tone or the digital code.
QString toneText(const HeadedCsv& csv, qsizetype i)
{
    const QString kind = csv.cell(i, QStringLiteral("Tone"));
    if (kind.compare(QStringLiteral("Tone"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("T ") + csv.cell(i, QStringLiteral("rToneFreq"));
    if (kind.compare(QStringLiteral("TSQL"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("TSQL ") + csv.cell(i, QStringLiteral("cToneFreq"));
    if (kind.compare(QStringLiteral("DTCS"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("DCS ") + csv.cell(i, QStringLiteral("DtcsCode"));
    return kind;
}

} // namespace

bool ChannelCsvReader::knownMode(const QString& mode)
{
    static const QStringList modes = {
        QStringLiteral("FM"),   QStringLiteral("NFM"),   QStringLiteral("WFM"),
        QStringLiteral("AM"),   QStringLiteral("NAM"),   QStringLiteral("USB"),
        QStringLiteral("LSB"),  QStringLiteral("CW"),    QStringLiteral("CWR"),
        QStringLiteral("RTTY"), QStringLiteral("RTTYR"), QStringLiteral("DV"),
        QStringLiteral("DIG"),  QStringLiteral("PKT"),   QStringLiteral("DMR"),
        QStringLiteral("FSK"),  QStringLiteral("Auto")};
    return mode.isEmpty() || modes.contains(mode, Qt::CaseInsensitive);
}

FormatImport ChannelCsvReader::read(const QByteArray& bytes, const QDate& today)
{
    FormatImport out;
    const HeadedCsv csv(bytes, out);
    if (!csv.ok())
        return out;
    csv.describe({{Frequency, QStringLiteral("Frequency (MHz)")},
                  {QStringLiteral("Name"), QStringLiteral("Callsign")},
                  {QStringLiteral("Duplex"), QStringLiteral("+/-")},
                  {QStringLiteral("Offset"), QStringLiteral("Notes")},
                  {QStringLiteral("Mode"), QStringLiteral("Optional")},
                  {QStringLiteral("Tone"), QStringLiteral("Optional")},
                  {QStringLiteral("rToneFreq"), QStringLiteral("Optional")},
                  {QStringLiteral("cToneFreq"), QStringLiteral("Optional")},
                  {QStringLiteral("DtcsCode"), QStringLiteral("Optional")},
                  {QStringLiteral("Comment"), QStringLiteral("Notes")}},
                 out);
    if (!csv.has(Frequency)) {
        out.batch.problems << QStringLiteral("The file has no \"Frequency\" column.");
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
        const std::optional<double> mhz = ExactFrequency::toMHz(csv.cell(i, Frequency));
        if (!mhz) {
            out.batch.problems << QStringLiteral("Row %1: the frequency \"%2\" cannot be read.")
                                      .arg(row)
                                      .arg(csv.cell(i, Frequency));
            continue;
        }
        ImportRecord r;
        r.row = row;
        r.hz = *mhz;
        r.callsign = csv.cell(i, QStringLiteral("Name"));
        const QString duplex = csv.cell(i, QStringLiteral("Duplex"));
        r.modifier = duplex == u"+" || duplex == u"-" ? duplex : QStringLiteral(" ");
        const QString mode = csv.cell(i, QStringLiteral("Mode"));
        if (!knownMode(mode))
            out.remarks << QStringLiteral("Row %1: the mode \"%2\" is not a known mode; it is "
                                          "kept as written.")
                               .arg(row)
                               .arg(mode);
        QStringList special{mode, toneText(csv, i)};
        special.removeAll(QString());
        r.special = special.join(QLatin1Char(' '));
        QStringList notes{csv.cell(i, QStringLiteral("Comment"))};
        if (!duplex.isEmpty() && duplex != u"off")
            notes << QStringLiteral("Duplex %1 %2")
                         .arg(duplex, csv.cell(i, QStringLiteral("Offset")))
                         .trimmed();
        notes.removeAll(QString());
        r.notes = notes.join(QStringLiteral("; "));
        r.rDate = QDateTime(today, QTime(0, 0), Qt::UTC);
        out.batch.records.push_back(std::move(r));
    }
    return out;
}

} // namespace wl
