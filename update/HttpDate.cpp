#include "update/HttpDate.h"

#include <QStringList>

namespace wl {

namespace {

const QStringList MonthNames = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
const QStringList DayNames = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};

int monthOf(const QString& field)
{
    return MonthNames.indexOf(field.left(3).toUpper()) + 1; // 0 when unknown
}

// Takes the text up to sep off the front of rest, with the blanks after the separator.
QString takeField(QString& rest, QChar sep)
{
    const qsizetype at = rest.indexOf(sep);
    QString field = at < 0 ? rest : rest.left(at);
    rest = at < 0 ? QString() : rest.mid(at + 1);
    while (rest.startsWith(QLatin1Char(' ')))
        rest.remove(0, 1);
    return field;
}

int numberOr(const QString& text, int fallback)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok ? n : fallback;
}

QTime timeOf(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    const auto part = [&parts](int i) { return i < parts.size() ? numberOr(parts[i], 0) : 0; };
    return QTime(part(0), part(1), part(2));
}

} // namespace

QDateTime httpDateToLocal(const QString& header)
{
    QString rest = header.trimmed();
    if (rest.isEmpty())
        return {};
    if (DayNames.contains(rest.left(3).toUpper())) {
        const qsizetype blank = rest.indexOf(QLatin1Char(' '));
        rest = blank < 0 ? QString() : rest.mid(blank + 1).trimmed();
    }
    const qsizetype dash = rest.indexOf(QLatin1Char('-'));
    const qsizetype blank = rest.indexOf(QLatin1Char(' '));
    const QChar sep =
        (dash > 0 && (blank < 0 || dash < blank)) ? QLatin1Char('-') : QLatin1Char(' ');
    int month = 0;
    int day = 1;
    const QString first = takeField(rest, sep);
    if (monthOf(first) > 0) { // asctime: month before day
        month = monthOf(first);
        day = numberOr(takeField(rest, sep), 1);
    } else {
        day = numberOr(first, 1);
        month = monthOf(takeField(rest, sep));
    }
    QString yearText = takeField(rest, QLatin1Char(' '));
    QTime time(0, 0);
    bool ok = false;
    int year = yearText.toInt(&ok);
    if (!ok) { // asctime: the time comes before the year
        time = timeOf(yearText);
        yearText = takeField(rest, QLatin1Char(' '));
        year = numberOr(yearText, 0);
    } else if (rest.contains(QLatin1Char(':'))) {
        time = timeOf(takeField(rest, QLatin1Char(' ')));
    }
    if (year < 80)
        year += 2000;
    else if (year < 100)
        year += 1900;
    const QDate date(year, month, day);
    if (!date.isValid() || !time.isValid())
        return {};
    QDateTime utc(date, time, Qt::UTC);
    const QString zone = rest.trimmed();
    if (zone.size() > 4 && (zone[0] == QLatin1Char('+') || zone[0] == QLatin1Char('-'))) {
        const int minutes = numberOr(zone.mid(1, 2), 0) * 60 + numberOr(zone.mid(3, 2), 0);
        utc = utc.addSecs((zone[0] == QLatin1Char('-') ? 1 : -1) * qint64(minutes) * 60);
    }
    return utc.toLocalTime();
}

} // namespace wl
