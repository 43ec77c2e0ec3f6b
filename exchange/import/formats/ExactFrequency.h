#pragma once

#include <QString>

#include <optional>

namespace wl {

// Reads a frequency written as a decimal number into MHz. The unit is shifted by moving the
// decimal point in the text, so "128010" kHz becomes exactly the number "128.010" and is
// converted to binary only once: multiplying a binary 128010 by 0.001 can land beside the
// written value and show up as 128.0099999.
class ExactFrequency
{
public:
    // decimalsToMHz: how many places the point moves left to give MHz (0 MHz, 3 kHz, 6 Hz).
    // Empty text, signs, exponents, separators other than one "." and values of 0 give nothing.
    static std::optional<double> toMHz(const QString& text, int decimalsToMHz = 0);
};

} // namespace wl
