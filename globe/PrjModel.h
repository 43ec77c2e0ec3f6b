#pragma once

#include "globe/LLPoint.h"
#include "globe/ScreenPoint.h"

#include <cstdint>
#include <vector>

namespace wl {

class LLPointList;
class PrjHost;
struct PointCache;

// Base of the projection models: turns positions into device pixels of the host's surface.
// Results go into the model's point buffer, which grows as needed.
class PrjModel
{
public:
    // How a point list is to be drawn: a polyline's run is broken where the spherical model
    // cannot show a point, a polygon's hidden points are pushed onto the horizon instead.
    enum class Shape
    {
        Polygon,
        Polyline,
    };
    struct Run
    {
        int start;
        int count;
    };

    PrjModel(PrjHost& host, const GURect& extent);
    virtual ~PrjModel() = default;
    PrjModel(const PrjModel&) = delete;
    PrjModel& operator=(const PrjModel&) = delete;

    // View latitude, longitude, pixels per GU and roll.
    virtual void setView(std::int32_t x, std::int32_t y, long double scale, std::int32_t z);
    // Clip code of a shape that may extend beyond every edge of the surface.
    static constexpr std::uint8_t WholeSurfaceCode = 0x5A;

    // Is a GU rectangle on the surface; code receives the clip code of its projected outline
    // (unchanged when it is not visible). A box whose corners are all hidden is still visible
    // when it is wider than a hemisphere or its edges cross the visible side.
    virtual bool rectVisible(const GURect& r, std::uint8_t& code);
    // Projects a list into buffer slots from 0 and returns the count; runs() tells where a
    // polyline is broken.
    virtual int projectList(const LLPointList& list, PointCache* cache, Shape shape);
    virtual bool project(const LLPoint& p, int index);
    virtual bool projectLL(std::int32_t lon, std::int32_t lat, int index) = 0;
    virtual bool unproject(int x, int y, std::int32_t& lon, std::int32_t& lat) const = 0;
    // A lower bound of how many pixels every position within radius (sphere units) of centre
    // lies outside the surface; very large when all of them are on the hidden side. 0 when
    // the model cannot tell, so nothing is ever left out on its word.
    virtual long double pixelsOffSurface(const LLPoint& centre, long double radius) const
    {
        (void)centre;
        (void)radius;
        return 0;
    }
    // Writes the outline of the mappable area into the buffer and returns its point count.
    virtual int outline();

    std::vector<ScreenPoint>& points() { return m_points; }
    const std::vector<ScreenPoint>& points() const { return m_points; }
    const std::vector<Run>& runs() const { return m_runs; }

    std::int32_t cx() const { return m_cx; }
    std::int32_t cy() const { return m_cy; }
    long double scale() const { return m_scale; }
    std::int32_t unitsPerInch() const { return m_unitsPerInch; }
    std::int32_t unitsPerPixel() const { return m_unitsPerPixel; }
    std::int32_t xRotation() const { return m_xRotation; }
    std::int32_t yRotation() const { return m_yRotation; }
    std::int32_t zRotation() const { return m_zRotation; }
    const GURect& extent() const { return m_extent; }
    virtual void setOrigin(std::int32_t cx, std::int32_t cy);
    PrjHost& host() const { return m_host; }

protected:
    void put(int index, std::int64_t x, std::int64_t y);
    void storeView(std::int32_t x, std::int32_t y, long double scale, std::int32_t z);
    void singleRun(int count);

    std::int32_t m_cx = 75;
    std::int32_t m_cy = 75;
    long double m_scale = 1;
    std::int32_t m_unitsPerInch = 0;
    std::int32_t m_xRotation = 126900000; // 23.5 degrees
    std::int32_t m_yRotation = 0;
    std::int32_t m_zRotation = 0;
    std::int32_t m_unitsPerPixel = 0;
    std::vector<ScreenPoint> m_points;
    std::vector<Run> m_runs;

private:
    PrjHost& m_host;
    GURect m_extent;
};

} // namespace wl
