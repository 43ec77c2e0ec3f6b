#include "schedule/Season.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace wl::schedule {

namespace {

QDate lastSunday(int year, int month)
{
    QDate day(year, month, QDate(year, month, 1).daysInMonth());
    return day.addDays(-(day.dayOfWeek() % 7));
}

Season make(bool summer, int year)
{
    Season s;
    s.code = QStringLiteral("%1%2")
                 .arg(QLatin1String(summer ? "A" : "B"))
                 .arg(year % 100, 2, 10, QLatin1Char('0'));
    s.first = summer ? lastSunday(year, 3) : lastSunday(year, 10);
    s.end = summer ? lastSunday(year, 10) : lastSunday(year + 1, 3);
    return s;
}

} // namespace

std::optional<Season> Season::fromCode(const QString& code)
{
    static const QRegularExpression pattern(QStringLiteral("^([AaBb])(\\d{2}|\\d{4})$"));
    const QRegularExpressionMatch m = pattern.match(code.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    int year = m.captured(2).toInt();
    if (m.captured(2).size() == 2)
        year += 2000;
    return make(m.captured(1).toUpper() == QLatin1String("A"), year);
}

std::optional<Season> Season::fromFileName(const QString& fileName)
{
    static const QRegularExpression pattern(
        QStringLiteral("(?:^|[^A-Za-z0-9])([AaBb]\\d{2})(?:$|[^0-9])"));
    const QRegularExpressionMatch m = pattern.match(QFileInfo(fileName).completeBaseName());
    if (!m.hasMatch())
        return std::nullopt;
    return fromCode(m.captured(1));
}

Season Season::of(const QDate& date)
{
    const int year = date.year();
    if (date < lastSunday(year, 3))
        return make(false, year - 1);
    if (date < lastSunday(year, 10))
        return make(true, year);
    return make(false, year);
}

} // namespace wl::schedule
