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

// The byte of a character, or 0 when the code page lacks it (NUL itself is never asked for).
char byteOf(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (std::size_t i = 0; i < High.size(); ++i) {
        if (High[i] != 0 && High[i] == c)
            return char(0x80 + i);
    }
    return 0;
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

QByteArray CodePage1252::encode(QStringView text, bool* lossless)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    bool all = true;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            *out++ = char(c);
            continue;
        }
        const char b = byteOf(c);
        if (b != 0) {
            *out++ = b;
            continue;
        }
        all = false;
        *out++ = '?';
        // A character beyond the 16-bit range is one "?", not two.
        if (QChar::isHighSurrogate(c) && i + 1 < n && text[i + 1].isLowSurrogate())
            ++i;
    }
    bytes.truncate(out - bytes.data());
    if (lossless)
        *lossless = all;
    return bytes;
}

bool CodePage1252::holds(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80 && byteOf(c.unicode()) == 0)
            return false;
    }
    return true;
}

} // namespace wl
