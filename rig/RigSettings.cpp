#include "rig/RigSettings.h"

#include "app/AppConstants.h"
#include "app/services/Registry.h"

#include <algorithm>

namespace wl::rig {

namespace {

const QString RadioKey = QStringLiteral("\\Radio");

RigSettings::Kind kindFrom(const QString& text)
{
    if (text == QLatin1String("Serial"))
        return RigSettings::Kind::Serial;
    if (text == QLatin1String("Network"))
        return RigSettings::Kind::Network;
    return RigSettings::Kind::None;
}

QString kindText(RigSettings::Kind kind)
{
    switch (kind) {
    case RigSettings::Kind::Serial:
        return QStringLiteral("Serial");
    case RigSettings::Kind::Network:
        return QStringLiteral("Network");
    case RigSettings::Kind::None:
        break;
    }
    return QStringLiteral("None");
}

} // namespace

RigSettings RigSettings::read(Registry& registry)
{
    RigSettings s;
    if (!registry.openKey(app::SettingsKey + RadioKey, false))
        return s;
    s.kind = kindFrom(registry.readString(QStringLiteral("Kind")));
    s.model = registry.readInteger(QStringLiteral("Model"), s.model);
    s.device = registry.readString(QStringLiteral("Device"), s.device);
    s.speed = registry.readInteger(QStringLiteral("Speed"), s.speed);
    s.address = registry.readString(QStringLiteral("Address"), s.address);
    s.dwellSeconds = registry.readInteger(QStringLiteral("Scan Dwell"), s.dwellSeconds);
    s.stopOnSignal = registry.readBool(QStringLiteral("Stop On Signal"), s.stopOnSignal);
    s.signalLevel = registry.readInteger(QStringLiteral("Signal Level"), s.signalLevel);
    registry.closeKey();
    if (s.speed <= 0)
        s.speed = DefaultSpeed;
    s.dwellSeconds = std::clamp(s.dwellSeconds, 1, 3600);
    return s;
}

bool RigSettings::write(Registry& registry) const
{
    if (!registry.openKey(app::SettingsKey + RadioKey, true))
        return false;
    bool ok = registry.writeString(QStringLiteral("Kind"), kindText(kind));
    ok = registry.writeInteger(QStringLiteral("Model"), model) && ok;
    ok = registry.writeString(QStringLiteral("Device"), device) && ok;
    ok = registry.writeInteger(QStringLiteral("Speed"), speed) && ok;
    ok = registry.writeString(QStringLiteral("Address"), address) && ok;
    ok = registry.writeInteger(QStringLiteral("Scan Dwell"), dwellSeconds) && ok;
    ok = registry.writeBool(QStringLiteral("Stop On Signal"), stopOnSignal) && ok;
    ok = registry.writeInteger(QStringLiteral("Signal Level"), signalLevel) && ok;
    registry.closeKey();
    return registry.flush() && ok;
}

} // namespace wl::rig
