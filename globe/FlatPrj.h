#pragma once

#include "globe/PrjModel.h"

namespace wl {

// A flat world map that is panned, not turned; subclasses give the vertical scale.
class FlatPrj : public PrjModel
{
public:
    using PrjModel::PrjModel;

    // X and Y are the latitude and longitude shown at the surface's centre: a new X or Y pans
    // the map to put that point there, and reads back as asked; a view that keeps them (a
    // zoom or resize, which place the origin themselves) keeps the origin.
    void setView(std::int32_t x, std::int32_t y, long double scale, std::int32_t z) override;
    // Moving the origin pans the map, so X and Y become the point now at the centre.
    void setOrigin(std::int32_t cx, std::int32_t cy) override;
    // A polygon ring that crosses the 180th meridian is made continuous, placed so that most
    // of it lies on the map, and drawn once more on the other side for the part beyond the
    // map's edge; each copy is cut at the map's edges. One run per copy.
    int projectList(const LLPointList& list, PointCache* cache, Shape shape) override;
    bool projectLL(std::int32_t lon, std::int32_t lat, int index) override;
    bool unproject(int x, int y, std::int32_t& lon, std::int32_t& lat) const override;

protected:
    // Latitude to the map's vertical coordinate in GU, and back.
    virtual long double northing(long double lat) const = 0;
    virtual long double latitudeOf(long double northing) const = 0;

private:
    void centreRotationsOnOrigin();
    bool inExtent(std::int64_t lon, std::int64_t lat) const;
    ScreenPoint toScreen(long double lon, long double lat) const;

    // The view centre last asked for through setView.
    std::int32_t m_askedX = m_xRotation;
    std::int32_t m_askedY = m_yRotation;
};

} // namespace wl
