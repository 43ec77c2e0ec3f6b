#include "globe/ByteWriter.h"

namespace wl {

void ByteWriter::writeU16(std::uint16_t v)
{
    m_bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
    m_bytes.push_back(static_cast<std::uint8_t>(v >> 8));
}

void ByteWriter::writeI32(std::int32_t v)
{
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        m_bytes.push_back(static_cast<std::uint8_t>((u >> (8 * i)) & 0xFF));
}

void ByteWriter::writeBytes(std::string_view s)
{
    m_bytes.insert(m_bytes.end(), s.begin(), s.end());
}

} // namespace wl
