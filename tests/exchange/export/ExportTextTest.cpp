#include "ExportTestSupport.h"

#include "exchange/export/ExportError.h"
#include "exchange/export/ExportLocaleFormats.h"
#include "exchange/export/ExportText.h"
#include "grid/CodePage1252.h"

namespace wl {
namespace {

TEST(ExportTextTest, FitToWidthCutsPadsAndAlignsNumbers)
{
    struct Case
    {
        const char* text;
        int width;
        const char* symbol;
        bool align;
        const char* locale;
        const char* expected;
    };
    const Case cases[] = {
        {"Frequency", 6, "-", false, "en_US", "Frequ-"},
        {"Frequency", 6, "---...", false, "en_US", "Freque"}, // symbol as long as the width
        {"12.5", 6, "-", true, "en_US", "  12.5"},
        {"12.5", 6, "-", false, "en_US", "12.5  "},
        {"12.5", 6, "-", true, "de_DE", "12.5  "}, // not a number under a decimal comma
        {"12,5", 6, "-", true, "de_DE", "  12,5"},
        {"a\tb\r\nc", 5, "-", false, "en_US", "a b c"}, // words never run together
        {"123456", 4, "-", true, "en_US", "123-"},
    };
    for (const Case& c : cases) {
        const LocaleInfo locale = LocaleInfo::fromName(QString::fromLatin1(c.locale));
        EXPECT_EQ(ExportText::FitToWidth(QString::fromLatin1(c.text), c.width, c.align,
                                         QString::fromLatin1(c.symbol), locale),
                  QString::fromLatin1(c.expected))
            << c.text << " " << c.width;
    }
}

TEST(ExportTextTest, NumberTextFollowsTheDecimalSeparator)
{
    const LocaleInfo dot = LocaleInfo::fromName(QStringLiteral("en_US"));
    const LocaleInfo comma = LocaleInfo::fromName(QStringLiteral("de_DE"));
    struct Case
    {
        const char* text;
        bool underDot;
        bool underComma;
    };
    const Case cases[] = {
        {"146.52", true, false},   {"146,52", false, true}, {"  -1.5e3", true, false},
        {"+7", true, true},        {"12a", false, false},   {"", false, false},
        {"1e999", false, false},   {"inf", false, false},   {"1 000", false, false},
        {"5.", true, false},       {"\t5", false, false},   {".5", true, false},
        {",5", false, true},       {".", false, false},     {"-", false, false},
        {"1e", false, false},      {"1e+", false, false},   {"2E-3", true, true},
        {"1.2.3", false, false},   {"1,2,3", false, false}, {"5 ", false, false},
        {"1.5e2.5", false, false},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromLatin1(c.text);
        EXPECT_EQ(ExportText::IsNumberText(text, dot), c.underDot) << c.text;
        EXPECT_EQ(ExportText::IsNumberText(text, comma), c.underComma) << c.text;
    }
    EXPECT_EQ(ExportText::ToDotDecimal(QStringLiteral("146,52"), comma), QStringLiteral("146.52"));
}

TEST(ExportTextTest, ControlCharactersAreDroppedTranslatedOrFlattened)
{
    const QString text = QStringLiteral("a\tb\r\nc\nd\x01");
    EXPECT_EQ(ExportText::StripControlChars(text), QStringLiteral("abcd"));
    EXPECT_EQ(ExportText::TranslateBreaks(text, QStringLiteral("<T>"), QStringLiteral("<B>")),
              QStringLiteral("a<T>b<B>c<B>d"));
    EXPECT_EQ(ExportText::FlattenBreaks(text), QStringLiteral("a b c d"));
    EXPECT_EQ(ExportText::EscapeChar(QStringLiteral("a;b;"), u';', QStringLiteral("\\")),
              QStringLiteral("a\\;b\\;"));
}

TEST(ExportTextTest, FooterPlaceholdersTakeTheItemCount)
{
    struct Case
    {
        const char* format;
        const char* expected;
    };
    const Case cases[] = {
        {"%.0f items", "12 items"},
        {"%5.1f|%d|%s|%%", " 12.0|12|12|%"},
        {"100% sure, %x %", "100% sure, %x %"}, // not placeholders: left alone
        {"no count", "no count"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExportText::FormatCount(QString::fromLatin1(c.format), 12.0),
                  QString::fromLatin1(c.expected))
            << c.format;
}

TEST(ExportTextTest, LocaleFormatTexts)
{
    LocaleInfo us;
    EXPECT_EQ(ExportLocaleFormats::CurrencyFormatText(us),
              QStringLiteral(R"("$"#,##0.00_);[Red]\("$"#,##0.00\))"));
    us.positiveCurrencyFormat = 3;
    us.negativeCurrencyFormat = 8;
    us.currencySymbol = QStringLiteral("EUR");
    us.currencyDecimals = 0;
    EXPECT_EQ(ExportLocaleFormats::CurrencyFormatText(us),
              QStringLiteral(R"(#,##0." EUR"_);[Red]\-#,##0." EUR")"));
    us.negativeCurrencyFormat = 16; // unknown code: that part stays empty
    EXPECT_EQ(ExportLocaleFormats::CurrencyFormatText(us),
              QStringLiteral(R"(#,##0." EUR"_);[Red])"));

    LocaleInfo locale;
    EXPECT_EQ(ExportLocaleFormats::TimeFormatText({}, locale), QStringLiteral("h:mm\\ AM/PM"));
    EXPECT_EQ(ExportLocaleFormats::TimeFormatText(TimeDisplaySeconds | Time24HourFormat, locale),
              QStringLiteral("h:mm:ss"));
    locale.amText.clear();
    EXPECT_EQ(ExportLocaleFormats::TimeFormatText(TimeDisplaySeconds, locale),
              QStringLiteral("h:mm:ss"));
    locale.shortDateFormat = QStringLiteral("dd.MM.yyyy");
    locale.dateSeparator = u'.';
    EXPECT_EQ(ExportLocaleFormats::DateFormatText(locale), QStringLiteral("dd.mm.yyyy"));

    const QDateTime morning(QDate(2026, 5, 3), QTime(0, 5, 9));
    EXPECT_EQ(ExportLocaleFormats::TimeStampText(morning, LocaleInfo()),
              QStringLiteral("Created: 5/3/26 12:05:09 AM"));
}

TEST(ExportTextTest, SingleByteTextUsesTheLatinCodePage)
{
    EXPECT_EQ(CodePage1252::encode(QStringLiteral("A\u00e9\u20ac\u2019\u4e2d\U0001F600")),
              QByteArray("A\xe9\x80\x92??"));
    // Reading gives every byte a character; the unassigned ones stay the C1 controls.
    EXPECT_EQ(CodePage1252::decode(QByteArray("A\xe9\x80\x92\x81\x9f")),
              QStringLiteral("A\u00e9\u20ac\u2019\u0081\u0178"));
}

TEST(ExportTextTest, ColumnWidthsMustBePositiveWholeNumbers)
{
    test::RecordingHost* host = nullptr;
    test::TableExport exporter(host);
    exporter.SetColWidths(
        {QStringLiteral(" 5 "), QString(), QStringLiteral("7"), QStringLiteral("  ")});
    const QStringList widths{QStringLiteral("5"), QString(), QStringLiteral("7")};
    EXPECT_EQ(exporter.ColWidths(), widths);
    for (const char* bad : {"0", "-3", "2.5", "x"}) {
        try {
            exporter.SetColWidths({QString::fromLatin1(bad)});
            ADD_FAILURE() << bad;
        } catch (const ExportError& e) {
            EXPECT_EQ(e.text(), QStringLiteral("ColWidths Property Error\r\n\r\n\"%1\" is an "
                                               "Invalid Column Width. It must be a Positive "
                                               "Integer Number greater than Zero.")
                                    .arg(QString::fromLatin1(bad)));
        }
    }
    EXPECT_EQ(exporter.ColWidths(), widths); // a refused list changes nothing
    exporter.SetTruncateSymbol(QStringLiteral("  >>  "));
    EXPECT_EQ(exporter.TruncateSymbol(), QStringLiteral(">>"));
    exporter.SetTitle(QStringLiteral("A\tB\nC"));
    EXPECT_EQ(exporter.Title(), QStringLiteral("ABC"));
}

} // namespace
} // namespace wl
