#include "globe/GlobeObject.h"

#include "globe/ByteReader.h"
#include "globe/ByteWriter.h"
#include "globe/Clipper.h"
#include "globe/GlobeException.h"
#include "globe/GlobeHost.h"
#include "globe/GlobeMath.h"
#include "globe/PrjHost.h"
#include "globe/PrjModel.h"
#include "globe/StreamContext.h"

namespace wl {

GlobeHost& GlobeObject::host() const
{
    return m_layer->host();
}

PrjModel& GlobeObject::projection() const
{
    return host().projection();
}

void GlobeObject::init(std::int32_t lat, std::int32_t lon, const std::string& title)
{
    setTitle(title);
    moveTo(makeLLPoint(lon, lat));
}

void GlobeObject::setTitle(std::string&& title)
{
    if (title.size() > MaxTitleLength)
        title.erase(MaxTitleLength);
    m_title = std::move(title);
}

void GlobeObject::setSelected(bool selected)
{
    if (selected == this->selected())
        return;
    state |= AppearanceChanged;
    if (selected) {
        state |= Selected;
        host().addToSelection(*this);
    } else {
        state &= ~Selected;
        host().removeFromSelection(*this);
    }
    doSelect();
    host().redraw();
}

void GlobeObject::setHidden(bool hidden)
{
    if (hidden == this->hidden())
        return;
    if (hidden)
        state |= Hidden;
    else
        state &= ~Hidden;
    state |= AppearanceChanged;
    host().redraw();
}

int GlobeObject::index() const
{
    return m_layer->indexOf(*this);
}

void GlobeObject::setIndex(int index)
{
    m_layer->moveObject(*this, index);
    host().redraw();
}

void GlobeObject::changed()
{
    state |= BoundsStale;
    if (m_layer->animated)
        host().invalidate();
    else
        host().redraw();
}

void GlobeObject::remove()
{
    m_layer->removeObject(*this);
}

LLPoint GlobeObject::centre() const
{
    const std::int64_t halfW = (std::int64_t{m_bounds.right} - m_bounds.left) / 2;
    const std::int64_t halfH = (std::int64_t{m_bounds.bottom} - m_bounds.top) / 2;
    return makeLLPoint(normalizeLon(m_bounds.left + halfW), clampLat(m_bounds.top + halfH));
}

void GlobeObject::moveTo(const LLPoint& p)
{
    // Wrapping a latitude would send an object past the north pole to the south pole; it is
    // held at the pole instead.
    const std::int32_t lon = normalizeLon(p.lon), lat = clampLat(p.lat);
    // A point made with its sphere coordinates (never all zero on the sphere) keeps them: a
    // log of a million records is not put through the trigonometry twice.
    const bool made = p.lon == lon && p.lat == lat && (p.x != 0 || p.y != 0 || p.z != 0);
    m_location = made ? p : makeLLPoint(lon, lat);
    state |= BoundsStale;
    changed();
}

GlobeObject& GlobeObject::clone() const
{
    throw GlobeException("Clone not implemented for this object");
}

bool GlobeObject::isOnScreen()
{
    PrjModel& prj = projection();
    int n = 0;
    const GURect& b = m_bounds;
    const std::int32_t corners[4][2] = {
        {b.left, b.top}, {b.right, b.top}, {b.right, b.bottom}, {b.left, b.bottom}};
    for (const auto& c : corners) {
        if (prj.projectLL(c[0], c[1], n))
            ++n;
    }
    if (n == 0)
        return false;
    return clipCodeVisible(
        clipCode(prj.points().data(), n, prj.host().surfaceWidth(), prj.host().surfaceHeight()));
}

void GlobeObject::updateBounds()
{
    const std::int64_t lon = m_location.lon, lat = m_location.lat;
    m_bounds = {gmath::saturate32(lon - 1), gmath::saturate32(lat - 1), gmath::saturate32(lon + 1),
                gmath::saturate32(lat + 1)};
}

void GlobeObject::doSelect()
{
    host().objectSelected(*this);
}

void GlobeObject::refreshBounds()
{
    if (state & BoundsStale) {
        state &= ~(BoundsStale | TooSmall | OnScreen);
        updateBounds();
    }
}

bool GlobeObject::hitTest(std::int32_t lon, std::int32_t lat)
{
    if (hidden())
        return false;
    refreshBounds();
    return m_bounds.left <= lon && lon < m_bounds.right && m_bounds.top <= lat &&
           lat < m_bounds.bottom;
}

void GlobeObject::saveHeader(ByteWriter& out) const
{
    const auto n = static_cast<std::uint8_t>(m_title.size());
    if (objectID == 0) {
        out.writeU8(n);
        out.writeBytes(m_title);
    } else {
        out.writeU8(static_cast<std::uint8_t>(n + 65));
        out.writeBytes(m_title);
        out.writeI32(objectID);
    }
}

void GlobeObject::loadHeader(ByteReader& in, const StreamContext& ctx)
{
    if (ctx.fileVersion < StreamContext::Version528)
        in.skip(1);
    const std::uint8_t b = in.readU8();
    const bool hasID = b >= 65;
    const std::size_t length = hasID ? b - 65 : b;
    if (length > MaxTitleLength)
        throw GlobeException("Stream read error: title length " + std::to_string(length));
    std::string title = in.readBytes(length);
    const std::int32_t id = hasID ? in.readI32() : 0;
    m_title = std::move(title);
    objectID = id;
    state = BoundsStale;
}

void GlobeObject::saveToStream(ByteWriter& out, const StreamContext&) const
{
    saveHeader(out);
}

void GlobeObject::loadFromStream(ByteReader& in, const StreamContext& ctx)
{
    loadHeader(in, ctx);
}

} // namespace wl
