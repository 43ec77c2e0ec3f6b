#include "exchange/export/ExportLocaleFormats.h"

#include <array>

namespace wl {

namespace {

// Each pattern takes the currency symbol for "%1" and the decimal zeros for "%2".
constexpr std::array<const char*, 4> PositiveCurrency = {R"("%1"#,##0.%2)", R"(#,##0.%2"%1")",
                                                         R"("%1 "#,##0.%2)", R"(#,##0.%2" %1")"};

constexpr std::array<const char*, 16> NegativeCurrency = {
    R"(\("%1"#,##0.%2\))", R"("-%1"#,##0.%2)",  R"("%1-"#,##0.%2)",     R"("%1"#,##0.%2\-)",
    R"(\(#,##0.%2"%1"\))", R"(\-#,##0.%2"%1")", R"(#,##0.%2"-%1")",     R"(#,##0.%2"%1-")",
    R"(\-#,##0.%2" %1")",  R"("-%1 "#,##0.%2)", R"(#,##0.%2" %1-")",    R"("%1 "#,##0.%2\-)",
    R"("%1 -"#,##0.%2)",   R"(#,##0.%2"- %1")", R"(\("%1 "#,##0.%2\))", R"(\(#,##0.%2" %1"\))"};

template <std::size_t N>
QString currencyPart(const std::array<const char*, N>& patterns, int code, const QString& symbol,
                     const QString& zeros)
{
    if (code < 0 || std::size_t(code) >= N)
        return {};
    // Filled in one pass so a symbol holding "%2" is not taken for a placeholder.
    return QString::fromLatin1(patterns[std::size_t(code)]).arg(symbol, zeros);
}

} // namespace

QString ExportLocaleFormats::DateFormatText(const LocaleInfo& locale)
{
    QString result;
    for (QChar c : locale.shortDateFormat.toLower()) {
        if (c == u'm' || c == u'd' || c == u'y' || c == locale.dateSeparator)
            result += c;
    }
    return result;
}

QString ExportLocaleFormats::TimeFormatText(TExportOptions options, const LocaleInfo& locale)
{
    QString result = QStringLiteral("h:mm");
    if (options.testFlag(TimeDisplaySeconds))
        result += QStringLiteral(":ss");
    if (!options.testFlag(Time24HourFormat) && !locale.amText.trimmed().isEmpty() &&
        !locale.pmText.trimmed().isEmpty())
        result += QStringLiteral("\\ AM/PM");
    return result;
}

QString ExportLocaleFormats::DateTimeFormatText(TExportOptions options, const LocaleInfo& locale)
{
    return DateFormatText(locale) + u' ' + TimeFormatText(options, locale);
}

QString ExportLocaleFormats::CurrencyFormatText(const LocaleInfo& locale)
{
    const QString zeros(qMax(locale.currencyDecimals, 0), u'0');
    const QString positive =
        currencyPart(PositiveCurrency, locale.positiveCurrencyFormat, locale.currencySymbol, zeros);
    const QString negative =
        currencyPart(NegativeCurrency, locale.negativeCurrencyFormat, locale.currencySymbol, zeros);
    return positive + QStringLiteral("_);[Red]") + negative;
}

QString ExportLocaleFormats::TimeStampText(const QDateTime& now, const LocaleInfo& locale)
{
    const QTime time = now.time();
    const QString sep(locale.timeSeparator);
    QString clock;
    if (locale.time24Hour) {
        clock = QStringLiteral("%1%2%3%2%4")
                    .arg(time.hour(), 2, 10, QLatin1Char('0'))
                    .arg(sep)
                    .arg(time.minute(), 2, 10, QLatin1Char('0'))
                    .arg(time.second(), 2, 10, QLatin1Char('0'));
    } else {
        const int hour12 = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
        clock = QStringLiteral("%1%2%3%2%4")
                    .arg(hour12)
                    .arg(sep)
                    .arg(time.minute(), 2, 10, QLatin1Char('0'))
                    .arg(time.second(), 2, 10, QLatin1Char('0'));
        const QString mark = time.hour() < 12 ? locale.amText : locale.pmText;
        if (!mark.isEmpty())
            clock += u' ' + mark;
    }
    return QStringLiteral("Created: ") + locale.formatShortDate(now.date()) + u' ' + clock;
}

} // namespace wl
