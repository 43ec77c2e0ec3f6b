#include "cli/ScheduleCommand.h"

#include "cli/CliContext.h"
#include "schedule/ScheduleImport.h"
#include "schedule/ScheduleStore.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace wl::cli {

namespace {

const QString SkipOption = QStringLiteral("skip-bad");
const QString SeasonOption = QStringLiteral("season");

} // namespace

QString ScheduleCommand::summary() const
{
    return QStringLiteral("Import a broadcast schedule or the transmitter sites.");
}

void ScheduleCommand::define(QCommandLineParser& parser) const
{
    parser.setApplicationDescription(
        summary() +
        QStringLiteral("\n\n'schedule import FILE' reads a semicolon-separated season schedule "
                       "(heading\n\"kHz:75;Time(UTC):93;...\") and replaces the season kept "
                       "before. The season is\nthe one --season names, else the one in the file "
                       "name (A25, B25), else today's.\n'schedule sites FILE' replaces the site "
                       "table: code;name;latitude;longitude a line.\nA malformed line refuses "
                       "the whole file unless --skip-bad is given."));
    parser.addPositionalArgument(QStringLiteral("action"), QStringLiteral("import or sites"));
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The file to read."));
    parser.addOption({SkipOption, QStringLiteral("Store the readable lines and list the others.")});
    parser.addOption({SeasonOption, QStringLiteral("The season of the schedule, e.g. B25."),
                      QStringLiteral("CODE")});
}

int ScheduleCommand::run(const CliContext& context, const QCommandLineParser& parser) const
{
    const QStringList args = parser.positionalArguments();
    if (args.size() != 2 ||
        (args[0] != QLatin1String("import") && args[0] != QLatin1String("sites")))
        return context.fail(UsageError,
                            QStringLiteral("use 'schedule import FILE' or 'schedule sites FILE'"));
    const bool sites = args[0] == QLatin1String("sites");
    if (sites && parser.isSet(SeasonOption))
        return context.fail(UsageError, QStringLiteral("--season belongs to 'schedule import'"));
    const QString file = args[1];
    if (!QFileInfo(file).isFile())
        return context.fail(
            MissingFile, QStringLiteral("%1 does not exist").arg(QDir::toNativeSeparators(file)));
    if (!QFileInfo(context.dataFolder()).isDir())
        return context.fail(MissingFile, QStringLiteral("the data folder %1 does not exist")
                                             .arg(QDir::toNativeSeparators(context.dataFolder())));
    schedule::ScheduleStore store;
    if (const store::Status s = store.open(context.dataFolder()); !s)
        return context.fail(Failed, s.error);
    const schedule::BadLines policy =
        parser.isSet(SkipOption) ? schedule::BadLines::Skip : schedule::BadLines::Refuse;
    const schedule::ImportReport report =
        sites ? schedule::ScheduleImport::sites(store, file, policy)
              : schedule::ScheduleImport::schedule(store, file, policy, parser.value(SeasonOption),
                                                   QDate::currentDate());
    if (!report.problems.empty())
        context.note(report.problemText());
    if (!report.ok)
        return context.fail(Failed, report.failure);
    QTextStream out(stdout);
    if (sites)
        out << QStringLiteral("%1 sites stored").arg(report.stored);
    else
        out << QStringLiteral("%1 transmissions stored as season %2")
                   .arg(report.stored)
                   .arg(report.season);
    if (report.duplicates)
        out << QStringLiteral(", %1 repeated lines left out").arg(report.duplicates);
    if (!report.problems.empty())
        out << QStringLiteral(", %1 malformed lines skipped").arg(report.problems.size());
    out << '\n';
    return Success;
}

} // namespace wl::cli
