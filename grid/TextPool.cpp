#include "grid/TextPool.h"

#include <limits>
#include <stdexcept>

namespace wl {

namespace {
constexpr TextPool::Id kEmpty = std::numeric_limits<TextPool::Id>::max();
}

void appendUtf8(QStringView text, std::string& out)
{
    out.reserve(out.size() + std::size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x80) {
            out += text.mid(i).toUtf8().toStdString();
            return;
        }
        out += char(c);
    }
}

TextPool::TextPool()
{
    clear();
}

void TextPool::clear()
{
    arena_.clear();
    offsets_.assign({0, 0});
    hashes_.assign({hashOf({})});
    slots_.assign(16, kEmpty);
    slots_[hashes_[0] & (slots_.size() - 1)] = 0;
}

std::uint32_t TextPool::hashOf(std::string_view bytes)
{
    // FNV-1a: short cell texts, cheap and well spread.
    std::uint32_t hash = 2166136261u;
    for (unsigned char c : bytes)
        hash = (hash ^ c) * 16777619u;
    return hash;
}

std::int64_t TextPool::lookup(std::string_view text, std::uint32_t hash) const
{
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const Id id = slots_[slot];
        if (id == kEmpty)
            return -1;
        if (hashes_[id] == hash && bytes(id) == text)
            return id;
    }
}

void TextPool::grow()
{
    std::vector<Id> table(slots_.size() * 2, kEmpty);
    const std::size_t mask = table.size() - 1;
    for (Id id = 0; id < size(); ++id) {
        std::size_t slot = hashes_[id] & mask;
        while (table[slot] != kEmpty)
            slot = (slot + 1) & mask;
        table[slot] = id;
    }
    slots_.swap(table);
}

TextPool::Id TextPool::internUtf8(std::string_view text)
{
    const std::uint32_t hash = hashOf(text);
    if (const std::int64_t found = lookup(text, hash); found >= 0)
        return Id(found);
    if (arena_.size() + text.size() > std::numeric_limits<std::uint32_t>::max() ||
        size() >= kEmpty - 1)
        throw std::length_error("grid column text storage is full");
    const Id id = size();
    arena_.insert(arena_.end(), text.begin(), text.end());
    offsets_.push_back(std::uint32_t(arena_.size()));
    hashes_.push_back(hash);
    if (std::size_t(size()) * 2 > slots_.size())
        grow();
    else {
        const std::size_t mask = slots_.size() - 1;
        std::size_t slot = hash & mask;
        while (slots_[slot] != kEmpty)
            slot = (slot + 1) & mask;
        slots_[slot] = id;
    }
    return id;
}

TextPool::Id TextPool::intern(QStringView text)
{
    if (text.isEmpty())
        return 0;
    thread_local std::string buffer;
    buffer.clear();
    appendUtf8(text, buffer);
    return internUtf8(buffer);
}

std::int64_t TextPool::find(QStringView text) const
{
    std::string buffer;
    appendUtf8(text, buffer);
    return lookup(buffer, hashOf(buffer));
}

QString TextPool::text(Id id) const
{
    const std::string_view b = bytes(id);
    return QString::fromUtf8(b.data(), qsizetype(b.size()));
}

std::size_t TextPool::memoryBytes() const
{
    return arena_.capacity() + offsets_.capacity() * sizeof(std::uint32_t) +
           hashes_.capacity() * sizeof(std::uint32_t) + slots_.capacity() * sizeof(Id);
}

} // namespace wl
