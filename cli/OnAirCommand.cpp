#include "cli/OnAirCommand.h"

#include "app/services/Registry.h"
#include "cli/CliContext.h"
#include "cli/CliNumbers.h"
#include "grid/LocaleInfo.h"
#include "map/MapMeasure.h"
#include "map/MapSettings.h"
#include "schedule/OnAirText.h"
#include "schedule/ScheduleStore.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>
#include <QTimeZone>

namespace wl::cli {

namespace {

const QString AtOption = QStringLiteral("at");
const QString ToleranceOption = QStringLiteral("tolerance");
const QString CsvOption = QStringLiteral("csv");

QString csvField(const QString& text)
{
    static const QRegularExpression special(QStringLiteral("[\",\\r\\n]"));
    if (!text.contains(special))
        return text;
    QString quoted = text;
    return QLatin1Char('"') + quoted.replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

// The columns padded to their widest cell, the last one left as it is.
void printTable(QTextStream& out, const std::vector<QStringList>& rows)
{
    std::vector<qsizetype> widths;
    for (const QStringList& row : rows) {
        widths.resize(std::max<size_t>(widths.size(), row.size()));
        for (qsizetype i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], row[i].size());
    }
    for (const QStringList& row : rows) {
        QStringList padded;
        for (qsizetype i = 0; i < row.size(); ++i)
            padded << (i + 1 < row.size() ? row[i].leftJustified(widths[i]) : row[i]);
        out << padded.join(QStringLiteral("  ")).trimmed() << '\n';
    }
}

std::optional<LLPoint> homeFromSettings()
{
    Registry registry;
    const MapSettings settings = MapSettings::read(registry);
    LLPoint home;
    if (!MapMeasure::homePoint(settings.homeLat, settings.homeLon, LocaleInfo::current(), home))
        return std::nullopt;
    return home;
}

} // namespace

std::optional<QDateTime> OnAirCommand::parseMoment(const QString& text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})T(\\d{2}):(\\d{2})(?::(\\d{2}))?Z?$"));
    const QRegularExpressionMatch m = pattern.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time, QTimeZone::utc());
}

QString OnAirCommand::summary() const
{
    return QStringLiteral("List what the broadcast schedules have on the air on a frequency.");
}

void OnAirCommand::define(QCommandLineParser& parser) const
{
    parser.setApplicationDescription(
        summary() +
        QStringLiteral("\n\nFREQ is in kHz (6070) or, below 100, in MHz (6.07). The list is best "
                       "first:\ntransmissions on fixed days before irregular ones, then the "
                       "nearest site to the\nhome town of the map. The season in force at the "
                       "moment is used."));
    parser.addPositionalArgument(QStringLiteral("freq"), QStringLiteral("The frequency."));
    parser.addOption({AtOption,
                      QStringLiteral("The moment in UTC, YYYY-MM-DDTHH:MMZ; now by default."),
                      QStringLiteral("TIME")});
    parser.addOption({ToleranceOption,
                      QStringLiteral("Kilohertz either side; 5 below 30 MHz, 12.5 above."),
                      QStringLiteral("KHZ")});
    parser.addOption({CsvOption, QStringLiteral("Comma-separated values with a heading row.")});
}

int OnAirCommand::run(const CliContext& context, const QCommandLineParser& parser) const
{
    const QStringList args = parser.positionalArguments();
    if (args.size() != 1)
        return context.fail(UsageError, QStringLiteral("name one frequency, e.g. 'onair 6070'"));
    const std::optional<double> typed = parseCliNumber(args[0]);
    if (!typed || *typed <= 0)
        return context.fail(UsageError, QStringLiteral("\"%1\" is not a frequency").arg(args[0]));
    const double khz = schedule::OnAirText::toKhz(*typed);
    double tolerance = schedule::OnAirLookup::defaultToleranceKhz(khz);
    if (parser.isSet(ToleranceOption)) {
        const std::optional<double> t = parseCliNumber(parser.value(ToleranceOption));
        if (!t || *t < 0)
            return context.fail(UsageError,
                                QStringLiteral("--tolerance needs kilohertz, not \"%1\"")
                                    .arg(parser.value(ToleranceOption)));
        tolerance = *t;
    }
    QDateTime moment = QDateTime::currentDateTimeUtc();
    if (parser.isSet(AtOption)) {
        const std::optional<QDateTime> at = parseMoment(parser.value(AtOption));
        if (!at)
            return context.fail(UsageError, QStringLiteral("--at needs a UTC time such as "
                                                           "2024-12-11T21:30Z, not \"%1\"")
                                                .arg(parser.value(AtOption)));
        moment = *at;
    }
    const QString file =
        QDir(context.dataFolder()).filePath(QLatin1String(schedule::ScheduleStore::FileName));
    if (!QFileInfo(file).isFile())
        return context.fail(MissingFile,
                            QStringLiteral("no schedule has been imported into %1; use "
                                           "'wavelark-cli schedule import FILE'")
                                .arg(QDir::toNativeSeparators(context.dataFolder())));
    schedule::ScheduleStore store;
    if (const store::Status s = store.open(context.dataFolder()); !s)
        return context.fail(Failed, s.error);
    QString season;
    const std::optional<schedule::OnAirLookup> lookup =
        store.lookupFor(moment.date(), homeFromSettings(), &season);
    if (!lookup)
        return context.fail(MissingFile, QStringLiteral("no schedule has been imported; use "
                                                        "'wavelark-cli schedule import FILE'"));
    const std::vector<schedule::OnAirHit> hits = lookup->find(khz, tolerance, moment);
    const LocaleInfo fixed; // scripts read a point whatever the locale
    QTextStream out(stdout);
    if (parser.isSet(CsvOption)) {
        QStringList heading = schedule::OnAirText::headings();
        out << heading.join(QLatin1Char(',')) << '\n';
        for (const auto& hit : hits) {
            QStringList cells;
            for (const QString& cell : schedule::OnAirText::cells(hit, fixed))
                cells << csvField(cell);
            out << cells.join(QLatin1Char(',')) << '\n';
        }
        return Success;
    }
    context.note(QStringLiteral("season %1, %2 UTC, %3 kHz +/- %4")
                     .arg(season, moment.toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                          schedule::OnAirText::khzText(khz, fixed), fixed.formatNumber(tolerance)));
    if (hits.empty()) {
        out << "Nothing on the air.\n";
        return Success;
    }
    std::vector<QStringList> rows{schedule::OnAirText::headings()};
    for (const auto& hit : hits)
        rows.push_back(schedule::OnAirText::cells(hit, fixed));
    printTable(out, rows);
    return Success;
}

} // namespace wl::cli
