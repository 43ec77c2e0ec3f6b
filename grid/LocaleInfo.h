#pragma once

#include <QChar>
#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringView>
#include <QTime>

#include <optional>

namespace wl {

// The one source of number and date conventions for the whole program: what the user's locale
// says about decimal separator, date order and separator, AM/PM texts and the 12/24-hour clock,
// and the strict parsers and formatters built on those values.
//
// QLocale's own parsers are not used on purpose: they reject the program's own four-digit-year
// date cells under a two-digit-year short format, accept group separators and "inf", and place
// two-digit years in the 1900s. The parsers here accept exactly what the program writes and what
// a person types in the same conventions.
//
// A LocaleInfo is a plain value. The process-wide instance (current()) is built from the system
// locale on first use; tests and callers may build others (fromLocale, fromName) and install one
// with setCurrent().
class LocaleInfo
{
public:
    enum class DateOrder
    {
        MonthDayYear,
        DayMonthYear,
        YearMonthDay
    };

    QString name = QStringLiteral("en_US");
    QChar decimalSeparator = u'.';
    QChar dateSeparator = u'/';
    QChar timeSeparator = u':';
    QChar listSeparator = u',';
    DateOrder dateOrder = DateOrder::MonthDayYear;
    QString shortDateFormat = QStringLiteral("M/d/yy"); // QLocale pattern letters
    QString amText = QStringLiteral("AM");
    QString pmText = QStringLiteral("PM");
    bool time24Hour = false;
    // Two-digit years are placed in the hundred years starting this many years before today.
    int twoDigitYearWindow = 50;
    QString currencySymbol = QStringLiteral("$");
    int currencyDecimals = 2;
    int positiveCurrencyFormat = 0; // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
    int negativeCurrencyFormat = 0; // the 16 classic negative currency codes

    // The built-in default: US English.
    LocaleInfo() = default;
    // Reads the conventions of a Qt locale; the C/POSIX locale counts as US English.
    static LocaleInfo fromLocale(const QLocale& locale);
    // fromLocale(QLocale(name)), e.g. "de_DE".
    static LocaleInfo fromName(const QString& name);
    static LocaleInfo system();

    // The process-wide conventions (the system's unless replaced).
    static LocaleInfo current();
    static void setCurrent(const LocaleInfo& info);

    // Optional blanks, optional sign, digits with at most one decimal separator (digits on at
    // least one side), optional exponent. No group separators, no inf or nan; a value out of
    // the range of double is rejected.
    std::optional<double> parseNumber(QStringView text) const;
    // Day, month and year in the locale's order split by its date separator (years of one or
    // two digits go through the century window), optionally followed by a time; or a time
    // alone, which gives the time on 30 December 1899 (the zero date of the stored values).
    // The result carries no time zone (Qt::UTC) so no daylight-saving gap can reject a date.
    std::optional<QDateTime> parseDateTime(QStringView text) const;
    // A date alone, as in parseDateTime.
    std::optional<QDate> parseDate(QStringView text) const;
    // h:mm[:ss] with an optional AM/PM (the locale's texts or "AM"/"PM") before or after.
    std::optional<QTime> parseTime(QStringView text) const;

    // Fixed decimals, no group separators, the locale's separator: "##0.0000" is decimals = 4.
    QString formatFixed(double value, int decimals) const;
    // The frequency cell text: "##0.0000".
    QString formatFrequency(double mhz) const { return formatFixed(mhz, 4); }
    // Shortest round-trip text with the locale's separator and no group separators.
    QString formatNumber(double value) const;

    // The date part of the grid's display format, told from the short date format by how it
    // prints 22 November 3995: "mm/dd/yyyy", "dd" S "mm" S "yyyy" or "yyyy" S "mm" S "dd"
    // (S the date separator; in the first form "/" stands for it), or empty.
    QString DisplayDateFormat() const;
    // A date in the display date format (two-digit day and month, four-digit year).
    QString formatDisplayDate(const QDate& date) const;
    // The display date-time: the date, then " hh:nn AM/PM" (dateOption 0), " hh:nn" (1) or
    // nothing (2). The AM/PM marks are always "AM" and "PM".
    QString formatDisplayDateTime(const QDateTime& value, int dateOption) const;
    // A date in the locale's short date format (as on printed pages).
    QString formatShortDate(const QDate& date) const;

private:
    std::optional<QDate> parseDateFields(QStringView text) const;
    int expandYear(int year, int digits) const;
};

} // namespace wl
