#pragma once

#include <QLineEdit>
#include <QTime>

#include <optional>

namespace wl {

// The masked time box of the entry dialog: "hh:mm AM" on the 12-hour clock or "hh:mm" on the
// 24-hour clock. The hour and minute steps wrap around without carrying into each other.
class TimeBox : public QLineEdit
{
    Q_OBJECT
public:
    explicit TimeBox(bool clock24, QWidget* parent = nullptr);

    bool clock24() const { return clock24_; }
    void setTime(const QTime& time);
    // Nothing when the text is not a time.
    std::optional<QTime> time() const;

    // Steps the hour or the minute by +1 or -1. An unreadable box is set to the current time
    // instead.
    void stepHour(int delta);
    void stepMinute(int delta);

private:
    void step(int hours, int minutes);

    bool clock24_ = false;
};

} // namespace wl
