// The home-town dialog: the coordinate texts it hands to the map, the settings and the marker,
// the rules of its boxes and its three refusals.
#include "CityTestSupport.h"

#include "app/AppConstants.h"
#include "app/services/Registry.h"
#include "globe/GlobeFont.h"
#include "globe/GlobePolyLine.h"
#include "grid/LocaleInfo.h"
#include "map/TFormHome.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>

namespace wl::test {
namespace {

class HomeDialogTest : public ::testing::Test
{
protected:
    void SetUp() override { ensureApplication(); }
    void TearDown() override { LocaleInfo::setCurrent(LocaleInfo()); }

    void fill(const char* name, const char* degLat, const char* minLat, bool south,
              const char* degLon, const char* minLon, bool east)
    {
        dialog.EditName->setText(QString::fromUtf8(name));
        dialog.setPoint(QString::fromLatin1(degLat), QString::fromLatin1(minLat), south,
                        QString::fromLatin1(degLon), QString::fromLatin1(minLon), east);
    }

    QString setting(const char* name) const
    {
        Registry registry(host.settingsFile());
        if (!registry.openKey(app::SettingsKey, false))
            return QStringLiteral("<no key>");
        return registry.readString(QString::fromLatin1(name), QStringLiteral("<missing>"));
    }

    static void key(QLineEdit* box, Qt::Key k, const QString& text)
    {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, text);
        QApplication::sendEvent(box, &press);
    }

    ServiceDoubles services;
    FakeMapHost host{{}};
    TFormHome dialog{host};
};

TEST_F(HomeDialogTest, SaveHandsTheMapItsTextsAndMovesTheMarker)
{
    struct Case
    {
        const char* degLat;
        const char* minLat;
        bool south;
        const char* degLon;
        const char* minLon;
        bool east;
        const char* locale;
        const char* lat;
        const char* lon;
    };
    const Case cases[] = {
        {"27", "12", false, "80", "", false, "en_US", "27.20", "80.00"},
        {"27", "12", true, "80", "", true, "en_US", "-27.20", "-80.00"},
        {"5", "x", false, "120", "30", false, "en_US", "5.00", "120.50"},
        {"33", "55", true, "18", "25", true, "de_DE", "-33,92", "-18,42"},
        {"90", "30", false, "180", "15", true, "en_US", "90.00", "-180.00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.lat) + " " + c.lon);
        LocaleInfo::setCurrent(LocaleInfo::fromName(QString::fromLatin1(c.locale)));
        TFormHome d(host);
        d.EditName->setText(QStringLiteral("Radi 1989"));
        d.EditMinLat->setText(QString::fromLatin1(c.minLat)); // as pasted, not typed
        d.setPoint(QString::fromLatin1(c.degLat), QString::fromLatin1(c.minLat), c.south,
                   QString::fromLatin1(c.degLon), QString::fromLatin1(c.minLon), c.east);
        d.BtnSaveClick();
        EXPECT_EQ(d.result(), QDialog::Accepted);
        EXPECT_EQ(host.homeLat, QString::fromLatin1(c.lat));
        EXPECT_EQ(host.homeLon, QString::fromLatin1(c.lon));
        EXPECT_EQ(setting("Home"), "Radi 1989");
        EXPECT_EQ(setting("Home Lat"), QString::fromLatin1(c.lat));
        EXPECT_EQ(setting("Home Lon"), QString::fromLatin1(c.lon));

        GlobeLayer& marker = *host.homeLayer;
        ASSERT_EQ(marker.objectCount(), 1); // the old marker went
        const auto* home = dynamic_cast<const GlobePointText*>(marker.object(0));
        ASSERT_TRUE(home && home->font);
        EXPECT_EQ(home->title(), "Radi 1989");
        const double lat = LocaleInfo::current().parseNumber(host.homeLat).value();
        const double lon = LocaleInfo::current().parseNumber(host.homeLon).value();
        EXPECT_EQ(home->location().lat, degToGU(lat));
        EXPECT_EQ(home->location().lon, normalizeLon(-std::int64_t{degToGU(lon)}));
        EXPECT_EQ(home->font->color, 255);
        EXPECT_EQ(home->font->size, 11);
        EXPECT_FALSE(marker.scaleFont);
    }
    EXPECT_TRUE(services.messages.shown.empty());
}

// With a profile of seven layers the marker's layer is the ninth; the seventh profile layer
// keeps its objects when the home town is saved.
TEST_F(HomeDialogTest, SaveMovesTheMarkerInItsOwnLayerWhateverItsIndex)
{
    FakeMapHost big({}, {}, 1);
    GlobeLayer& seventh = big.control.layer(6);
    LLPointList line;
    line.add(makeLLPoint(0, 0));
    line.add(makeLLPoint(GUPerDegree, GUPerDegree));
    GlobePolyLine::create(seventh, line, "river");
    TFormHome d(big);
    d.EditName->setText(QStringLiteral("Radi 1989"));
    d.setPoint(QStringLiteral("27"), QStringLiteral("12"), false, QStringLiteral("80"), {}, false);
    d.BtnSaveClick();
    EXPECT_EQ(seventh.objectCount(), 1);
    ASSERT_EQ(big.homeLayer->objectCount(), 1);
    EXPECT_EQ(big.homeLayer->object(0)->title(), "Radi 1989");
    EXPECT_EQ(big.control.layerCount(), 9);
}

TEST_F(HomeDialogTest, BoxesKeepDegreesAndMinutesInRange)
{
    struct Case
    {
        QLineEdit* degrees;
        QLineEdit* minutes;
        const char* typed;
        const char* left;
        bool minutesEnabled;
    };
    const Case cases[] = {
        {dialog.EditDegLat, dialog.EditMinLat, "95", "", true},
        {dialog.EditDegLat, dialog.EditMinLat, "90", "90", false},
        {dialog.EditDegLat, dialog.EditMinLat, "89", "89", true},
        {dialog.EditDegLon, dialog.EditMinLon, "181", "", true},
        {dialog.EditDegLon, dialog.EditMinLon, "180", "180", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        c.minutes->setText(QStringLiteral("30"));
        c.degrees->clear();
        for (QChar ch : QString::fromLatin1(c.typed))
            key(c.degrees, Qt::Key(Qt::Key_0 + ch.digitValue()), QString(ch));
        EXPECT_EQ(c.degrees->text(), QString::fromLatin1(c.left));
        EXPECT_EQ(c.minutes->isEnabled(), c.minutesEnabled);
        // Minutes of a limit would move the point past it.
        EXPECT_EQ(c.minutes->text(), c.minutesEnabled ? "30" : "");
    }
    for (QLineEdit* minutes : {dialog.EditMinLat, dialog.EditMinLon}) {
        minutes->setEnabled(true);
        minutes->clear();
        key(minutes, Qt::Key_6, QStringLiteral("6"));
        key(minutes, Qt::Key_0, QStringLiteral("0"));
        EXPECT_EQ(minutes->text(), "");
    }
}

// The dialog opens on the current home, so a small change is a small edit: 27.20 N, 80.27 W
// shows as 27 deg 12 min N and 80 deg 16 min W; an eastern or southern home picks its side.
TEST_F(HomeDialogTest, OpensWithTheCurrentHomeFilledIn)
{
    EXPECT_EQ(dialog.EditName->text(), host.home);
    EXPECT_EQ(dialog.EditDegLat->text(), QStringLiteral("27"));
    EXPECT_EQ(dialog.EditMinLat->text(), QStringLiteral("12"));
    EXPECT_TRUE(dialog.RadioButton1->isChecked()); // N
    EXPECT_EQ(dialog.EditDegLon->text(), QStringLiteral("80"));
    EXPECT_EQ(dialog.EditMinLon->text(), QStringLiteral("16"));
    EXPECT_TRUE(dialog.RadioButton3->isChecked()); // W

    host.homeLat = QStringLiteral("-33.999");
    host.homeLon = QStringLiteral("-151.5");
    TFormHome south(host);
    EXPECT_EQ(south.EditDegLat->text(), QStringLiteral("34"));
    EXPECT_EQ(south.EditMinLat->text(), QStringLiteral("0"));
    EXPECT_TRUE(south.RadioButton2->isChecked()); // S
    EXPECT_EQ(south.EditDegLon->text(), QStringLiteral("151"));
    EXPECT_EQ(south.EditMinLon->text(), QStringLiteral("30"));
    EXPECT_TRUE(south.RadioButton4->isChecked()); // E
}

TEST_F(HomeDialogTest, OnlyDigitsGetInAndBackspaceStillWorks)
{
    QLineEdit* box = dialog.EditDegLon;
    box->clear(); // it opens with the current home's degrees
    key(box, Qt::Key_1, QStringLiteral("1"));
    key(box, Qt::Key_A, QStringLiteral("a"));
    key(box, Qt::Key_Period, QStringLiteral("."));
    key(box, Qt::Key_2, QStringLiteral("2"));
    EXPECT_EQ(box->text(), "12");
    key(box, Qt::Key_Backspace, {});
    EXPECT_EQ(box->text(), "1");
    box->clear();
    box->insert(QStringLiteral("-5")); // pasted text goes through the same check
    EXPECT_EQ(box->text(), "");
}

TEST_F(HomeDialogTest, RefusesWhatCannotBeSavedAndChangesNothing)
{
    struct Case
    {
        const char* name;
        const char* degLat;
        const char* degLon;
        const char* caption;
        const char* text;
    };
    const Case cases[] = {
        {"", "27", "80", "Home name required.", "Please enter home name."},
        {"Home", "", "80", "Latitude incorrect.", "Please reenter  latitude value."},
        {"Home", "27", "", "Longitude incorrect.", "Please reenter  longitude value."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        services.messages.shown.clear();
        TFormHome d(host);
        d.EditName->setText(QString::fromLatin1(c.name));
        d.setPoint(QString::fromLatin1(c.degLat), QStringLiteral("10"), false,
                   QString::fromLatin1(c.degLon), QStringLiteral("10"), false);
        d.BtnSaveClick();
        ASSERT_EQ(services.messages.shown.size(), 1u);
        EXPECT_EQ(services.messages.shown[0].caption, c.caption);
        EXPECT_EQ(services.messages.shown[0].text, c.text);
        EXPECT_EQ(services.messages.shown[0].kind, MessageKind::Error);
        EXPECT_EQ(services.messages.shown[0].buttons, QMessageBox::Ok);
        EXPECT_NE(d.result(), QDialog::Accepted);
        EXPECT_EQ(d.EditName->text(), QString::fromLatin1(c.name)); // the input stays
        // A refused longitude must not leave the map with the new latitude.
        EXPECT_EQ(host.homeLat, "27.20");
        EXPECT_EQ(host.homeLon, "80.27");
        EXPECT_EQ(setting("Home"), "<no key>");
        EXPECT_EQ(host.homeLayer->objectCount(), 0);
    }
}

TEST_F(HomeDialogTest, PointFromTheGlobeChoosesTheHemispheres)
{
    fill("x", "33", "55", true, "18", "25", true);
    EXPECT_TRUE(dialog.RadioButton2->isChecked());
    EXPECT_TRUE(dialog.RadioButton4->isChecked());
    EXPECT_EQ(dialog.EditDegLat->text(), "33");
    EXPECT_EQ(dialog.EditMinLon->text(), "25");
    fill("x", "10", "00", false, "70", "00", false);
    EXPECT_TRUE(dialog.RadioButton1->isChecked());
    EXPECT_TRUE(dialog.RadioButton3->isChecked());
}

} // namespace
} // namespace wl::test
