#pragma once

#include "globe/LLPoint.h"

#include <cstdint>
#include <vector>

namespace wl {

class ByteReader;
class ByteWriter;
struct StreamContext;

// Growable list of points with the compact delta-coded stream form of the layer files.
class LLPointList
{
public:
    static constexpr std::int32_t MaxCount = 134217727;
    // The stream's count field is 16 bits wide.
    static constexpr std::int32_t MaxStreamCount = 65535;

    std::int32_t count() const { return m_count; }
    std::int32_t capacity() const { return static_cast<std::int32_t>(m_items.size()); }

    void add(const LLPoint& p);
    LLPoint get(std::int32_t index) const;
    const LLPoint& operator[](std::int32_t index) const { return m_items[index]; }
    void set(std::int32_t index, const LLPoint& p);
    void remove(std::int32_t index);
    void setCount(std::int64_t n);
    void setCapacity(std::int64_t n);
    void clear();
    // Copies the other list and drops consecutive duplicates.
    void assign(const LLPointList& other);
    void removeDuplicates();

    // Throws GlobeException when more than MaxStreamCount points would be written.
    void saveToStream(ByteWriter& out, const StreamContext& ctx) const;
    // firstPoint stands in for the first point of files older than 544, whose owner stores it.
    void loadFromStream(ByteReader& in, const StreamContext& ctx, const LLPoint& firstPoint = {});

private:
    std::vector<LLPoint> m_items; // size() is the capacity
    std::int32_t m_count = 0;
};

// Reads and writes one point record in the stream's coordinate unit.
void writePointRecord(ByteWriter& out, const StreamContext& ctx, const LLPoint& p);
LLPoint readPointRecord(ByteReader& in, const StreamContext& ctx);

} // namespace wl
