#include "cli/MergeCommand.h"

#include "app/TableMerge.h"
#include "cli/CliContext.h"
#include "store/Table.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace wl::cli {

QString MergeCommand::summary() const
{
    return QStringLiteral("Add every record of another data folder's table to this one.");
}

void MergeCommand::define(QCommandLineParser& parser) const
{
    parser.addPositionalArgument(QStringLiteral("FOLDER"),
                                 QStringLiteral("The data folder whose records are added."));
}

int MergeCommand::run(const CliContext& context, const QCommandLineParser& parser) const
{
    const QStringList args = parser.positionalArguments();
    if (args.size() != 1)
        return context.fail(UsageError, QStringLiteral("name one folder to merge"));
    const QFileInfo from(args.front());
    if (from.exists() &&
        from.canonicalFilePath() == QFileInfo(context.dataFolder()).canonicalFilePath())
        return context.fail(UsageError, QStringLiteral("a table cannot be merged into itself"));
    store::Table target;
    if (const int opened = context.openTable(target); opened != Success)
        return opened;
    store::Table source;
    const CliContext sourceContext(context.command(), from.absoluteFilePath());
    // The merged table is only read: it may lie on a read-only medium.
    if (const int opened = sourceContext.openTableForReading(source); opened != Success)
        return opened;
    qint64 added = 0;
    if (store::Status st = TableMerge::run(target, source, &added); !st)
        return context.fail(Failed, QStringLiteral("nothing was merged: ") + st.error);
    QTextStream(stdout) << QStringLiteral("%1 records merged from %2\n")
                               .arg(added)
                               .arg(CliContext::shownPath(from.absoluteFilePath()));
    return Success;
}

} // namespace wl::cli
