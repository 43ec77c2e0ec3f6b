#include "map/OnAirSites.h"

#include "globe/DrawServices.h"
#include "globe/GlobeEngine.h"
#include "globe/GlobeLayer.h"
#include "globe/GlobePointText.h"
#include "globe/GlobePolyLine.h"
#include "schedule/ScheduleStore.h"

#include <QSet>

namespace wl {

namespace {

constexpr GlobeColor SiteBlue = 0xBF5F1F; // the On Air window's colour for what is on air
constexpr GlobeColor PathOrange = 0x006AD9;

} // namespace

std::vector<schedule::OnAirHit> OnAirSites::onAirAt(const QString& dataFolder, const QDateTime& at,
                                                    std::optional<LLPoint> home, QString* error)
{
    schedule::ScheduleStore store;
    if (const store::Status s = store.open(dataFolder); !s) {
        if (error)
            *error = s.error;
        return {};
    }
    const std::optional<schedule::OnAirLookup> lookup =
        store.lookupFor(at.toUTC().date(), home, nullptr);
    if (!lookup)
        return {};
    return lookup->band(0, 1e12, at);
}

int OnAirSites::plot(GlobeEngine& globe, GlobeLayer& layer,
                     const std::vector<schedule::OnAirHit>& hits, std::optional<LLPoint> home,
                     int selected)
{
    layer.reset();
    // Labels keep their size at every zoom, as the records' and the home town's do.
    layer.setLayerFlag(GlobeLayer::FlagScaleFont, false);
    const FontData savedFont = globe.fontData;
    const PenData savedPen = globe.penData;
    globe.fontData.color = SiteBlue;
    globe.fontData.size = 10;
    globe.fontData.styles = 0;
    QSet<QString> seen;
    for (const schedule::OnAirHit& hit : hits) {
        if (!hit.site || seen.contains(hit.site->code.toUpper()))
            continue;
        seen.insert(hit.site->code.toUpper());
        const LLPoint p = schedule::OnAirLookup::pointOf(*hit.site);
        GlobePointText::create(layer, p.lat, p.lon, hit.site->name.toLatin1().toStdString());
    }
    if (home && selected >= 0 && selected < int(hits.size()) && hits[size_t(selected)].site) {
        const schedule::OnAirHit& hit = hits[size_t(selected)];
        globe.penData = PenData{PathOrange, 0, 2};
        GlobePolyLine::create(
            layer,
            DrawServices::greatCirclePoints(*home, schedule::OnAirLookup::pointOf(*hit.site), 0),
            hit.entry.station.toLatin1().toStdString());
    }
    globe.fontData = savedFont;
    globe.penData = savedPen;
    return int(seen.size());
}

} // namespace wl
