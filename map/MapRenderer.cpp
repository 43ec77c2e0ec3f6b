#include "map/MapRenderer.h"

#include "app/AppConstants.h"
#include "app/services/Registry.h"
#include "globe/GlobeLayer.h"

#include <utility>

namespace wl {

MapRenderer::MapRenderer()
{
    m_scene.configure();
    m_globe.onRenderUnderLabels = [this] { m_scene.drawUnderLabels(m_settings); };
    m_globe.onRender = [this] { m_scene.drawOverlays(m_settings); };
}

void MapRenderer::load(const QString& programFolder, const QString& dataFolder, Registry& settings,
                       store::Table& table)
{
    m_settings = MapSettings::read(settings);
    // Only the centre of the last view is used; its size and place belong to the window.
    m_view = StoredView::read(settings, app::SettingsKey, false, StoredView{});
    m_scene.openProfile(programFolder, dataFolder);
    m_scene.addMapLayers();
    m_scene.setHome(m_settings);
    m_scene.plotHome(m_settings.homeName);
    // The main window's frequency range, whose records the map window plots.
    RecordPlotter::Range range;
    if (settings.openKey(app::SettingsKey, false)) {
        range.low = settings.readInteger(QStringLiteral("Low Frequency"), range.low);
        range.high = settings.readInteger(QStringLiteral("Hi Frequency"), range.high);
        settings.closeKey();
    }
    const RecordPlotter::Outcome plotted = m_scene.plotRecords(table, range, m_settings);
    m_plotted = plotted.made;
    if (!plotted.status)
        m_warnings << QStringLiteral("The records could not be read: ") + plotted.status.error;
}

QImage MapRenderer::render(QSize size, const std::optional<LLPoint>& centre)
{
    if (size.width() < MinSide || size.height() < MinSide || size.width() > MaxSide ||
        size.height() > MaxSide)
        return {};
    m_globe.setSurfaceSize(size.width(), size.height());
    m_scene.showWholeGlobe(centre ? *centre : MapScene::centreOf(m_view));
    return m_globe.renderToImage();
}

QStringList MapRenderer::takeWarnings()
{
    QStringList warnings = m_scene.takeWarnings();
    warnings += std::exchange(m_warnings, {});
    return warnings;
}

} // namespace wl
