#include "stats/StatsRows.h"

#include "app/RecordDate.h"
#include "grid/LocaleInfo.h"

namespace wl::stats {

namespace {

QString dateText(double rdate, const LocaleInfo& locale)
{
    const std::optional<QDateTime> when = RecordDate::toDateTime(rdate);
    return when ? locale.formatDisplayDateTime(*when, 1) : QString();
}

} // namespace

QString StatsRows::withoutPositionText(const LogStats& stats)
{
    if (stats.withoutPosition == 0)
        return QString();
    return stats.withoutPosition == 1
               ? QStringLiteral("1 record without a position")
               : QStringLiteral("%1 records without a position").arg(stats.withoutPosition);
}

QString StatsRows::withoutDateText(const LogStats& stats)
{
    if (stats.withoutDate == 0)
        return QString();
    return stats.withoutDate == 1
               ? QStringLiteral("1 record without a date")
               : QStringLiteral("%1 records without a date").arg(stats.withoutDate);
}

QString StatsRows::binLabel(const DistanceBin& bin)
{
    if (bin.toKm <= 0)
        return QStringLiteral("%1 km and more").arg(bin.fromKm);
    return QStringLiteral("%1 to %2 km").arg(bin.fromKm).arg(bin.toKm);
}

QString StatsRows::describe(const RecordSummary& r, const LocaleInfo& locale, bool withKm)
{
    QStringList parts;
    parts << locale.formatFrequency(r.mhz) + QStringLiteral(" MHz");
    for (const QString& text : {r.callsign.trimmed(), r.location.trimmed()}) {
        if (!text.isEmpty())
            parts << text;
    }
    QString line = parts.join(QStringLiteral(", "));
    if (const QString when = dateText(r.rdate, locale); !when.isEmpty())
        line += QStringLiteral(", ") + when;
    if (withKm)
        line += QStringLiteral(", ") + locale.formatFixed(r.km, 0) + QStringLiteral(" km");
    return line;
}

std::vector<StatsRow> StatsRows::rows(const LogStats& s, const LocaleInfo& locale)
{
    std::vector<StatsRow> out;
    const auto add = [&](const QString& section, const QString& item, const QString& value) {
        out.push_back(StatsRow{section, item, value});
    };
    const QString totals = QStringLiteral("Totals");
    add(totals, QStringLiteral("Records"), QString::number(s.total));
    add(totals, QStringLiteral("Without a position"), QString::number(s.withoutPosition));
    add(totals, QStringLiteral("Without a date"), QString::number(s.withoutDate));
    if (s.first)
        add(totals, QStringLiteral("First logged"), describe(*s.first, locale, false));
    if (s.last)
        add(totals, QStringLiteral("Last logged"), describe(*s.last, locale, false));
    const auto counts = [&](const QString& section, const std::vector<Count>& list) {
        for (const Count& c : list)
            add(section, c.name, QString::number(c.count));
    };
    counts(QStringLiteral("Category"), s.perCategory);
    counts(QStringLiteral("Band"), s.perBand);
    counts(QStringLiteral("Year"), s.perYear);
    counts(QStringLiteral("Month"), s.perMonth);
    for (int h = 0; h < 24; ++h)
        add(QStringLiteral("Hour (UTC)"), QStringLiteral("%1").arg(h, 2, 10, QLatin1Char('0')),
            QString::number(s.perHour[size_t(h)]));
    for (const DistanceBin& bin : s.distances)
        add(QStringLiteral("Distance"), binLabel(bin), QString::number(bin.count));
    for (size_t i = 0; i < s.farthest.size(); ++i)
        add(QStringLiteral("Farthest"), QString::number(i + 1),
            describe(s.farthest[i], locale, true));
    return out;
}

QString StatsRows::csvLine(const QStringList& cells)
{
    QStringList fields;
    for (const QString& cell : cells) {
        const bool quote = cell.contains(QLatin1Char(',')) || cell.contains(QLatin1Char('"')) ||
                           cell.contains(QLatin1Char('\n')) || cell.contains(QLatin1Char('\r'));
        QString inner = cell;
        fields << (quote ? QLatin1Char('"') +
                               inner.replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
                               QLatin1Char('"')
                         : cell);
    }
    return fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

QString StatsRows::csv(const QStringList& header, const std::vector<QStringList>& lines)
{
    QString text = csvLine(header);
    for (const QStringList& line : lines)
        text += csvLine(line);
    return text;
}

} // namespace wl::stats
