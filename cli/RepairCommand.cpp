#include "cli/RepairCommand.h"

#include "app/RepairSummary.h"
#include "cli/CliContext.h"
#include "store/FrequencyRecord.h"
#include "store/Table.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace wl::cli {

namespace {

// The names the damaged originals were kept under go on lines of their own, for the log.
QString summaryOf(const store::RepairResult& result)
{
    QString text = repairSummary(result);
    for (const QString& kept : result.keptAside)
        text += QStringLiteral("\nKept aside: ") + kept;
    return text;
}

} // namespace

QString RepairCommand::summary() const
{
    return QStringLiteral("Check and rebuild the frequency table's files.");
}

void RepairCommand::define(QCommandLineParser&) const {}

int RepairCommand::run(const CliContext& context, const QCommandLineParser& parser) const
{
    if (!parser.positionalArguments().isEmpty())
        return context.fail(UsageError, QStringLiteral("repair takes no arguments"));
    // A damaged table may not open at all, which is what repair is for; only a missing table
    // or one another program holds stops it.
    if (const int probed = context.probeTable(); probed != Success)
        return probed;
    const store::RepairResult result =
        store::Table::repair(context.dataFolder(), store::FrequencyRecord::TableFile);
    if (!result.ok && result.inUse)
        return context.inUse();
    if (!result.ok)
        return context.fail(Failed, QStringLiteral("the repair failed: ") + result.reason);
    QTextStream(stdout) << summaryOf(result) << '\n';
    return Success;
}

} // namespace wl::cli
