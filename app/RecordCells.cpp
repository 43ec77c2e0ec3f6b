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

// Only for texts made rarely: the usual ones are cached or copied as bytes.
void appendUtf8(const QString& text, std::string& out)
{
    const QByteArray bytes = text.toUtf8();
    out.append(bytes.constData(), size_t(bytes.size()));
}

// The length in bytes of the first LongestText UTF-16 units of a UTF-8 text, a character that
// needs a surrogate pair left out whole where it would be split; -1 when the bytes up to there
// are not valid UTF-8 (they then go the long way, which replaces what is invalid).
qsizetype utf8Cut(std::string_view text)
{
    qsizetype units = 0;
    size_t at = 0;
    const auto continuation = [&](size_t i) {
        return i < text.size() && (uchar(text[i]) & 0xC0) == 0x80;
    };
    while (at < text.size()) {
        const uchar lead = uchar(text[at]);
        size_t length = 0;
        int width = 1;
        if (lead < 0x80) {
            length = 1;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            const uchar second = at + 1 < text.size() ? uchar(text[at + 1]) : 0;
            // No overlong forms and no encoded surrogates.
            if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F))
                return -1;
            length = 3;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            const uchar second = at + 1 < text.size() ? uchar(text[at + 1]) : 0;
            if ((lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F))
                return -1;
            length = 4;
            width = 2;
        } else {
            return -1;
        }
        for (size_t i = 1; i < length; ++i) {
            if (!continuation(at + i))
                return -1;
        }
        if (units + width > RecordCells::LongestText)
            break;
        units += width;
        at += length;
    }
    return qsizetype(at);
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

void RecordCells::appendText(int slot, std::string_view value, std::string& out) const
{
    switch (slot) {
    case CategorySlot: {
        // Bytes up to a blank are ASCII: no multi-byte character is cut by the trimming.
        size_t begin = 0;
        size_t end = value.size();
        while (begin < end && uchar(value[begin]) <= ' ')
            ++begin;
        while (end > begin && uchar(value[end - 1]) <= ' ')
            --end;
        out.append(value.substr(begin, end - begin));
        return;
    }
    case FrequencySlot:
    case DateSlot:
        appendUtf8(nullText(slot), out);
        return;
    default:
        break;
    }
    // A text no longer in bytes than the cut in characters is whole.
    qsizetype length = qsizetype(value.size());
    if (length > LongestText)
        length = utf8Cut(value);
    if (length < 0) {
        appendUtf8(text(slot, QString::fromUtf8(value.data(), qsizetype(value.size()))), out);
        return;
    }
    const size_t start = out.size();
    out.append(value.substr(0, size_t(length)));
    if (slot != NotesSlot)
        return;
    for (size_t i = start; i < out.size(); ++i) {
        if (out[i] == '\r' || out[i] == '\n')
            out[i] = ' ';
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

void RecordCells::appendDate(double value, std::string& out) const
{
    const std::optional<RecordDate::DayAndTime> when = RecordDate::split(value);
    if (!when) {
        appendUtf8(nullText(DateSlot), out);
        return;
    }
    const std::string& day = dayBytes(when->julianDay);
    const std::string& time = minuteBytes(when->msecs / 60'000);
    // A text no longer in bytes than the cut in characters is whole.
    if (day.size() + time.size() <= size_t(LongestText)) {
        out += day;
        out += time;
        return;
    }
    appendUtf8(cut(QString::fromStdString(day + time)), out);
}

const std::string& RecordCells::dayBytes(qint64 julianDay) const
{
    static const qint64 zero = QDate(1899, 12, 30).toJulianDay();
    constexpr qint64 Span = 1 << 17;
    const qint64 at = julianDay - zero;
    if (at < 0 || at >= Span) {
        farDay_.clear();
        appendUtf8(dayText(QDate::fromJulianDay(julianDay)), farDay_);
        return farDay_;
    }
    if (size_t(at) >= dayBytes_.size()) {
        dayBytes_.resize(size_t(at) + 1);
        dayKnown_.resize(size_t(at) + 1);
    }
    if (!dayKnown_[size_t(at)]) {
        appendUtf8(dayText(QDate::fromJulianDay(julianDay)), dayBytes_[size_t(at)]);
        dayKnown_[size_t(at)] = true;
    }
    return dayBytes_[size_t(at)];
}

const std::string& RecordCells::minuteBytes(int minute) const
{
    if (!minuteBytesKnown_[size_t(minute)]) {
        appendUtf8(timeText(QTime(minute / 60, minute % 60)), minuteBytes_[size_t(minute)]);
        minuteBytesKnown_[size_t(minute)] = true;
    }
    return minuteBytes_[size_t(minute)];
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
