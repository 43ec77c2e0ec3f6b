#pragma once

#include <QVariant>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace wl {

// The objects of one grid column, one per row. Lists keep a record number on every row, so
// whole numbers are held as plain integers with a one-byte type tag; the first object of any
// other kind turns the column into a list of QVariants, which keeps whatever callers store.
class CellObjects
{
public:
    bool empty() const { return tags_.empty() && variants_.empty(); }
    std::size_t size() const { return variants_.empty() ? tags_.size() : variants_.size(); }

    void clear()
    {
        std::vector<std::int64_t>().swap(numbers_);
        std::vector<std::uint8_t>().swap(tags_);
        std::vector<QVariant>().swap(variants_);
    }

    void resize(std::size_t rows)
    {
        if (!variants_.empty()) {
            variants_.resize(rows);
            return;
        }
        numbers_.resize(rows, 0);
        tags_.resize(rows, None);
    }

    QVariant at(std::size_t row) const
    {
        if (!variants_.empty())
            return variants_[row];
        switch (tags_[row]) {
        case Int:
            return QVariant(int(numbers_[row]));
        case LongLong:
            return QVariant(qlonglong(numbers_[row]));
        default:
            return {};
        }
    }

    void set(std::size_t row, const QVariant& object)
    {
        if (variants_.empty()) {
            if (!object.isValid()) {
                tags_[row] = None;
                return;
            }
            if (object.typeId() == QMetaType::Int || object.typeId() == QMetaType::LongLong) {
                tags_[row] = object.typeId() == QMetaType::Int ? Int : LongLong;
                numbers_[row] = object.toLongLong();
                return;
            }
            toVariants();
        }
        variants_[row] = object;
    }

    void insertBlank(std::size_t row)
    {
        if (!variants_.empty()) {
            variants_.insert(variants_.begin() + std::ptrdiff_t(row), QVariant());
            return;
        }
        numbers_.insert(numbers_.begin() + std::ptrdiff_t(row), 0);
        tags_.insert(tags_.begin() + std::ptrdiff_t(row), None);
    }

    void erase(std::size_t row)
    {
        if (!variants_.empty()) {
            variants_.erase(variants_.begin() + std::ptrdiff_t(row));
            return;
        }
        numbers_.erase(numbers_.begin() + std::ptrdiff_t(row));
        tags_.erase(tags_.begin() + std::ptrdiff_t(row));
    }

    // Moves one row's object to another place, shifting those between.
    void move(std::size_t from, std::size_t to)
    {
        if (!variants_.empty()) {
            moveItem(variants_, from, to);
            return;
        }
        moveItem(numbers_, from, to);
        moveItem(tags_, from, to);
    }

    // Rows from base on take the objects of rows base + order[i]; the rows before base stay.
    void reorder(std::size_t base, const std::vector<std::uint32_t>& order)
    {
        if (!variants_.empty()) {
            reorderItems(variants_, base, order);
            return;
        }
        reorderItems(numbers_, base, order);
        reorderItems(tags_, base, order);
    }

    std::size_t memoryBytes() const
    {
        return numbers_.capacity() * sizeof(std::int64_t) + tags_.capacity() +
               variants_.capacity() * sizeof(QVariant);
    }

private:
    enum Tag : std::uint8_t
    {
        None,
        Int,
        LongLong
    };

    void toVariants()
    {
        std::vector<QVariant> variants(tags_.size());
        for (std::size_t row = 0; row < tags_.size(); ++row)
            variants[row] = at(row);
        std::vector<std::int64_t>().swap(numbers_);
        std::vector<std::uint8_t>().swap(tags_);
        variants_.swap(variants);
    }

    template <typename T>
    static void moveItem(std::vector<T>& items, std::size_t from, std::size_t to)
    {
        const auto at = [&](std::size_t i) { return items.begin() + std::ptrdiff_t(i); };
        if (from < to)
            std::rotate(at(from), at(from + 1), at(to + 1));
        else
            std::rotate(at(to), at(from), at(from + 1));
    }

    template <typename T>
    static void reorderItems(std::vector<T>& items, std::size_t base,
                             const std::vector<std::uint32_t>& order)
    {
        std::vector<T> sorted(items.size());
        for (std::size_t i = 0; i < base; ++i)
            sorted[i] = std::move(items[i]);
        for (std::size_t i = 0; i < order.size(); ++i)
            sorted[base + i] = std::move(items[base + order[i]]);
        items.swap(sorted);
    }

    // Whole numbers: a value and a tag per row (None for a row without an object).
    std::vector<std::int64_t> numbers_;
    std::vector<std::uint8_t> tags_;
    // Any other objects; once used, it holds every row's.
    std::vector<QVariant> variants_;
};

} // namespace wl
