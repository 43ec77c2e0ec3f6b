#pragma once

#include "globe/LLPoint.h"
#include "schedule/OnAirLookup.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

namespace wl {

class GlobeEngine;
class GlobeLayer;

// What an open On Air window looks at, for the map to plot: its list and its moment.
class OnAirSource
{
public:
    virtual ~OnAirSource() = default;
    virtual const std::vector<schedule::OnAirHit>& onAirHits() const = 0;
    // The row selected in the list, or -1.
    virtual int selectedHit() const = 0;
    virtual QDateTime onAirMoment() const = 0;
};

// The transmitter sites of what is on the air, as labels on a layer of the map, with the great
// circle from home to the site of one chosen entry.
class OnAirSites
{
public:
    // Everything the kept schedules have on the air at the moment, from the data folder's
    // schedule store; empty when nothing is kept. error tells why the store could not be read.
    static std::vector<schedule::OnAirHit> onAirAt(const QString& dataFolder, const QDateTime& at,
                                                   std::optional<LLPoint> home, QString* error);

    // Empties the layer and labels each distinct site of the hits once (stations at one site
    // share its label); when home is known and the selected hit has a site, adds the great
    // circle from home to it. Returns the number of sites labelled.
    static int plot(GlobeEngine& globe, GlobeLayer& layer,
                    const std::vector<schedule::OnAirHit>& hits, std::optional<LLPoint> home,
                    int selected);
};

} // namespace wl
