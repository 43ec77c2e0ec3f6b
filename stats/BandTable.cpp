#include "stats/BandTable.h"

#include <cmath>

namespace wl::stats {

namespace {

Band band(const char* name, double lowKHz, double highKHz)
{
    return Band{QString::fromUtf8(name), std::llround(lowKHz * 1000), std::llround(highKHz * 1000)};
}

std::vector<Band> makeBands()
{
    // Named shortwave bands come before the catch-all shortwave rows so that they win.
    return {
        band("LW", 148.5, 283.5),
        band("MW", 526.5, 1705),
        band("160 m amateur", 1800, 2000),
        band("120 m broadcast", 2300, 2495),
        band("90 m broadcast", 3200, 3400),
        band("80 m amateur", 3500, 3800),
        band("75 m broadcast", 3900, 4000),
        band("60 m broadcast", 4750, 5060),
        band("60 m amateur", 5351.5, 5366.5),
        band("49 m broadcast", 5900, 6200),
        band("40 m amateur", 7000, 7200),
        band("41 m broadcast", 7200, 7450),
        band("31 m broadcast", 9400, 9900),
        band("30 m amateur", 10100, 10150),
        band("25 m broadcast", 11600, 12100),
        band("22 m broadcast", 13570, 13870),
        band("20 m amateur", 14000, 14350),
        band("19 m broadcast", 15100, 15800),
        band("16 m broadcast", 17480, 17900),
        band("17 m amateur", 18068, 18168),
        band("15 m broadcast", 18900, 19020),
        band("15 m amateur", 21000, 21450),
        band("13 m broadcast", 21450, 21850),
        band("12 m amateur", 24890, 24990),
        band("11 m broadcast", 25670, 26100),
        band("10 m amateur", 28000, 29700),
        band("Other shortwave", 1705, 30000),
        band("VHF", 30000, 300000),
        band("UHF", 300000, 3000000),
    };
}

} // namespace

const std::vector<Band>& BandTable::bands()
{
    static const std::vector<Band> table = makeBands();
    return table;
}

QString BandTable::otherName()
{
    return QStringLiteral("Other");
}

int BandTable::bandOf(double mhz)
{
    if (!std::isfinite(mhz))
        return -1;
    const qint64 hz = std::llround(mhz * 1e6);
    const std::vector<Band>& table = bands();
    for (size_t i = 0; i < table.size(); ++i) {
        if (hz >= table[i].lowHz && hz <= table[i].highHz)
            return int(i);
    }
    return -1;
}

} // namespace wl::stats
