#include "globe/ByteReader.h"

#include "globe/GlobeException.h"

namespace wl {

void ByteReader::require(std::size_t n) const
{
    if (n > remaining())
        throw GlobeException("Stream read error: record truncated");
}

std::uint8_t ByteReader::readU8()
{
    require(1);
    return m_data[m_pos++];
}

std::int8_t ByteReader::readI8()
{
    return static_cast<std::int8_t>(readU8());
}

std::uint16_t ByteReader::readU16()
{
    require(2);
    const auto v = static_cast<std::uint16_t>(m_data[m_pos] | (m_data[m_pos + 1] << 8));
    m_pos += 2;
    return v;
}

std::int16_t ByteReader::readI16()
{
    return static_cast<std::int16_t>(readU16());
}

std::int32_t ByteReader::readI32()
{
    require(4);
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | m_data[m_pos + i];
    m_pos += 4;
    return static_cast<std::int32_t>(v);
}

std::string ByteReader::readBytes(std::size_t n)
{
    require(n);
    std::string s(reinterpret_cast<const char*>(m_data.data() + m_pos), n);
    m_pos += n;
    return s;
}

void ByteReader::skip(std::size_t n)
{
    require(n);
    m_pos += n;
}

} // namespace wl
