#include "schedule/ScheduleImport.h"

#include "schedule/ScheduleStore.h"
#include "schedule/SiteParser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace wl::schedule {

QString ImportReport::problemText(int limit) const
{
    QStringList lines;
    for (const LineProblem& p : problems) {
        if (lines.size() == limit) {
            lines << QStringLiteral("… and %1 more").arg(problems.size() - limit);
            break;
        }
        lines << QStringLiteral("line %1: %2").arg(p.line).arg(p.reason);
    }
    return lines.join(QLatin1Char('\n'));
}

bool ScheduleImport::read(const QString& fileName, QByteArray& bytes, ImportReport& report)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        report.failure = QStringLiteral("cannot read %1: %2")
                             .arg(QDir::toNativeSeparators(fileName), file.errorString());
        return false;
    }
    bytes = file.readAll();
    return true;
}

bool ScheduleImport::refuseBadLines(BadLines policy, ImportReport& report)
{
    if (report.problems.empty() || policy == BadLines::Skip)
        return false;
    report.failure =
        QStringLiteral("%1 malformed line(s); nothing was imported").arg(report.problems.size());
    return true;
}

ImportReport ScheduleImport::schedule(ScheduleStore& store, const QString& fileName,
                                      BadLines policy, const QString& seasonCode,
                                      const QDate& today)
{
    ImportReport report;
    QByteArray bytes;
    if (!read(fileName, bytes, report))
        return report;
    std::optional<Season> season;
    if (!seasonCode.isEmpty()) {
        season = Season::fromCode(seasonCode);
        if (!season) {
            report.failure =
                QStringLiteral("\"%1\" is not a season such as A25 or B25").arg(seasonCode);
            return report;
        }
    } else {
        season = Season::fromFileName(fileName);
        if (!season)
            season = Season::of(today);
    }
    ParsedSchedule parsed = ScheduleParser::parse(bytes);
    report.problems = parsed.problems;
    report.duplicates = parsed.duplicates;
    report.season = season->code;
    if (parsed.refused()) {
        report.failure = parsed.failure;
        return report;
    }
    if (refuseBadLines(policy, report))
        return report;
    if (parsed.entries.empty()) {
        report.failure = QStringLiteral("the file holds no transmissions");
        return report;
    }
    const StoredSeason stored{*season, QFileInfo(fileName).absoluteFilePath(),
                              QDateTime::currentDateTimeUtc(), int(parsed.entries.size())};
    if (const store::Status s = store.replaceSeason(stored, parsed.entries); !s) {
        report.failure = s.error;
        return report;
    }
    report.ok = true;
    report.stored = int(parsed.entries.size());
    return report;
}

ImportReport ScheduleImport::sites(ScheduleStore& store, const QString& fileName, BadLines policy)
{
    ImportReport report;
    QByteArray bytes;
    if (!read(fileName, bytes, report))
        return report;
    ParsedSites parsed = SiteParser::parse(bytes);
    report.problems = parsed.problems;
    if (parsed.refused()) {
        report.failure = parsed.failure;
        return report;
    }
    if (refuseBadLines(policy, report))
        return report;
    if (parsed.sites.empty()) {
        report.failure = QStringLiteral("the file holds no readable sites");
        return report;
    }
    if (const store::Status s = store.replaceSites(parsed.sites); !s) {
        report.failure = s.error;
        return report;
    }
    report.ok = true;
    report.stored = int(parsed.sites.size());
    return report;
}

} // namespace wl::schedule
