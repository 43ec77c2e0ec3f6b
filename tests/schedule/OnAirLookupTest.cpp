// What is on the air at a moment: days and times across midnight and the week's end, dates
// with and without a year, tolerance, order, and the site's distance and course from home.
#include "schedule/OnAirLookup.h"
#include "globe/Geodesy.h"
#include "schedule/QStringPrint.h"
#include "schedule/ScheduleFixture.h"
#include "schedule/ScheduleParser.h"
#include "schedule/SiteParser.h"

#include <QTimeZone>

#include <gtest/gtest.h>

using namespace wl;
using namespace wl::schedule;

namespace {

const LLPoint London = makeLLPoint(-690120, 278139960); // 51.5074N 0.1278W

OnAirLookup fixtureLookup()
{
    return OnAirLookup(ScheduleParser::parse(test::SeasonBytes).entries,
                       SiteParser::parse(test::SitesBytes).sites, London);
}

QDateTime utc(const char* text)
{
    return QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate).toUTC();
}

std::vector<std::string> stations(const std::vector<OnAirHit>& hits)
{
    std::vector<std::string> names;
    for (const OnAirHit& h : hits)
        names.push_back(h.entry.station.toStdString());
    return names;
}

struct Case
{
    const char* moment;
    double khz;
    double tolerance;
    std::vector<std::string> expected;
};

} // namespace

TEST(OnAirLookup, TableOfMomentsAndFrequencies)
{
    const OnAirLookup lookup = fixtureLookup();
    const std::string para = "R\u00e1dio Clube do Par\u00e1";
    const Case cases[] = {
        // Wednesday evening: the weekday programme, the all-day one, the irregular one last.
        {"2024-12-11T21:30:00Z", 6070, 5, {"CFRX Toronto", para, "Irregular Voice"}},
        // Sunday evening: the weekend programme instead, nearer home than Belém.
        {"2024-12-15T21:30:00Z", 6070, 5, {"Weekend Radio", para, "Irregular Voice"}},
        {"2024-12-15T21:30:00Z", 6070, 0, {"Weekend Radio", "Irregular Voice"}},
        // 2300-0100 on Sa-Mo: after midnight it belongs to the day it started on.
        {"2024-12-16T00:30:00Z", 6075, 5, {"Night Owl"}}, // started Sunday
        {"2024-12-17T00:30:00Z", 6075, 5, {"Night Owl"}}, // started Monday
        {"2024-12-11T00:30:00Z", 6075, 5, {}},            // started Tuesday
        {"2024-12-16T23:00:00Z", 6075, 5, {"Night Owl"}}, // Monday's own start
        {"2024-12-17T23:00:00Z", 6075, 5, {}},            // Tuesday
        {"2024-12-16T01:00:00Z", 6075, 5, {}},            // the stop minute is off the air
        // Day numbers 1245 with a yearly window and a one-off December.
        {"2024-12-12T21:30:00Z", 6090, 5, {"Numbered Days", "One Off"}},
        {"2024-12-11T21:30:00Z", 6090, 5, {"One Off"}},
        {"2025-01-08T21:30:00Z", 6085, 5, {"Seasonal Dates"}},
        {"2024-07-10T21:30:00Z", 6080, 5, {}},
        {"2024-11-01T21:30:00Z", 6080, 0, {"Seasonal Dates"}},
        {"2024-03-31T21:30:00Z", 6080, 0, {"Seasonal Dates"}},
        {"2024-04-01T21:30:00Z", 6080, 0, {}},
        // Decimals in the frequency, and 0000-2400 around midnight.
        {"2024-12-11T21:00:00Z", 5005.5, 0, {"Radio Nepal"}},
        {"2024-12-11T21:00:00Z", 5005, 1, {"Radio Nepal"}},
        {"2024-12-11T22:00:00Z", 5005.5, 0, {}},
        {"2024-12-11T23:59:00Z", 6065, 0, {para}},
        {"2024-12-12T00:00:00Z", 6065, 0, {para}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(stations(lookup.find(c.khz, c.tolerance, utc(c.moment))), c.expected)
            << c.moment << " at " << c.khz << " kHz";
    }
}

TEST(OnAirLookup, MomentInAnotherZoneIsTakenInUtc)
{
    const OnAirLookup lookup = fixtureLookup();
    // 22:30 in Berlin on a Wednesday is 21:30 UTC.
    const QDateTime berlin(QDate(2024, 12, 11), QTime(22, 30), QTimeZone("Europe/Berlin"));
    EXPECT_EQ(stations(lookup.find(6070, 0, berlin)),
              (std::vector<std::string>{"CFRX Toronto", "Irregular Voice"}));
}

TEST(OnAirLookup, SiteGivesPositionDistanceAndCourseFromHome)
{
    const std::vector<Site> sites{{"NYC", "New York", 40.7128, -74.0060}};
    const auto entries =
        ScheduleParser::parse("kHz:75;Time(UTC):93;Days:59;ITU:49;Station:201;Lng:49;Target:62;"
                              "Remarks:135;P:35;Start:60;Stop:60;\n"
                              "9500;0000-2400;;USA;Known;E;Eu;#nyc;1;;;\n"
                              "9500;0000-2400;;USA;Unknown;E;Eu;#XYZ;1;;;\n")
            .entries;
    const OnAirLookup lookup(entries, sites, London);
    const auto hits = lookup.find(9500, 0, utc("2024-12-11T12:00:00Z"));
    ASSERT_EQ(hits.size(), 2u);
    ASSERT_TRUE(hits[0].site && hits[0].km && hits[0].bearing);
    EXPECT_EQ(hits[0].site->name, QStringLiteral("New York")); // codes match in any case
    // The geodesy's oracle values for London to New York: 270,508,742 GU, and a course of
    // 387,019,611 GU west of north.
    EXPECT_NEAR(*hits[0].km, 270508742 * 1.852 / 90000, 0.01);
    EXPECT_NEAR(*hits[0].bearing, 360 - 387019611 / 5400000.0, 1e-4);
    // An unknown site keeps the entry, without a position.
    EXPECT_EQ(hits[1].entry.station, QStringLiteral("Unknown"));
    EXPECT_FALSE(hits[1].site);
    EXPECT_FALSE(hits[1].km);
}

TEST(OnAirLookup, BandListsEveryEntryOnAirByFrequency)
{
    const OnAirLookup lookup = fixtureLookup();
    const auto hits = lookup.band(5900, 6200, utc("2024-12-12T21:30:00Z"));
    std::vector<double> khz;
    for (const auto& h : hits)
        khz.push_back(h.entry.khz);
    EXPECT_EQ(khz, (std::vector<double>{6065, 6070, 6070, 6080, 6085, 6090}));
}
