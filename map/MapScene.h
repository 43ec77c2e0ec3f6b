#pragma once

#include "globe/LLPoint.h"
#include "map/MapSettings.h"
#include "map/RecordPlotter.h"
#include "store/Status.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace wl {

class GlobeEngine;
class GlobeLayer;

namespace store {
class Table;
}

// The map's picture on a globe, with or without a window: the globe in the map's colours, the
// profile's layers, the records and the home town as labels, the night shadow under the labels
// and the scale bar over everything. The map window and the command-line renderer both set up
// and draw their globes through it, so both show the same map.
class MapScene
{
public:
    // The map finds the cities at layers 4 and 5 and puts its own layers after the first six.
    static constexpr int ProfileLayers = 6;
    // Rotation indexes of the globe in whole degrees: centre latitude and centre longitude.
    static constexpr int XDegrees = 6;
    static constexpr int YDegrees = 5;
    static constexpr int ZDegrees = 4;

    explicit MapScene(GlobeEngine& globe);

    // The map's look: graticule, colours, label font, projection and a view of America.
    // Failing layers of profiles opened later are collected in warnings().
    void configure();
    // Opens the program folder's "globe.prf"; layer files named without a folder are looked
    // for in the data folder. The whole globe is in view afterwards.
    void openProfile(const QString& programFolder, const QString& dataFolder);
    // Fills up the profile to six layers (empty ones where layers are missing) and adds the
    // records' and the home town's layers after them.
    void addMapLayers();
    // Home from the settings' texts; stored texts that are no position are replaced in the
    // settings by the default home town, with a warning.
    void setHome(MapSettings& settings);
    // Labels the home town (red, over every other label).
    void plotHome(const QString& name);
    // Labels every record of the frequency range that has a position, as the settings say.
    RecordPlotter::Outcome plotRecords(store::Table& table, const RecordPlotter::Range& range,
                                       const MapSettings& settings,
                                       const RecordPlotter::Progress& progress = {});

    // During a render, after the layers: the night shadow when the settings show it, and the
    // scale bar's place kept free of labels.
    void drawUnderLabels(const MapSettings& settings);
    // A place the user went to, marked over the map.
    std::optional<LLPoint> mark;
    // The moment the night shadow shows; none follows the UTC clock.
    std::optional<QDateTime> nightMoment;
    // During a render, over everything: the scale bar.
    void drawOverlays(const MapSettings& settings);

    // The stored view: scale, centre and, when the window had been moved off its middle, the
    // origin; screenWidth is the width of the screen the view was stored on.
    void applyStoredView(const StoredView& view, int screenWidth);
    // The whole globe fitted to the surface, with the point at its centre.
    void showWholeGlobe(const LLPoint& centre);
    // The centre of a stored view as a point.
    static LLPoint centreOf(const StoredView& view);

    GlobeLayer& pointsLayer() const { return *m_points; }
    GlobeLayer& homeLayer() const { return *m_home; }
    const LLPoint& homePoint() const { return m_homePoint; }
    void setHomePoint(const LLPoint& p) { m_homePoint = p; }
    // Problems met while setting up, to be told once the map shows.
    QStringList takeWarnings();

private:
    GlobeEngine& m_globe;
    GlobeLayer* m_points = nullptr;
    GlobeLayer* m_home = nullptr;
    LLPoint m_homePoint;
    QStringList m_warnings;
};

} // namespace wl
