#pragma once

#include "stats/LogStats.h"

#include <QByteArray>

#include <vector>

namespace wl::stats {

// A bar chart of counts as an SVG document: one bar per count, its height in proportion to the
// largest, the names under the bars and the counts above them. Texts are escaped, so names
// from the log cannot break the document.
class BarChartSvg
{
public:
    static QByteArray write(const QString& title, const std::vector<Count>& counts);
};

} // namespace wl::stats
