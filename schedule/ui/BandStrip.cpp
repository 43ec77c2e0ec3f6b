#include "schedule/ui/BandStrip.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <cmath>
#include <map>

namespace wl::schedule {

namespace {

constexpr int Margin = 8;
constexpr int ScaleHeight = 18;
constexpr int LoggedHeight = 16;
constexpr int MarkStep = 5; // a third of the tallest mark, in pixels
constexpr int HoverReach = 3;

const QColor OnAirColor(0x1f, 0x5f, 0xbf);
const QColor LoggedColor(0xd9, 0x6a, 0x00);
const QColor CurrentColor(0xc0, 0x10, 0x10);

double tickStep(double span)
{
    for (double step : {1.0, 2.0, 5.0, 10.0, 20.0, 50.0, 100.0, 200.0, 500.0}) {
        if (span / step <= 12)
            return step;
    }
    return 1000;
}

} // namespace

BandStrip::BandStrip(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("BandStrip"));
    setMouseTracking(true);
    setMinimumHeight(90);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BandStrip::setBand(double lowKhz, double highKhz)
{
    low_ = lowKhz;
    high_ = std::max(highKhz, lowKhz + 1);
    update();
}

void BandStrip::setOnAir(std::vector<OnAirHit> hits)
{
    hits_ = std::move(hits);
    update();
}

void BandStrip::setLogged(std::vector<LoggedMark> marks)
{
    logged_ = std::move(marks);
    update();
}

void BandStrip::setCurrent(double khz)
{
    current_ = khz;
    update();
}

QRect BandStrip::plot() const
{
    return rect().adjusted(Margin, Margin, -Margin, -Margin);
}

int BandStrip::xOf(double khz) const
{
    const QRect r = plot();
    return r.left() + int(std::lround((khz - low_) / (high_ - low_) * (r.width() - 1)));
}

double BandStrip::khzAt(int x) const
{
    const QRect r = plot();
    const double khz = low_ + double(x - r.left()) / std::max(1, r.width() - 1) * (high_ - low_);
    return std::round(std::clamp(khz, low_, high_));
}

void BandStrip::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    const QRect r = plot();
    const int axis = r.bottom() - ScaleHeight - LoggedHeight;
    // The scale.
    p.setPen(palette().text().color());
    p.drawLine(r.left(), axis, r.right(), axis);
    const double step = tickStep(high_ - low_);
    QFont small = font();
    small.setPixelSize(10);
    p.setFont(small);
    for (double k = std::ceil(low_ / step) * step; k <= high_; k += step) {
        const int x = xOf(k);
        p.drawLine(x, axis, x, axis + 4);
        // The end labels stay inside the strip.
        const int left = std::clamp(x - 30, r.left(), r.right() - 60);
        p.drawText(QRect(left, r.bottom() - ScaleHeight + 4, 60, ScaleHeight - 4),
                   Qt::AlignTop |
                       (left == x - 30 ? Qt::AlignHCenter
                                       : (left == r.left() ? Qt::AlignLeft : Qt::AlignRight)),
                   QString::number(k, 'f', 0));
    }
    // Transmissions on the air, stacked per channel; the marks grow when few share one.
    std::map<int, int> stack;
    for (const OnAirHit& hit : hits_)
        ++stack[xOf(hit.entry.khz)];
    int highest = 1;
    for (const auto& [x, count] : stack)
        highest = std::max(highest, count);
    const int markStep = std::clamp((axis - 4 - r.top()) / highest, 2, MarkStep * 3);
    stack.clear();
    p.setPen(Qt::NoPen);
    p.setBrush(OnAirColor);
    for (const OnAirHit& hit : hits_) {
        const int x = xOf(hit.entry.khz);
        const int level = stack[x]++;
        const int top = std::max(r.top(), axis - 4 - (level + 1) * markStep);
        p.drawRect(QRect(x - 1, top, 3, std::max(1, markStep - 1)));
    }
    // The user's own records, below the scale line.
    p.setBrush(LoggedColor);
    for (const LoggedMark& mark : logged_) {
        const int x = xOf(mark.khz);
        p.drawRect(QRect(x - 1, axis + 6, 3, LoggedHeight - 8));
    }
    if (current_ >= low_ && current_ <= high_) {
        p.setPen(QPen(CurrentColor, 1, Qt::DashLine));
        const int x = xOf(current_);
        p.drawLine(x, r.top(), x, axis + LoggedHeight);
    }
}

QString BandStrip::describe(int x) const
{
    QStringList lines;
    for (const OnAirHit& hit : hits_) {
        if (std::abs(xOf(hit.entry.khz) - x) <= HoverReach)
            lines << QStringLiteral("%1 kHz  %2  %3  %4")
                         .arg(QString::number(hit.entry.khz, 'f',
                                              hit.entry.khz == std::floor(hit.entry.khz) ? 0 : 1),
                              hit.entry.timeText(), hit.entry.station, hit.entry.language);
    }
    for (const LoggedMark& mark : logged_) {
        if (std::abs(xOf(mark.khz) - x) <= HoverReach)
            lines << QStringLiteral("logged: %1 kHz  %2")
                         .arg(QString::number(mark.khz, 'f', 1), mark.callsign);
    }
    return lines.join(QLatin1Char('\n'));
}

bool BandStrip::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = describe(help->pos().x());
        // Station names come from files: shown as plain text, never as markup.
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(),
                               text.toHtmlEscaped()
                                   .replace(QLatin1Char('\n'), QStringLiteral("<br>"))
                                   .prepend(QStringLiteral("<qt style='white-space:pre'>")),
                               this);
        return true;
    }
    return QWidget::event(event);
}

void BandStrip::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    // A click near a mark takes the mark's own frequency, not the pixel's rounding.
    const int x = int(event->position().x());
    double best = khzAt(x);
    int bestGap = HoverReach + 1;
    for (const OnAirHit& hit : hits_) {
        const int gap = std::abs(xOf(hit.entry.khz) - x);
        if (gap < bestGap) {
            bestGap = gap;
            best = hit.entry.khz;
        }
    }
    emit frequencyPicked(best);
}

} // namespace wl::schedule
