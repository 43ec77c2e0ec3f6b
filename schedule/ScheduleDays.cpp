#include "schedule/ScheduleDays.h"

#include <QStringList>

namespace wl::schedule {

namespace {

// 0 Monday ... 6 Sunday, or -1.
int dayIndex(QStringView name)
{
    static const char* const names[] = {"mo", "tu", "we", "th", "fr", "sa", "su"};
    for (int i = 0; i < 7; ++i) {
        if (name.compare(QLatin1String(names[i]), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool allLetters(QStringView text)
{
    for (QChar c : text) {
        if (!c.isLetter())
            return false;
    }
    return !text.isEmpty();
}

// Adds one comma-separated part; false when it is malformed.
bool addPart(QStringView part, ScheduleDays& days)
{
    if (part.front().isDigit()) {
        for (QChar c : part) {
            if (c < u'1' || c > u'7')
                return false;
            days.mask |= std::uint8_t(1u << (c.unicode() - u'1'));
        }
        return true;
    }
    const qsizetype dash = part.indexOf(u'-');
    if (dash >= 0) {
        const int from = dayIndex(part.left(dash).trimmed());
        const int to = dayIndex(part.mid(dash + 1).trimmed());
        if (from < 0 || to < 0)
            return false;
        // A range may run over the week's end: "Sa-Mo" is Saturday, Sunday and Monday.
        for (int d = from;; d = (d + 1) % 7) {
            days.mask |= std::uint8_t(1u << d);
            if (d == to)
                break;
        }
        return true;
    }
    if (const int d = dayIndex(part); d >= 0) {
        days.mask |= std::uint8_t(1u << d);
        return true;
    }
    if (part.compare(QLatin1String("daily"), Qt::CaseInsensitive) == 0) {
        days.mask = 0x7f;
        return true;
    }
    // Words such as "irr" or "alt": the transmission has no fixed days.
    if (allLetters(part)) {
        days.irregular = true;
        return true;
    }
    return false;
}

} // namespace

std::optional<ScheduleDays> ScheduleDays::parse(const QString& text)
{
    ScheduleDays days;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return days;
    days.mask = 0;
    for (const QString& raw : trimmed.split(QLatin1Char(','))) {
        const QString part = raw.trimmed();
        if (part.isEmpty() || !addPart(part, days))
            return std::nullopt;
    }
    // An irregular pattern alone may fall on any day; the flag tells the listener it may not.
    if (days.mask == 0)
        days.mask = 0x7f;
    return days;
}

} // namespace wl::schedule
