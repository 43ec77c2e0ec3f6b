#include "stats/BarChartSvg.h"

#include <algorithm>

namespace wl::stats {

namespace {

constexpr int BarWidth = 28;
constexpr int Gap = 8;
constexpr int PlotHeight = 240;
constexpr int Top = 40;
constexpr int Left = 40;
constexpr int LabelSpace = 90;

QString text(int x, int y, const QString& content, const QString& extra = {})
{
    return QStringLiteral("<text x=\"%1\" y=\"%2\"%3>%4</text>\n")
        .arg(x)
        .arg(y)
        .arg(extra, content.toHtmlEscaped());
}

} // namespace

QByteArray BarChartSvg::write(const QString& title, const std::vector<Count>& counts)
{
    qint64 largest = 1;
    for (const Count& c : counts)
        largest = std::max(largest, c.count);
    const int width = Left * 2 + int(counts.size()) * (BarWidth + Gap);
    const int height = Top + PlotHeight + LabelSpace;
    QString svg = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" "
                                 "height=\"%2\" font-family=\"sans-serif\" font-size=\"11\">\n"
                                 "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n")
                      .arg(std::max(width, 200))
                      .arg(height);
    svg += text(Left, 22, title, QStringLiteral(" font-size=\"15\""));
    const int base = Top + PlotHeight;
    svg += QStringLiteral("<line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%2\" stroke=\"black\"/>\n")
               .arg(Left)
               .arg(base)
               .arg(std::max(width - Left, Left + 1));
    for (size_t i = 0; i < counts.size(); ++i) {
        const int x = Left + Gap / 2 + int(i) * (BarWidth + Gap);
        const int h = int(double(counts[i].count) / double(largest) * PlotHeight + 0.5);
        svg += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" "
                              "fill=\"#3465a4\"/>\n")
                   .arg(x)
                   .arg(base - h)
                   .arg(BarWidth)
                   .arg(h);
        svg += text(x, base - h - 4, QString::number(counts[i].count));
        svg += text(
            x + BarWidth / 2, base + 12, counts[i].name,
            QStringLiteral(" transform=\"rotate(60 %1 %2)\"").arg(x + BarWidth / 2).arg(base + 12));
    }
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

} // namespace wl::stats
