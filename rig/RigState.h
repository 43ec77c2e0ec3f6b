#pragma once

#include <QMetaType>
#include <QString>

#include <optional>

namespace wl::rig {

// What the radio last said: its frequency in hertz, its mode by the radio library's name (AM,
// USB, LSB, CW, FM, ...) and its signal strength in dB relative to S9 when it reports one.
struct RigReading
{
    qint64 hz = 0;
    QString mode;
    std::optional<int> strength;

    bool operator==(const RigReading&) const = default;
};

// The connection as the window thread sees it: connected with the last reading, or not
// connected with the reason (empty when no radio is configured).
struct RigState
{
    bool connected = false;
    RigReading reading;
    QString reason;

    bool operator==(const RigState&) const = default;
};

} // namespace wl::rig

Q_DECLARE_METATYPE(wl::rig::RigReading)
Q_DECLARE_METATYPE(wl::rig::RigState)
