#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace wl {

// An ini-style text file of [sections] and key=value lines, read and written as plain text.
// Section and key names match without regard to ASCII case; values are kept byte for byte.
// Comment and unrecognised lines survive a save.
class IniFile
{
public:
    IniFile() = default;
    // Reads the file if it exists; a missing file gives an empty profile that save creates.
    explicit IniFile(std::string path);

    const std::string& path() const { return m_path; }
    void parse(const std::string& text);
    std::string text() const;
    // Replaces the file atomically; throws GlobeException on failure.
    void save() const;

    bool hasKey(const std::string& section, const std::string& key) const;
    std::string readString(const std::string& section, const std::string& key,
                           const std::string& fallback) const;
    // Decimal or 0x-prefixed hexadecimal; anything else gives the fallback.
    std::int32_t readInt(const std::string& section, const std::string& key,
                         std::int32_t fallback) const;
    // Stored as integers: non-zero is true.
    bool readBool(const std::string& section, const std::string& key, bool fallback) const;

    void writeString(const std::string& section, const std::string& key, const std::string& value);
    void writeInt(const std::string& section, const std::string& key, std::int32_t value);
    void writeBool(const std::string& section, const std::string& key, bool value);
    void eraseSection(const std::string& section);

private:
    struct Line
    {
        std::string key; // empty for a comment or blank line, kept as text
        std::string value;
    };
    struct Section
    {
        std::string name;
        std::vector<Line> lines;
    };

    Section* find(const std::string& section);
    const Section* find(const std::string& section) const;
    const Line* findLine(const std::string& section, const std::string& key) const;

    std::string m_path;
    std::vector<Section> m_sections; // the first, unnamed one holds lines before any header
};

} // namespace wl
