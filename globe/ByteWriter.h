#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace wl {

// Little-endian writer into memory; the layer saver writes the buffer out atomically.
class ByteWriter
{
public:
    void writeU8(std::uint8_t v) { m_bytes.push_back(v); }
    void writeI8(std::int8_t v) { writeU8(static_cast<std::uint8_t>(v)); }
    void writeU16(std::uint16_t v);
    void writeI16(std::int16_t v) { writeU16(static_cast<std::uint16_t>(v)); }
    void writeI32(std::int32_t v);
    void writeBytes(std::string_view s);

    const std::vector<std::uint8_t>& bytes() const { return m_bytes; }
    std::vector<std::uint8_t> take() { return std::move(m_bytes); }

private:
    std::vector<std::uint8_t> m_bytes;
};

} // namespace wl
