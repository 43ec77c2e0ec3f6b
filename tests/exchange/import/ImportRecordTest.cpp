#include "exchange/import/ImportRecordBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace wl {
namespace {

const QDate Today(2004, 11, 22);

ImportBatch build(const std::vector<QStringList>& rows, double multiplier = 1,
                  const LocaleInfo& locale = LocaleInfo())
{
    return ImportRecordBuilder(locale, multiplier, Today).build(rows, 1);
}

TEST(ImportRecordTest, EachColumnGoesToItsField)
{
    const ImportBatch batch =
        build({{"146.52", "ABC", "K1ABC", "Smith", "Boston", "net", "11/22/2004 3:07 PM", "a note"},
               {"7.1", "", "W1AW", "", "", "", "12/31/99", ""}});
    ASSERT_TRUE(batch.problems.isEmpty()) << batch.problems.join(u'\n').toStdString();
    ASSERT_EQ(batch.records.size(), 2u);
    const ImportRecord& a = batch.records[0];
    EXPECT_EQ(a.row, 1);
    EXPECT_DOUBLE_EQ(a.hz, 146.52);
    EXPECT_EQ(a.modifier, "A");
    EXPECT_EQ(QStringList({a.callsign, a.user, a.location, a.special, a.notes}),
              QStringList({"K1ABC", "Smith", "Boston", "net", "a note"}));
    // A date with a time keeps its time.
    EXPECT_EQ(a.rDate, QDateTime(QDate(2004, 11, 22), QTime(15, 7), Qt::UTC));
    const ImportRecord& b = batch.records[1];
    EXPECT_EQ(b.row, 2);
    EXPECT_EQ(b.modifier, " ");
    EXPECT_EQ(b.rDate.date(), QDate(1999, 12, 31));
}

TEST(ImportRecordTest, DateCellsGiveTheirDateOrToday)
{
    struct Case
    {
        const char* text;
        QDateTime when;
    };
    const std::vector<Case> cases = {
        {"", QDateTime(Today, QTime(0, 0), Qt::UTC)},
        {"3/4/2001", QDateTime(QDate(2001, 3, 4), QTime(0, 0), Qt::UTC)},
        {"3/4/2001 13:30", QDateTime(QDate(2001, 3, 4), QTime(13, 30), Qt::UTC)},
        // A time alone belongs to today, not to the table's zero date.
        {"9:15 PM", QDateTime(Today, QTime(21, 15), Qt::UTC)},
    };
    for (const Case& c : cases) {
        const ImportBatch batch = build({{"1", "", "", "", "", "", c.text, ""}});
        ASSERT_EQ(batch.records.size(), 1u) << c.text;
        EXPECT_EQ(batch.records[0].rDate, c.when) << c.text;
    }
}

TEST(ImportRecordTest, MultiplierTurnsKilohertzIntoMegahertz)
{
    // The product is the stored double of the megahertz text, without binary noise.
    const ImportBatch batch = build(
        {{"146520", "", "", "", "", "", "", ""}, {"7100", "", "", "", "", "", "", ""}}, 0.001);
    ASSERT_EQ(batch.records.size(), 2u);
    EXPECT_EQ(batch.records[0].hz, 146.52);
    EXPECT_EQ(batch.records[1].hz, 7.1);

    const LocaleInfo us;
    const LocaleInfo german = LocaleInfo::fromName(QStringLiteral("de_DE"));
    EXPECT_EQ(ImportRecordBuilder::readMultiplier("0.001", us), 0.001);
    EXPECT_EQ(ImportRecordBuilder::readMultiplier(" 1 ", us), 1.0);
    EXPECT_EQ(ImportRecordBuilder::readMultiplier("0,001", german), 0.001);
    // Nothing, zero or a negative number would store every frequency wrongly.
    for (const char* bad : {"", "abc", "0", "-1", "1,000", "inf"})
        EXPECT_FALSE(ImportRecordBuilder::readMultiplier(bad, us)) << bad;
}

TEST(ImportRecordTest, FaultyRowsAreNamedAndBlankRowsSkipped)
{
    const ImportBatch batch = build(
        {
            {"146.52", "", "good", "", "", "", "", ""},
            {"abc", "", "header line", "", "", "", "Date", ""},
            {"", "", "", "", "", "", "", ""},
            {"", "", "no frequency", "", "", "", "", ""},
            {"7.1", "", "", "", "", "", "31/12/2004", ""},
            {"1e308", "", "", "", "", "", "", ""},
            {" ", " ", "", "", "", "", "", " "},
        },
        10);
    EXPECT_EQ(batch.problems,
              QStringList({"Row 2: the frequency \"abc\" is not a number.",
                           "Row 2: \"Date\" is not a date.", "Row 4: the frequency is missing.",
                           "Row 5: \"31/12/2004\" is not a date.",
                           "Row 6: the frequency \"1e308\" is too large."}));
    ASSERT_EQ(batch.records.size(), 1u);
    EXPECT_EQ(batch.records[0].callsign, "good");
    EXPECT_EQ(batch.blankRows, 2);
}

// A refused cell may be a whole line of a damaged file: the message quotes its beginning only.
TEST(ImportRecordTest, RefusalsQuoteOnlyTheStartOfALongCell)
{
    const QString huge = QStringLiteral("x").repeated(500000);
    const QString radios = "a" + QStringLiteral("\U0001F4FB").repeated(100);
    const ImportBatch batch = build({{huge, "", "", "", "", "", radios, ""}});
    ASSERT_EQ(batch.problems.size(), 2);
    EXPECT_EQ(batch.problems[0], "Row 1: the frequency \"" + QString(40, u'x') + QChar(0x2026) +
                                     "\" is not a number.");
    // 40 units would end inside the twentieth radio: the quote stops before it.
    EXPECT_EQ(batch.problems[1], "Row 1: \"a" + QStringLiteral("\U0001F4FB").repeated(19) +
                                     QChar(0x2026) + "\" is not a date.");
}

TEST(ImportRecordTest, ShortRowsReadAsEmptyCells)
{
    const ImportBatch batch = build({{"146.52", "+", "K1ABC"}});
    ASSERT_EQ(batch.records.size(), 1u);
    EXPECT_EQ(batch.records[0].callsign, "K1ABC");
    EXPECT_EQ(batch.records[0].notes, "");
    EXPECT_EQ(batch.records[0].rDate.date(), Today);
}

} // namespace
} // namespace wl
