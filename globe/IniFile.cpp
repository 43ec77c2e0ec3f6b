#include "globe/IniFile.h"

#include "globe/FileBytes.h"

#include <charconv>

namespace wl {

namespace {

std::string trim(const std::string& s)
{
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return {};
    const auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

bool sameName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

} // namespace

IniFile::IniFile(std::string path) : m_path(std::move(path))
{
    if (auto bytes = FileBytes::read(m_path))
        parse(std::string(bytes->begin(), bytes->end()));
    else
        m_sections.push_back({});
}

void IniFile::parse(const std::string& input)
{
    m_sections.assign(1, Section{});
    std::string text = input;
    if (text.starts_with("\xEF\xBB\xBF"))
        text.erase(0, 3);
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string raw = text.substr(pos, end - pos);
        pos = end + 1;
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        const std::string line = trim(raw);
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            m_sections.push_back({trim(line.substr(1, line.size() - 2)), {}});
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string::npos || eq == 0 || line[0] == ';' || line[0] == '#') {
            m_sections.back().lines.push_back({{}, raw});
            continue;
        }
        m_sections.back().lines.push_back({trim(line.substr(0, eq)), trim(line.substr(eq + 1))});
    }
}

std::string IniFile::text() const
{
    std::string out;
    for (std::size_t i = 0; i < m_sections.size(); ++i) {
        const Section& s = m_sections[i];
        if (i > 0)
            out += "[" + s.name + "]\r\n";
        for (const Line& l : s.lines)
            out += (l.key.empty() ? l.value : l.key + "=" + l.value) + "\r\n";
    }
    return out;
}

void IniFile::save() const
{
    const std::string t = text();
    FileBytes::writeAtomically(
        m_path, std::span(reinterpret_cast<const std::uint8_t*>(t.data()), t.size()));
}

IniFile::Section* IniFile::find(const std::string& section)
{
    for (std::size_t i = 1; i < m_sections.size(); ++i) {
        if (sameName(m_sections[i].name, section))
            return &m_sections[i];
    }
    return nullptr;
}

const IniFile::Section* IniFile::find(const std::string& section) const
{
    return const_cast<IniFile*>(this)->find(section);
}

const IniFile::Line* IniFile::findLine(const std::string& section, const std::string& key) const
{
    const Section* s = find(section);
    if (!s)
        return nullptr;
    for (const Line& l : s->lines) {
        if (!l.key.empty() && sameName(l.key, key))
            return &l;
    }
    return nullptr;
}

bool IniFile::hasKey(const std::string& section, const std::string& key) const
{
    return findLine(section, key) != nullptr;
}

std::string IniFile::readString(const std::string& section, const std::string& key,
                                const std::string& fallback) const
{
    const Line* l = findLine(section, key);
    return l ? l->value : fallback;
}

std::int32_t IniFile::readInt(const std::string& section, const std::string& key,
                              std::int32_t fallback) const
{
    const Line* l = findLine(section, key);
    if (!l || l->value.empty())
        return fallback;
    std::string v = l->value;
    const bool negative = v[0] == '-';
    std::size_t start = negative || v[0] == '+' ? 1 : 0;
    int base = 10;
    if (v.size() > start + 1 && v[start] == '0' && (v[start + 1] == 'x' || v[start + 1] == 'X')) {
        base = 16;
        start += 2;
    } else if (v.size() > start && v[start] == '$') {
        base = 16;
        start += 1;
    }
    std::int64_t n = 0;
    const char* first = v.data() + start;
    const char* last = v.data() + v.size();
    auto [p, ec] = std::from_chars(first, last, n, base);
    if (ec != std::errc() || p != last || first == last)
        return fallback;
    n = negative ? -n : n;
    if (n < INT32_MIN || n > (base == 16 ? INT64_C(0xFFFFFFFF) : INT32_MAX))
        return fallback;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(n));
}

bool IniFile::readBool(const std::string& section, const std::string& key, bool fallback) const
{
    return readInt(section, key, fallback ? 1 : 0) != 0;
}

void IniFile::writeString(const std::string& section, const std::string& key,
                          const std::string& value)
{
    Section* s = find(section);
    if (!s) {
        m_sections.push_back({section, {}});
        s = &m_sections.back();
    }
    for (Line& l : s->lines) {
        if (!l.key.empty() && sameName(l.key, key)) {
            l.value = value;
            return;
        }
    }
    // New keys go after the last key, before trailing blank lines that separate sections.
    auto it = s->lines.end();
    while (it != s->lines.begin() && std::prev(it)->key.empty() &&
           trim(std::prev(it)->value).empty())
        --it;
    s->lines.insert(it, Line{key, value});
}

void IniFile::writeInt(const std::string& section, const std::string& key, std::int32_t value)
{
    writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(const std::string& section, const std::string& key, bool value)
{
    writeString(section, key, value ? "1" : "0");
}

void IniFile::eraseSection(const std::string& section)
{
    for (std::size_t i = 1; i < m_sections.size(); ++i) {
        if (sameName(m_sections[i].name, section)) {
            m_sections.erase(m_sections.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
    }
}

} // namespace wl
