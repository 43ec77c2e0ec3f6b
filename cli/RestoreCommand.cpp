#include "cli/RestoreCommand.h"

#include "app/BackupRestore.h"
#include "cli/CliContext.h"
#include "store/FrequencyRecord.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace wl::cli {

namespace {

const QString ListOption = QStringLiteral("list");
const QString AsideOption = QStringLiteral("aside");

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

QString RestoreCommand::summary() const
{
    return QStringLiteral("Put a backup's data files back; the replaced files are kept aside.");
}

void RestoreCommand::define(QCommandLineParser& parser) const
{
    parser.addPositionalArgument(QStringLiteral("DIR"),
                                 QStringLiteral("The backup folder to restore from (with --list: "
                                                "whose backup to list)."));
    parser.addOption(
        {ListOption, QStringLiteral("List the backup and the sets kept aside in the data "
                                    "folder, newest first, with their record counts.")});
    parser.addOption({AsideOption,
                      QStringLiteral("Restore the set kept aside in the data folder under this "
                                     "suffix (as --list shows it, e.g. .old2) instead of a "
                                     "backup folder."),
                      QStringLiteral("SUFFIX")});
}

int RestoreCommand::list(const CliContext& context, const QString& backupFolder)
{
    QTextStream out(stdout);
    for (const BackupRestore::Source& source :
         BackupRestore::list(backupFolder, context.dataFolder())) {
        const QString where = source.suffix.isEmpty()
                                  ? native(source.folder)
                                  : QStringLiteral("kept aside as %1").arg(source.suffix);
        if (source.usable())
            out << source.saved.toString(Qt::ISODate) << '\t' << source.records << '\t' << where
                << '\n';
        else
            out << "-\t-\t" << where << '\t' << source.problem << '\n';
    }
    return Success;
}

int RestoreCommand::run(const CliContext& context, const QCommandLineParser& parser) const
{
    const QStringList args = parser.positionalArguments();
    const bool aside = parser.isSet(AsideOption);
    if (parser.isSet(ListOption))
        return args.size() <= 1
                   ? list(context, args.value(0))
                   : context.fail(UsageError, QStringLiteral("name one backup folder"));
    if (aside ? !args.isEmpty() : args.size() != 1)
        return context.fail(UsageError,
                            QStringLiteral("name one backup folder, or --aside without one"));
    if (!QFileInfo(context.dataFolder()).isDir())
        return context.fail(
            MissingFile,
            QStringLiteral("the data folder %1 does not exist").arg(native(context.dataFolder())));
    // The program must not have the table open while its files are swapped; a data folder
    // without a table can be restored into.
    if (QFileInfo::exists(QDir(context.dataFolder()).filePath(store::FrequencyRecord::TableFile))) {
        if (const int probed = context.probeTable(); probed != Success)
            return probed;
    }
    const BackupRestore::Source source =
        aside ? BackupRestore::inspect(context.dataFolder(), parser.value(AsideOption))
              : BackupRestore::inspect(args.front());
    if (!source.usable())
        return context.fail(Failed, source.problem + QStringLiteral(" Nothing was replaced."));
    const BackupRestore::Outcome done = BackupRestore::restore(context.dataFolder(), source);
    if (!done.status)
        return context.fail(Failed, done.status.error + QStringLiteral(" Nothing was replaced."));
    QTextStream out(stdout);
    out << QStringLiteral("Restored %1 records saved %2.\n")
               .arg(done.records)
               .arg(source.saved.toString(Qt::ISODate));
    if (!done.keptAs.isEmpty())
        out << QStringLiteral("The files replaced are kept aside as %1; '%2 --aside %1' brings "
                              "them back.\n")
                   .arg(done.keptSuffix, QStringLiteral("wavelark-cli restore"));
    return Success;
}

} // namespace wl::cli
