#pragma once

#include "globe/GlobeObject.h"
#include "globe/LLPointList.h"
#include "globe/PointCache.h"
#include "globe/PrjModel.h"

namespace wl {

class GlobePen;

// A line through a list of positions.
class GlobePolyLine : public GlobeObject
{
public:
    using GlobeObject::GlobeObject;

    // The pen comes from the control's current pen.
    static GlobePolyLine& create(ObjectLayer& layer, const LLPointList& points,
                                 const std::string& title);

    LLPointList points;
    GlobePen* pen = nullptr;
    std::uint8_t clipCode = 0;

    bool crossesDateLine() const { return m_crossesDateLine; }
    // The cached subset of points for the current zoom (built by the projection).
    PointCache& pointCache() { return m_cache; }

    std::string className() const override { return "TGlobePolyLine"; }
    void moveTo(const LLPoint& p) override;
    GlobeAttribute* attribute(int index) const override;
    void setAttribute(int index, GlobeAttribute* attribute) override;
    void draw(RenderContext& ctx) override;
    GlobeObject& clone() const override;
    bool isOnScreen() override;
    void updateBounds() override;
    bool hitTest(std::int32_t lon, std::int32_t lat) override;
    void saveToStream(ByteWriter& out, const StreamContext& ctx) const override;
    void loadFromStream(ByteReader& in, const StreamContext& ctx) override;

protected:
    void initLine(const LLPointList& list, const std::string& title);
    // Projects the points and draws every visible run, clipped to the surface.
    void drawRuns(RenderContext& ctx, PrjModel::Shape shape, int minPoints);

private:
    PointCache m_cache;
};

} // namespace wl
