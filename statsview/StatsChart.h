#pragma once

#include "stats/LogStats.h"

#include <QString>

#include <vector>

class QChart;
class QImage;
class QSize;

namespace wl {

// The statistics window's charts: a bar chart of counts, drawn by the chart module.
class StatsChart
{
public:
    // A chart without a parent; the caller (usually a chart view) owns it.
    static QChart* bars(const QString& title, const std::vector<stats::Count>& counts);
    // The chart drawn on a white picture of the given size, for saving and for checks.
    static QImage picture(const QString& title, const std::vector<stats::Count>& counts,
                          const QSize& size);
};

} // namespace wl
