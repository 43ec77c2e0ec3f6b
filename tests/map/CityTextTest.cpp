// The city texts and the order of a city layer: coordinate texts both ways, titles in the
// single-byte code page cut by characters, and the byte-wise sort that keeps each city whole.
#include "CityTestSupport.h"

#include "globe/GlobeFont.h"
#include "globe/GlobeText.h"
#include "map/CityLayer.h"
#include "map/CityText.h"

namespace wl::test {
namespace {

constexpr std::int32_t Minute = 90000;
constexpr std::int32_t Degree = 5400000;

TEST(CityText, CoordinatesReadBackAsShown)
{
    struct Case
    {
        std::int32_t gu;
        bool latitude;
        const char* text;
    };
    const Case cases[] = {
        {27 * Degree + 12 * Minute, true, "27 12 N"},
        {-(33 * Degree + 55 * Minute), true, "33 55 S"},
        {-30 * Minute, true, "0 30 S"},
        {2 * Degree + 20 * Minute, false, "2 20 E"},
        {-(80 * Degree + 16 * Minute), false, "80 16 W"},
        {-(179 * Degree + 59 * Minute), false, "179 59 W"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const QString shown =
            c.latitude ? CityText::latitudeText(c.gu) : CityText::longitudeText(c.gu);
        EXPECT_EQ(shown, QString::fromLatin1(c.text));
        EXPECT_EQ(c.latitude ? CityText::readLatitude(shown) : CityText::readLongitude(shown),
                  c.gu);
    }
    // Seconds are not shown, so they do not come back.
    EXPECT_EQ(CityText::latitudeText(10 * Degree + 5 * Minute + 1500 * 30), "10 05 N");
}

TEST(CityText, TitlesAreSingleByteAndCutAtSixtyFourCharacters)
{
    struct Case
    {
        QString typed;
        QByteArray stored;
    };
    const Case cases[] = {
        {QStringLiteral("Zürich"), QByteArray("Z\xFCrich")},
        {QStringLiteral("Łódź"), QByteArray("L\xF3"
                                            "dz")},
        {QStringLiteral("Ha Nội"), QByteArray("Ha Noi")},
        {QStringLiteral("東京"), QByteArray("??")},
        // A UTF-8 cut at 64 bytes would keep 32 of these and could split the last one.
        {QString(70, QChar(0xE9)), QByteArray(64, '\xE9')},
        {QString(70, u'a'), QByteArray(64, 'a')},
        {QString(63, u'a') + QStringLiteral("Œx"), QByteArray(63, 'a') + "O"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        const std::string bytes = CityText::titleBytes(c.typed);
        EXPECT_EQ(QByteArray::fromStdString(bytes), c.stored);
        EXPECT_EQ(CityText::titleText(bytes), QString::fromLatin1(c.stored));
    }
}

class CityLayerTest : public ::testing::Test
{
protected:
    void SetUp() override { globe.resize(400, 300); }
    Application application;
    GlobeControl globe;
    GlobeLayer& layer = globe.addLayer("cities");
};

TEST_F(CityLayerTest, SortsByBytesAndKeepsEachCityWhole)
{
    for (const City& c : std::vector<City>{{"abc", 1, 1},
                                           {"Zurich", 47.37, 8.54},
                                           {"\xC4rhus", 56.15, 10.2},
                                           {"Zurich", -10, -20},
                                           {"Aachen", 50.78, 6.08},
                                           {"'Abasan", 31.32, 34.35},
                                           {"Abasan", 31.3, 34.3}})
        GlobePointText::create(layer, degToGU(c.lat), degToGU(c.lon), c.title);
    // A city with a font of its own keeps it: the sort must not give every city the
    // control's current font.
    globe.fontData = FontData{"Courier", FontBold, 0, 20, GlobeUnits::Pixel, 255};
    GlobePointText& styled = GlobePointText::create(layer, degToGU(1), degToGU(2), "Bergen");
    styled.objectID = 77;
    globe.fontData = FontData{};

    CityLayer::sortByTitle(layer);

    // Leading punctuation is passed over: "'Abasan" stands with the A's, just before its plain
    // twin.
    EXPECT_EQ(titlesOf(layer), (QStringList{"Aachen", "'Abasan", "Abasan", "Bergen", "Zurich",
                                            "Zurich", "abc", QString::fromLatin1("\xC4rhus")}));
    EXPECT_EQ(layer.object(4)->location().lat, degToGU(47.37)); // equal titles keep their order
    EXPECT_EQ(layer.object(5)->location().lon, degToGU(-20));
    auto* bergen = dynamic_cast<GlobePointText*>(layer.object(3));
    ASSERT_TRUE(bergen && bergen->font);
    EXPECT_EQ(bergen->font->face, "Courier");
    EXPECT_EQ(bergen->font->size, 20);
    EXPECT_EQ(bergen->font->color, 255);
    EXPECT_EQ(bergen->objectID, 77);
}

TEST_F(CityLayerTest, SortsOtherObjectsInPlace)
{
    GlobePointText::create(layer, 0, 0, "b");
    GlobeText& text = GlobeText::create(layer, 0, 0, "a");
    GlobePointText::create(layer, 0, 0, "C");
    CityLayer::sortByTitle(layer);
    EXPECT_EQ(titlesOf(layer), (QStringList{"C", "a", "b"}));
    EXPECT_EQ(layer.object(1), &text);
}

} // namespace
} // namespace wl::test
