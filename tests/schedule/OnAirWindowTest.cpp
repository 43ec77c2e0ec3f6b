// The On Air window over a main window: the list for a frequency and moment, the band strip
// with the user's own records, the selected record's frequency, and Log This into the log.
#include "app/AppConstants.h"
#include "app/services/Registry.h"
#include "dialogs/DialogTestSupport.h"
#include "dialogs/RadioCommands.h"
#include "dialogs/TFormNew.h"
#include "globe/GlobeEngine.h"
#include "globe/GlobeLayer.h"
#include "globe/GlobePointText.h"
#include "globe/GlobePolyLine.h"
#include "grid/LocaleInfo.h"
#include "map/MapMeasure.h"
#include "map/OnAirSites.h"
#include "rig/RigControl.h"
#include "rig/RigTestSupport.h"
#include "schedule/OnAirText.h"
#include "schedule/ScheduleFixture.h"
#include "schedule/ScheduleImport.h"
#include "schedule/ScheduleStore.h"
#include "schedule/ui/BandStrip.h"
#include "schedule/ui/ScheduleImportDialog.h"
#include "schedule/ui/TFormOnAir.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimeZone>

using namespace wl;
using namespace wl::schedule;

namespace {

class OnAirWindowTest : public wl::test::DialogTest
{
protected:
    TFormMain& openWithSchedule()
    {
        TFormMain& main = openMain();
        {
            Registry registry(main.settingsFile());
            EXPECT_TRUE(registry.openKey(app::SettingsKey, true));
            registry.writeString(QStringLiteral("Home Lat"), QStringLiteral("51.5074"));
            registry.writeString(QStringLiteral("Home Lon"), QStringLiteral("0.1278"));
        }
        ScheduleStore store;
        EXPECT_TRUE(store.open(main.settings().dataBasePath));
        const QString season = install.programFolder() + QStringLiteral("B24.txt");
        const QString sites = install.programFolder() + QStringLiteral("sites.txt");
        writeBytes(season, wl::schedule::test::SeasonBytes);
        writeBytes(sites, wl::schedule::test::SitesBytes);
        EXPECT_TRUE(ScheduleImport::schedule(store, season, BadLines::Refuse, {}, {}).ok);
        EXPECT_TRUE(ScheduleImport::sites(store, sites, BadLines::Refuse).ok);
        return main;
    }

    static QStringList stations(const TFormOnAir& window)
    {
        QStringList names;
        for (int row = 0; row < window.GridOnAir->rowCount(); ++row)
            names << window.GridOnAir->item(row, 3)->text();
        return names;
    }

    static QDateTime utc(int y, int m, int d, int h, int min)
    {
        return QDateTime(QDate(y, m, d), QTime(h, min), QTimeZone::utc());
    }
};

} // namespace

TEST_F(OnAirWindowTest, ListsTheFrequencyAtTheMomentAndShowsTheBand)
{
    TFormMain& main = openWithSchedule();
    addRecords(
        main,
        {{"Broadcast", 6.07, "CFRX"}, {"Broadcast", 6.155, "ORF"}, {"Broadcast", 9.6, "Far"}});
    auto* window = new TFormOnAir(main);
    window->show();
    window->setMoment(utc(2024, 12, 11, 21, 30)); // a Wednesday
    window->setFrequencyKhz(6070);
    EXPECT_EQ(stations(*window), (QStringList{QStringLiteral("CFRX Toronto"),
                                              QStringLiteral("R\u00e1dio Clube do Par\u00e1"),
                                              QStringLiteral("Irregular Voice")}));
    EXPECT_EQ(window->GridOnAir->item(1, 7)->text(), QStringLiteral("Bel\u00e9m, Par\u00e1"));
    EXPECT_TRUE(window->LabelStatus->text().startsWith(QStringLiteral("Season B24")));

    window->setMoment(utc(2024, 12, 15, 21, 30)); // a Sunday
    EXPECT_EQ(stations(*window).value(0), QStringLiteral("Weekend Radio"));
    // The 49 m band: what is on the air, and only the records of the band from the log.
    EXPECT_EQ(window->Strip->lowKhz(), 5900);
    EXPECT_EQ(window->Strip->onAir().size(), 5u);
    ASSERT_EQ(window->Strip->logged().size(), 2u);
    EXPECT_EQ(window->Strip->logged()[1].callsign, QStringLiteral("ORF"));
    // A frequency in another band moves the strip there.
    window->setFrequencyKhz(5005.5);
    EXPECT_EQ(window->Strip->lowKhz(), 4750);
    window->close();
}

TEST_F(OnAirWindowTest, FrequencyOfTheSelectedRecord)
{
    TFormMain& main = openWithSchedule();
    addRecords(main, {{"Broadcast", 6.065, "Para"}, {"Broadcast", 9.6, "Far"}});
    auto* window = new TFormOnAir(main);
    main.SortableGrid1->GoToCell(1, 1);
    window->BtnFromRecordClick();
    EXPECT_EQ(window->EditFrequency->text(), QStringLiteral("6065"));
    window->close();
}

TEST_F(OnAirWindowTest, LogThisStoresTheEntryWithTheSitePosition)
{
    TFormMain& main = openWithSchedule();
    auto* window = new TFormOnAir(main);
    window->setMoment(utc(2024, 12, 11, 21, 30));
    window->EditTolerance->setText(QStringLiteral("0"));
    window->setFrequencyKhz(6065);
    ASSERT_EQ(stations(*window).value(0), QStringLiteral("R\u00e1dio Clube do Par\u00e1"));

    TFormNew dialog(main);
    TFormOnAir::fillEntryDialog(dialog, window->hits().front());
    dialog.show();
    EXPECT_EQ(dialog.EditOptional->text(), QStringLiteral("P SAm"));
    EXPECT_TRUE(dialog.RadioSouth->isChecked());
    EXPECT_TRUE(dialog.RadioWest->isChecked());
    dialog.BtnSaveClick();
    ASSERT_TRUE(services.messages.shown.empty())
        << services.messages.shown.front().text.toStdString();
    dialog.BtnExitClick();
    // Belém at 1.46 S 48.5 W: 1 28 S, 48 30 W as the log keeps positions.
    EXPECT_EQ(column(main, "Callsign"),
              QStringList{QStringLiteral("R\u00e1dio Clube do Par\u00e1")});
    EXPECT_EQ(column(main, "Location"), QStringList{QStringLiteral("Bel\u00e9m, Par\u00e1")});
    EXPECT_EQ(column(main, "Hz"), QStringList{QStringLiteral("6.065")});
    EXPECT_EQ(column(main, "Position").value(0).trimmed(), QStringLiteral("1 28S 48 30W"));
    EXPECT_EQ(column(main, "RLat").value(0).left(6), QStringLiteral("-1.466"));
    EXPECT_EQ(column(main, "RLon"), QStringList{QStringLiteral("48.5")});
    window->close();
}

TEST_F(OnAirWindowTest, ImportWithMalformedLinesStoresNothingUnlessTheUserAgrees)
{
    TFormMain& main = openMain();
    const QString file = install.programFolder() + QStringLiteral("A25.txt");
    writeBytes(file, "kHz:75;Time(UTC):93;Days:59;ITU:49;Station:201;Lng:49;Target:62;"
                     "Remarks:135;P:35;Start:60;Stop:60;\n"
                     "6070;2100-2200;;CAN;Good;E;NAm;;1;;;\n"
                     "6070;2100-2200;Mo\n");
    const QString data = main.settings().dataBasePath;
    services.dialogs.openFiles = {file, file};
    services.messages.answers = {QMessageBox::No, QMessageBox::Yes, QMessageBox::Ok};
    EXPECT_FALSE(ScheduleImportDialog::run(&main, data, ScheduleImportDialog::Kind::Schedule));
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_TRUE(
        services.messages.shown[0].text.contains(QStringLiteral("line 3: 3 fields instead of 11")));
    ScheduleStore store;
    ASSERT_TRUE(store.open(data));
    EXPECT_TRUE(store.seasons().empty());

    EXPECT_TRUE(ScheduleImportDialog::run(&main, data, ScheduleImportDialog::Kind::Schedule));
    EXPECT_EQ(services.messages.texts().last(),
              QStringLiteral("1 transmissions stored as season A25.\n1 malformed lines left out."));
    EXPECT_EQ(store.entries(QStringLiteral("A25")).size(), 1u);
}

namespace {

std::vector<std::string> titlesOf(const GlobeLayer& layer, const std::string& className)
{
    std::vector<std::string> titles;
    for (int i = 0; i < layer.objectCount(); ++i)
        if (layer.object(i)->className() == className)
            titles.push_back(layer.object(i)->title());
    std::sort(titles.begin(), titles.end());
    return titles;
}

} // namespace

// The map labels each site on the air once, whether the list comes from the open On Air window
// (one frequency) or from the whole store at the moment (two stations share Toronto there),
// and draws the great circle from home to the selected entry's site.
TEST_F(OnAirWindowTest, MapPlotsEachSiteOnTheAirOnceWithThePathToTheSelectedOne)
{
    TFormMain& main = openWithSchedule();
    auto* window = new TFormOnAir(main);
    window->setMoment(utc(2024, 12, 11, 21, 30));
    window->setFrequencyKhz(6070);
    ASSERT_EQ(window->selectedHit(), 0);
    ASSERT_TRUE(window->hits().front().site);
    LLPoint home;
    ASSERT_TRUE(MapMeasure::homePoint(QStringLiteral("51.5074"), QStringLiteral("0.1278"),
                                      LocaleInfo::current(), home));

    const std::vector<OnAirHit> fromStore =
        OnAirSites::onAirAt(main.settings().dataBasePath, utc(2024, 12, 11, 21, 30), home, nullptr);
    const std::vector<std::string> sites{"Bel\xE9m, Par\xE1", "Toronto"};
    struct Case
    {
        const char* source;
        const std::vector<OnAirHit>& hits;
        int selected;
    } cases[] = {{"window", window->onAirHits(), window->selectedHit()}, {"store", fromStore, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        GlobeEngine globe;
        GlobeLayer& layer = globe.addLayer("OnAirSites");
        GlobePointText::create(layer, 0, 0, "left from before");
        EXPECT_EQ(OnAirSites::plot(globe, layer, c.hits, home, c.selected), 2);
        EXPECT_EQ(titlesOf(layer, "TGlobePointText"), sites);
        // Labels scaled with the zoom are too small to read on a whole-world map.
        EXPECT_FALSE(layer.layerFlag(GlobeLayer::FlagScaleFont));
        const auto paths = titlesOf(layer, "TGlobePolyLine");
        EXPECT_EQ(paths.size(), c.selected >= 0 ? 1u : 0u);
        for (int i = 0; i < layer.objectCount(); ++i) {
            const auto* path = dynamic_cast<const GlobePolyLine*>(layer.object(i));
            if (!path)
                continue;
            EXPECT_EQ(path->title(), "CFRX Toronto");
            const LLPoint site = OnAirLookup::pointOf(*c.hits[size_t(c.selected)].site);
            const LLPoint first = path->points[0];
            const LLPoint last = path->points[path->points.count() - 1];
            EXPECT_NEAR(first.lat, home.lat, 1000);
            EXPECT_NEAR(first.lon, home.lon, 1000);
            EXPECT_NEAR(last.lat, site.lat, 1000);
            EXPECT_NEAR(last.lon, site.lon, 1000);
            EXPECT_GT(path->points.count(), 10); // a curve, not a straight stroke
        }
    }
    window->close();
}

// With a radio connected and "Follow Radio" checked, the window looks up whatever the radio is
// tuned to; without a radio set up the box is off and says why.
TEST_F(OnAirWindowTest, FollowsTheRadiosFrequency)
{
    TFormMain& main = openWithSchedule();
    installRadioCommands(main);
    {
        auto* window = new TFormOnAir(main);
        EXPECT_FALSE(window->CheckFollowRadio->isEnabled());
        EXPECT_FALSE(window->CheckFollowRadio->toolTip().isEmpty());
        window->close();
    }
    rig::test::Rigctld daemon;
    ASSERT_TRUE(daemon.start());
    RadioCommands& radio = *RadioCommands::of(main);
    radio.apply(rig::test::networkSettings(daemon.port()));
    ASSERT_TRUE(rig::test::waitFor([&] { return radio.control().state().connected; }, 10000));

    auto* window = new TFormOnAir(main);
    window->setMoment(utc(2024, 12, 15, 21, 30)); // a Sunday
    EXPECT_TRUE(window->CheckFollowRadio->isEnabled());
    window->CheckFollowRadio->setChecked(true);
    for (const qint64 hz : {6070000LL, 6075000LL}) {
        radio.control().tune(hz, QStringLiteral("AM"));
        const QString expected = OnAirText::khzText(double(hz) / 1000, LocaleInfo::current());
        EXPECT_TRUE(
            rig::test::waitFor([&] { return window->EditFrequency->text() == expected; }, 10000))
            << window->EditFrequency->text().toStdString();
    }
    EXPECT_EQ(stations(*window).value(0), QStringLiteral("Weekend Radio"));
    window->close();
}
