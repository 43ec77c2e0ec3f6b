#include "grid/LocaleInfo.h"

#include <gtest/gtest.h>

#include <cmath>

using wl::LocaleInfo;

namespace {

struct NumberCase
{
    const char* locale;
    const char* text;
    std::optional<double> expected;
};

TEST(LocaleInfoTest, ParsesNumbersStrictly)
{
    const NumberCase cases[] = {
        {"en_US", "146.52", 146.52},
        {"en_US", " -7 ", -7.0},
        {"en_US", "+7.5e3", 7500.0},
        {"en_US", "5.", 5.0},
        {"en_US", ".5", 0.5},
        {"en_US", "1E-2", 0.01},
        {"en_US", "1,234.5", std::nullopt}, // no group separators
        {"en_US", "1.2.3", std::nullopt},
        {"en_US", "inf", std::nullopt},
        {"en_US", "nan", std::nullopt},
        {"en_US", "1e999", std::nullopt}, // out of range, not infinity
        {"en_US", "", std::nullopt},
        {"en_US", "   ", std::nullopt},
        {"en_US", ".", std::nullopt},
        {"en_US", "-", std::nullopt},
        {"en_US", "1e", std::nullopt},
        {"en_US", "0x10", std::nullopt},
        {"en_US", "12 3", std::nullopt},
        {"en_US", "\xd9\xa3", std::nullopt}, // a non-ASCII digit
        {"de_DE", "146,52", 146.52},
        {"de_DE", "146.52", std::nullopt},
        {"de_DE", "1.234,5", std::nullopt},
        {"sv_SE", "-0,25", -0.25},
    };
    for (const NumberCase& c : cases) {
        const LocaleInfo info = LocaleInfo::fromName(QString::fromLatin1(c.locale));
        const auto value = info.parseNumber(QString::fromUtf8(c.text));
        EXPECT_EQ(value.has_value(), c.expected.has_value()) << c.locale << " '" << c.text << "'";
        if (value && c.expected) {
            EXPECT_DOUBLE_EQ(*value, *c.expected) << c.locale << " '" << c.text << "'";
        }
    }
}

struct DateTimeCase
{
    const char* locale;
    const char* text;
    QDateTime expected; // invalid: must be rejected
};

QDateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

TEST(LocaleInfoTest, ParsesDateTimesInLocaleOrder)
{
    const DateTimeCase cases[] = {
        {"en_US", "11/22/2004 03:07 PM", at(2004, 11, 22, 15, 7)},
        {"en_US", "01/05/2005 09:00 AM", at(2005, 1, 5, 9, 0)},
        {"en_US", "12/31/1999 11:59 PM", at(1999, 12, 31, 23, 59)},
        {"en_US", "11/22/2004 15:07", at(2004, 11, 22, 15, 7)},
        {"en_US", "11/22/2004 15:07:09", at(2004, 11, 22, 15, 7, 9)},
        {"en_US", "11/22/2004", at(2004, 11, 22)},
        {"en_US", "12/01/2004 12:30 AM", at(2004, 12, 1, 0, 30)},
        {"en_US", "12/01/2004 12:30 pm", at(2004, 12, 1, 12, 30)},
        {"en_US", "3:07 PM", at(1899, 12, 30, 15, 7)}, // a time alone
        {"en_US", "3/15/24", at(2024, 3, 15)},
        {"en_US", "2/30/2004", {}},
        {"en_US", "13/01/2004", {}},
        {"en_US", "11/22/2004 13:07 PM", {}},
        {"en_US", "11/22/2004 24:00", {}},
        {"en_US", "11/22/2004 10:60", {}},
        {"en_US", "11/22", {}},
        {"en_US", "11/22/2004 junk", {}},
        {"en_US", "22.11.2004", {}},
        {"en_US", "10", {}},
        {"en_US", "                   ", {}},
        {"de_DE", "22.11.2004 15:07", at(2004, 11, 22, 15, 7)},
        {"de_DE", "22.11.2004 03:07 PM", at(2004, 11, 22, 15, 7)},
        {"de_DE", "11/22/2004", {}},
        {"de_DE", "3.5", {}}, // not a date: a decimal typed with a dot
        {"sv_SE", "2004-11-22 15:07", at(2004, 11, 22, 15, 7)},
        {"ko_KR", "2004.11.22 03:07 PM", at(2004, 11, 22, 15, 7)},
        {"ko_KR", "24. 3. 15.", at(2024, 3, 15)},
        {"ko_KR", "\xec\x98\xa4\xed\x9b\x84 3:07", at(1899, 12, 30, 15, 7)},
    };
    for (const DateTimeCase& c : cases) {
        const LocaleInfo info = LocaleInfo::fromName(QString::fromLatin1(c.locale));
        const auto value = info.parseDateTime(QString::fromUtf8(c.text));
        EXPECT_EQ(value.has_value(), c.expected.isValid()) << c.locale << " '" << c.text << "'";
        if (value && c.expected.isValid()) {
            EXPECT_EQ(*value, c.expected) << c.locale << " '" << c.text << "'";
        }
    }
}

TEST(LocaleInfoTest, TwoDigitYearsSlideWithToday)
{
    const LocaleInfo info = LocaleInfo::fromName(QStringLiteral("en_US"));
    const int year = QDate::currentDate().year();
    for (const int expected : {year + 10, year - 49, year + 49, year - 30}) {
        const QString text = QStringLiteral("1/2/%1").arg(expected % 100, 2, 10, QChar(u'0'));
        const auto value = info.parseDateTime(text);
        ASSERT_TRUE(value.has_value()) << text.toStdString();
        EXPECT_EQ(value->date().year(), expected) << text.toStdString();
    }
    // Three and four digits are taken as written.
    EXPECT_EQ(info.parseDate(u"1/2/0824")->year(), 824);
    EXPECT_EQ(info.parseDate(u"1/2/824")->year(), 824);
}

TEST(LocaleInfoTest, ReadsConventionsOfEachLocale)
{
    struct Expect
    {
        const char* locale;
        QChar decimal;
        QChar dateSep;
        LocaleInfo::DateOrder order;
        bool time24;
        const char* displayFormat;
    };
    const Expect cases[] = {
        {"en_US", u'.', u'/', LocaleInfo::DateOrder::MonthDayYear, false, "mm/dd/yyyy"},
        {"de_DE", u',', u'.', LocaleInfo::DateOrder::DayMonthYear, true, "dd.mm.yyyy"},
        {"sv_SE", u',', u'-', LocaleInfo::DateOrder::YearMonthDay, true, "yyyy-mm-dd"},
        {"ko_KR", u'.', u'.', LocaleInfo::DateOrder::YearMonthDay, false, "yyyy.mm.dd"},
        {"C", u'.', u'/', LocaleInfo::DateOrder::MonthDayYear, false, "mm/dd/yyyy"},
    };
    for (const Expect& c : cases) {
        const LocaleInfo info = LocaleInfo::fromName(QString::fromLatin1(c.locale));
        EXPECT_EQ(info.decimalSeparator, c.decimal) << c.locale;
        EXPECT_EQ(info.dateSeparator, c.dateSep) << c.locale;
        EXPECT_EQ(info.dateOrder, c.order) << c.locale;
        EXPECT_EQ(info.time24Hour, c.time24) << c.locale;
        EXPECT_EQ(info.DisplayDateFormat(), QString::fromLatin1(c.displayFormat)) << c.locale;
    }
    EXPECT_EQ(LocaleInfo::fromName(QStringLiteral("de_DE")).listSeparator, u';');
    EXPECT_EQ(LocaleInfo::fromName(QStringLiteral("en_US")).listSeparator, u',');
}

TEST(LocaleInfoTest, FormatsDisplayDateTimesThatParseBack)
{
    const QDateTime value = at(2004, 11, 22, 15, 7);
    const LocaleInfo us = LocaleInfo::fromName(QStringLiteral("en_US"));
    EXPECT_EQ(us.formatDisplayDateTime(value, 0), QStringLiteral("11/22/2004 03:07 PM"));
    EXPECT_EQ(us.formatDisplayDateTime(value, 1), QStringLiteral("11/22/2004 15:07"));
    EXPECT_EQ(us.formatDisplayDateTime(value, 2), QStringLiteral("11/22/2004"));
    EXPECT_EQ(LocaleInfo::fromName(QStringLiteral("de_DE")).formatDisplayDateTime(value, 1),
              QStringLiteral("22.11.2004 15:07"));
    EXPECT_EQ(us.formatDisplayDateTime(at(2004, 1, 2, 0, 5), 0),
              QStringLiteral("01/02/2004 12:05 AM"));

    // Whatever the locale, the program reads back the cells it writes.
    for (const char* name : {"en_US", "de_DE", "sv_SE", "ko_KR", "en_GB", "fr_FR", "ja_JP"}) {
        const LocaleInfo info = LocaleInfo::fromName(QString::fromLatin1(name));
        for (int option : {0, 1}) {
            for (const QDateTime& t :
                 {at(2004, 11, 22, 15, 7), at(1999, 12, 31, 0, 0), at(2026, 2, 3, 12, 59)}) {
                const QString text = info.formatDisplayDateTime(t, option);
                const auto back = info.parseDateTime(text);
                ASSERT_TRUE(back.has_value()) << name << " " << text.toStdString();
                EXPECT_EQ(*back, t) << name << " " << text.toStdString();
            }
        }
    }
}

TEST(LocaleInfoTest, FormatsNumbersWithoutGroupSeparators)
{
    const LocaleInfo us = LocaleInfo::fromName(QStringLiteral("en_US"));
    const LocaleInfo de = LocaleInfo::fromName(QStringLiteral("de_DE"));
    EXPECT_EQ(us.formatFrequency(7.0), QStringLiteral("7.0000"));
    EXPECT_EQ(us.formatFrequency(1296.5), QStringLiteral("1296.5000"));
    EXPECT_EQ(us.formatFrequency(1234567.25), QStringLiteral("1234567.2500"));
    EXPECT_EQ(us.formatFrequency(0.00004), QStringLiteral("0.0000"));
    EXPECT_EQ(de.formatFrequency(1296.5), QStringLiteral("1296,5000"));
    EXPECT_EQ(de.formatNumber(27.2), QStringLiteral("27,2"));
    EXPECT_EQ(*de.parseNumber(de.formatNumber(0.1 + 0.2)), 0.1 + 0.2);
}

TEST(LocaleInfoTest, CurrentCanBeReplaced)
{
    const LocaleInfo saved = LocaleInfo::current();
    LocaleInfo::setCurrent(LocaleInfo::fromName(QStringLiteral("de_DE")));
    EXPECT_EQ(LocaleInfo::current().decimalSeparator, u',');
    LocaleInfo::setCurrent(LocaleInfo::fromName(QStringLiteral("ko_KR")));
    EXPECT_EQ(LocaleInfo::current().dateOrder, LocaleInfo::DateOrder::YearMonthDay);
    LocaleInfo::setCurrent(saved);
}

} // namespace
