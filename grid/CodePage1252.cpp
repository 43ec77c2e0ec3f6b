#include "grid/CodePage1252.h"

#include <QList>

#include <array>

namespace wl {

namespace {

// The characters of bytes 0x80 to 0x9F; 0 marks a byte the code page leaves unassigned.
constexpr std::array<char16_t, 32> High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char byteOf(uint c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (std::size_t i = 0; i < High.size(); ++i) {
        if (High[i] != 0 && High[i] == c)
            return char(0x80 + i);
    }
    return '?';
}

} // namespace

QString CodePage1252::decode(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        const bool high = b >= 0x80 && b < 0xA0 && High[b - 0x80] != 0;
        text += high ? QChar(High[b - 0x80]) : QChar(b);
    }
    return text;
}

QByteArray CodePage1252::encode(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const uint c : text.toUcs4())
        bytes += byteOf(c);
    return bytes;
}

} // namespace wl
