#include "cli/ExportCommand.h"

#include "cli/CliContext.h"
#include "cli/ConsoleExportHost.h"
#include "cli/ExportFormats.h"
#include "cli/RecordExport.h"
#include "cli/RecordQuery.h"
#include "exchange/export/LogFileExport.h"
#include "store/Table.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <climits>

namespace wl::cli {

namespace {

const QString FormatOption = QStringLiteral("format");

} // namespace

QString ExportCommand::summary() const
{
    return QStringLiteral("Export records to a file in one of the export formats.");
}

void ExportCommand::define(QCommandLineParser& parser) const
{
    parser.setApplicationDescription(
        summary() + QStringLiteral("\n\nFormats:\n") + ExportFormats::listing() +
        QStringLiteral("\n\nFor other programs and maps:\n") + LogFileExport::listing());
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The file to write."));
    parser.addOption({FormatOption, QStringLiteral("The format, by one of the names below."),
                      QStringLiteral("F")});
    RecordQuery::define(parser);
}

int ExportCommand::exportLog(const CliContext& context, store::Table& table, LogFormat format,
                             const QString& target)
{
    std::vector<LoggedRecord> records;
    if (store::Status st = LoggedRecords::read(table, records); !st)
        return context.fail(Failed, QStringLiteral("cannot read the table: ") + st.error);
    table.close();
    const LogExportResult result = LogFileExport::write(format, records, target);
    if (!result.error.isEmpty())
        return context.fail(Failed, result.message(target));
    QTextStream(stdout) << result.message(target) << '\n';
    return Success;
}

int ExportCommand::run(const CliContext& context, const QCommandLineParser& parser) const
{
    const QStringList args = parser.positionalArguments();
    if (args.size() != 1)
        return context.fail(UsageError, QStringLiteral("name one file to write"));
    if (!parser.isSet(FormatOption))
        return context.fail(UsageError, QStringLiteral("--format is required; the formats are:\n") +
                                            ExportFormats::listing());
    const std::optional<TExportType> type = ExportFormats::find(parser.value(FormatOption));
    const std::optional<LogFormat> logFormat =
        type ? std::nullopt : LogFileExport::find(parser.value(FormatOption));
    if (!type && !logFormat)
        return context.fail(UsageError,
                            QStringLiteral("there is no export format \"%1\"; the "
                                           "formats are:\n%2\n%3")
                                .arg(parser.value(FormatOption), ExportFormats::listing(),
                                     LogFileExport::listing()));
    const QString target = QFileInfo(args.front()).absoluteFilePath();
    if (!QFileInfo(QFileInfo(target).absolutePath()).isDir())
        return context.fail(MissingFile, QStringLiteral("the folder of %1 does not exist")
                                             .arg(QDir::toNativeSeparators(target)));
    RecordQuery query;
    store::Table table;
    if (const int opened = query.open(context, parser, table); opened != Success)
        return opened;
    if (logFormat)
        return exportLog(context, table, *logFormat, target);
    const qint64 count = table.recordCount();
    if (count < 0)
        return context.fail(Failed, QStringLiteral("cannot read the table: ") + table.lastError());
    if (count > INT_MAX)
        return context.fail(Failed, QStringLiteral("%1 records are more than one export takes; "
                                                   "choose fewer with --low, --high or --filter")
                                        .arg(count));

    auto host = std::make_unique<ConsoleExportHost>(context);
    const ConsoleExportHost& reports = *host;
    RecordExport exporter(std::move(host), RecordQuery::captions(), table, int(count));
    exporter.ViewOnly = false;
    exporter.ExportType = *type;
    exporter.ExportFile = target;
    const bool exported = exporter.RunExport();
    if (!exporter.ReadError().isEmpty())
        return context.fail(Failed,
                            QStringLiteral("cannot read the table: ") + exporter.ReadError());
    if (!exported && ConsoleExportHost::interrupted())
        return context.fail(Failed, QStringLiteral("stopped before the end; nothing was written "
                                                   "to %1")
                                        .arg(QDir::toNativeSeparators(target)));
    if (!exported || reports.failed())
        return Failed;
    QTextStream(stdout) << QStringLiteral("%1 records exported to %2\n")
                               .arg(exporter.ExportedCount())
                               .arg(QDir::toNativeSeparators(target));
    return Success;
}

} // namespace wl::cli
