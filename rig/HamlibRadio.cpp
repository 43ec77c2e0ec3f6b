#include "rig/HamlibRadio.h"

#include <QFileInfo>
#include <QTcpSocket>

#include <hamlib/rig.h>

#include <cerrno>
#include <clocale>
#include <cmath>
#include <mutex>
#include <unistd.h>

namespace wl::rig {

namespace {

// The library writes its tracing to stderr by default, which would fill the user's terminal
// and the command-line program's output; the program keeps none of it.
int silent(enum rig_debug_level_e, rig_ptr_t, const char*, va_list)
{
    return 0;
}

void prepareLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // The library switches the numeric locale to "C" around its protocol exchanges and
        // then restores it from a name that the switch itself has freed. With "C" already in
        // place the switch changes nothing and frees nothing. The program's own numbers never
        // go through the C library's locale (they go through LocaleInfo), so nothing else
        // notices.
        std::setlocale(LC_NUMERIC, "C");
        rig_set_debug(RIG_DEBUG_NONE);
        rig_set_debug_callback(silent, nullptr);
    });
}

bool setConf(RIG* rig, const char* name, const QString& value)
{
    const token_t token = rig_token_lookup(rig, name);
    return token != RIG_CONF_END && rig_set_conf(rig, token, value.toUtf8().constData()) == RIG_OK;
}

// Splits "host:port" (also "[v6]:port"); false when the port is missing or out of range.
bool splitAddress(const QString& address, QString& host, quint16& port)
{
    const int colon = address.lastIndexOf(u':');
    if (colon <= 0)
        return false;
    bool ok = false;
    const uint number = address.mid(colon + 1).trimmed().toUInt(&ok);
    if (!ok || number == 0 || number > 65535)
        return false;
    host = address.left(colon).trimmed();
    if (host.startsWith(u'[') && host.endsWith(u']'))
        host = host.mid(1, host.size() - 2);
    port = static_cast<quint16>(number);
    return !host.isEmpty();
}

// A bounded connect before the library's own, which has no time limit of its own.
QString probeAddress(const QString& address, int timeoutMs)
{
    QString host;
    quint16 port = 0;
    if (!splitAddress(address, host, port))
        return QStringLiteral("The network address \"%1\" is not of the form host:port.")
            .arg(address);
    QTcpSocket socket;
    socket.connectToHost(host, port);
    if (socket.waitForConnected(timeoutMs)) {
        socket.abort();
        return {};
    }
    if (socket.error() == QAbstractSocket::SocketTimeoutError)
        return QStringLiteral("Nothing answers at %1.").arg(address);
    return QStringLiteral("Cannot connect to %1: %2").arg(address, socket.errorString());
}

QString checkDevice(const QString& device)
{
    if (device.isEmpty())
        return QStringLiteral("No serial device is chosen.");
    const QByteArray path = device.toLocal8Bit();
    if (!QFileInfo::exists(device))
        return QStringLiteral("The serial device %1 does not exist.").arg(device);
    if (::access(path.constData(), R_OK | W_OK) != 0 && errno == EACCES)
        return QStringLiteral("No permission to use the serial device %1. On Debian, serial "
                              "devices belong to the \"dialout\" group: add your user to it "
                              "(sudo adduser $USER dialout) and log in again.")
            .arg(device);
    return {};
}

} // namespace

HamlibRadio::HamlibRadio(int timeoutMs) : timeoutMs_(timeoutMs)
{
    prepareLibrary();
}

HamlibRadio::~HamlibRadio()
{
    close();
}

QString HamlibRadio::errorText(int code)
{
    return QString::fromUtf8(rigerror2(code)).trimmed();
}

QString HamlibRadio::modeName(const QString& text)
{
    const QByteArray name = text.trimmed().toUpper().toLatin1();
    if (name.isEmpty())
        return {};
    const rmode_t mode = rig_parse_mode(name.constData());
    return mode == RIG_MODE_NONE ? QString() : QString::fromLatin1(rig_strrmode(mode));
}

QString HamlibRadio::open(const RigSettings& settings)
{
    close();
    if (!settings.configured())
        return QStringLiteral("No radio is set up in Preferences.");
    const bool network = settings.kind == RigSettings::Kind::Network;
    const QString check =
        network ? probeAddress(settings.address, timeoutMs_) : checkDevice(settings.device);
    if (!check.isEmpty())
        return check;

    RIG* rig = rig_init(network ? RIG_MODEL_NETRIGCTL : settings.model);
    if (!rig)
        return QStringLiteral("The radio model %1 is not known.").arg(settings.model);
    setConf(rig, "rig_pathname", network ? settings.address : settings.device);
    setConf(rig, "timeout", QString::number(timeoutMs_));
    setConf(rig, "retry", QStringLiteral("0"));
    if (!network)
        setConf(rig, "serial_speed", QString::number(settings.speed));
    const int code = rig_open(rig);
    if (code != RIG_OK) {
        rig_cleanup(rig);
        return openFailure(settings, code);
    }
    // Readings come from the radio, never from the library's cache of what was last set.
    rig_set_cache_timeout_ms(rig, HAMLIB_CACHE_ALL, 0);
    rig_ = rig;
    return {};
}

QString HamlibRadio::openFailure(const RigSettings& settings, int code) const
{
    const QString where =
        settings.kind == RigSettings::Kind::Network ? settings.address : settings.device;
    if (code == -RIG_ETIMEOUT)
        return QStringLiteral("The radio at %1 did not answer in time.").arg(where);
    if (code == -RIG_EPROTO)
        return QStringLiteral("The radio at %1 answered something that is not the radio "
                              "protocol.")
            .arg(where);
    return QStringLiteral("Cannot open the radio at %1: %2").arg(where, errorText(code));
}

void HamlibRadio::close()
{
    if (!rig_)
        return;
    rig_close(rig_);
    rig_cleanup(rig_);
    rig_ = nullptr;
}

QString HamlibRadio::read(RigReading& reading)
{
    if (!rig_)
        return QStringLiteral("The radio is not open.");
    freq_t freq = 0;
    const int code = rig_get_freq(rig_, RIG_VFO_CURR, &freq);
    if (code != RIG_OK)
        return QStringLiteral("The radio did not report its frequency: %1").arg(errorText(code));
    if (!std::isfinite(freq) || freq < 0 || freq > 1e15)
        return QStringLiteral("The radio reported a frequency that cannot be: %1 Hz.").arg(freq);
    reading.hz = static_cast<qint64>(std::llround(freq));

    rmode_t mode = RIG_MODE_NONE;
    pbwidth_t width = 0;
    reading.mode.clear();
    if (rig_get_mode(rig_, RIG_VFO_CURR, &mode, &width) == RIG_OK && mode != RIG_MODE_NONE)
        reading.mode = QString::fromLatin1(rig_strrmode(mode));

    reading.strength.reset();
    value_t value{};
    if (rig_has_get_level(rig_, RIG_LEVEL_STRENGTH) &&
        rig_get_level(rig_, RIG_VFO_CURR, RIG_LEVEL_STRENGTH, &value) == RIG_OK)
        reading.strength = value.i;
    return {};
}

QString HamlibRadio::setFrequency(qint64 hz)
{
    if (!rig_)
        return QStringLiteral("The radio is not open.");
    const int code = rig_set_freq(rig_, RIG_VFO_CURR, static_cast<freq_t>(hz));
    if (code != RIG_OK)
        return QStringLiteral("The radio refused the frequency: %1").arg(errorText(code));
    return {};
}

QString HamlibRadio::setMode(const QString& mode)
{
    if (!rig_)
        return QStringLiteral("The radio is not open.");
    const QString name = modeName(mode);
    if (name.isEmpty())
        return QStringLiteral("\"%1\" is not a mode the radio knows.").arg(mode);
    const int code = rig_set_mode(rig_, RIG_VFO_CURR, rig_parse_mode(name.toLatin1().constData()),
                                  RIG_PASSBAND_NOCHANGE);
    if (code != RIG_OK)
        return QStringLiteral("The radio refused the mode %1: %2").arg(name, errorText(code));
    return {};
}

} // namespace wl::rig
