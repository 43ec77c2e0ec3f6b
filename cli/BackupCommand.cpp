#include "cli/BackupCommand.h"

#include "app/BackupCopy.h"
#include "cli/CliContext.h"
#include "store/FrequencyRecord.h"
#include "store/Table.h"

#include <QCommandLineParser>
#include <QDir>
#include <QTextStream>

namespace wl::cli {

QString BackupCommand::summary() const
{
    return QStringLiteral("Copy the data files (table and categories) into a folder.");
}

void BackupCommand::define(QCommandLineParser& parser) const
{
    parser.addPositionalArgument(QStringLiteral("DIR"),
                                 QStringLiteral("The backup folder; an earlier backup there is "
                                                "replaced only once the new one is complete."));
}

int BackupCommand::run(const CliContext& context, const QCommandLineParser& parser) const
{
    const QStringList args = parser.positionalArguments();
    if (args.size() != 1)
        return context.fail(UsageError, QStringLiteral("name one backup folder"));
    using namespace store::FrequencyRecord;
    const BackupCopy copy(context.dataFolder(), args.front(),
                          {TableFile, IndexFile, MemoFile, CategoryFileName});
    if (store::Status st = copy.check(); !st)
        return context.fail(MissingFile, st.error);
    // Holding the table while its files are copied keeps the program from changing them
    // half-way, and tells when the program has them open. Reading needs no write access, so
    // a table on a read-only medium or a full disk is backed up all the same.
    store::Table table;
    if (const int opened = context.openTableForReading(table); opened != Success)
        return opened;
    if (store::Status st = copy.run(); !st)
        return context.fail(Failed, st.error);
    QTextStream(stdout) << QStringLiteral("The data files were copied to %1\n")
                               .arg(CliContext::shownPath(args.front()));
    return Success;
}

} // namespace wl::cli
