#pragma once

#include "store/FilterCompiler.h"
#include "store/SqliteDb.h"
#include "store/TableSchema.h"

namespace wl::store {

// Builds the queries that see a table through its active index, range and filter, always in
// (key, RecNum) order. Parameters: ?1 and ?2 the range, ?3 and ?4 the key and RecNum to seek
// from, ?5 onwards the filter's literals.
class TableView
{
public:
    enum class Seek
    {
        None,
        After,
        AtOrAfter,
        Before
    };
    static constexpr int FirstFilterParam = 5;

    void setSchema(const TableSchema* schema) { schema_ = schema; }
    void setIndex(int index) { index_ = index; }
    int index() const { return index_; }
    void setRange(bool on, double low, double high);
    bool rangeOn() const { return rangeOn_; }
    void setFilter(const CompiledFilter& filter, bool on);

    // Selects every column of the visible records, from the seek position onwards.
    QString selectRows(Seek seek) const;
    // Selects (key, RecNum) of the visible records before the seek position, nearest first.
    QString selectKeysBefore() const;
    QString count() const;
    // Selects the RecNum of every entry of the active index within the range, in index order;
    // the filter is not applied (it needs the records, see selectRecords).
    QString selectOrder() const;
    // Selects the given columns (of records aliased r) of every record passing the filter, in
    // record-number order: a pass through the records as they are stored.
    QString selectRecords(const QString& columns) const;
    void bind(SqliteStatement& st, const QVariant& key = {}, qint64 recNum = 0) const;

    // The ordering key of a record read by selectRows.
    QVariant keyOf(const std::vector<QVariant>& row) const;

private:
    bool secondary() const;
    QString from(bool needRecords) const;
    QString keyColumn() const;
    QString where(Seek seek) const;
    QString order(bool descending) const;

    const TableSchema* schema_ = nullptr;
    int index_ = -1;
    bool rangeOn_ = false;
    double low_ = 0;
    double high_ = 0;
    CompiledFilter filter_;
    bool filterOn_ = false;
};

} // namespace wl::store
