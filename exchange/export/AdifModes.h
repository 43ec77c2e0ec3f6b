#pragma once

#include <QString>

#include <optional>

namespace wl {

// The ADIF 3.1 mode enumeration: a text is a MODE ("FT8", "SSB") or a SUBMODE of one ("USB" of
// SSB, "FT4" of MFSK, "PSK31" of PSK). Case and surrounding blanks do not matter.
class AdifModes
{
public:
    struct Mode
    {
        QString mode;
        QString submode; // empty when the text names the mode itself
    };

    static std::optional<Mode> find(const QString& text);
};

} // namespace wl
