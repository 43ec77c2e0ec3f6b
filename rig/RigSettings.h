#pragma once

#include <QMetaType>
#include <QString>

namespace wl {

class Registry;

namespace rig {

// How the program reaches the radio, as kept in the settings under the program's "\Radio" key.
// A radio model talks over a serial device; the network model talks the rigctl network protocol
// to rigctld or to an SDR program at host:port.
struct RigSettings
{
    enum class Kind
    {
        None,
        Serial,
        Network
    };

    static constexpr int DefaultSpeed = 9600;

    Kind kind = Kind::None;
    int model = 0; // the radio library's model number, for Kind::Serial
    QString device;
    int speed = DefaultSpeed;
    QString address; // host:port, for Kind::Network
    // Scanning: how long each record is listened to, and whether a signal stronger than
    // signalLevel (dB over S9) stops the scan on it.
    int dwellSeconds = 3;
    bool stopOnSignal = false;
    int signalLevel = 0;

    bool configured() const { return kind != Kind::None; }
    bool operator==(const RigSettings&) const = default;
    // Whether both reach the same radio the same way (scanning aside).
    bool sameRadio(const RigSettings& other) const
    {
        return kind == other.kind && model == other.model && device == other.device &&
               speed == other.speed && address == other.address;
    }

    static RigSettings read(Registry& registry);
    bool write(Registry& registry) const;
};

} // namespace rig
} // namespace wl

Q_DECLARE_METATYPE(wl::rig::RigSettings)
