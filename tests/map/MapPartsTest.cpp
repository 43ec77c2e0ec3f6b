// The map window's parts on their own: label texts, the rotation step, the bearing and
// distance text, the home position, the view history file and the stored settings.
#include "MapTestSupport.h"

#include "globe/AngleText.h"
#include "globe/Geodesy.h"
#include "grid/LocaleInfo.h"
#include "map/MapMeasure.h"
#include "map/MapSettings.h"
#include "map/RecordPlotter.h"
#include "map/ViewHistory.h"

#include <QTemporaryDir>

namespace wl {
namespace {

LLPoint at(double latDeg, double lonEastDeg)
{
    return makeLLPoint(degToGU(lonEastDeg), degToGU(latDeg));
}

TEST(RecordPlotter, LabelTexts)
{
    const LocaleInfo us;
    const LocaleInfo de = LocaleInfo::fromName(QStringLiteral("de_DE"));
    struct Case
    {
        QVariant field;
        double mhz;
        bool showFrequency;
        const LocaleInfo& locale;
        const char* expected;
    } cases[] = {
        {QStringLiteral("W1AW"), 146.52, true, us, "W1AW 146.5200"},
        {QStringLiteral(""), 146.52, true, us, "  146.5200"},     // empty field: two blanks
        {QVariant(), 0.53, true, us, "  .5300"},                  // no leading zero below 1
        {QStringLiteral("  K2X  "), 7.1, true, us, "K2X 7.1000"}, // trimmed
        {QStringLiteral("  K2X  "), 7.1, false, us, "K2X"},
        {QStringLiteral("   "), 7.1, false, us, " "},               // never empty
        {QStringLiteral("DL1"), 0.53, true, de, "DL1 ,5300"},       // the locale's separator
        {QStringLiteral("DL1"), 1234.5, true, de, "DL1 1234,5000"}, // no group separators
    };
    for (const Case& c : cases)
        EXPECT_EQ(RecordPlotter::labelText(c.field, c.mhz, c.showFrequency, c.locale),
                  QString::fromUtf8(c.expected))
            << c.expected;
}

TEST(RecordPlotter, LabelFieldCodes)
{
    EXPECT_EQ(RecordPlotter::fieldName(1), QStringLiteral("Callsign"));
    EXPECT_EQ(RecordPlotter::fieldName(2), QStringLiteral("User"));
    EXPECT_EQ(RecordPlotter::fieldName(3), QStringLiteral("Location"));
    EXPECT_EQ(RecordPlotter::fieldName(4), QStringLiteral("Optional"));
    EXPECT_TRUE(RecordPlotter::fieldName(0).isEmpty());
    EXPECT_TRUE(RecordPlotter::fieldName(5).isEmpty());
}

TEST(TFormMap, RotationStepFollowsTheScale)
{
    // Scale in pixels per GU; the table is keyed by Trunc(scale x 100,000,000).
    struct Case
    {
        double v;
        int step;
    } cases[] = {{-5, 1},    {0, 1},     {0.5, 1},   {1.5, 10},  {99.5, 10},
                 {100.5, 5}, {149.5, 5}, {150.5, 4}, {249.5, 4}, {250.5, 3},
                 {349.5, 3}, {350.5, 2}, {449.5, 2}, {450.5, 1}, {5000, 1}};
    for (const Case& c : cases)
        EXPECT_EQ(TFormMap::rotationStep(c.v / 100000000.0L), c.step) << c.v;
}

TEST(MapMeasure, HeadingIsClockwiseFromNorthInThreeDigits)
{
    const LocaleInfo us;
    const LLPoint home = at(0, 0);
    struct Case
    {
        LLPoint point;
        const char* heading;
    } cases[] = {
        {at(10, 0), "000"},        // due north
        {at(10, -0.07053), "000"}, // 359.6 degrees rounds up to north
        {at(10, -0.1058), "359"},  // 359.4: still 359
        {at(10, 1.2405), "007"},   // 7 degrees
        {at(0, 10), "090"},        {at(-10, 0), "180"}, {at(0, -10), "270"},
    };
    for (const Case& c : cases) {
        const QString text = MapMeasure::bearingText(home, c.point, 0, QStringLiteral("Home"), us);
        EXPECT_TRUE(
            text.startsWith(QString::fromLatin1(c.heading) + QChar(0x00BA) + QStringLiteral(" / ")))
            << text.toStdString() << " expected " << c.heading;
    }
}

TEST(MapMeasure, DistanceUnits)
{
    const LocaleInfo us;
    const LLPoint a = at(0, 0), b = at(1, 0); // one degree: sixty arc minutes
    EXPECT_EQ(MapMeasure::bearingText(a, b, 1, QStringLiteral("Ruzo Vudi"), us),
              QString::fromUtf8("000\u00BA / 60.0 nautical miles from Ruzo Vudi"));
    EXPECT_EQ(MapMeasure::bearingText(a, b, 2, QStringLiteral("Ruzo Vudi"), us),
              QString::fromUtf8("000\u00BA / 111.1 kilometers from Ruzo Vudi"));
    EXPECT_EQ(MapMeasure::bearingText(a, b, 0, QStringLiteral("Ruzo Vudi"), us),
              QString::fromUtf8("000\u00BA / 69.1 miles from Ruzo Vudi"));

    // A nautical mile is an arc minute and a kilometre 1/1.852 of it, over any distance.
    const LLPoint c = at(47.3, -122.1), d = at(-33.9, 151.2);
    const double nm = MapMeasure::distance(c, d, 1);
    EXPECT_NEAR(nm, llDistance(c, d) / 90000.0, 1e-9);
    EXPECT_NEAR(MapMeasure::distance(c, d, 2), nm * 1.852, nm * 1e-9);

    // Home itself.
    LLPoint home;
    ASSERT_TRUE(MapMeasure::homePoint(QStringLiteral("27.2"), QStringLiteral("80.27"), us, home));
    EXPECT_TRUE(MapMeasure::bearingText(home, home, 0, QStringLiteral("Ruzo Vudi"), us)
                    .endsWith(QStringLiteral(" / 0.0 miles from Ruzo Vudi")));
}

TEST(MapMeasure, PositionTextHasDegreesMinutesAndHemispheres)
{
    const QString text = MapMeasure::positionText(at(27.2, -80.27));
    EXPECT_EQ(text, QString::fromUtf8("27\u00BA 12' N   80\u00BA 16' W "));
}

TEST(MapMeasure, HomeTextsMustBeNumbersInTheLocale)
{
    const LocaleInfo us;
    const LocaleInfo de = LocaleInfo::fromName(QStringLiteral("de_DE"));
    LLPoint p;
    ASSERT_TRUE(MapMeasure::homePoint(QStringLiteral("27,2"), QStringLiteral("80,27"), de, p));
    EXPECT_EQ(p.lat, degToGU(27.2f));
    EXPECT_EQ(p.lon, degToGU(-80.27f)); // West positive in the texts, East positive inside
    for (const char* bad : {"", "abc", "27,2", "95"})
        EXPECT_FALSE(
            MapMeasure::homePoint(QString::fromLatin1(bad), QStringLiteral("80.27"), us, p))
            << bad;
    EXPECT_FALSE(MapMeasure::homePoint(QStringLiteral("27.2"), QStringLiteral("181"), us, p));
}

class ViewHistoryTest : public ::testing::Test
{
protected:
    static GlobeView view(std::int32_t xRotation, long double scale = 0.000002L)
    {
        GlobeView v;
        v.scale = scale;
        v.cx = 400;
        v.cy = 300;
        v.xRotation = xRotation;
        v.yRotation = -90 * 5400000;
        v.yRotationAgain = v.yRotation;
        return v;
    }
    qint64 fileSize() const { return QFileInfo(history.path()).size(); }

    QTemporaryDir dir;
    ViewHistory history{dir.path() + QStringLiteral("/view.dt")};
};

TEST_F(ViewHistoryTest, BackOnlyAfterTwoDifferentViews)
{
    history.reset();
    ASSERT_TRUE(history.recordRender(view(1)));
    ASSERT_TRUE(history.recordRender(view(1, 0.000002L * (1 + 1e-12L)))); // same as a float
    EXPECT_EQ(history.count(), 1);
    EXPECT_FALSE(history.canGoBack());
    EXPECT_EQ(fileSize(), 32);

    ASSERT_TRUE(history.recordRender(view(2)));
    EXPECT_EQ(history.count(), 2);
    EXPECT_EQ(history.position(), 2);
    EXPECT_TRUE(history.canGoBack());
    EXPECT_FALSE(history.canGoForward());
    EXPECT_EQ(fileSize(), 64);
}

TEST_F(ViewHistoryTest, NavigationIsNotRecordedAndANewViewEndsForward)
{
    history.reset();
    for (int x : {1, 2, 3})
        ASSERT_TRUE(history.recordRender(view(x)));

    const std::optional<GlobeView> back = history.back();
    ASSERT_TRUE(back);
    EXPECT_EQ(back->xRotation, 2);
    EXPECT_TRUE(history.canGoForward());
    // The render that shows the page is not recorded...
    ASSERT_TRUE(history.recordRender(*back));
    EXPECT_EQ(history.count(), 3);
    EXPECT_EQ(history.position(), 2);

    EXPECT_EQ(history.back()->xRotation, 1);
    EXPECT_FALSE(history.canGoBack());
    ASSERT_TRUE(history.recordRender(view(1)));
    EXPECT_EQ(history.forward()->xRotation, 2);
    ASSERT_TRUE(history.recordRender(view(2)));
    EXPECT_TRUE(history.canGoForward());

    // ...but the next ordinary one compares with the last record and appends.
    ASSERT_TRUE(history.recordRender(view(2)));
    EXPECT_EQ(history.count(), 4);
    EXPECT_EQ(history.position(), 4);
    EXPECT_FALSE(history.canGoForward());
    EXPECT_TRUE(history.canGoBack());
}

TEST_F(ViewHistoryTest, ABrokenTailIsNotReadAsARecordAndNotKept)
{
    history.reset();
    ASSERT_TRUE(history.recordRender(view(7)));
    QFile file(history.path());
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(QByteArray(8, '\xFF')); // a record cut short
    file.close();

    // The last whole record is the one compared with: the same view is not appended.
    ASSERT_TRUE(history.recordRender(view(7)));
    EXPECT_EQ(history.count(), 1);
    // A new view lands on a record boundary, so every record reads back whole.
    ASSERT_TRUE(history.recordRender(view(8)));
    EXPECT_EQ(fileSize(), 64);
    EXPECT_EQ(history.back()->xRotation, 7);
    history.recordRender(view(7));
    EXPECT_EQ(history.forward()->xRotation, 8);
}

TEST_F(ViewHistoryTest, AFileThatCannotBeWrittenIsReported)
{
    ViewHistory lost(dir.path() + QStringLiteral("/missing/view.dt"));
    lost.reset();
    EXPECT_FALSE(lost.recordRender(view(1)));
    EXPECT_FALSE(lost.errorString().isEmpty());
    EXPECT_EQ(lost.count(), 0);
}

TEST_F(ViewHistoryTest, PagesWithoutAFileShowNothing)
{
    history.reset();
    history.recordRender(view(1));
    history.recordRender(view(2));
    QFile::remove(history.path());
    EXPECT_FALSE(history.back().has_value());
}

class MapSettingsTest : public ::testing::Test
{
protected:
    void SetUp() override { test::ensureApplication(); }
    QTemporaryDir dir;
    QString file() const { return dir.path() + QStringLiteral("/s.ini"); }
};

TEST_F(MapSettingsTest, MissingOrUnreadableValuesTakeTheirDefaults)
{
    Registry registry(file());
    MapSettings s = MapSettings::read(registry);
    EXPECT_EQ(s.homeName, QStringLiteral("Ruzo Vudi"));
    EXPECT_EQ(s.homeLat, MapSettings::defaultHomeLat());
    EXPECT_TRUE(s.shadow);
    EXPECT_TRUE(s.autoCenter);
    EXPECT_TRUE(s.freq);
    EXPECT_EQ(s.knots, 0);
    EXPECT_EQ(s.fieldDisplay, 1);
    EXPECT_EQ(s.font.name, QStringLiteral("Arial"));
    EXPECT_EQ(s.font.size, 11);
    EXPECT_EQ(s.font.style, 1);
    EXPECT_FALSE(registry.keyExists(QStringLiteral("\\Software\\Brevant\\Wavelark\\4.3")));

    registry.openKey(QStringLiteral("\\Software\\Brevant\\Wavelark\\4.3"), true);
    registry.writeString(QStringLiteral("Knots"), QStringLiteral("two"));
    registry.writeString(QStringLiteral("Font Size"), QStringLiteral(""));
    registry.closeKey();
    s = MapSettings::read(registry);
    EXPECT_EQ(s.knots, 0);
    EXPECT_EQ(s.font.size, 11);

    // The view defaults come from the screen; the two CtrY defaults agree only on 4:3.
    EXPECT_EQ(StoredView::lastViewDefaults({1280, 1024}).ctrY, 376);
    EXPECT_EQ(StoredView::userViewDefaults({1280, 1024}).ctrY, 401);
    EXPECT_EQ(StoredView::lastViewDefaults({1024, 768}).ctrY,
              StoredView::userViewDefaults({1024, 768}).ctrY);
    EXPECT_EQ(StoredView::lastViewDefaults({1280, 1024}).scale, 200);
}

} // namespace
} // namespace wl
