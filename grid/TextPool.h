#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace wl {

// Interned cell texts of one grid column, stored once each as UTF-8 in one arena.
//
// A grid column repeats a few values endlessly (categories, the blank texts of empty fields),
// so cells hold a 32-bit id and equal texts share one entry. Id 0 is always the empty text.
// Entries are never removed one by one (ids stay valid while cells are edited or rows move);
// clear() drops them all.
//
// Some columns hardly ever repeat (frequencies, times, notes): there the lookup tables would
// cost more than the texts they save. Once a pool has seen enough texts with few repeats among
// them it stops interning: every later text gets an entry of its own and the tables are freed.
// Equal texts may then have different ids; the text of an id stays what it was.
class TextPool
{
public:
    using Id = std::uint32_t;

    TextPool();

    Id intern(QStringView text);
    Id internUtf8(std::string_view bytes);
    // The id of a text already interned, or -1.
    std::int64_t find(QStringView text) const;
    bool interning() const { return interning_; }

    std::string_view bytes(Id id) const
    {
        return {arena_.data() + offsets_[id], offsets_[id + 1] - offsets_[id]};
    }
    QString text(Id id) const;
    Id size() const { return Id(offsets_.size() - 1); }
    void clear();
    std::size_t memoryBytes() const;

private:
    static std::uint32_t hashOf(std::string_view bytes);
    std::int64_t lookup(std::string_view bytes, std::uint32_t hash) const;
    void grow();
    void append(std::string_view bytes);
    void judgeRepeats(bool repeated);

    std::vector<char> arena_;
    std::vector<std::uint32_t> offsets_; // entry i spans offsets_[i] .. offsets_[i + 1]
    std::vector<std::uint32_t> hashes_;
    std::vector<Id> slots_; // open addressing over ids; kEmpty marks a free slot
    bool interning_ = true;
    std::uint32_t interned_ = 0; // texts looked up while interning
    std::uint32_t repeats_ = 0;  // of those, the ones found already in the pool
};

// UTF-8 of a text; ASCII (the usual case) is copied without a temporary QByteArray.
void appendUtf8(QStringView text, std::string& out);

} // namespace wl
