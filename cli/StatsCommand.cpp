#include "cli/StatsCommand.h"

#include "app/services/Registry.h"
#include "cli/CliContext.h"
#include "cli/CliNumbers.h"
#include "grid/LocaleInfo.h"
#include "map/MapSettings.h"
#include "stats/StatsEngine.h"
#include "stats/StatsRows.h"
#include "store/Table.h"

#include <QCommandLineParser>
#include <QFile>

#include <cmath>

namespace wl::cli {

namespace {

const QString CategoryOption = QStringLiteral("category");
const QString FromOption = QStringLiteral("from-mhz");
const QString ToOption = QStringLiteral("to-mhz");
const QString CsvOption = QStringLiteral("csv");

// The home town the map measures from, when its stored coordinates can be read.
void readHome(stats::StatsQuery& query)
{
    Registry registry;
    const MapSettings map = MapSettings::read(registry);
    const LocaleInfo locale = LocaleInfo::current();
    const std::optional<double> lat = locale.parseNumber(map.homeLat);
    const std::optional<double> lon = locale.parseNumber(map.homeLon);
    if (!lat || !lon || std::abs(*lat) > 90 || std::abs(*lon) > 180)
        return;
    query.homeKnown = true;
    query.homeLat = *lat;
    query.homeLon = *lon;
}

QString textReport(const stats::LogStats& s, const std::vector<stats::StatsRow>& rows)
{
    QString text;
    if (s.empty())
        text += QStringLiteral("No records to count.\n");
    QString section;
    for (const stats::StatsRow& row : rows) {
        if (row.section != section) {
            section = row.section;
            text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + section +
                    QStringLiteral("\n");
        }
        text += QStringLiteral("  ") + row.item.leftJustified(22) + QStringLiteral("  ") +
                row.value + QStringLiteral("\n");
    }
    return text;
}

} // namespace

QString StatsCommand::summary() const
{
    return QStringLiteral(
        "Count the records by category, band, date, hour and distance from home.");
}

void StatsCommand::define(QCommandLineParser& parser) const
{
    parser.addOption(
        {CategoryOption, QStringLiteral("Only the records of category C."), QStringLiteral("C")});
    parser.addOption({FromOption, QStringLiteral("Lowest frequency in MHz (inclusive)."),
                      QStringLiteral("MHZ")});
    parser.addOption(
        {ToOption, QStringLiteral("Highest frequency in MHz (inclusive)."), QStringLiteral("MHZ")});
    parser.addOption({CsvOption, QStringLiteral("Write comma-separated values (section, item, "
                                                "value) with a heading line.")});
}

int StatsCommand::run(const CliContext& context, const QCommandLineParser& parser) const
{
    stats::StatsQuery query;
    if (parser.isSet(CategoryOption))
        query.category = parser.value(CategoryOption);
    for (const auto& [name, bound] :
         {std::pair{FromOption, &query.lowMHz}, std::pair{ToOption, &query.highMHz}}) {
        if (!parser.isSet(name))
            continue;
        const std::optional<double> value = parseCliNumber(parser.value(name));
        if (!value)
            return context.fail(UsageError, QStringLiteral("--%1 needs a number of MHz such as "
                                                           "146.52, not \"%2\"")
                                                .arg(name, parser.value(name)));
        *bound = *value;
    }
    readHome(query);

    store::Table table;
    if (const int opened = context.openTable(table); opened != Success)
        return opened;
    stats::LogStats figures;
    if (const store::Status st = stats::StatsEngine::compute(table, query, figures); !st)
        return context.fail(Failed, QStringLiteral("cannot read the table: ") + st.error);
    table.close();

    const std::vector<stats::StatsRow> rows =
        stats::StatsRows::rows(figures, LocaleInfo::current());
    QString text;
    if (parser.isSet(CsvOption)) {
        std::vector<QStringList> lines;
        for (const stats::StatsRow& row : rows)
            lines.push_back({row.section, row.item, row.value});
        text = stats::StatsRows::csv(
            {QStringLiteral("Section"), QStringLiteral("Item"), QStringLiteral("Value")}, lines);
    } else {
        text = textReport(figures, rows);
    }
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly) || out.write(text.toUtf8()) < 0 || !out.flush())
        return context.fail(Failed, QStringLiteral("cannot write to the standard output"));
    return Success;
}

} // namespace wl::cli
