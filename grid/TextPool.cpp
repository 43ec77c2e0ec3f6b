#include "grid/TextPool.h"

#include <limits>
#include <stdexcept>

namespace wl {

namespace {
constexpr TextPool::Id kEmpty = std::numeric_limits<TextPool::Id>::max();
// After this many texts a pool decides whether interning pays: it keeps on when at least one
// text in kRepeatShare was already there.
constexpr std::uint32_t kJudgeAfter = 50000;
constexpr std::uint32_t kRepeatShare = 4;
} // namespace

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
    interning_ = true;
    interned_ = 0;
    repeats_ = 0;
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

void TextPool::append(std::string_view text)
{
    if (arena_.size() + text.size() > std::numeric_limits<std::uint32_t>::max() ||
        size() >= kEmpty - 1)
        throw std::length_error("grid column text storage is full");
    arena_.insert(arena_.end(), text.begin(), text.end());
    offsets_.push_back(std::uint32_t(arena_.size()));
}

void TextPool::judgeRepeats(bool repeated)
{
    repeats_ += repeated ? 1 : 0;
    if (++interned_ != kJudgeAfter || repeats_ * kRepeatShare >= interned_)
        return;
    interning_ = false;
    std::vector<std::uint32_t>().swap(hashes_);
    std::vector<Id>().swap(slots_);
}

TextPool::Id TextPool::internUtf8(std::string_view text)
{
    if (!interning_) {
        if (text.empty())
            return 0;
        append(text);
        return size() - 1;
    }
    const std::uint32_t hash = hashOf(text);
    const std::int64_t found = lookup(text, hash);
    judgeRepeats(found >= 0);
    if (found >= 0)
        return Id(found);
    append(text);
    if (!interning_) // this text decided it: the tables are gone
        return size() - 1;
    const Id id = size() - 1;
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
    if (interning_)
        return lookup(buffer, hashOf(buffer));
    if (buffer.empty())
        return 0;
    for (Id id = 1; id < size(); ++id) {
        if (bytes(id) == buffer)
            return id;
    }
    return -1;
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
