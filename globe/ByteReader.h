#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace wl {

// Little-endian reader over bytes already in memory. Every read is checked against the end,
// so a truncated or hostile record raises GlobeException instead of reading past the data.
class ByteReader
{
public:
    explicit ByteReader(std::span<const std::uint8_t> data) : m_data(data) {}

    std::size_t position() const { return m_pos; }
    std::size_t remaining() const { return m_data.size() - m_pos; }
    bool atEnd() const { return m_pos >= m_data.size(); }

    std::uint8_t readU8();
    std::int8_t readI8();
    std::uint16_t readU16();
    std::int16_t readI16();
    std::int32_t readI32();
    std::string readBytes(std::size_t n);
    void skip(std::size_t n);

private:
    void require(std::size_t n) const;

    std::span<const std::uint8_t> m_data;
    std::size_t m_pos = 0;
};

} // namespace wl
