// The map window on a main window with a small globe profile: plotting, settings, views and
// their history, the status line, the bearing on a press and the output commands.
#include "MapTestSupport.h"

#include "bench/support/RowMaker.h"
#include "globe/GlobeEngine.h"
#include "globe/GlobeLayer.h"
#include "map/RecordPlotter.h"

#include "globe/AngleText.h"
#include "globe/PrjModel.h"
#include "grid/LocaleInfo.h"
#include "map/CityEditor.h"
#include "map/MapCommands.h"
#include "map/MapScene.h"
#include "map/ScaleBar.h"

#include "store/PositionText.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QSlider>
#include <QTimeZone>
#include <QToolButton>

namespace wl {
namespace {

const QString Key = QStringLiteral("\\Software\\Brevant\\Wavelark\\4.3");

class MapWindowTest : public test::MapTest
{
protected:
    static void mouse(TFormMap& map, QEvent::Type type, Qt::MouseButton button, QPoint pos)
    {
        QMouseEvent e(type, QPointF(pos), map.Globe->mapToGlobal(QPointF(pos)), button,
                      type == QEvent::MouseButtonRelease || type == QEvent::MouseMove ? Qt::NoButton
                                                                                      : button,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(map.Globe, &e);
    }

    // The screen point of a position, found through the globe's own conversion.
    static QPoint pointOf(TFormMap& map, double latDeg, double lonWestDeg)
    {
        PrjModel& model = map.Globe->projection();
        EXPECT_TRUE(model.projectLL(-degToGU(lonWestDeg), degToGU(latDeg), 0));
        return QPoint(model.points()[0].x, model.points()[0].y);
    }

    static QPoint middle(TFormMap& map)
    {
        return QPoint(map.Globe->surfaceWidth() / 2, map.Globe->surfaceHeight() / 2);
    }
};

TEST_F(MapWindowTest, PlotsEveryRecordWithBothCoordinates)
{
    TFormMain& w = openMain();
    addRecords(w, {{146.52, "", "Ann", 42.5, 71.1},
                   {0.53, "WX1", "Bob", 30.25, 97.75},
                   {7.2, "EQ", "Cy", 0, 80},      // a 0 without a position text: not plotted
                   {14.2, "PM", "Di", 51.5, 0}}); // (see the test below for those with one)
    w.table().setFilter(QStringLiteral("Hz > 1"));
    w.table().setFiltered(true);

    TFormMap& map = openMap(w);
    EXPECT_EQ(titles(map.pointsLayer()),
              (QStringList{QStringLiteral("WX1 .5300"), QStringLiteral("  146.5200")}));
    // West-positive degrees from the table are East-positive inside the globe.
    const GlobeObject& wx1 = *map.pointsLayer().object(0);
    EXPECT_EQ(wx1.location().lat, degToGU(30.25));
    EXPECT_EQ(wx1.location().lon, -degToGU(97.75));
    EXPECT_EQ(titles(map.homeLayer()), QStringList{QStringLiteral("Ruzo Vudi")});
    // The main window's table keeps its own filter.
    EXPECT_EQ(w.table().filter(), QStringLiteral("Hz > 1"));
    EXPECT_TRUE(w.table().filtered());

    // Another label field, then the frequency switched off.
    map.setLabelField(2);
    EXPECT_TRUE(map.user1->isChecked());
    EXPECT_FALSE(map.call1->isChecked());
    EXPECT_EQ(titles(map.pointsLayer()),
              (QStringList{QStringLiteral("Bob .5300"), QStringLiteral("Ann 146.5200")}));
    map.Frequency1Click();
    EXPECT_EQ(titles(map.pointsLayer()),
              (QStringList{QStringLiteral("Bob"), QStringLiteral("Ann")}));
    // The captions of the field items are the user's column names.
    map.FieldDisplay1Click();
    EXPECT_EQ(map.call1->text(), w.settings().columnNames[3]);
    EXPECT_EQ(map.spec1->text(), w.settings().columnNames[6]);
}

// A record whose position text says it has a position is plotted on the equator and on the
// prime meridian; without the text, a 0 still means no position.
TEST_F(MapWindowTest, PositionsOnTheEquatorAndThePrimeMeridianArePlotted)
{
    TFormMain& w = openMain();
    store::Table& t = w.table();
    // As the entry dialog stores them: the position text beside the two numbers.
    for (const test::MapRec& r : {test::MapRec{7.2, "EQ", "", 0, 80},
                                  test::MapRec{14.2, "PM", "", 51.5, 0},
                                  test::MapRec{21.2, "NULL", "", 0, 0}}) {
        ASSERT_TRUE(t.append());
        t.setFieldValue(QStringLiteral("Category"), QStringLiteral("Ham"));
        t.setFieldValue(QStringLiteral("Hz"), r.hz);
        t.setFieldValue(QStringLiteral("Callsign"), QString::fromLatin1(r.callsign));
        t.setFieldValue(QStringLiteral("RLat"), r.lat);
        t.setFieldValue(QStringLiteral("RLon"), r.lon);
        t.setFieldValue(QStringLiteral("Position"), store::positionText(r.lat, r.lon));
        t.setFieldValue(QStringLiteral("RDate"), 38313.5);
        ASSERT_TRUE(t.post()) << t.lastError().toStdString();
    }
    addRecords(w, {{28.2, "OLD", "", 0, 12}});

    TFormMap& map = openMap(w);
    EXPECT_EQ(titles(map.pointsLayer()),
              (QStringList{QStringLiteral("EQ 7.2000"), QStringLiteral("PM 14.2000"),
                           QStringLiteral("NULL 21.2000")}));
    EXPECT_EQ(map.pointsLayer().object(0)->location().lat, 0);
    EXPECT_EQ(map.pointsLayer().object(1)->location().lon, 0);
}

// Labels are made in frequency order with each frequency's text reused for the records that
// share it: every label must still be what labelText gives for its own record, blanks trimmed,
// characters outside Latin-1 shown as '?', an empty field as one blank.
TEST_F(MapWindowTest, EveryLabelMatchesItsOwnRecord)
{
    TFormMain& w = openMain();
    addRecords(w, {{14.25, "  K1 ", nullptr, 10, 20},
                   {7.5, "\xce\xa9mega", nullptr, 11, 21},
                   {14.25, nullptr, nullptr, 12, 22},
                   {7.5, "N0", nullptr, 13, 23},
                   {0.9, "W9", nullptr, 14, 24}});
    TFormMap& map = openMap(w);
    EXPECT_EQ(titles(map.pointsLayer()),
              (QStringList{QStringLiteral("W9 .9000"), QString::fromUtf8("?mega 7.5000"),
                           QStringLiteral("N0 7.5000"), QStringLiteral("K1 14.2500"),
                           QStringLiteral("  14.2500")}));
    const LocaleInfo locale = LocaleInfo::current();
    EXPECT_EQ(
        RecordPlotter::labelText(QString::fromUtf8("\xce\xa9mega"), 7.5, true, locale).toLatin1(),
        QByteArray("?mega 7.5000"));
    EXPECT_EQ(RecordPlotter::labelText(QVariant(), 14.25, true, locale),
              QStringLiteral("  14.2500"));
}

// A large log is read in stored order and plotted in frequency order, the main window's range
// applied; a stop asked for by the progress, while reading or while plotting, leaves the layer
// as it was and the table as the main window had it.
TEST_F(MapWindowTest, PlottingFollowsTheRangeAndStopsWithNothingHalfDone)
{
    TFormMain& w = openMain();
    store::Table& t = w.table();
    bench::RowMaker maker;
    std::vector<std::vector<QVariant>> rows;
    for (int i = 1; i <= 15000; ++i)
        rows.push_back(maker.row(i));
    // Two records of one frequency, stored in this order.
    for (const char* call : {"AA1FIRST", "AA1SECOND"}) {
        std::vector<QVariant> row = maker.row(0);
        row[1] = QString::fromLatin1(call);
        row[4] = 146.0;
        row[10] = 45.0;
        row[11] = 120.0;
        rows.push_back(row);
    }
    ASSERT_TRUE(t.beginTransaction());
    ASSERT_TRUE(t.bulkAppend(rows));
    ASSERT_TRUE(t.commit());
    w.ReadAllRecords();
    ASSERT_TRUE(t.setFilter(QStringLiteral("Hz > 1")));
    ASSERT_TRUE(t.setFiltered(true));

    GlobeEngine globe;
    GlobeLayer& layer = globe.addLayer("DBPoints");
    layer.groupLabels = true;
    MapSettings settings;
    settings.fieldDisplay = 1;
    settings.freq = true;
    const RecordPlotter::Range range{100, 500};
    const RecordPlotter::Outcome all = RecordPlotter::plot(t, range, globe, layer, settings);
    ASSERT_TRUE(all.status) << all.status.error.toStdString();
    EXPECT_FALSE(all.cancelled);
    qint64 inRange = 0;
    for (const auto& row : rows) {
        const double hz = row[4].toDouble();
        inRange += hz >= 100 && hz <= 500 && row[10].toDouble() != 0 && row[11].toDouble() != 0;
    }
    ASSERT_GT(inRange, 4096);
    EXPECT_EQ(all.made, inRange);
    ASSERT_EQ(layer.objectCount(), inRange);
    const QStringList plotted = titles(layer);
    double last = 0;
    for (const QString& title : plotted) {
        const double hz = title.section(u' ', -1).toDouble();
        EXPECT_GE(hz, last) << title.toStdString();
        last = hz;
    }
    EXPECT_EQ(plotted.indexOf(QStringLiteral("AA1FIRST 146.0000")) + 1,
              plotted.indexOf(QStringLiteral("AA1SECOND 146.0000")));

    for (const bool whileReading : {true, false}) {
        SCOPED_TRACE(whileReading);
        int calls = 0;
        const RecordPlotter::Outcome stopped =
            RecordPlotter::plot(t, range, globe, layer, settings, [&](qint64 done, qint64 total) {
                ++calls;
                EXPECT_LE(done, total < 0 ? 0 : total);
                return whileReading ? total >= 0 : done < 4096;
            });
        EXPECT_TRUE(stopped.status);
        EXPECT_TRUE(stopped.cancelled);
        EXPECT_EQ(stopped.made, 0);
        EXPECT_GT(calls, 0);
        EXPECT_EQ(layer.objectCount(), inRange); // the first plot's labels, no more
    }
    // The main window's view of the table is as it was.
    EXPECT_EQ(t.filter(), QStringLiteral("Hz > 1"));
    EXPECT_TRUE(t.filtered());
    ASSERT_TRUE(t.first());
    EXPECT_GE(t.fieldValue(QStringLiteral("Hz")).toDouble(), 100);
}

TEST_F(MapWindowTest, LabelFontFromTheFontDialog)
{
    TFormMain& w = openMain();
    addRecords(w, {{146.52, "W1", "Ann", 42.5, 71.1}});
    TFormMap& map = openMap(w);
    QFont chosen(QStringLiteral("DejaVu Serif"));
    chosen.setPointSize(14);
    chosen.setItalic(true);
    chosen.setUnderline(true); // any set other than exactly bold or italic is code 4
    services.dialogs.fonts.push_back(chosen);
    services.dialogs.colors.push_back(QColor(0x11, 0x22, 0x33));
    map.Font1Click();
    EXPECT_EQ(map.mapSettings().font.name, QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(map.mapSettings().font.size, 14);
    EXPECT_EQ(map.mapSettings().font.style, 4);
    EXPECT_EQ(map.mapSettings().font.color, 0x332211);
    EXPECT_EQ(map.pointsLayer().objectCount(), 1);
    const FontData f = map.Globe->fontData;
    EXPECT_EQ(f.face, "DejaVu Serif");
    EXPECT_EQ(f.styles, FontBold | FontItalic);

    // Cancel changes nothing.
    map.Font1Click();
    EXPECT_EQ(map.mapSettings().font.size, 14);
}

TEST_F(MapWindowTest, DefaultsOnFirstOpeningAndSettingsWrittenOnClose)
{
    TFormMain& w = openMain();
    TFormMap& map = openMap(w);
    EXPECT_EQ(map.windowTitle(), QStringLiteral("Wavelark 4.4"));
    EXPECT_TRUE(map.ShowNightShadow1->isChecked());
    EXPECT_TRUE(map.AutoViewCentering1->isChecked());
    EXPECT_TRUE(map.StatuteMiles1->isChecked());
    EXPECT_TRUE(map.call1->isChecked());
    EXPECT_TRUE(map.Panel2->isHidden());
    // Centred at 40 N, 100 W.
    EXPECT_EQ(map.Globe->rotation(6), 40);
    EXPECT_EQ(map.Globe->rotation(5), -100);
    LLPoint centre;
    ASSERT_TRUE(map.Globe->screenToLL(map.Globe->surfaceWidth() / 2, map.Globe->surfaceHeight() / 2,
                                      centre));
    EXPECT_NEAR(centre.lat / 5400000.0, 40, 0.5);
    EXPECT_NEAR(centre.lon / 5400000.0, -100, 0.5);

    map.setDistanceUnit(2);
    map.ShowNightShadow1Click();
    map.AutoViewCentering1->trigger();
    map.Frequency1Click();
    map.setLabelField(3);
    map.BtnZoomInClick();
    map.BtnLat1Click();
    const long double scale = map.Globe->scaleFactor();
    const ScreenPoint origin = map.Globe->screenOrigin();
    const int lat = map.Globe->rotation(6);
    closeMap();

    EXPECT_EQ(settingsValue(Key, QStringLiteral("Knots")), QStringLiteral("2"));
    EXPECT_EQ(settingsValue(Key, QStringLiteral("Shadow")), QStringLiteral("0"));
    EXPECT_EQ(settingsValue(Key, QStringLiteral("Auto Center")), QStringLiteral("0"));
    EXPECT_EQ(settingsValue(Key, QStringLiteral("Freq")), QStringLiteral("0"));
    EXPECT_EQ(settingsValue(Key, QStringLiteral("Field Display")), QStringLiteral("3"));
    EXPECT_EQ(settingsValue(Key, QStringLiteral("Font Name")), QStringLiteral("Arial"));
    EXPECT_EQ(settingsValue(Key, QStringLiteral("Font Style")), QStringLiteral("1"));
    EXPECT_EQ(settingsValue(Key, QStringLiteral("Lat")), QString::number(lat));
    EXPECT_EQ(settingsValue(Key, QStringLiteral("Lon")), QStringLiteral("100"));
    EXPECT_EQ(settingsValue(Key, QStringLiteral("Scale")),
              QString::number(static_cast<int>(scale * 100000000.0L)));
    EXPECT_EQ(settingsValue(Key, QStringLiteral("CtrX")), QString::number(origin.x));
    // The home town belongs to the home-town dialog.
    EXPECT_EQ(settingsValue(Key, QStringLiteral("Home")), QStringLiteral("<missing>"));

    // The next opening reads them back.
    TFormMap& again = openMap(w);
    EXPECT_TRUE(again.Kilometers1->isChecked());
    EXPECT_FALSE(again.ShowNightShadow1->isChecked());
    EXPECT_FALSE(again.AutoViewCentering1->isChecked());
    EXPECT_TRUE(again.loc1->isChecked());
    EXPECT_EQ(again.Globe->rotation(6), lat);
    EXPECT_EQ(static_cast<int>(again.Globe->scaleFactor() * 100000000.0L),
              static_cast<int>(scale * 100000000.0L));
}

TEST_F(MapWindowTest, AHomePositionThatIsNoNumberFallsBackAndStillPlots)
{
    writeSetting(QStringLiteral("Home"), QStringLiteral("Atlantis"));
    writeSetting(QStringLiteral("Home Lat"), QStringLiteral("north-ish"));
    TFormMain& w = openMain();
    addRecords(w, {{146.52, "W1", "Ann", 42.5, 71.1}});
    TFormMap& map = openMap(w);
    QCoreApplication::processEvents();
    EXPECT_EQ(map.pointsLayer().objectCount(), 1);
    EXPECT_EQ(titles(map.homeLayer()), QStringList{QStringLiteral("Ruzo Vudi")});
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_TRUE(services.messages.texts().front().contains(QStringLiteral("north-ish")));
    EXPECT_TRUE(map.Panel2->isHidden());
}

TEST_F(MapWindowTest, StepsAndZoomFollowTheScale)
{
    TFormMain& w = openMain();
    TFormMap& map = openMap(w);
    map.AutoViewCentering1->setChecked(false);
    map.Globe->setScaleFactor(200 / 100000000.0L + 1e-12L); // step 4
    const int x = map.Globe->rotation(6), y = map.Globe->rotation(5);
    map.BtnLat1Click();
    EXPECT_EQ(map.Globe->rotation(6), x + 4);
    map.BtnLat2Click();
    map.BtnLat2Click();
    EXPECT_EQ(map.Globe->rotation(6), x - 4);
    map.Btlon1Click(); // towards larger western longitudes
    EXPECT_EQ(map.Globe->rotation(5), y - 4);
    map.BtnLon2Click();
    EXPECT_EQ(map.Globe->rotation(5), y);

    const long double s = map.Globe->scaleFactor();
    map.BtnZoomInClick();
    EXPECT_NEAR(static_cast<double>(map.Globe->scaleFactor() / s), 1.2, 1e-9);
    map.BtnZoomOutClick();
    EXPECT_NEAR(static_cast<double>(map.Globe->scaleFactor() / s), 1.0, 1e-9);
}

TEST_F(MapWindowTest, UserViewIsStoredAndShown)
{
    TFormMain& w = openMain();
    TFormMap& map = openMap(w);
    map.BtnLat1Click();
    map.BtnZoomInClick();
    const int lat = map.Globe->rotation(6);
    const long double scale = map.Globe->scaleFactor();

    services.messages.answers.push_back(QMessageBox::No);
    map.CustomView1Click();
    EXPECT_EQ(settingsValue(Key + QStringLiteral("\\Custom View"), QStringLiteral("Lat")),
              QStringLiteral("<no key>"));
    map.CustomView1Click();
    ASSERT_EQ(services.messages.shown.size(), 2u);
    EXPECT_EQ(services.messages.shown.back().caption, QStringLiteral("Confirmation Request"));
    EXPECT_EQ(services.messages.shown.back().text,
              QStringLiteral("Saving current view as user view."));
    EXPECT_EQ(settingsValue(Key + QStringLiteral("\\Custom View"), QStringLiteral("Lat")),
              QString::number(lat));

    map.BtnDefaultClick();
    EXPECT_EQ(map.Globe->rotation(6), 40);
    map.BtnUserViewClick();
    EXPECT_EQ(map.Globe->rotation(6), lat);
    EXPECT_NEAR(static_cast<double>(map.Globe->scaleFactor() / scale), 1.0, 1e-6);
}

TEST_F(MapWindowTest, HistoryBackAndForwardInTheWindow)
{
    TFormMain& w = openMain();
    TFormMap& map = openMap(w);
    map.AutoViewCentering1->setChecked(false);
    map.renderMap(); // the first render of a run is never recorded
    map.renderMap();
    const int start = map.history().count();
    const int lat = map.Globe->rotation(6);
    map.BtnLat1Click();
    map.renderMap();
    EXPECT_EQ(map.history().count(), start + 1);
    EXPECT_TRUE(map.BtnPrev->isEnabled());
    EXPECT_FALSE(map.BtnNext->isEnabled());
    EXPECT_TRUE(QFile::exists(map.history().path()));

    map.BtnPrev->click();
    EXPECT_EQ(map.Globe->rotation(6), lat);
    EXPECT_TRUE(map.BtnNext->isEnabled());
    map.renderMap(); // shows the page: not recorded
    EXPECT_EQ(map.history().count(), start + 1);

    map.BtnNext->click();
    EXPECT_EQ(map.Globe->rotation(6), lat + map.rotationStep(map.Globe->scaleFactor()));
    EXPECT_FALSE(map.BtnNext->isEnabled());
}

TEST_F(MapWindowTest, StatusLineAndBearingFromHome)
{
    TFormMain& w = openMain();
    TFormMap& map = openMap(w);
    map.setDistanceUnit(1);

    map.renderMap(); // the objects know their places on the screen after a render

    // Over Testville, a city of the all-cities layer. One pixel is several minutes here.
    const QPoint city = pointOf(map, 30, 90);
    mouse(map, QEvent::MouseMove, Qt::NoButton, city);
    const QRegularExpression position(
        QString::fromUtf8("^(29|30)\u00BA \\d\\d' N   (89|90)\u00BA \\d\\d' W  Testville$"));
    EXPECT_TRUE(position.match(map.PanelHint->text()).hasMatch())
        << map.PanelHint->text().toStdString();

    // A press near home: the heading and a short way.
    mouse(map, QEvent::MouseButtonPress, Qt::LeftButton, pointOf(map, 27.2, 80.27));
    const QRegularExpression bearing(
        QString::fromUtf8("^\\d\\d\\d\u00BA / \\d\\.\\d nautical miles from Ruzo Vudi$"));
    EXPECT_TRUE(bearing.match(map.PanelHint->text()).hasMatch())
        << map.PanelHint->text().toStdString();
    EXPECT_TRUE(map.Globe->hasOverlayLines());
    mouse(map, QEvent::MouseButtonRelease, Qt::LeftButton, pointOf(map, 27.2, 80.27));
    EXPECT_FALSE(map.Globe->hasOverlayLines());

    // A press on the city selects it (the city editor is closed, so the bearing shows).
    mouse(map, QEvent::MouseButtonPress, Qt::LeftButton, city);
    ASSERT_NE(map.Globe->selectedObjectValue(), nullptr);
    EXPECT_EQ(map.Globe->selectedObjectValue()->title(), "Testville");
    EXPECT_TRUE(map.PanelHint->text().contains(QStringLiteral(" from Ruzo Vudi")));
    mouse(map, QEvent::MouseButtonRelease, Qt::LeftButton, city);

    // With the city editor open, the city goes to the editor instead.
    map.Edit1->trigger();
    ASSERT_TRUE(map.PanelEdit->isOpen());
    map.renderMap(); // the editor loaded the cities afresh: they learn their screen places
    map.PanelHint->clear();
    mouse(map, QEvent::MouseButtonPress, Qt::LeftButton, city);
    EXPECT_TRUE(map.PanelHint->text().isEmpty()) << map.PanelHint->text().toStdString();
    EXPECT_FALSE(map.Globe->hasOverlayLines());
    mouse(map, QEvent::MouseButtonRelease, Qt::LeftButton, city);

    // Off the globe nothing is told.
    mouse(map, QEvent::MouseMove, Qt::NoButton, QPoint(1, 1));
    EXPECT_TRUE(map.PanelHint->text().isEmpty());
    mouse(map, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(1, 1));
    EXPECT_FALSE(map.Globe->hasOverlayLines());
    mouse(map, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(1, 1));
}

TEST_F(MapWindowTest, RenderedMapCarriesTheScaleBarAndSavesAsJpegAndBitmap)
{
    TFormMain& w = openMain();
    TFormMap& map = openMap(w);
    const QImage image = map.renderMap();
    ASSERT_FALSE(image.isNull());
    const int ppi = map.Globe->screenPixelsPerInch();
    const int x0 = image.width() - (ppi + 50), y0 = image.height() - 50;
    EXPECT_EQ(image.pixel(x0 + ppi / 2, y0 + 20), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(x0 + ppi / 2, y0 + 21), qRgb(255, 255, 255));

    // The name's ending decides; a bare name takes the type chosen in the dialog.
    struct Case
    {
        const char* name;
        const char* filter;
        const char* written;
        const char* format;
    };
    for (const Case& c : {Case{"map.jpg", "Bitmap File (*.bmp)", "map.jpg", "jpeg"},
                          Case{"map.bmp", "JPEG File (*.jpg)", "map.bmp", "bmp"},
                          Case{"plain", "JPEG File (*.jpg)", "plain.jpg", "jpeg"},
                          Case{"bare", "Bitmap File (*.bmp)", "bare.bmp", "bmp"}}) {
        services.dialogs.saveFiles.push_back(install.dir.filePath(QLatin1String(c.name)));
        services.dialogs.saveFilters.push_back(QLatin1String(c.filter));
        map.SaveAsBitmap1Click();
        QImageReader reader(install.dir.filePath(QLatin1String(c.written)));
        EXPECT_EQ(reader.format(), QByteArray(c.format)) << c.name;
        EXPECT_EQ(reader.read().size(), image.size()) << c.name;
    }
    EXPECT_TRUE(services.messages.shown.empty());

    services.dialogs.saveFiles.push_back(install.dir.filePath(QStringLiteral("gone/map.jpg")));
    map.SaveAsBitmap1Click();
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_TRUE(services.messages.texts().front().contains(QStringLiteral("could not be saved")));
}

// At night the labels lie over the shadow, text and halo as bright as by day; and no label
// is placed where the scale bar is drawn or under the open city editor, while every record is
// still named or counted.
TEST_F(MapWindowTest, LabelsLieOverTheNightShadowAndClearOfTheScaleBar)
{
    TFormMain& w = openMain();
    TFormMap& map = openMap(w);
    map.AutoViewCentering1->setChecked(false);
    for (int i = 0; i < 4; ++i)
        map.BtnZoomInClick(); // the globe fills the window, its corners too
    // 06:00 UTC at an equinox: the view's centre (40 N, 100 W) is deep in the night.
    map.Globe->utcClock = [] {
        return QDateTime(QDate(2026, 3, 20), QTime(6, 0), QTimeZone::utc());
    };
    const int ppi = map.Globe->screenPixelsPerInch();
    const QSize surface(map.Globe->surfaceWidth(), map.Globe->surfaceHeight());
    const QRect bar = ScaleBar::area(surface, ppi, map.Globe->projection().unitsPerInch(), 0);
    // Records on a grid over the scale bar's corner and one in the middle of the night.
    LLPoint p;
    ASSERT_TRUE(map.Globe->screenToLL(surface.width() / 2, surface.height() / 2, p));
    addRecords(w, {{7.1, "NIGHT", "", p.lat / 5400000.0, -p.lon / 5400000.0}});
    int records = 1;
    for (int y = bar.top() - 30; y <= bar.bottom(); y += 12) {
        for (int x = bar.left() - 40; x <= bar.right(); x += 25) {
            ASSERT_TRUE(map.Globe->screenToLL(x, y, p)) << x << "," << y;
            addRecords(w, {{7.2, "CORNER", "", p.lat / 5400000.0, -p.lon / 5400000.0}});
            ++records;
        }
    }
    // And under the city editor, which floats over the map's top left.
    map.PanelEdit->open();
    const QRect panel = map.PanelEdit->geometry();
    ASSERT_TRUE(map.PanelEdit->isVisible());
    for (int y = panel.top(); y <= panel.bottom(); y += 12) {
        for (int x = panel.left(); x <= panel.right(); x += 25) {
            if (!map.Globe->screenToLL(x, y, p))
                continue;
            addRecords(w, {{7.3, "PANEL", "", p.lat / 5400000.0, -p.lon / 5400000.0}});
            ++records;
        }
    }
    map.Updatedata();
    const QImage night = map.renderMap();
    const auto placedAt = [&](const char* call) {
        for (const LabelPlacer::Placed& l : map.Globe->placedLabels())
            if (!l.lines.empty() && l.lines.front().rfind(call, 0) == 0)
                return QRect(QPoint(l.left, l.top), QPoint(l.right - 1, l.bottom - 1));
        return QRect();
    };
    const QRect label = placedAt("NIGHT");
    ASSERT_FALSE(label.isNull());
    int named = 0, counted = 0;
    for (const LabelPlacer::Placed& l : map.Globe->placedLabels()) {
        const QRect r(QPoint(l.left, l.top), QPoint(l.right - 1, l.bottom - 1));
        EXPECT_FALSE(r.intersects(bar) || r.intersects(panel)) << l.lines.front();
        for (const std::string& line : l.lines) {
            const QString text = QString::fromStdString(line);
            if (text.startsWith(QLatin1Char('+')))
                counted += text.section(QLatin1Char(' '), 0, 0).mid(1).toInt();
            else if (text.startsWith(QStringLiteral("CORNER")) ||
                     text.startsWith(QStringLiteral("NIGHT")) ||
                     text.startsWith(QStringLiteral("PANEL")))
                ++named;
        }
    }
    EXPECT_EQ(named + counted + map.Globe->labelsLeftOut(), records);

    map.ShowNightShadow1Click(); // by day
    const QImage day = map.renderMap();
    ASSERT_EQ(placedAt("NIGHT"), label);
    int white = 0, darkened = 0;
    for (int y = label.top(); y <= label.bottom(); ++y) {
        for (int x = label.left(); x <= label.right(); ++x) {
            if (day.pixel(x, y) != qRgb(255, 255, 255))
                continue;
            ++white;
            darkened += night.pixel(x, y) != qRgb(255, 255, 255);
        }
    }
    EXPECT_GT(white, 20); // the halo round the black text
    EXPECT_EQ(darkened, 0);
    // The shadow is there round the label.
    int shaded = 0;
    for (int y = label.top(); y <= label.bottom(); ++y)
        for (int x = label.left() - 30; x < label.left() - 2; ++x)
            shaded += night.pixel(x, y) != day.pixel(x, y);
    EXPECT_GT(shaded, 30);
    if (qEnvironmentVariableIsSet("WAVELARK_VIEWS_DIR")) {
        night.save(qEnvironmentVariable("WAVELARK_VIEWS_DIR") + QStringLiteral("/night.png"));
        day.save(qEnvironmentVariable("WAVELARK_VIEWS_DIR") + QStringLiteral("/day.png"));
    }
}

// A listener turns the map by hand: a middle drag (or Shift with the left button) turns the
// globe without measuring or opening the home dialog, the arrow keys turn by the buttons'
// step and Page Up/Down zoom as "+Zoom"/"-Zoom", while a left drag still zooms to its
// rectangle, never deeper than 8 times per step nor to a view under 5 nautical miles.
TEST_F(MapWindowTest, TurnsByHandAndByKeysAndZoomsWithinTheLimits)
{
    TFormMain& w = openMain();
    TFormMap& map = openMap(w);
    GlobeControl& g = *map.Globe;
    const QPoint m = middle(map);
    LLPoint grabbed;
    ASSERT_TRUE(g.screenToLL(m.x(), m.y(), grabbed));
    const auto press = [&](QEvent::Type type, Qt::MouseButton button, QPoint pos,
                           Qt::KeyboardModifiers mods) {
        QMouseEvent e(type, QPointF(pos), g.mapToGlobal(QPointF(pos)), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : button, mods);
        QCoreApplication::sendEvent(&g, &e);
    };
    for (const auto mods :
         {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::ShiftModifier)}) {
        const Qt::MouseButton button = mods ? Qt::LeftButton : Qt::MiddleButton;
        ASSERT_TRUE(g.screenToLL(m.x(), m.y(), grabbed));
        const long double scale = g.scaleFactor();
        press(QEvent::MouseButtonPress, button, m, mods);
        press(QEvent::MouseMove, button, m + QPoint(40, 30), mods);
        press(QEvent::MouseMove, button, m + QPoint(80, 60), mods);
        press(QEvent::MouseButtonRelease, button, m + QPoint(80, 60), mods);
        EXPECT_EQ(g.scaleFactor(), scale);
        EXPECT_FALSE(g.hasOverlayLines()); // no great circle from home
        EXPECT_EQ(pointOf(map, grabbed.lat / 5400000.0, -grabbed.lon / 5400000.0),
                  m + QPoint(80, 60));
    }

    const int lat = g.rotation(MapScene::XDegrees), lon = g.rotation(MapScene::YDegrees);
    const int step = TFormMap::rotationStep(g.scaleFactor());
    const auto key = [&](int k) {
        QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier);
        QCoreApplication::sendEvent(&g, &e);
    };
    key(Qt::Key_Left);
    EXPECT_EQ(g.rotation(MapScene::YDegrees), lon - step); // "+Lon": further west
    key(Qt::Key_Up);
    EXPECT_EQ(g.rotation(MapScene::XDegrees), lat + step);
    const long double before = g.scaleFactor();
    key(Qt::Key_PageUp);
    EXPECT_NEAR(double(g.scaleFactor() / before), 1.2, 1e-9);
    key(Qt::Key_PageDown);
    EXPECT_NEAR(double(g.scaleFactor() / before), 1.0, 1e-9);

    // A tiny rectangle, again and again.
    const long double fit = g.scaleFactor();
    const int side = std::min(g.surfaceWidth(), g.surfaceHeight());
    mouse(map, QEvent::MouseButtonPress, Qt::LeftButton, m);
    mouse(map, QEvent::MouseMove, Qt::LeftButton, m + QPoint(12, 12));
    mouse(map, QEvent::MouseButtonRelease, Qt::LeftButton, m + QPoint(12, 12));
    EXPECT_LE(double(g.scaleFactor() / fit), 8.0001);
    EXPECT_GT(g.scaleFactor(), fit);
    for (int i = 0; i < 12; ++i) {
        mouse(map, QEvent::MouseButtonPress, Qt::LeftButton, m);
        mouse(map, QEvent::MouseMove, Qt::LeftButton, m + QPoint(12, 12));
        mouse(map, QEvent::MouseButtonRelease, Qt::LeftButton, m + QPoint(12, 12));
        map.BtnZoomInClick();
    }
    EXPECT_GE(side / double(g.scaleFactor()), 5 * GUPerMinute - 1);
    EXPECT_LE(side / double(g.scaleFactor()), 5 * GUPerMinute + 1);
}

// The night shadow's look, the projection and the moment: the style and the projection are
// radio choices kept with the map's settings; the Time slider shows the shadow of another
// UTC moment of the day and "Now" follows the clock again.
TEST_F(MapWindowTest, NightStyleProjectionAndTimeAreChosenAndRemembered)
{
    TFormMain& w = openMain();
    {
        TFormMap& map = openMap(w);
        EXPECT_TRUE(map.NightShaded1->isChecked());
        EXPECT_TRUE(map.Spherical1->isChecked());
        EXPECT_TRUE(map.StatuteMiles1->actionGroup()->isExclusive());
        map.Globe->utcClock = [] {
            return QDateTime(QDate(2026, 6, 21), QTime(12, 0), QTimeZone::utc());
        };
        const QImage noon = map.renderMap();
        map.TimeSlider->setValue(18 * 60);
        EXPECT_EQ(map.TimeLabel->text(), QStringLiteral("18:00 UTC"));
        ASSERT_TRUE(map.scene().nightMoment.has_value());
        EXPECT_EQ(*map.scene().nightMoment,
                  QDateTime(QDate(2026, 6, 21), QTime(18, 0), QTimeZone::utc()));
        EXPECT_NE(map.renderMap(), noon);
        map.BtnNow->click();
        EXPECT_FALSE(map.scene().nightMoment.has_value());
        EXPECT_EQ(map.renderMap(), noon);

        map.NightHatched1->trigger();
        EXPECT_FALSE(map.NightShaded1->isChecked());
        map.Mercator1->trigger();
        EXPECT_EQ(map.Globe->projectionKind(), GlobeEngine::Projection::Mercator);
        EXPECT_FALSE(map.Spherical1->isChecked());
        closeMap();
    }
    EXPECT_EQ(settingsValue(Key, QStringLiteral("Night Style")), QStringLiteral("1"));
    EXPECT_EQ(settingsValue(Key, QStringLiteral("Projection")), QStringLiteral("2"));
    TFormMap& again = openMap(w);
    EXPECT_TRUE(again.NightHatched1->isChecked());
    EXPECT_TRUE(again.Mercator1->isChecked());
    EXPECT_EQ(again.Globe->projectionKind(), GlobeEngine::Projection::Mercator);
}

// The find box goes to a city of the list, to a logged record by callsign or frequency, and to
// a position typed as "lat, lon" in the user's number format: the place comes to the middle
// of the window, close enough to see, and is marked; suggestions come as the user types.
TEST_F(MapWindowTest, FindBoxGoesToACityARecordOrAPosition)
{
    TFormMain& w = openMain();
    addRecords(w, {{146.52, "5Z4XY", "Ann", -1.29, -36.82}});
    TFormMap& map = openMap(w);
    GlobeControl& g = *map.Globe;
    const long double whole = g.scaleFactor();
    EXPECT_TRUE(map.placeSuggestions(QStringLiteral("test")).contains(QStringLiteral("Testville")));
    EXPECT_TRUE(
        map.placeSuggestions(QStringLiteral("5z4")).front().startsWith(QStringLiteral("5Z4XY")));

    const struct
    {
        const char* locale;
        const char* typed;
        double lat, lonEast;
    } cases[] = {
        {"en_US", "testville", 30, -90},
        {"en_US", "5Z4XY", -1.29, 36.82},
        {"en_US", "146.52", -1.29, 36.82},
        {"en_US", "-33.87, 151.21", -33.87, 151.21},
        {"en_US", "33.87 S, 151.21 E", -33.87, 151.21},
        {"de_DE", "-33,87; 151,21", -33.87, 151.21},
        {"de_DE", "64,1 -21,9", 64.1, -21.9},
    };
    const LocaleInfo saved = LocaleInfo::current();
    for (const auto& k : cases) {
        SCOPED_TRACE(k.typed);
        LocaleInfo::setCurrent(LocaleInfo::fromName(QString::fromLatin1(k.locale)));
        g.zoomToRect(GURect{});
        ASSERT_TRUE(map.goToPlace(QString::fromUtf8(k.typed)));
        LLPoint c;
        ASSERT_TRUE(g.screenToLL(g.surfaceWidth() / 2, g.surfaceHeight() / 2, c));
        EXPECT_NEAR(c.lat / double(GUPerDegree), k.lat, 0.05);
        EXPECT_NEAR(c.lon / double(GUPerDegree), k.lonEast, 0.05);
        EXPECT_GT(g.scaleFactor(), 3 * whole);
        ASSERT_TRUE(map.scene().mark.has_value());
        EXPECT_NEAR(map.scene().mark->lat / double(GUPerDegree), k.lat, 0.01);
    }
    LocaleInfo::setCurrent(saved);
    EXPECT_FALSE(map.goToPlace(QStringLiteral("Atlantis")));
    EXPECT_TRUE(map.PanelHint->text().contains(QStringLiteral("Atlantis")));
    EXPECT_FALSE(map.goToPlace(QStringLiteral("95, 10"))); // no latitude
}

// Pictures of the window with the shipped globe data for a person to look at; runs only when
// WAVELARK_VIEWS_DIR (where the pictures go) and WAVELARK_VIEWS_DATA (the shipped data
// folder) are set.
TEST_F(MapWindowTest, ViewsForReview)
{
    const QString out = qEnvironmentVariable("WAVELARK_VIEWS_DIR");
    const QString data = qEnvironmentVariable("WAVELARK_VIEWS_DATA");
    if (out.isEmpty() || data.isEmpty())
        GTEST_SKIP() << "no folder for the pictures";
    const QString folder = install.programFolder();
    QFile::remove(folder + QStringLiteral("globe.prf"));
    ASSERT_TRUE(
        QFile::copy(data + QStringLiteral("/globe.prf"), folder + QStringLiteral("globe.prf")));
    for (const QString& f : QDir(data + QStringLiteral("/Globe Data")).entryList(QDir::Files)) {
        QFile::remove(folder + QStringLiteral("Globe Data/") + f);
        ASSERT_TRUE(QFile::copy(data + QStringLiteral("/Globe Data/") + f,
                                folder + QStringLiteral("Globe Data/") + f));
    }
    TFormMain& w = openMain();
    addRecords(w, {{7.2, "5Z4NRB", "Nairobi", -1.29, -36.82},
                   {9.41, "WWV", "Fort", 40.68, 105.04},
                   {6.07, "CFRX", "Toronto", 43.65, 79.38},
                   {15.4, "A2Z", "Gaborone", -24.65, -25.91}});
    TFormMap& map = openMap(w);
    GlobeControl& g = *map.Globe;
    g.utcClock = [] { return QDateTime(QDate(2026, 12, 11), QTime(14, 0), QTimeZone::utc()); };
    const auto shot = [&](const char* name) {
        g.redraw();
        QCoreApplication::processEvents();
        map.grab().save(out + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png"));
    };
    shot("01-start");
    // North America to Africa by dragging with the middle button.
    const QPoint m = middle(map);
    const auto drag = [&](QPoint from, QPoint to) {
        const auto send = [&](QEvent::Type type, QPoint pos) {
            QMouseEvent e(type, QPointF(pos), g.mapToGlobal(QPointF(pos)), Qt::MiddleButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MiddleButton,
                          Qt::NoModifier);
            QCoreApplication::sendEvent(&g, &e);
        };
        send(QEvent::MouseButtonPress, from);
        for (int i = 1; i <= 10; ++i)
            send(QEvent::MouseMove, from + (to - from) * i / 10);
        send(QEvent::MouseButtonRelease, to);
    };
    drag(m + QPoint(200, 0), m + QPoint(-150, 60));
    shot("02-dragged-once");
    drag(m + QPoint(200, 0), m + QPoint(-100, 0));
    shot("03-africa");
    map.EditFind->setText(QStringLiteral("Nairobi"));
    map.goToPlace(map.EditFind->text());
    shot("04-nairobi");
    g.zoomToRect(GURect{});
    g.setRotation(MapScene::XDegrees, 10);
    g.setRotation(MapScene::YDegrees, 0);
    const struct
    {
        const char* name;
        QDate date;
        int hour;
    } moments[] = {{"05-jun21-0600", {2026, 6, 21}, 6},
                   {"06-jun21-1800", {2026, 6, 21}, 18},
                   {"07-dec21-0600", {2026, 12, 21}, 6},
                   {"08-dec21-1800", {2026, 12, 21}, 18}};
    for (const auto& k : moments) {
        map.scene().nightMoment = QDateTime(k.date, QTime(k.hour, 0), QTimeZone::utc());
        shot(k.name);
    }
    map.TimeSlider->setValue(6 * 60);
    shot("09-slider-0600");
    map.BtnDefaultClick();
    shot("10-default");
    map.PlateCarree1->trigger();
    shot("11-plate-carree");
    map.Mercator1->trigger();
    shot("12-mercator");
    map.Spherical1->trigger();
    map.NightHatched1->trigger();
    shot("13-hatched");
}

TEST_F(MapWindowTest, PrintWithoutPrinterWritesAPdf)
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "a printer is installed";
    TFormMain& w = openMain();
    TFormMap& map = openMap(w);
    const QString path = install.dir.filePath(QStringLiteral("map.pdf"));
    services.dialogs.saveFiles.push_back(path);
    map.Print1Click();
    QFile pdf(path);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    EXPECT_TRUE(services.messages.shown.empty());
}

TEST_F(MapWindowTest, GlobeCommandIsInstalled)
{
    TFormMain& w = openMain();
    installMapCommands(w);
    EXPECT_TRUE(w.hasCommandHandler(Command::Globe));
    EXPECT_TRUE(w.button(Command::Globe)->isEnabled());
}

} // namespace
} // namespace wl

namespace wl {
namespace {

TEST_F(MapWindowTest, FileMenuExportsThePlacemarksEastPositive)
{
    TFormMain& w = openMain();
    addRecords(w, {{7.2, "EAST", nullptr, 10.5, -20.25},
                   {9.6, "WEST", nullptr, -5.0, 30.0},
                   {11.0, "NOWHERE", nullptr, 0, 0}});
    TFormMap& map = openMap(w);
    QAction* kml = nullptr;
    QAction* geo = nullptr;
    for (QAction* a : map.findChildren<QAction*>()) {
        if (a->text() == u"Export Placemarks as KML...")
            kml = a;
        if (a->text() == u"Export Placemarks as GeoJSON...")
            geo = a;
    }
    ASSERT_NE(kml, nullptr);
    ASSERT_NE(geo, nullptr);

    // A bare name takes the format's ending.
    services.dialogs.saveFiles.push_back(install.dir.filePath(QStringLiteral("log")));
    geo->trigger();
    const QString written = install.dir.filePath(QStringLiteral("log.geojson"));
    ASSERT_EQ(services.messages.texts(),
              QStringList{QStringLiteral("2 records exported to %1. 1 records without a position "
                                         "were left out.")
                              .arg(QDir::toNativeSeparators(written))});
    QFile file(written);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonArray features = QJsonDocument::fromJson(file.readAll())["features"].toArray();
    ASSERT_EQ(features.size(), 2);
    QStringList points;
    for (const QJsonValue f : features) {
        const QJsonArray c = f["geometry"]["coordinates"].toArray();
        points << QStringLiteral("%1 %2 %3")
                      .arg(f["properties"]["name"].toString())
                      .arg(c[0].toDouble())
                      .arg(c[1].toDouble());
    }
    points.sort();
    EXPECT_EQ(points, QStringList({"EAST 20.25 10.5", "WEST -30 -5"}));

    services.dialogs.saveFiles.push_back(install.dir.filePath(QStringLiteral("gone/log.kml")));
    kml->trigger();
    EXPECT_TRUE(services.messages.texts().last().contains(QStringLiteral("could not be written")))
        << services.messages.texts().last().toStdString();
}

} // namespace
} // namespace wl
