#pragma once
// Shared pieces of the globe tests that render through the control.
#include "globe/LLPoint.h"

#include <QApplication>

#include <cmath>
#include <cstdint>

namespace wl::globetest {

// One application for the whole program, left alive on purpose: tearing it down among the
// static destructors gains nothing.
inline void app()
{
    if (QApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

inline std::int32_t gu(double degrees)
{
    return static_cast<std::int32_t>(std::lround(degrees * GUPerDegree));
}

} // namespace wl::globetest
