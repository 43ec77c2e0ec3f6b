#pragma once

#include "globe/LLPoint.h"

#include <cstdint>
#include <vector>

namespace wl {

class GlobeObject;
class PrjModel;

// Answers "certainly off the surface" for objects whose on-screen test is their position's
// projection, by cells of latitude and longitude: once per view each cell learns how far its
// whole area lies outside the surface (or that it is on the hidden side), and an object in a
// cell farther out than its margin needs no projection of its own. A layer of a million
// records seen close up then projects only the few in the cells near the view.
class LocationCulling
{
public:
    // Culling is off when the projection cannot bound a cell, or when not enabled (a layer
    // with few objects gains nothing from it).
    LocationCulling(PrjModel& projection, bool enabled);

    // True only when the object cannot be on the surface in this view.
    bool offSurface(const GlobeObject& object);

    // The cell a position falls in, -1 for a position outside the grid.
    static int cellOf(const LLPoint& p);

private:
    struct Cell
    {
        LLPoint centre;
        long double radius; // sphere units: every position of the cell lies within it
    };
    static const std::vector<Cell>& cells();

    PrjModel& m_projection;
    bool m_enabled;
    // Pixels each cell lies outside the surface, computed when first asked for; negative
    // while not yet known.
    std::vector<long double> m_gap;
};

} // namespace wl
