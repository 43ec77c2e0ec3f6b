#include "schedule/DateMark.h"

namespace wl::schedule {

namespace {

int monthDay(int month, int day)
{
    return month * 100 + day;
}

// -1, 0 or 1 as date lies before, on or after the mark.
int compare(const QDate& date, const DateMark& mark)
{
    const int a = mark.year ? date.year() * 10000 + monthDay(date.month(), date.day())
                            : monthDay(date.month(), date.day());
    const int b = mark.year ? mark.year * 10000 + monthDay(mark.month, mark.day)
                            : monthDay(mark.month, mark.day);
    return (a > b) - (a < b);
}

} // namespace

std::optional<DateMark> DateMark::parse(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return DateMark{};
    if (t.size() != 4 && t.size() != 6 && t.size() != 8)
        return std::nullopt;
    for (QChar c : t) {
        if (!c.isDigit())
            return std::nullopt;
    }
    const int yearDigits = int(t.size()) - 4;
    DateMark mark;
    if (yearDigits == 2)
        mark.year = 2000 + t.left(2).toInt();
    else if (yearDigits == 4)
        mark.year = t.left(4).toInt();
    mark.month = t.mid(yearDigits, 2).toInt();
    mark.day = t.mid(yearDigits + 2, 2).toInt();
    // A yearless mark is checked against a leap year so that "0229" passes.
    if (!QDate(mark.year ? mark.year : 2000, mark.month, mark.day).isValid())
        return std::nullopt;
    return mark;
}

bool DateMark::inForce(const QDate& date, const DateMark& start, const DateMark& stop)
{
    const bool afterStart = start.isEmpty() || compare(date, start) >= 0;
    const bool beforeStop = stop.isEmpty() || compare(date, stop) <= 0;
    const bool wraps = !start.isEmpty() && !stop.isEmpty() && !start.year && !stop.year &&
                       monthDay(start.month, start.day) > monthDay(stop.month, stop.day);
    return wraps ? afterStart || beforeStop : afterStart && beforeStop;
}

} // namespace wl::schedule
