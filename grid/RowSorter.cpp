#include "grid/RowSorter.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace wl {

namespace {

constexpr double kInvalid = std::numeric_limits<double>::quiet_NaN();

unsigned char foldAscii(unsigned char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

QString upperAscii(QString text)
{
    for (QChar& c : text) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
    }
    return text;
}

// Byte order of two UTF-8 texts (code point order), ASCII letters folded when asked.
int compareBytes(std::string_view a, std::string_view b, bool fold)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (fold) {
            x = foldAscii(x);
            y = foldAscii(y);
        }
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

// The first eight bytes as a big-endian number, so most comparisons are one integer compare.
std::uint64_t prefixOf(std::string_view text, bool fold)
{
    std::uint64_t prefix = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        unsigned char c = i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
        prefix = (prefix << 8) | (fold ? foldAscii(c) : c);
    }
    return prefix;
}

double keyOf(const LocaleInfo& locale, TSortKind kind, const QString& text)
{
    switch (kind) {
    case TSortKind::skNumeric:
        if (const auto value = locale.parseNumber(text))
            return *value;
        break;
    case TSortKind::skDateTime:
        if (const auto value = locale.parseDateTime(text))
            return double(value->date().toJulianDay()) * 86400000.0 +
                   value->time().msecsSinceStartOfDay();
        break;
    case TSortKind::skTime:
        if (const auto value = locale.parseTime(text))
            return value->msecsSinceStartOfDay();
        break;
    default:
        break;
    }
    return kInvalid;
}

} // namespace

void safeMergeSort(std::vector<std::uint32_t>& rows,
                   const std::function<bool(std::uint32_t, std::uint32_t)>& less)
{
    const std::size_t n = rows.size();
    std::vector<std::uint32_t> buffer(n);
    for (std::size_t width = 1; width < n; width *= 2) {
        for (std::size_t left = 0; left < n; left += 2 * width) {
            const std::size_t mid = std::min(left + width, n);
            const std::size_t right = std::min(left + 2 * width, n);
            std::size_t i = left;
            std::size_t j = mid;
            std::size_t out = left;
            while (i < mid && j < right)
                buffer[out++] = less(rows[j], rows[i]) ? rows[j++] : rows[i++];
            while (i < mid)
                buffer[out++] = rows[i++];
            while (j < right)
                buffer[out++] = rows[j++];
        }
        rows.swap(buffer);
    }
}

RowSorter::RowSorter(const GridModel& model, LocaleInfo locale)
    : model_(model), locale_(std::move(locale))
{
}

std::vector<std::uint8_t> RowSorter::usedIds(int col) const
{
    const CellColumn& column = model_.column(col);
    std::vector<std::uint8_t> used(column.pool.size(), 0);
    for (std::size_t row = std::size_t(model_.FixedRows()); row < column.ids.size(); ++row)
        used[column.ids[row]] = 1;
    return used;
}

TSortKind RowSorter::detectKind(int col) const
{
    if (col < 0 || col >= model_.ColCount())
        return TSortKind::skText;
    const CellColumn& column = model_.column(col);
    const std::vector<std::uint8_t> used = usedIds(col);
    bool numeric = true;
    bool dateTime = true;
    bool time = true;
    for (TextPool::Id id = 0; id < column.pool.size() && (numeric || dateTime || time); ++id) {
        if (!used[id])
            continue;
        const QString text = column.pool.text(id);
        numeric = numeric && locale_.parseNumber(text).has_value();
        time = time && locale_.parseTime(text).has_value();
        dateTime = dateTime && locale_.parseDateTime(text).has_value();
    }
    if (numeric)
        return TSortKind::skNumeric;
    if (dateTime)
        return TSortKind::skDateTime;
    if (time)
        return TSortKind::skTime;
    return TSortKind::skText;
}

std::vector<std::uint32_t> RowSorter::order(int col, const TSortOptions& options) const
{
    if (col < 0 || col >= model_.ColCount()) {
        std::vector<std::uint32_t> identity(std::size_t(model_.RowCount() - model_.FixedRows()));
        std::iota(identity.begin(), identity.end(), 0u);
        return identity;
    }
    switch (options.SortKind) {
    case TSortKind::skNumeric:
    case TSortKind::skDateTime:
    case TSortKind::skTime:
        return orderByKeys(col, options);
    case TSortKind::skCustom:
        if (options.CompareFunc)
            return orderByFunction(col, options);
        return orderByText(col, options);
    default:
        return orderByText(col, options);
    }
}

std::vector<std::uint32_t> RowSorter::orderByKeys(int col, const TSortOptions& options) const
{
    const CellColumn& column = model_.column(col);
    const std::vector<std::uint8_t> used = usedIds(col);
    std::vector<double> keyById(column.pool.size(), kInvalid);
    for (TextPool::Id id = 0; id < column.pool.size(); ++id) {
        if (used[id])
            keyById[id] = keyOf(locale_, options.SortKind, column.pool.text(id));
    }
    struct Entry
    {
        double key;
        std::uint32_t row;
    };
    const std::size_t fixed = std::size_t(model_.FixedRows());
    const std::size_t dataRows = column.ids.size() - fixed;
    std::vector<Entry> valid;
    std::vector<std::uint32_t> invalid;
    valid.reserve(dataRows);
    for (std::size_t row = 0; row < dataRows; ++row) {
        const double key = keyById[column.ids[fixed + row]];
        if (std::isnan(key))
            invalid.push_back(std::uint32_t(row));
        else
            valid.push_back({key, std::uint32_t(row)});
    }
    // Keys are finite (the parsers reject inf and nan), so this is a strict total order.
    const bool descending = options.Descending;
    std::sort(valid.begin(), valid.end(), [descending](const Entry& a, const Entry& b) {
        if (a.key != b.key)
            return descending ? a.key > b.key : a.key < b.key;
        return a.row < b.row;
    });
    std::vector<std::uint32_t> result;
    result.reserve(dataRows);
    for (const Entry& entry : valid)
        result.push_back(entry.row);
    result.insert(result.end(), invalid.begin(), invalid.end());
    return result;
}

std::vector<std::uint32_t> RowSorter::orderByText(int col, const TSortOptions& options) const
{
    const CellColumn& column = model_.column(col);
    const std::vector<std::uint8_t> used = usedIds(col);
    const bool fold = !options.MatchCase;

    struct Distinct
    {
        std::uint64_t prefix;
        TextPool::Id id;
    };
    std::vector<Distinct> distinct;
    for (TextPool::Id id = 0; id < column.pool.size(); ++id) {
        if (used[id])
            distinct.push_back({prefixOf(column.pool.bytes(id), fold), id});
    }
    const auto compare = [&](const Distinct& a, const Distinct& b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix ? -1 : 1;
        return compareBytes(column.pool.bytes(a.id), column.pool.bytes(b.id), fold);
    };
    std::sort(distinct.begin(), distinct.end(),
              [&](const Distinct& a, const Distinct& b) { return compare(a, b) < 0; });

    // Rank every used text; texts equal under the comparison share a rank.
    std::vector<std::uint32_t> rank(column.pool.size(), 0);
    std::uint32_t ranks = 0;
    for (std::size_t i = 0; i < distinct.size(); ++i) {
        if (i > 0 && compare(distinct[i - 1], distinct[i]) != 0)
            ++ranks;
        rank[distinct[i].id] = ranks;
    }
    ++ranks;
    if (options.Descending) {
        for (const Distinct& d : distinct)
            rank[d.id] = ranks - 1 - rank[d.id];
    }

    // A counting sort by rank is stable: equal texts keep their former order.
    const std::size_t fixed = std::size_t(model_.FixedRows());
    const std::size_t dataRows = column.ids.size() - fixed;
    std::vector<std::uint32_t> start(std::size_t(ranks) + 1, 0);
    for (std::size_t row = 0; row < dataRows; ++row)
        ++start[rank[column.ids[fixed + row]] + 1];
    std::partial_sum(start.begin(), start.end(), start.begin());
    std::vector<std::uint32_t> result(dataRows);
    for (std::size_t row = 0; row < dataRows; ++row)
        result[start[rank[column.ids[fixed + row]]]++] = std::uint32_t(row);
    return result;
}

std::vector<std::uint32_t> RowSorter::orderByFunction(int col, const TSortOptions& options) const
{
    const CellColumn& column = model_.column(col);
    const std::vector<std::uint8_t> used = usedIds(col);
    std::vector<QString> texts(column.pool.size());
    for (TextPool::Id id = 0; id < column.pool.size(); ++id) {
        if (used[id])
            texts[id] = options.MatchCase ? column.pool.text(id) : upperAscii(column.pool.text(id));
    }
    const std::size_t fixed = std::size_t(model_.FixedRows());
    const std::size_t dataRows = column.ids.size() - fixed;
    std::vector<std::uint32_t> result(dataRows);
    std::iota(result.begin(), result.end(), 0u);
    const TSortCompareFunc compare = options.CompareFunc;
    const bool descending = options.Descending;
    safeMergeSort(result, [&](std::uint32_t a, std::uint32_t b) {
        const int r = compare(texts[column.ids[fixed + a]], texts[column.ids[fixed + b]]);
        if (r == 0)
            return a < b;
        return descending ? r > 0 : r < 0;
    });
    return result;
}

} // namespace wl
