#include "app/RecordCells.h"

#include "app/RecordDate.h"

#include <array>

namespace wl {

namespace {

// Cuts a text to its first characters without leaving half a surrogate pair behind.
QString cut(QString text)
{
    if (text.size() <= RecordCells::LongestText)
        return text;
    qsizetype end = RecordCells::LongestText;
    if (text.at(end - 1).isHighSurrogate())
        --end;
    text.truncate(end);
    return text;
}

// Blanks and control characters at either end go, as a category typed with stray spaces
// would otherwise show as a different one.
QString trimmedBlanks(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= u' ')
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= u' ')
        --end;
    return begin == 0 && end == text.size() ? text : text.mid(begin, end - begin);
}

bool isText(const QVariant& value)
{
    return value.typeId() == QMetaType::QString;
}

bool isNumber(const QVariant& value)
{
    return value.typeId() == QMetaType::Double || value.typeId() == QMetaType::LongLong ||
           value.typeId() == QMetaType::Int;
}

} // namespace

RecordCells::RecordCells(LocaleInfo locale, int dateOption)
    : locale_(std::move(locale)), dateOption_(dateOption)
{
}

QString RecordCells::fieldName(int slot)
{
    static const std::array<QString, SlotCount> names = {
        QStringLiteral("Category"), QStringLiteral("Hz"),       QStringLiteral("Modifier"),
        QStringLiteral("Callsign"), QStringLiteral("User"),     QStringLiteral("Location"),
        QStringLiteral("Optional"), QStringLiteral("Position"), QStringLiteral("RDate"),
        QStringLiteral("Notes")};
    return slot >= 0 && slot < SlotCount ? names[size_t(slot)] : QString();
}

QString RecordCells::nullText(int slot)
{
    // Category and Hz always have a value; should one be missing the cell stays empty.
    static const QString oneBlank(1, u' ');
    static const QString blanks(19, u' ');
    switch (slot) {
    case CategorySlot:
    case FrequencySlot:
        return {};
    case 2:
        return oneBlank;
    default:
        return blanks;
    }
}

QString RecordCells::text(int slot, const QVariant& value) const
{
    if (value.isNull())
        return nullText(slot);
    switch (slot) {
    case CategorySlot:
        return isText(value) ? trimmedBlanks(value.toString()) : nullText(slot);
    case FrequencySlot:
        return isNumber(value) ? cut(locale_.formatFrequency(value.toDouble())) : nullText(slot);
    case DateSlot:
        return dateText(value);
    case NotesSlot: {
        if (!isText(value))
            return nullText(slot);
        // Only the first characters are shown, so only they are rewritten.
        QString notes = cut(value.toString());
        for (QChar& c : notes) {
            if (c == u'\r' || c == u'\n')
                c = u' ';
        }
        return notes;
    }
    default:
        return isText(value) ? cut(value.toString()) : nullText(slot);
    }
}

QString RecordCells::dateText(const QVariant& value) const
{
    if (!isNumber(value))
        return nullText(DateSlot);
    const std::optional<QDateTime> when = RecordDate::toDateTime(value.toDouble());
    if (!when)
        return nullText(DateSlot);
    return cut(dayText(when->date()) + timeText(when->time()));
}

const QString& RecordCells::dayText(const QDate& date) const
{
    // Bounded, should a log hold a different day in nearly every record.
    constexpr size_t MostDays = 1 << 16;
    if (days_.size() >= MostDays)
        days_.clear();
    const auto [at, added] = days_.try_emplace(date.toJulianDay());
    if (added)
        at->second = locale_.formatDisplayDate(date);
    return at->second;
}

const QString& RecordCells::timeText(const QTime& time) const
{
    // The display date-time is the display date followed by the time part; the part is cut
    // from a whole date-time so that its form stays the locale service's.
    const int minute = time.hour() * 60 + time.minute();
    if (!minuteKnown_[size_t(minute)]) {
        const QDate anyDay(2000, 1, 1);
        const QDateTime whole(anyDay, QTime(time.hour(), time.minute()), Qt::UTC);
        minutes_[size_t(minute)] = locale_.formatDisplayDateTime(whole, dateOption_)
                                       .mid(locale_.formatDisplayDate(anyDay).size());
        minuteKnown_[size_t(minute)] = true;
    }
    return minutes_[size_t(minute)];
}

} // namespace wl
