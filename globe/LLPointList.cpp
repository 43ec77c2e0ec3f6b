#include "globe/LLPointList.h"

#include "globe/ByteReader.h"
#include "globe/ByteWriter.h"
#include "globe/GlobeException.h"
#include "globe/GlobeMath.h"
#include "globe/StreamContext.h"

#include <cstdlib>
#include <string>

namespace wl {

namespace {

bool scaled(const StreamContext& ctx)
{
    return ctx.storedUnit > 1;
}

std::int32_t unitOf(const StreamContext& ctx)
{
    return ctx.storedUnit > 0 ? ctx.storedUnit : 1;
}

// Stored coordinates back to a point; out-of-range values from a damaged file are wrapped
// (longitude) or saturated (latitude) instead of overflowing.
LLPoint fromStored(std::int64_t a, std::int64_t c, std::int32_t u)
{
    return makeLLPoint(normalizeLon(a * u), gmath::saturate32(c * u));
}

struct Quantised
{
    std::int64_t lon, lat;
};

} // namespace

void writePointRecord(ByteWriter& out, const StreamContext& ctx, const LLPoint& p)
{
    if (scaled(ctx)) {
        out.writeI16(static_cast<std::int16_t>(p.lon / ctx.storedUnit));
        out.writeI16(static_cast<std::int16_t>(p.lat / ctx.storedUnit));
    } else {
        out.writeI32(p.lon);
        out.writeI32(p.lat);
    }
}

LLPoint readPointRecord(ByteReader& in, const StreamContext& ctx)
{
    if (scaled(ctx)) {
        const std::int16_t lon = in.readI16();
        const std::int16_t lat = in.readI16();
        return fromStored(lon, lat, ctx.storedUnit);
    }
    const std::int32_t lon = in.readI32();
    const std::int32_t lat = in.readI32();
    return fromStored(lon, lat, 1);
}

void LLPointList::add(const LLPoint& p)
{
    if (m_count == capacity()) {
        const std::int32_t cap = capacity();
        const std::int32_t delta = cap > 64 ? cap / 4 : (cap > 8 ? 16 : 4);
        setCapacity(static_cast<std::int64_t>(cap) + delta);
    }
    m_items[m_count++] = p;
}

LLPoint LLPointList::get(std::int32_t index) const
{
    if (index < 0 || index >= m_count)
        throw GlobeException("TLLPointList.Get: Bad Index " + std::to_string(index));
    return m_items[index];
}

void LLPointList::set(std::int32_t index, const LLPoint& p)
{
    if (index < 0 || index >= m_count)
        throw GlobeException("TLLPointList.Put: Bad Index " + std::to_string(index));
    m_items[index] = p;
}

void LLPointList::remove(std::int32_t index)
{
    if (index < 0 || index >= m_count)
        throw GlobeException("TLLPointList.Delete: Bad Index " + std::to_string(index));
    m_items.erase(m_items.begin() + index);
    m_items.push_back(LLPoint{});
    --m_count;
}

void LLPointList::setCount(std::int64_t n)
{
    if (n < 0 || n > MaxCount)
        throw GlobeException("TLLPointList.SetCount: Bad Count " + std::to_string(n));
    if (n > capacity())
        setCapacity(n);
    for (std::int64_t i = m_count; i < n; ++i)
        m_items[i] = LLPoint{};
    m_count = static_cast<std::int32_t>(n);
}

void LLPointList::setCapacity(std::int64_t n)
{
    if (n < m_count || n > MaxCount)
        throw GlobeException("TLLPointList.SetCapacity: Bad Size " + std::to_string(n));
    m_items.resize(static_cast<std::size_t>(n));
    m_items.shrink_to_fit();
}

void LLPointList::clear()
{
    setCount(0);
    setCapacity(0);
}

void LLPointList::assign(const LLPointList& other)
{
    if (&other == this) {
        removeDuplicates();
        return;
    }
    setCount(other.count());
    for (std::int32_t i = 0; i < other.count(); ++i)
        m_items[i] = other.get(i);
    removeDuplicates();
}

void LLPointList::removeDuplicates()
{
    // Of each run of equal positions the last point stays, as a walk from the end that
    // deletes repeats would leave it; done in one pass so long coastlines stay linear.
    std::int32_t kept = 0;
    for (std::int32_t i = 0; i < m_count; ++i) {
        const bool last = i + 1 == m_count;
        if (last || m_items[i + 1].lon != m_items[i].lon || m_items[i + 1].lat != m_items[i].lat)
            m_items[kept++] = m_items[i];
    }
    for (std::int32_t i = kept; i < m_count; ++i)
        m_items[i] = LLPoint{};
    m_count = kept;
}

void LLPointList::saveToStream(ByteWriter& out, const StreamContext& ctx) const
{
    const std::int32_t u = unitOf(ctx);
    const std::int64_t w = scaled(ctx) ? 4 : 8;
    // Quantise first and difference the quantised points: differencing raw points truncates
    // each step separately, which drops whole runs of closely spaced points.
    std::vector<Quantised> q(static_cast<std::size_t>(m_count));
    for (std::int32_t i = 0; i < m_count; ++i)
        q[i] = {m_items[i].lon / u, m_items[i].lat / u};

    std::int64_t n = m_count, big8 = 0, big16 = 0;
    for (std::int32_t i = 1; i < m_count; ++i) {
        const std::int64_t dx = q[i].lon - q[i - 1].lon;
        const std::int64_t dy = q[i].lat - q[i - 1].lat;
        if (dx == 0 && dy == 0)
            --n;
        if (std::llabs(dx) > 127 || std::llabs(dy) > 127)
            ++big8;
        if (std::llabs(dx) > 32767 || std::llabs(dy) > 32767)
            ++big16;
    }
    if (n > MaxStreamCount)
        throw GlobeException("TLLPointList.SaveToStream: Too many points " + std::to_string(n));
    const std::int64_t size8 = 2 * n + big8 * w;
    const std::int64_t size16 = 4 * n + big16 * w;
    int encoding = size8 <= size16 ? 1 : 2;
    if (n * w < size8 && n * w < size16)
        encoding = 0;

    out.writeU8(1);
    out.writeU16(static_cast<std::uint16_t>(n));
    out.writeU8(static_cast<std::uint8_t>(encoding));
    writePointRecord(out, ctx, m_count > 0 ? m_items[0] : LLPoint{});
    for (std::int32_t i = 1; i < m_count; ++i) {
        const std::int64_t dx = q[i].lon - q[i - 1].lon;
        const std::int64_t dy = q[i].lat - q[i - 1].lat;
        if (dx == 0 && dy == 0)
            continue;
        if (encoding == 0) {
            writePointRecord(out, ctx, m_items[i]);
        } else if (encoding == 1) {
            if (std::llabs(dx) > 127 || std::llabs(dy) > 127) {
                out.writeI8(0);
                out.writeI8(0);
                writePointRecord(out, ctx, m_items[i]);
            } else {
                out.writeI8(static_cast<std::int8_t>(dx));
                out.writeI8(static_cast<std::int8_t>(dy));
            }
        } else {
            if (std::llabs(dx) > 32767 || std::llabs(dy) > 32767) {
                out.writeI16(0);
                out.writeI16(0);
                out.writeI32(static_cast<std::int32_t>(q[i].lon));
                out.writeI32(static_cast<std::int32_t>(q[i].lat));
            } else {
                out.writeI16(static_cast<std::int16_t>(dx));
                out.writeI16(static_cast<std::int16_t>(dy));
            }
        }
    }
}

void LLPointList::loadFromStream(ByteReader& in, const StreamContext& ctx,
                                 const LLPoint& firstPoint)
{
    const std::int32_t u = unitOf(ctx);
    if (ctx.fileVersion >= StreamContext::Version544)
        in.readU8();
    const std::uint16_t n = in.readU16();
    const std::uint8_t encoding = in.readU8();
    if (encoding > 2)
        throw GlobeException("TLLPointList.LoadFromStream: Unknown encoding " +
                             std::to_string(encoding));
    const LLPoint first =
        ctx.fileVersion >= StreamContext::Version544 ? readPointRecord(in, ctx) : firstPoint;
    // Each point needs at least two bytes, so a count the data cannot hold is refused before
    // any memory is committed to it.
    if (n > 1 && in.remaining() / 2 < static_cast<std::size_t>(n - 1))
        throw GlobeException("Stream read error: record truncated");
    LLPointList result;
    result.setCount(n);
    if (n == 0) {
        *this = std::move(result);
        return;
    }
    result.m_items[0] = first;
    std::int64_t a = first.lon / u;
    std::int64_t c = first.lat / u;
    for (std::int32_t i = 1; i < n; ++i) {
        if (encoding == 0) {
            const LLPoint p = readPointRecord(in, ctx);
            a = p.lon / u;
            c = p.lat / u;
            result.m_items[i] = p;
            continue;
        }
        std::int64_t dx, dy;
        if (encoding == 1) {
            dx = in.readI8();
            dy = in.readI8();
        } else {
            dx = in.readI16();
            dy = in.readI16();
        }
        if (dx == 0 && dy == 0) {
            if (encoding == 1) {
                const LLPoint p = readPointRecord(in, ctx);
                a = p.lon / u;
                c = p.lat / u;
            } else {
                a = in.readI32();
                c = in.readI32();
            }
        } else {
            a += dx;
            c += dy;
        }
        result.m_items[i] = fromStored(a, c, u);
    }
    *this = std::move(result);
}

} // namespace wl
