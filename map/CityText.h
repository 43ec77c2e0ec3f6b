#pragma once

#include <QString>

#include <cstdint>
#include <string>

namespace wl {

// The texts of a city in the editor: its position as "27 12 N" / "80 16 W" (whole degrees,
// two-digit minutes, hemisphere letter; seconds dropped) and its title, which layer files
// hold as single-byte ISO 8859-1 text of at most 64 characters.
class CityText
{
public:
    static constexpr int MaxTitleLength = 64;

    static QString latitudeText(std::int32_t gu);
    static QString longitudeText(std::int32_t gu);
    // Reads what the boxes show back; "N" (or "E") gives a positive value, any other letter a
    // negative one. Text that stops matching keeps what was read so far.
    static std::int32_t readLatitude(const QString& text);
    static std::int32_t readLongitude(const QString& text);

    // The stored form of a typed title: characters the code page lacks lose their accents
    // where they have any, else become "?", so the byte count always equals the character
    // count and the cut at 64 characters never splits a character.
    static std::string titleBytes(const QString& text);
    static QString titleText(const std::string& bytes);
    // Byte-wise ascending order of stored titles after any leading punctuation: capital
    // letters before small ones, "'Abasan" among the A's.
    static bool titleLess(const std::string& a, const std::string& b);
};

} // namespace wl
