#include "grid/LocaleInfo.h"

#include <charconv>
#include <mutex>
#include <string>

namespace wl {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QStringView trimmed(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Reads 1..maxDigits ASCII digits at pos; returns the digit count (0 when none or too many).
int readNumber(QStringView text, qsizetype& pos, int maxDigits, int& value)
{
    int digits = 0;
    value = 0;
    while (pos < text.size() && isAsciiDigit(text[pos])) {
        if (++digits > maxDigits)
            return 0;
        value = value * 10 + (text[pos].unicode() - u'0');
        ++pos;
    }
    return digits;
}

void skipBlanks(QStringView text, qsizetype& pos)
{
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
}

// Pattern letters outside quotes, in order, each run reported once.
QString fieldLetters(const QString& pattern)
{
    QString letters;
    bool quoted = false;
    for (QChar c : pattern) {
        if (c == u'\'') {
            quoted = !quoted;
            continue;
        }
        if (quoted || !c.isLetter())
            continue;
        if (letters.isEmpty() || letters.back() != c)
            letters += c;
    }
    return letters;
}

// The first punctuation character of a pattern after its first field letter.
QChar firstSeparator(const QString& pattern, QChar fallback)
{
    bool seenField = false;
    bool quoted = false;
    for (QChar c : pattern) {
        if (c == u'\'') {
            quoted = !quoted;
            continue;
        }
        if (quoted)
            continue;
        if (c.isLetter())
            seenField = true;
        else if (seenField && !c.isSpace())
            return c;
    }
    return fallback;
}

LocaleInfo::DateOrder orderOf(const QString& shortDate)
{
    const QString letters = fieldLetters(shortDate);
    const qsizetype d = letters.indexOf(u'd');
    const qsizetype m = letters.indexOf(u'M');
    const qsizetype y = letters.indexOf(u'y');
    if (y >= 0 && (d < 0 || y < d) && (m < 0 || y < m))
        return LocaleInfo::DateOrder::YearMonthDay;
    if (d >= 0 && m >= 0 && d < m)
        return LocaleInfo::DateOrder::DayMonthYear;
    return LocaleInfo::DateOrder::MonthDayYear;
}

int positiveCurrencyCode(const QString& text, const QString& symbol)
{
    const qsizetype at = text.indexOf(symbol);
    if (at < 0 || symbol.isEmpty())
        return 0;
    const bool before = at == 0 || !isAsciiDigit(text[0]);
    if (before) {
        const qsizetype next = at + symbol.size();
        return next < text.size() && text[next].isSpace() ? 2 : 0;
    }
    return at > 0 && text[at - 1].isSpace() ? 3 : 1;
}

int negativeCurrencyCode(const QString& negative, int positiveCode)
{
    if (negative.startsWith(u'(')) {
        static const int parenthesised[] = {0, 4, 14, 15};
        return parenthesised[positiveCode];
    }
    static const int minusFirst[] = {1, 5, 9, 8};
    return minusFirst[positiveCode];
}

int decimalsOf(const QString& text, QChar separator)
{
    const qsizetype at = text.lastIndexOf(separator);
    if (at < 0)
        return 0;
    int digits = 0;
    for (qsizetype i = at + 1; i < text.size() && isAsciiDigit(text[i]); ++i)
        ++digits;
    return digits;
}

QString pad(int value, int width)
{
    return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
}

struct CurrentInfo
{
    std::mutex mutex;
    std::optional<LocaleInfo> info;
};

CurrentInfo& currentInfo()
{
    static CurrentInfo holder;
    return holder;
}

} // namespace

LocaleInfo LocaleInfo::fromLocale(const QLocale& requested)
{
    const QLocale locale = requested.language() == QLocale::C
                               ? QLocale(QLocale::English, QLocale::UnitedStates)
                               : requested;
    LocaleInfo info;
    info.name = locale.name();
    const QString point = locale.decimalPoint();
    info.decimalSeparator = point.isEmpty() ? QChar(u'.') : point[0];
    info.shortDateFormat = locale.dateFormat(QLocale::ShortFormat);
    info.dateOrder = orderOf(info.shortDateFormat);
    info.dateSeparator = firstSeparator(info.shortDateFormat, u'/');
    const QString timeFormat = locale.timeFormat(QLocale::ShortFormat);
    info.timeSeparator = firstSeparator(timeFormat, u':');
    info.time24Hour = !timeFormat.contains(u'a', Qt::CaseInsensitive);
    info.amText = locale.amText();
    info.pmText = locale.pmText();
    info.listSeparator = info.decimalSeparator == u',' ? u';' : u',';
    info.currencySymbol = locale.currencySymbol();
    const QString positive = locale.toCurrencyString(1.0);
    info.currencyDecimals = decimalsOf(positive, info.decimalSeparator);
    info.positiveCurrencyFormat = positiveCurrencyCode(positive, info.currencySymbol);
    info.negativeCurrencyFormat =
        negativeCurrencyCode(locale.toCurrencyString(-1.0), info.positiveCurrencyFormat);
    return info;
}

LocaleInfo LocaleInfo::fromName(const QString& name)
{
    return fromLocale(QLocale(name));
}

LocaleInfo LocaleInfo::system()
{
    return fromLocale(QLocale::system());
}

LocaleInfo LocaleInfo::current()
{
    CurrentInfo& holder = currentInfo();
    std::lock_guard lock(holder.mutex);
    if (!holder.info)
        holder.info = system();
    return *holder.info;
}

void LocaleInfo::setCurrent(const LocaleInfo& info)
{
    CurrentInfo& holder = currentInfo();
    std::lock_guard lock(holder.mutex);
    holder.info = info;
}

std::optional<double> LocaleInfo::parseNumber(QStringView text) const
{
    text = trimmed(text);
    std::string ascii;
    ascii.reserve(size_t(text.size()));
    qsizetype pos = 0;
    if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-')) {
        if (text[pos] == u'-')
            ascii += '-';
        ++pos;
    }
    int mantissaDigits = 0;
    bool separatorSeen = false;
    for (; pos < text.size(); ++pos) {
        const QChar c = text[pos];
        if (isAsciiDigit(c)) {
            ascii += char(c.unicode());
            ++mantissaDigits;
        } else if (c == decimalSeparator && !separatorSeen) {
            ascii += '.';
            separatorSeen = true;
        } else {
            break;
        }
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (pos < text.size() && (text[pos] == u'e' || text[pos] == u'E')) {
        ascii += 'e';
        ++pos;
        if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-'))
            ascii += char(text[pos++].unicode());
        int exponentDigits = 0;
        for (; pos < text.size() && isAsciiDigit(text[pos]); ++pos, ++exponentDigits)
            ascii += char(text[pos].unicode());
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (pos != text.size())
        return std::nullopt;
    double value = 0;
    const char* end = ascii.data() + ascii.size();
    const auto [ptr, ec] = std::from_chars(ascii.data(), end, value);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

int LocaleInfo::expandYear(int year, int digits) const
{
    if (digits > 2)
        return year;
    const int pivot = QDate::currentDate().year() - twoDigitYearWindow;
    int expanded = pivot / 100 * 100 + year;
    if (expanded < pivot)
        expanded += 100;
    return expanded;
}

std::optional<QDate> LocaleInfo::parseDateFields(QStringView text) const
{
    // Parses a whole date text; blanks may follow a separator (as in "24. 3. 15."), and a
    // final separator is allowed for the same reason.
    int values[3] = {};
    int digits[3] = {};
    qsizetype pos = 0;
    for (int field = 0; field < 3; ++field) {
        if (field > 0) {
            if (pos >= text.size() || text[pos] != dateSeparator)
                return std::nullopt;
            ++pos;
            skipBlanks(text, pos);
        }
        digits[field] = readNumber(text, pos, 4, values[field]);
        if (digits[field] == 0)
            return std::nullopt;
    }
    if (pos < text.size() && text[pos] == dateSeparator)
        ++pos;
    if (pos != text.size())
        return std::nullopt;
    int yearField = 2;
    int monthField = 0;
    int dayField = 1;
    if (dateOrder == DateOrder::DayMonthYear) {
        dayField = 0;
        monthField = 1;
    } else if (dateOrder == DateOrder::YearMonthDay) {
        yearField = 0;
        monthField = 1;
        dayField = 2;
    }
    if (digits[monthField] > 2 || digits[dayField] > 2)
        return std::nullopt;
    const QDate date(expandYear(values[yearField], digits[yearField]), values[monthField],
                     values[dayField]);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<QDate> LocaleInfo::parseDate(QStringView text) const
{
    return parseDateFields(trimmed(text));
}

std::optional<QTime> LocaleInfo::parseTime(QStringView text) const
{
    text = trimmed(text);
    // An AM/PM mark, before or after the clock time.
    int meridiem = 0; // 0 none, 1 AM, 2 PM
    const QString marks[4] = {amText, pmText, QStringLiteral("AM"), QStringLiteral("PM")};
    for (int i = 0; i < 4 && meridiem == 0; ++i) {
        const QString& mark = marks[i];
        if (mark.isEmpty())
            continue;
        if (text.endsWith(mark, Qt::CaseInsensitive)) {
            text = trimmed(text.chopped(mark.size()));
            meridiem = i % 2 + 1;
        } else if (text.startsWith(mark, Qt::CaseInsensitive)) {
            text = trimmed(text.mid(mark.size()));
            meridiem = i % 2 + 1;
        }
    }
    qsizetype pos = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    if (readNumber(text, pos, 2, hour) == 0)
        return std::nullopt;
    if (pos >= text.size() || text[pos] != timeSeparator)
        return std::nullopt;
    ++pos;
    if (readNumber(text, pos, 2, minute) == 0)
        return std::nullopt;
    if (pos < text.size() && text[pos] == timeSeparator) {
        ++pos;
        if (readNumber(text, pos, 2, second) == 0)
            return std::nullopt;
    }
    if (pos != text.size())
        return std::nullopt;
    if (meridiem != 0) {
        if (hour > 12)
            return std::nullopt;
        hour = hour % 12 + (meridiem == 2 ? 12 : 0);
    }
    const QTime time(hour, minute, second);
    if (!time.isValid())
        return std::nullopt;
    return time;
}

std::optional<QDateTime> LocaleInfo::parseDateTime(QStringView text) const
{
    text = trimmed(text);
    // The date part ends at the first blank that is not right after a date separator.
    qsizetype split = 0;
    while (split < text.size() &&
           !(isBlank(text[split]) && (split == 0 || text[split - 1] != dateSeparator)))
        ++split;
    if (const auto date = parseDateFields(text.left(split))) {
        const QStringView rest = trimmed(text.mid(split));
        if (rest.isEmpty())
            return QDateTime(*date, QTime(0, 0), Qt::UTC);
        if (const auto time = parseTime(rest))
            return QDateTime(*date, *time, Qt::UTC);
        return std::nullopt;
    }
    if (const auto time = parseTime(text))
        return QDateTime(QDate(1899, 12, 30), *time, Qt::UTC);
    return std::nullopt;
}

QString LocaleInfo::formatFixed(double value, int decimals) const
{
    QString text = QString::number(value, 'f', decimals);
    if (decimalSeparator != u'.')
        text.replace(u'.', decimalSeparator);
    return text;
}

QString LocaleInfo::formatNumber(double value) const
{
    QString text = QString::number(value, 'g', QLocale::FloatingPointShortest);
    if (decimalSeparator != u'.')
        text.replace(u'.', decimalSeparator);
    return text;
}

QString LocaleInfo::DisplayDateFormat() const
{
    const QString sep(dateSeparator);
    const QString probe = QLocale::c().toString(QDate(3995, 11, 22), shortDateFormat);
    DateOrder order = dateOrder; // used when the probe does not start with a digit
    if (probe.startsWith(QLatin1String("95")) || probe.startsWith(u'3'))
        order = DateOrder::YearMonthDay;
    else if (probe.startsWith(u'1'))
        order = DateOrder::MonthDayYear;
    else if (probe.startsWith(u'2'))
        order = DateOrder::DayMonthYear;
    switch (order) {
    case DateOrder::MonthDayYear:
        return QStringLiteral("mm/dd/yyyy");
    case DateOrder::DayMonthYear:
        return QStringLiteral("dd") + sep + QStringLiteral("mm") + sep + QStringLiteral("yyyy");
    case DateOrder::YearMonthDay:
        return QStringLiteral("yyyy") + sep + QStringLiteral("mm") + sep + QStringLiteral("dd");
    }
    return {};
}

QString LocaleInfo::formatDisplayDate(const QDate& date) const
{
    const QString sep(dateSeparator);
    const QString day = pad(date.day(), 2);
    const QString month = pad(date.month(), 2);
    const QString year = pad(date.year(), 4);
    const QString format = DisplayDateFormat();
    if (format.startsWith(u'm'))
        return month + sep + day + sep + year;
    if (format.startsWith(u'd'))
        return day + sep + month + sep + year;
    return year + sep + month + sep + day;
}

QString LocaleInfo::formatDisplayDateTime(const QDateTime& value, int dateOption) const
{
    QString text = formatDisplayDate(value.date());
    const QTime time = value.time();
    if (dateOption == 0) {
        const int hour12 = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
        text += u' ' + pad(hour12, 2) + timeSeparator + pad(time.minute(), 2) +
                (time.hour() < 12 ? QStringLiteral(" AM") : QStringLiteral(" PM"));
    } else if (dateOption == 1) {
        text += u' ' + pad(time.hour(), 2) + timeSeparator + pad(time.minute(), 2);
    }
    return text;
}

QString LocaleInfo::formatShortDate(const QDate& date) const
{
    return QLocale(name).toString(date, shortDateFormat);
}

} // namespace wl
