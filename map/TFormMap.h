#pragma once

#include "globe/LLPoint.h"
#include "map/MapHost.h"
#include "map/MapSettings.h"
#include "map/PlaceFinder.h"
#include "map/ViewHistory.h"

#include <QDialog>
#include <QImage>

#include <memory>

class QAction;
class QKeyEvent;
class QLabel;
class QMenu;
class QSlider;
class QLineEdit;
class QStringListModel;
class QTimer;
class QToolButton;

namespace wl {

enum class Glyph;
enum class LogFormat;

class CityEditor;
class MapScene;
class GlobeControl;
class GlobeLayer;
class GlobeObject;
class TFormMain;

// The map window: every record with a position as a label on the globe, the home town, the
// scale bar and the night shadow, a back/forward history of views, the bearing and distance
// from home to a clicked point, and the map as an image file or on paper. It is opened
// modally by the main window and writes its settings when it closes.
class TFormMap : public QDialog, public MapHost
{
    Q_OBJECT
public:
    static constexpr int HelpContext = 110;
    static constexpr int CityEditorHelpContext = 112;

    explicit TFormMap(TFormMain& main, QWidget* parent = nullptr);
    ~TFormMap() override;

    // MapHost
    GlobeControl& globe() override { return *Globe; }
    QString programFolder() const override;
    QString homeName() const override { return m_settings.homeName; }
    QString homeLatitudeText() const override { return m_settings.homeLat; }
    QString homeLongitudeText() const override { return m_settings.homeLon; }
    void setHomeTexts(const QString& latitude, const QString& longitude) override;
    GlobeLayer& currentCityLayer() override;
    void setCurrentCityLayer(int index) override;
    GlobeLayer& homeMarkerLayer() override { return *m_home; }
    void setHelpContext(int context) override { m_helpContext = context; }
    QString settingsFile() const override;
    int helpContext() const { return m_helpContext; }

    const MapSettings& mapSettings() const { return m_settings; }
    MapScene& scene() const { return *m_scene; }
    const ViewHistory& history() const { return m_history; }
    GlobeLayer& pointsLayer() const { return *m_points; }
    GlobeLayer& homeLayer() const { return *m_home; }
    GlobeLayer& onAirLayer() const { return *m_onAir; }
    // The map as the window shows it, rendered afresh with the night shadow and scale bar.
    QImage renderMap();
    // Degrees one press of a rotation button turns at the given scale (pixels per GU).
    static int rotationStep(long double scale);

    // Controls, named as the window's handlers know them.
    GlobeControl* Globe = nullptr;
    QLabel* PanelHint = nullptr;
    QWidget* Panel2 = nullptr;
    CityEditor* PanelEdit = nullptr;
    QTimer* Timer1 = nullptr;
    QToolButton *BtnPrev = nullptr, *BtnNext = nullptr, *BtnLon1 = nullptr, *BtnLon2 = nullptr,
                *BtnLat1 = nullptr, *BtnLat2 = nullptr, *BtnZoomOut = nullptr, *BtnZoomIn = nullptr,
                *BtnUserView = nullptr, *BtnDefault = nullptr, *BtnExit = nullptr;
    QAction *SaveAsBitmap1 = nullptr, *Print1 = nullptr, *CustomView1 = nullptr,
            *AutoViewCentering1 = nullptr, *ShowNightShadow1 = nullptr, *HomeTown1 = nullptr,
            *StatuteMiles1 = nullptr, *NauticalMiles1 = nullptr, *Kilometers1 = nullptr,
            *Frequency1 = nullptr, *call1 = nullptr, *user1 = nullptr, *loc1 = nullptr,
            *spec1 = nullptr, *Font1 = nullptr, *Edit1 = nullptr, *PlotOnAirSites1 = nullptr;
    QMenu* FieldDisplay1 = nullptr;
    // Night style, projection and the moment of the night shadow.
    QAction *NightShaded1 = nullptr, *NightHatched1 = nullptr;
    QAction *Spherical1 = nullptr, *PlateCarree1 = nullptr, *Mercator1 = nullptr;
    QSlider* TimeSlider = nullptr;
    QLineEdit* EditFind = nullptr;
    QLabel* TimeLabel = nullptr;
    QToolButton* BtnNow = nullptr;

    // Handlers.
    void FormActivate();
    void Timer1Timer();
    void ReadGlobeReg();
    void PlotData();
    void Updatedata();
    void GlobeRender();
    void GlobeRenderUnderLabels();
    void GlobeZoomed();
    void GlobeMouseMove(QPoint pos);
    void GlobeMouseDown(Qt::MouseButton button, QPoint pos);
    void GlobeMouseUp();
    void Btlon1Click();
    void BtnLon2Click();
    void BtnLat1Click();
    void BtnLat2Click();
    void BtnZoomInClick();
    void BtnZoomOutClick();
    void BtnDefaultClick();
    void BtnUserViewClick();
    void CustomView1Click();
    void BtnPrevClick();
    void BtnNextClick();
    void ShowNightShadow1Click();
    void setNightStyle(int style);
    void setProjection(int projection);
    // The night shadow at the slider's minute of today's UTC date, or following the clock.
    void TimeSliderChanged(int minute);
    void BtnNowClick();
    // Turns the globe to a city, country, record or "lat, lon" and marks it; false when
    // nothing matches.
    bool goToPlace(const QString& text);
    QStringList placeSuggestions(const QString& text);
    void setDistanceUnit(int code);
    void FieldDisplay1Click();
    void Frequency1Click();
    void setLabelField(int code);
    void Font1Click();
    void HomeTown1Click();
    // The transmitter sites on the air at the open On Air window's moment (else now), with the
    // great circle to the site of the entry selected there.
    void PlotOnAirSites1Click();
    void SaveAsBitmap1Click();
    void exportPlacemarks(LogFormat format);
    void Print1Click();
    void BtnExitClick();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void buildToolBar(QWidget* panel);
    QToolButton* addButton(QWidget* panel, const QString& name, Glyph glyph, const QString& caption,
                           const QString& hint, void (TFormMap::*handler)());
    void configureGlobe();
    void placeWindow();
    void plotHome();
    void refreshHome();
    // Names the home town and its position on the status line.
    void tellHome();
    void applyStoredView(const StoredView& view);
    void rotate(int xSteps, int ySteps);
    void centreOnMiddle();
    void showHistoryPage(const std::optional<GlobeView>& view);
    void updateHistoryButtons();
    void reportHistoryError();
    void setUnitChecks();
    void setNightChecks();
    bool handleKey(const QKeyEvent& e);
    void buildTimeControl(QWidget* panel);
    void buildFindBox(QWidget* panel);
    void setFieldChecks();
    bool printMap();
    void FormClose();

    TFormMain& m_main;
    MapSettings m_settings;
    ViewHistory m_history;
    std::unique_ptr<MapScene> m_scene;
    GlobeLayer* m_points = nullptr;
    GlobeLayer* m_home = nullptr;
    GlobeLayer* m_onAir = nullptr;
    int m_cityLayer = 4;
    int m_helpContext = HelpContext;
    bool m_setUpDone = false;
    bool m_closed = false;
    bool m_historyErrorShown = false;
    PlaceFinder m_places;
    bool m_placesStale = true; // records or cities changed since the names were gathered
    QStringListModel* m_suggestions = nullptr;
};

} // namespace wl
