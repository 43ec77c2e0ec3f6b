#pragma once

#include "globe/PrjModel.h"
#include "globe/VectorMath.h"

namespace wl {

// Orthographic view of the globe turned to any centre and rolled about the line of sight.
class SphericalPrj : public PrjModel
{
public:
    explicit SphericalPrj(PrjHost& host);

    void setView(std::int32_t x, std::int32_t y, long double scale, std::int32_t z) override;
    int projectList(const LLPointList& list, PointCache* cache, Shape shape) override;
    bool project(const LLPoint& p, int index) override;
    bool projectLL(std::int32_t lon, std::int32_t lat, int index) override;
    bool unproject(int x, int y, std::int32_t& lon, std::int32_t& lat) const override;
    long double pixelsOffSurface(const LLPoint& centre, long double radius) const override;
    int outline() override;

    long double radiusPx() const { return m_radiusPx; }
    const Matrix3& forward() const { return m_m; }

private:
    void buildCache(const LLPointList& list, PointCache& cache) const;

    Matrix3 m_m{};
    Matrix3 m_n{};
    long double m_radiusPx = 0;
};

} // namespace wl
