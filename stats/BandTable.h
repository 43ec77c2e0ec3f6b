#pragma once

#include <QString>

#include <vector>

namespace wl::stats {

// A listening band: its name and its edges in Hz, both inclusive.
struct Band
{
    QString name;
    qint64 lowHz;
    qint64 highHz;
};

// The bands a log is counted by: long and medium wave, the shortwave broadcast and amateur
// bands by their metre names, VHF and UHF. Where two bands share an edge frequency it belongs
// to the band listed first.
class BandTable
{
public:
    static const std::vector<Band>& bands();
    // The name given to frequencies outside every band.
    static QString otherName();
    // The place of the band in bands(), or -1 for a frequency in none of them. The frequency
    // is taken to the nearest Hz, so 7.2 MHz stored as 7.19999999 still lands on its edge.
    static int bandOf(double mhz);
};

} // namespace wl::stats
