#pragma once

#include <QString>
#include <QVariant>

#include <cmath>
#include <random>
#include <vector>

namespace wl::bench {

// Deterministic, realistic frequency records for the benchmarks: scanner bands, call signs,
// places, positions and the odd note. Each row holds the values of the non-auto-increment
// fields in definition order, ready for Table::bulkAppend.
class RowMaker
{
public:
    std::vector<QVariant> row(int n)
    {
        static const char* const categories[] = {"Police",   "Short Wave", "Weather", "Fire",
                                                 "Aviation", "Marine",     "Amateur", "Railroad",
                                                 "Utility",  "Military"};
        static const char* const places[] = {"Portland", "Seattle", "Boise", "Spokane", "Eugene",
                                             "Salem",    "Tacoma",  "Bend",  "Yakima",  "Medford"};
        static const double bands[][2] = {{0.5, 30},  {118, 137}, {144, 148},  {150, 174},
                                          {420, 470}, {806, 869}, {1240, 1300}};
        const auto& band = bands[pick(7)];
        const double hz = std::round((band[0] + unit() * (band[1] - band[0])) * 100000) / 100000;
        const int latDeg = 25 + pick(24), latMin = pick(60), lonDeg = 70 + pick(55),
                  lonMin = pick(60);
        const bool positioned = pick(3) != 0;
        QString position = positioned ? QStringLiteral("%1 %2N %3 %4W")
                                            .arg(latDeg)
                                            .arg(latMin, 2, 10, QLatin1Char('0'))
                                            .arg(lonDeg)
                                            .arg(lonMin, 2, 10, QLatin1Char('0'))
                                      : QString();
        position = (position + QString(20, QLatin1Char(' '))).left(20);
        QVariant notes;
        if (pick(10) < 3)
            notes = QStringLiteral(
                        "Heard on %1 during the evening net.\r\nStrong signal, net control %2.")
                        .arg(hz)
                        .arg(callsign());
        return {QString::fromLatin1(categories[pick(10)]),
                callsign(),
                notes,
                36000.0 + pick(10000) + unit(),
                hz,
                QString(QLatin1Char(" +-"[pick(3)])),
                QStringLiteral("User %1").arg(n % 5000),
                QString::fromLatin1(places[pick(10)]),
                pick(2) ? QVariant(QStringLiteral("CTCSS %1").arg(67 + pick(180))) : QVariant(),
                position,
                positioned ? QVariant(latDeg + latMin / 60.0) : QVariant(0.0),
                positioned ? QVariant(lonDeg + lonMin / 60.0) : QVariant(0.0)};
    }

private:
    int pick(int n) { return int(rng() % unsigned(n)); }
    double unit() { return double(rng() % 1'000'000) / 1e6; }
    QString callsign()
    {
        QString s = QString(QLatin1Char("KWN"[pick(3)])) + QChar('A' + pick(26)) +
                    QString::number(pick(10));
        for (int i = 0; i < 3; ++i)
            s += QChar('A' + pick(26));
        return s;
    }
    std::mt19937_64 rng{20261210};
};

} // namespace wl::bench
