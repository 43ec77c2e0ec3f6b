#include "cli/CliProgram.h"

#include "app/AppConstants.h"
#include "cli/BackupCommand.h"
#include "cli/CliContext.h"
#include "cli/ExportCommand.h"
#include "cli/ImportCommand.h"
#include "cli/ListCommand.h"
#include "cli/MapCommand.h"
#include "cli/MergeCommand.h"
#include "cli/OnAirCommand.h"
#include "cli/RepairCommand.h"
#include "cli/ScheduleCommand.h"
#include "cli/RigCommand.h"
#include "cli/RestoreCommand.h"
#include "cli/StatsCommand.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

namespace wl::cli {

namespace {

const QString DataOption = QStringLiteral("data");
const QString Program = QStringLiteral("wavelark-cli");

QCommandLineOption dataOption()
{
    return {DataOption,
            QStringLiteral("The data folder; by default the one Wavelark's settings name."),
            QStringLiteral("DIR")};
}

} // namespace

CliProgram::CliProgram()
{
    commands_.push_back(std::make_unique<ListCommand>());
    commands_.push_back(std::make_unique<ImportCommand>());
    commands_.push_back(std::make_unique<ExportCommand>());
    commands_.push_back(std::make_unique<BackupCommand>());
    commands_.push_back(std::make_unique<RestoreCommand>());
    commands_.push_back(std::make_unique<RepairCommand>());
    commands_.push_back(std::make_unique<MergeCommand>());
    commands_.push_back(std::make_unique<MapCommand>());
    commands_.push_back(std::make_unique<ScheduleCommand>());
    commands_.push_back(std::make_unique<OnAirCommand>());
    commands_.push_back(std::make_unique<RigCommand>());
    commands_.push_back(std::make_unique<StatsCommand>());
}

const CliCommand* CliProgram::find(const QString& name) const
{
    for (const auto& command : commands_) {
        if (command->name() == name)
            return command.get();
    }
    return nullptr;
}

QString CliProgram::overview() const
{
    QString text = QStringLiteral("Usage: %1 [--data DIR] COMMAND [options]\n\n"
                                  "Works on Wavelark's frequency log without opening a window.\n\n"
                                  "Commands:\n")
                       .arg(Program);
    for (const auto& command : commands_)
        text +=
            QStringLiteral("  %1  %2\n").arg(command->name().leftJustified(8), command->summary());
    text += QStringLiteral("\n'%1 COMMAND --help' describes a command.\n"
                           "Exit codes: 0 done, 1 failed, 2 wrong usage, 3 missing file or table, "
                           "4 table open in another program.\n")
                .arg(Program);
    return text;
}

bool CliProgram::needsGraphics(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "map") == 0)
            return true;
    }
    return false;
}

int CliProgram::run(const QStringList& arguments) const
{
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Show the version."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(dataOption());
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("The command to run."));
    if (!parser.parse(arguments)) {
        QTextStream(stderr) << Program << ": " << parser.errorText() << "\n" << overview();
        return UsageError;
    }
    if (parser.isSet(version)) {
        QTextStream(stdout) << Program << ' ' << app::VersionText << '\n';
        return Success;
    }
    const QStringList rest = parser.positionalArguments();
    if (parser.isSet(help) || rest.isEmpty()) {
        QTextStream(parser.isSet(help) ? stdout : stderr) << overview();
        return parser.isSet(help) ? Success : UsageError;
    }
    const CliCommand* command = find(rest.front());
    if (!command) {
        QTextStream(stderr) << Program << ": unknown command \"" << rest.front() << "\"\n"
                            << overview();
        return UsageError;
    }
    return runCommand(*command, rest, parser.value(DataOption));
}

int CliProgram::runCommand(const CliCommand& command, const QStringList& arguments,
                           const QString& dataOption) const
{
    QCommandLineParser parser;
    parser.setApplicationDescription(command.summary());
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    parser.addOption(help);
    parser.addOption(::wl::cli::dataOption());
    command.define(parser);
    const CliContext errors(command.name(), QString());
    if (!parser.parse(arguments))
        return errors.fail(UsageError, parser.errorText());
    if (parser.isSet(help)) {
        // The usage line names the command after the program.
        const QString invoked = QCoreApplication::arguments().value(0);
        QString text = parser.helpText();
        text.replace(QStringLiteral("Usage: ") + invoked,
                     QStringLiteral("Usage: %1 %2").arg(Program, command.name()));
        QTextStream(stdout) << text;
        return Success;
    }
    // Settings that cannot be read stop every command before anything is touched.
    if (const QString problem = CliContext::settingsProblem(); !problem.isEmpty())
        return errors.fail(MissingFile, problem);
    const QString folder = parser.isSet(DataOption) ? parser.value(DataOption) : dataOption;
    return command.run(CliContext(command.name(), CliContext::dataFolderFrom(folder)), parser);
}

} // namespace wl::cli
