#include "cli/RigCommand.h"

#include "app/services/Registry.h"
#include "cli/CliContext.h"
#include "cli/CliNumbers.h"
#include "rig/HamlibRadio.h"
#include "rig/RigFrequency.h"
#include "store/Table.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace wl::cli {

namespace {

const QString RecordOption = QStringLiteral("record");

struct TuneTarget
{
    qint64 hz = 0;
    QString mode;
};

// The record's frequency, and its mode when its Special field names one.
int recordTarget(const CliContext& context, const QString& text, TuneTarget& target)
{
    bool ok = false;
    const qint64 recNum = text.toLongLong(&ok);
    if (!ok || recNum <= 0)
        return context.fail(UsageError, QStringLiteral("\"%1\" is not a record number").arg(text));
    store::Table table;
    if (const int opened = context.openTable(table); opened != Success)
        return opened;
    QVariant hz;
    if (!table.readField(recNum, QStringLiteral("Hz"), hz) || hz.isNull())
        return context.fail(Failed, QStringLiteral("there is no record %1").arg(recNum));
    QVariant special;
    table.readField(recNum, QStringLiteral("Optional"), special);
    target.hz = rig::hertzFromMegahertz(hz.toDouble());
    target.mode = rig::HamlibRadio::modeName(special.toString());
    return Success;
}

int frequencyTarget(const CliContext& context, const QString& text, TuneTarget& target)
{
    const std::optional<double> mhz = parseCliNumber(text);
    if (!mhz || *mhz <= 0)
        return context.fail(UsageError,
                            QStringLiteral("\"%1\" is not a frequency in MHz").arg(text));
    target.hz = rig::hertzFromMegahertz(*mhz);
    return Success;
}

QString megahertzText(qint64 hz)
{
    // Whole hertz, written out exactly: six decimals of MHz.
    return QStringLiteral("%1.%2").arg(hz / 1000000).arg(hz % 1000000, 6, 10, QLatin1Char('0'));
}

void printReading(const rig::RigReading& reading)
{
    QTextStream out(stdout);
    out << "Frequency: " << megahertzText(reading.hz) << " MHz\n";
    out << "Mode: " << (reading.mode.isEmpty() ? QStringLiteral("unknown") : reading.mode) << '\n';
    out << "Strength: "
        << (reading.strength ? QStringLiteral("%1 dB over S9").arg(*reading.strength)
                             : QStringLiteral("not reported"))
        << '\n';
}

int openRadio(const CliContext& context, rig::HamlibRadio& radio)
{
    Registry registry;
    const rig::RigSettings settings = rig::RigSettings::read(registry);
    if (!settings.configured())
        return context.fail(Failed, QStringLiteral("no radio is set up; choose one in Wavelark's "
                                                   "Preferences, on the Radio page"));
    if (const QString error = radio.open(settings); !error.isEmpty())
        return context.fail(Failed, error);
    return Success;
}

} // namespace

QString RigCommand::summary() const
{
    return QStringLiteral("Read the radio (status) or tune it (tune FREQ | tune --record N).");
}

void RigCommand::define(QCommandLineParser& parser) const
{
    parser.addPositionalArgument(QStringLiteral("ACTION"), QStringLiteral("status or tune."));
    parser.addPositionalArgument(QStringLiteral("FREQ"),
                                 QStringLiteral("For tune: the frequency in MHz, e.g. 9.58."),
                                 QStringLiteral("[FREQ]"));
    parser.addOption({RecordOption,
                      QStringLiteral("For tune: the record whose frequency (and mode, when its "
                                     "Special field names one) is tuned."),
                      QStringLiteral("RECNUM")});
}

int RigCommand::run(const CliContext& context, const QCommandLineParser& parser) const
{
    const QStringList args = parser.positionalArguments();
    const QString action = args.value(0);
    if (action == QLatin1String("status") && args.size() == 1 && !parser.isSet(RecordOption)) {
        rig::HamlibRadio radio;
        if (const int opened = openRadio(context, radio); opened != Success)
            return opened;
        rig::RigReading reading;
        if (const QString error = radio.read(reading); !error.isEmpty())
            return context.fail(Failed, error);
        printReading(reading);
        return Success;
    }
    if (action != QLatin1String("tune") || args.size() != (parser.isSet(RecordOption) ? 1 : 2))
        return context.fail(UsageError, QStringLiteral("use \"rig status\", \"rig tune FREQ\" or "
                                                       "\"rig tune --record RECNUM\""));
    TuneTarget target;
    const int found = parser.isSet(RecordOption)
                          ? recordTarget(context, parser.value(RecordOption), target)
                          : frequencyTarget(context, args.value(1), target);
    if (found != Success)
        return found;
    rig::HamlibRadio radio;
    if (const int opened = openRadio(context, radio); opened != Success)
        return opened;
    if (const QString error = radio.setFrequency(target.hz); !error.isEmpty())
        return context.fail(Failed, error);
    if (!target.mode.isEmpty()) {
        if (const QString error = radio.setMode(target.mode); !error.isEmpty())
            return context.fail(Failed, error);
    }
    QTextStream(stdout) << "Tuned to " << megahertzText(target.hz) << " MHz"
                        << (target.mode.isEmpty() ? QString() : QLatin1Char(' ') + target.mode)
                        << '\n';
    return Success;
}

} // namespace wl::cli
