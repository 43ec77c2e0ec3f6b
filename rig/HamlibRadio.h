#pragma once

#include "rig/RigSettings.h"
#include "rig/RigState.h"

#include <QString>

struct s_rig;

namespace wl::rig {

// One open connection to one radio through the radio library, used from one thread at a time.
// Every call returns within a few time limits: the library's read timeout is set short, with no
// retries, and a network address is first tried with a bounded connect so that a host that
// does not answer cannot hold the caller. Failures come back as a sentence for the user.
class HamlibRadio
{
public:
    static constexpr int DefaultTimeoutMs = 1000;

    explicit HamlibRadio(int timeoutMs = DefaultTimeoutMs);
    ~HamlibRadio();
    HamlibRadio(const HamlibRadio&) = delete;
    HamlibRadio& operator=(const HamlibRadio&) = delete;

    // Empty on success, else why the radio could not be opened.
    QString open(const RigSettings& settings);
    void close();
    bool isOpen() const { return rig_ != nullptr; }

    // Reads frequency, mode and strength. Only a failed frequency read fails the call: many
    // radios report no strength, and some no mode.
    QString read(RigReading& reading);
    QString setFrequency(qint64 hz);
    // A mode name the library does not know is refused without asking the radio.
    QString setMode(const QString& mode);

    // Whether text (any case, blanks around) names a mode of the radio library; the name in
    // the library's spelling, or empty.
    static QString modeName(const QString& text);
    // The library's own sentence for one of its error codes.
    static QString errorText(int code);

private:
    QString openFailure(const RigSettings& settings, int code) const;

    int timeoutMs_;
    s_rig* rig_ = nullptr;
};

} // namespace wl::rig
