#include "cli/RepairCommand.h"

#include "cli/CliContext.h"
#include "store/FrequencyRecord.h"
#include "store/Table.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace wl::cli {

namespace {

QString summaryOf(const store::RepairResult& result)
{
    QString text =
        QStringLiteral("The database was repaired: %1 records kept").arg(result.recordsKept);
    if (result.recordsLost > 0)
        text += QStringLiteral(", %1 records lost").arg(result.recordsLost);
    else if (result.recordsLost < 0)
        text += QStringLiteral(", an unknown number of records lost");
    if (result.notesLost > 0)
        text += QStringLiteral(", %1 notes lost").arg(result.notesLost);
    text += QLatin1Char('.');
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
    if (!result.ok)
        return context.fail(Failed, QStringLiteral("the repair failed: ") + result.reason);
    QTextStream(stdout) << summaryOf(result) << '\n';
    return Success;
}

} // namespace wl::cli
