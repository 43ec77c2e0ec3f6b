#pragma once

#include "schedule/OnAirLookup.h"

#include <QWidget>

#include <vector>

namespace wl::schedule {

// A frequency the user has logged, shown on the strip beside the schedules.
struct LoggedMark
{
    double khz = 0;
    QString callsign;
};

// One broadcast band at a glance: a mark for every transmission on the air (stacked where
// several share a channel), the user's logged frequencies below in another colour and the
// frequency looked at. Hovering names what a mark stands for; a click picks its frequency.
class BandStrip : public QWidget
{
    Q_OBJECT
public:
    explicit BandStrip(QWidget* parent = nullptr);

    void setBand(double lowKhz, double highKhz);
    void setOnAir(std::vector<OnAirHit> hits);
    void setLogged(std::vector<LoggedMark> marks);
    void setCurrent(double khz);

    double lowKhz() const { return low_; }
    double highKhz() const { return high_; }
    // The frequency under a point of the strip, rounded to a whole kHz.
    double khzAt(int x) const;
    int xOf(double khz) const;
    const std::vector<OnAirHit>& onAir() const { return hits_; }
    const std::vector<LoggedMark>& logged() const { return logged_; }

    QSize sizeHint() const override { return {600, 110}; }

signals:
    void frequencyPicked(double khz);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QRect plot() const;
    // What the marks within a few pixels of x stand for, one a line.
    QString describe(int x) const;

    double low_ = 5900;
    double high_ = 6200;
    double current_ = 0;
    std::vector<OnAirHit> hits_;
    std::vector<LoggedMark> logged_;
};

} // namespace wl::schedule
