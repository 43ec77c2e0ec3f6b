#include "statsview/StatsChart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <QValueAxis>

#include <algorithm>

namespace wl {

QChart* StatsChart::bars(const QString& title, const std::vector<stats::Count>& counts)
{
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->legend()->hide();
    chart->setAnimationOptions(QChart::NoAnimation);
    auto* set = new QBarSet(title);
    set->setColor(QColor(0x34, 0x65, 0xa4));
    QStringList names;
    qint64 largest = 0;
    for (const stats::Count& c : counts) {
        *set << double(c.count);
        names << c.name;
        largest = std::max(largest, c.count);
    }
    auto* series = new QBarSeries;
    series->append(set);
    series->setBarWidth(0.8);
    chart->addSeries(series);
    auto* x = new QBarCategoryAxis;
    x->append(names);
    x->setLabelsAngle(names.size() > 8 ? -60 : 0);
    chart->addAxis(x, Qt::AlignBottom);
    series->attachAxis(x);
    auto* y = new QValueAxis;
    // The axis starts at 0 so bar heights stay in proportion to the counts.
    y->setRange(0, double(std::max<qint64>(largest, 1)));
    y->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(y);
    return chart;
}

QImage StatsChart::picture(const QString& title, const std::vector<stats::Count>& counts,
                           const QSize& size)
{
    QGraphicsScene scene;
    QChart* chart = bars(title, counts);
    scene.addItem(chart);
    chart->resize(size);
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    scene.render(&painter, QRectF(QPointF(0, 0), size), QRectF(QPointF(0, 0), size));
    return image;
}

} // namespace wl
