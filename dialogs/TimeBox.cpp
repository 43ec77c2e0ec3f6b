#include "dialogs/TimeBox.h"

#include "app/services/UiServices.h"
#include "grid/LocaleInfo.h"

#include <QLocale>

namespace wl {

namespace {

// Qt's mask letters: "9" a required digit, "0" an optional one, "A" a required letter.
const QString Mask12 = QStringLiteral("99:00 AA; ");
const QString Mask24 = QStringLiteral("99:00; ");

} // namespace

TimeBox::TimeBox(bool clock24, QWidget* parent) : QLineEdit(parent), clock24_(clock24)
{
    setObjectName(QStringLiteral("MaskEdit"));
    setInputMask(clock24 ? Mask24 : Mask12);
    setTime(UiServices::clock().now().time());
}

void TimeBox::setTime(const QTime& time)
{
    // The AM/PM marks are always "AM" and "PM", whatever the locale calls them.
    setText(QLocale::c().toString(time,
                                  clock24_ ? QStringLiteral("HH:mm") : QStringLiteral("hh:mm AP")));
}

std::optional<QTime> TimeBox::time() const
{
    const QString text = displayText().simplified();
    const auto parsed = LocaleInfo::current().parseTime(text);
    // A 24-hour box holds no AM/PM; the locale's parser would otherwise decide its meaning.
    if (!parsed || (clock24_ && text.contains(QLatin1Char(' '))))
        return std::nullopt;
    return parsed;
}

void TimeBox::stepHour(int delta)
{
    step(delta, 0);
}

void TimeBox::stepMinute(int delta)
{
    step(0, delta);
}

void TimeBox::step(int hours, int minutes)
{
    const auto current = time();
    if (!current) {
        setTime(UiServices::clock().now().time());
        return;
    }
    const int h = (current->hour() + hours + 24) % 24;
    const int m = (current->minute() + minutes + 60) % 60;
    setTime(QTime(h, m));
}

} // namespace wl
