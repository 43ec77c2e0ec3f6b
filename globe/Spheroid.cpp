#include "globe/Spheroid.h"

#include <array>

namespace wl {

namespace {

constexpr std::array<SpheroidData, SpheroidCount> Table{{
    {309924787, 1.0L / 299.3249646L},
    {309953780, 1.0L / 298.25L},
    {309916708, 1.0L / 299.1528128L},
    {309956035, 1.0L / 294.9786982L},
    {309958112, 1.0L / 293.465L},
    {309910838, 1.0L / 300.8017L},
    {309953780, 1.0L / 298.247167427L},
    {309952662, 1.0L / 298.257222101L},
    {309955724, 1.0L / 298.3L},
    {309959125, 1.0L / 297.0L},
    {309964860, 1.0L / 297.0L},
    {309957910, 1.0L / 298.3L},
    {309953780, 1.0L / 298.25L},
    {309954023, 1.0L / 298.3L},
    {309953051, 1.0L / 298.25L},
    {309952565, 1.0L / 298.26L},
    {309952662, 1.0L / 298.257223563L},
}};

} // namespace

SpheroidData spheroidData(Spheroid s)
{
    return Table[static_cast<std::size_t>(s) % SpheroidCount];
}

} // namespace wl
