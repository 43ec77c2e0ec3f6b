#pragma once

#include <QtGlobal>

namespace wl::rig {

// The radio counts frequencies in whole hertz; the log keeps megahertz. A double holds every
// whole number of hertz up to 2^53 exactly, so hertz / 1e6 and back by rounding to the nearest
// hertz loses nothing at any frequency a radio tunes.
qint64 hertzFromMegahertz(double mhz);
double megahertzFromHertz(qint64 hz);

} // namespace wl::rig
