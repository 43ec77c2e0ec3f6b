#pragma once

#include "globe/GlobeEngine.h"
#include "globe/LLPoint.h"
#include "map/MapScene.h"
#include "map/MapSettings.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

namespace wl {

class Registry;

namespace store {
class Table;
}

// The map as a picture, without a window: a globe engine set up through the map's scene from
// the program's globe data and settings, with the records of an open table and the home town
// plotted, rendered into images of any size.
class MapRenderer
{
public:
    // The largest side of a picture, in pixels: four times a large screen, and within what an
    // image of 32-bit pixels can hold.
    static constexpr int MaxSide = 8192;
    static constexpr int MinSide = 16;

    MapRenderer();

    // Reads the map's settings and its last view, opens the profile of the program folder
    // (layer files named without a folder are taken from the data folder) and plots the
    // records of the main window's frequency range (from the settings) and the home town.
    void load(const QString& programFolder, const QString& dataFolder, Registry& settings,
              store::Table& table);
    // The whole globe fitted to a picture of the given size, centred on the point, or on the
    // centre of the map window's last view; labels, night shadow and scale bar as the window
    // shows them. A null image when the size is out of bounds or memory runs short.
    QImage render(QSize size, const std::optional<LLPoint>& centre);

    const MapSettings& settings() const { return m_settings; }
    // The globe the pictures come from, for turning and zooming it between renders.
    GlobeEngine& globe() { return m_globe; }
    int plotted() const { return m_plotted; }
    // Records the last picture could neither name nor count.
    int labelsLeftOut() const { return m_globe.labelsLeftOut(); }
    // Layers that failed and settings that could not be used, as the window would tell them.
    QStringList takeWarnings();

private:
    GlobeEngine m_globe;
    MapScene m_scene{m_globe};
    MapSettings m_settings;
    StoredView m_view;
    int m_plotted = 0;
    QStringList m_warnings;
};

} // namespace wl
