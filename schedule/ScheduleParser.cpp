#include "schedule/ScheduleParser.h"

#include "grid/LocaleInfo.h"
#include "schedule/DateMark.h"
#include "schedule/ScheduleDays.h"
#include "schedule/ScheduleText.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringList>

namespace wl::schedule {

namespace {

// The file writes numbers with a point whatever the reader's locale.
const LocaleInfo FileNumbers;

bool readTimes(const QString& text, int& start, int& stop)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d\\d)(\\d\\d)-(\\d\\d)(\\d\\d)$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return false;
    const int h1 = m.captured(1).toInt(), m1 = m.captured(2).toInt();
    const int h2 = m.captured(3).toInt(), m2 = m.captured(4).toInt();
    if (h1 > 23 || m1 > 59 || h2 > 24 || m2 > 59 || (h2 == 24 && m2 != 0))
        return false;
    start = h1 * 60 + m1;
    stop = h2 * 60 + m2;
    // "2300-0000" ends at midnight; "0000-0000" would be a span of nothing, read as all day.
    if (stop == 0)
        stop = 1440;
    return true;
}

QStringList splitLines(const QString& text)
{
    QString unified = text;
    unified.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return unified.split(QLatin1Char('\n'));
}

} // namespace

QString ScheduleParser::siteCodeOf(const QString& remarks)
{
    static const QRegularExpression pattern(QStringLiteral("(?:^|\\s)[#/]([A-Za-z0-9-]+)"));
    const QRegularExpressionMatch m = pattern.match(remarks);
    return m.hasMatch() ? m.captured(1) : QString();
}

bool ScheduleParser::isHeader(const QString& line)
{
    const QStringList fields = line.split(QLatin1Char(';'));
    return fields.size() >= 3 &&
           fields[0].trimmed().startsWith(QLatin1String("kHz"), Qt::CaseInsensitive) &&
           fields[1].trimmed().startsWith(QLatin1String("Time"), Qt::CaseInsensitive) &&
           fields[2].trimmed().startsWith(QLatin1String("Days"), Qt::CaseInsensitive);
}

QString ScheduleParser::readLine(const QStringList& fields, ScheduleEntry& entry)
{
    if (fields.size() < FieldCount)
        return QStringLiteral("%1 fields instead of %2").arg(fields.size()).arg(FieldCount);
    const std::optional<double> khz = FileNumbers.parseNumber(fields[0]);
    if (!khz || *khz <= 0)
        return QStringLiteral("the frequency \"%1\" is not a number of kHz").arg(fields[0]);
    entry.khz = *khz;
    if (!readTimes(fields[1], entry.startMinute, entry.stopMinute))
        return QStringLiteral("the time \"%1\" is not hhmm-hhmm").arg(fields[1]);
    const std::optional<ScheduleDays> days = ScheduleDays::parse(fields[2]);
    if (!days)
        return QStringLiteral("the days \"%1\" are not readable").arg(fields[2]);
    entry.dayMask = days->mask;
    entry.irregular = days->irregular;
    entry.days = fields[2];
    for (int i : {9, 10}) {
        if (!DateMark::parse(fields[i]))
            return QStringLiteral("the date \"%1\" is not MMDD, YYMMDD or YYYYMMDD").arg(fields[i]);
    }
    entry.itu = fields[3];
    entry.station = fields[4];
    entry.language = fields[5];
    entry.target = fields[6];
    entry.remarks = fields[7];
    entry.siteCode = siteCodeOf(fields[7]);
    entry.persistence = fields[8];
    entry.startDate = fields[9];
    entry.stopDate = fields[10];
    return {};
}

ParsedSchedule ScheduleParser::parse(const QByteArray& bytes)
{
    ParsedSchedule result;
    const QStringList lines = splitLines(ScheduleText::decode(bytes));
    if (lines.join(QString()).trimmed().isEmpty()) {
        result.failure = QStringLiteral("the file is empty");
        return result;
    }
    if (!isHeader(lines.front())) {
        result.failure = QStringLiteral("the file is not a broadcast schedule: its first line is "
                                        "not the heading \"kHz:…;Time(UTC):…;Days:…\"");
        return result;
    }
    QSet<QString> seen;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty())
            continue;
        QStringList fields = line.split(QLatin1Char(';'));
        for (QString& field : fields)
            field = field.trimmed();
        ScheduleEntry entry;
        entry.line = int(i) + 1;
        if (const QString reason = readLine(fields, entry); !reason.isEmpty()) {
            result.problems.push_back({entry.line, reason});
            continue;
        }
        // Schedules often carry the same transmission twice; one copy is enough.
        const QString key = fields.mid(0, FieldCount).join(QLatin1Char(';'));
        if (seen.contains(key)) {
            ++result.duplicates;
            continue;
        }
        seen.insert(key);
        result.entries.push_back(std::move(entry));
    }
    return result;
}

} // namespace wl::schedule
