#include "exchange/import/formats/ChannelCsvReader.h"

#include "exchange/import/ImportMessages.h"
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
    csv.readRecords(Frequency, today, out, [&](qsizetype i, ImportRecord& r) {
        r.callsign = csv.cell(i, QStringLiteral("Name"));
        const QString duplex = csv.cell(i, QStringLiteral("Duplex"));
        if (duplex == u"+" || duplex == u"-")
            r.modifier = duplex;
        const QString mode = csv.cell(i, QStringLiteral("Mode"));
        if (!knownMode(mode))
            out.remarks << QStringLiteral("Row %1: the mode \"%2\" is not a known mode; it is "
                                          "kept as written.")
                               .arg(r.row)
                               .arg(ImportMessages::Quoted(mode));
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
        return QString();
    });
    return out;
}

} // namespace wl
