#include "map/MapScene.h"

#include "globe/AngleText.h"
#include "globe/GlobeEngine.h"
#include "globe/GlobeLayer.h"
#include "globe/GlobePointText.h"
#include "globe/PrjModel.h"
#include "grid/LocaleInfo.h"
#include "map/MapMeasure.h"
#include "map/RecordPlotter.h"
#include "map/ScaleBar.h"

#include <QFile>
#include <QPainter>
#include <QPen>

namespace wl {

namespace {

constexpr long double ScaleUnit = 100000000.0L; // the settings keep the scale times this
constexpr GlobeColor Black = 0x000000;
constexpr GlobeColor Red = 0x0000FF;
constexpr GlobeColor Yellow = 0x00FFFF;
constexpr GlobeColor Aqua = 0xFFFF00;
constexpr GlobeColor Silver = 0xC0C0C0;
constexpr GlobeColor White = 0xFFFFFF;
constexpr GlobeColor Twilight = 0x808080;

} // namespace

MapScene::MapScene(GlobeEngine& globe) : m_globe(globe) {}

void MapScene::configure()
{
    GlobeEngine& g = m_globe;
    g.setLongitudeStep(10);
    g.setLatitudeStep(10);
    g.setSelectedBrush(BrushData{Yellow, 0});
    g.setSelectedPen(PenData{Red, 0, 1});
    g.setGridPen(PenData{Silver, 0, 1});
    g.setRotation(XDegrees, 0);
    g.setRotation(YDegrees, -90);
    g.setRotation(ZDegrees, 0);
    g.setProjection(GlobeEngine::Projection::Spherical);
    g.fontData = FontData{"Arial", 0, 0, 13, GlobeUnits::NauticalMile, White};
    g.setGlobeColor(Aqua);
    g.setColor(Black);
    g.onLayerWarning = [this](const QString& message) { m_warnings << message; };
}

void MapScene::openProfile(const QString& programFolder, const QString& dataFolder)
{
    m_globe.setDataFolder(dataFolder);
    const QString profile = programFolder + QStringLiteral("globe.prf");
    if (!QFile::exists(profile))
        m_warnings << QStringLiteral("The globe profile \"%1\" was not found.").arg(profile);
    m_globe.setProfileName(profile);
    m_globe.zoomToRect(GURect{});
}

void MapScene::addMapLayers()
{
    if (m_globe.layerCount() < ProfileLayers)
        m_warnings << QStringLiteral("The globe profile lists %1 usable layers; the map "
                                     "needs %2. The missing layers stay empty.")
                          .arg(m_globe.layerCount())
                          .arg(ProfileLayers);
    while (m_globe.layerCount() < ProfileLayers)
        m_globe.addLayer("Layer " + std::to_string(m_globe.layerCount()));
    m_globe.layer(3).setLayerFlag(GlobeLayer::FlagScaleFont, false);
    m_points = &m_globe.addLayer("DBPoints");
    m_home = &m_globe.addLayer("Home");
    m_points->setLayerFlag(GlobeLayer::FlagScaleFont, false);
    m_home->setLayerFlag(GlobeLayer::FlagScaleFont, false);
    // The user's records and home town are labelled before any place name; records at one
    // spot share a label, and none is left out uncounted.
    m_points->labelRank = 2;
    m_points->groupLabels = true;
    m_home->labelRank = 3;
}

void MapScene::setHome(MapSettings& settings)
{
    const QString badLat = settings.homeLat, badLon = settings.homeLon;
    if (MapMeasure::homePoint(settings.homeLat, settings.homeLon, LocaleInfo::current(),
                              m_homePoint))
        return;
    // Plot anyway, from the default home town, and say why.
    const MapSettings d = MapSettings::defaults();
    settings.homeName = d.homeName;
    settings.homeLat = d.homeLat;
    settings.homeLon = d.homeLon;
    MapMeasure::homePoint(d.homeLat, d.homeLon, LocaleInfo::current(), m_homePoint);
    m_warnings << QStringLiteral("The stored home town position (%1, %2) is not a "
                                 "position. The map measures from %3 until a home "
                                 "town is chosen again.")
                      .arg(badLat, badLon, d.homeName);
}

void MapScene::plotHome(const QString& name)
{
    FontData& f = m_globe.fontData;
    f.color = Red;
    f.size = 11;
    f.styles = 0;
    GlobePointText::create(*m_home, m_homePoint.lat, m_homePoint.lon,
                           name.toLatin1().toStdString());
}

RecordPlotter::Outcome MapScene::plotRecords(store::Table& table, const RecordPlotter::Range& range,
                                             const MapSettings& settings,
                                             const RecordPlotter::Progress& progress)
{
    return RecordPlotter::plot(table, range, m_globe, *m_points, settings, progress);
}

void MapScene::drawUnderLabels(const MapSettings& settings)
{
    // The night shadow lies under the labels, which stay readable at night; no label is placed
    // where the scale bar will be drawn.
    if (settings.shadow) {
        const double t = GlobeEngine::moment(nightMoment ? *nightMoment : m_globe.utcNow());
        if (settings.nightStyle == 1)
            m_globe.drawNightShadow(Black, Twilight, 3, t);
        else
            m_globe.drawNightOverlay(Black, t);
    }
    const QSize surface(m_globe.surfaceWidth(), m_globe.surfaceHeight());
    m_globe.labelKeepOut = {ScaleBar::area(surface, m_globe.screenPixelsPerInch(),
                                           m_globe.projection().unitsPerInch(), settings.knots)};
}

void MapScene::drawOverlays(const MapSettings& settings)
{
    // On the surface being rendered, so that saved and printed maps carry the bar too.
    QPainter* p = m_globe.surfacePainter();
    if (p && mark && m_globe.projection().projectLL(mark->lon, mark->lat, 0)) {
        // A ring round the place, dark and light so that it shows on land, sea and night.
        const ScreenPoint at = m_globe.projection().points()[0];
        p->save();
        p->setRenderHint(QPainter::Antialiasing, true);
        p->setBrush(Qt::NoBrush);
        p->setPen(QPen(Qt::white, 4));
        p->drawEllipse(QPointF(at.x, at.y), 9, 9);
        p->setPen(QPen(Qt::red, 2));
        p->drawEllipse(QPointF(at.x, at.y), 9, 9);
        p->restore();
    }
    if (p)
        ScaleBar::draw(*p, QSize(m_globe.surfaceWidth(), m_globe.surfaceHeight()),
                       m_globe.screenPixelsPerInch(), m_globe.projection().unitsPerInch(),
                       settings.knots);
}

void MapScene::applyStoredView(const StoredView& view, int screenWidth)
{
    m_globe.zoomToRect(GURect{});
    m_globe.setScaleFactor(view.scale / ScaleUnit);
    m_globe.setRotation(XDegrees, view.lat);
    m_globe.setRotation(YDegrees, -view.lon);
    if (view.ctrX != screenWidth / 2)
        m_globe.setScreenOrigin(ScreenPoint{view.ctrX, view.ctrY});
}

void MapScene::showWholeGlobe(const LLPoint& centre)
{
    // Rotations by index 2 and 1 are in GU: the centre keeps its minutes and seconds.
    m_globe.zoomToRect(GURect{});
    m_globe.setRotation(2, centre.lat);
    m_globe.setRotation(1, centre.lon);
}

LLPoint MapScene::centreOf(const StoredView& view)
{
    return llPoint(-degToGU(view.lon), degToGU(view.lat));
}

QStringList MapScene::takeWarnings()
{
    return std::exchange(m_warnings, {});
}

} // namespace wl
