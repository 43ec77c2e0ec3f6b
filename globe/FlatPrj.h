#pragma once

#include "globe/PrjModel.h"

namespace wl {

// A flat world map that is panned, not turned; subclasses give the vertical scale.
class FlatPrj : public PrjModel
{
public:
    using PrjModel::PrjModel;

    // X and Y record the requested view centre; the map is panned by the change from the
    // centre recorded before, so reading the rotations back gives what was asked for.
    void setView(std::int32_t x, std::int32_t y, long double scale, std::int32_t z) override;
    // A polygon ring that crosses the 180th meridian continues past the map's edge instead of
    // jumping back across the whole map, which would fill a band from edge to edge.
    int projectList(const LLPointList& list, PointCache* cache, Shape shape) override;
    bool projectLL(std::int32_t lon, std::int32_t lat, int index) override;
    bool unproject(int x, int y, std::int32_t& lon, std::int32_t& lat) const override;

protected:
    // Latitude to the map's vertical coordinate in GU, and back.
    virtual long double northing(long double lat) const = 0;
    virtual long double latitudeOf(long double northing) const = 0;

private:
    bool inExtent(std::int64_t lon, std::int64_t lat) const;
    ScreenPoint toScreen(long double lon, long double lat) const;
};

} // namespace wl
