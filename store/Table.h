#pragma once

#include "store/Status.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace wl::store {

class BulkRows;
class SqliteStatement;

enum class FieldType
{
    AutoInc,
    Text,
    Memo,
    DateTime,
    Double
};

struct FieldDef
{
    QString name;
    FieldType type = FieldType::Text;
    int size = 0; // characters, for Text only
    bool required = false;
};

enum class IndexOption
{
    None,
    Primary
};

struct IndexDef
{
    QString name;
    QString field;
    IndexOption option = IndexOption::None;
};

// What a repair did, for the caller to show.
struct RepairResult
{
    bool ok = false;
    QString reason;     // why it failed, when it failed
    bool inUse = false; // it failed because another program holds the table
    qint64 recordsKept = 0;
    qint64 recordsLost = 0; // -1 when the damage left no way to tell
    qint64 notesLost = 0;   // notes of kept records that could not be recovered
    QStringList keptAside;  // names the damaged originals were moved to
};

// One record met by Table::scanRecords: its number and the fields asked for, by their place in
// that request. Texts and notes come as the stored UTF-8, valid until the visit returns.
class ScannedRecord
{
public:
    explicit ScannedRecord(const SqliteStatement& st) : st_(st) {}
    qint64 recNum() const;
    bool isNull(int i) const;
    std::string_view utf8(int i) const;
    double number(int i) const;
    qint64 integer(int i) const;

private:
    const SqliteStatement& st_;
};

// A handle on one table kept in three files: the records (.dat), the indexes (.idx) and the
// memo contents (.blb). The handle has a cursor that moves through the records visible through
// the active index's range and the filter, in index order.
//
// Every operation on a closed or failed handle fails cleanly with a Status (or an empty value).
class Table
{
public:
    enum class EditState
    {
        Browse,
        Edit,
        Insert
    };

    Table();
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    // Naming and definitions.
    void setDatabaseName(const QString& folder);
    void setTableName(const QString& fileName);
    QString databaseName() const;
    QString tableName() const;
    void clearDefinitions();
    void addFieldDef(const FieldDef& field);
    void addIndexDef(const IndexDef& index);
    const std::vector<FieldDef>& fieldDefs() const;
    const std::vector<IndexDef>& indexDefs() const;
    void copyDefinitionsFrom(const Table& other);
    bool exists() const;
    // Writes the three files anew; an existing table file is never changed.
    Status createTable();

    // Opening: exclusive and writable.
    Status open();
    // Opening for reading only: nothing is written to the files, so a table in a read-only
    // folder or on a full disk opens; other readers may share it, no writer can open it
    // meanwhile. Writes through the handle fail.
    Status openForReading();
    void close();
    bool isOpen() const;
    QString lastError() const;

    // Index, range and filter. Changing range or filter moves the cursor to the first record.
    Status setIndexName(const QString& name); // case-insensitive
    Status setRange(double low, double high); // inclusive both ends
    void cancelRange();
    Status setFilter(const QString& expression); // on error the previous filter stays
    QString filter() const;
    Status setFiltered(bool on);
    bool filtered() const;

    // Navigation over the visible records.
    Status first();
    Status next();
    bool eof() const;
    qint64 moveBy(qint64 distance); // returns how far it moved
    qint64 recordCount();           // -1 when it cannot be counted

    // The current record. A null field reads as a null QVariant.
    QVariant fieldValue(const QString& name) const; // name case-insensitive
    // The same by the field's position, as fieldNumber gives it once: a long walk then need not
    // look each name up again for every record. -1 when the name is unknown or the table closed.
    int fieldNumber(const QString& name) const;
    QVariant fieldValueAt(int field) const;
    qint64 recNum() const; // 0 when there is no current record

    // Long reads for a list of every visible record, far cheaper than walking the cursor over
    // a large table: each reads its file in order instead of seeking a record per index entry.
    // Neither moves the cursor.
    // The record numbers of the index entries within the range, in index order, of records
    // passing the filter: the order the cursor walks. An index entry whose record is missing
    // (a damaged table) is listed all the same; the cursor skips it.
    Status visibleOrder(std::vector<qint64>& recNums);
    // Visits every record passing the filter (not the range) in record-number order with the
    // given fields; a memo field reads as its note. visit returns false to stop.
    Status scanRecords(const std::vector<int>& fields,
                       const std::function<bool(const ScannedRecord&)>& visit);

    // Writing through the cursor. Moving the cursor, appending or changing the range or filter
    // while a record is being edited posts it first, and fails when that post fails.
    EditState state() const;
    Status append();
    Status edit();
    Status setFieldValue(const QString& name, const QVariant& value);
    Status post(); // required fields must have a value; the posted record becomes current
    void cancel();
    Status deleteRecord(); // the cursor then rests on a neighbour

    // By record number, regardless of range and filter.
    Status locate(qint64 recNum); // makes the record current
    Status deleteByRecNum(qint64 recNum);
    // Reads one field of a record; a null field gives a null value.
    Status readField(qint64 recNum, const QString& name, QVariant& value);
    // Sets fields of a record in one write, with the same checks as setFieldValue and post.
    Status updateByRecNum(qint64 recNum, const std::vector<std::pair<QString, QVariant>>& values);

    // Several writes committed in all three files together.
    Status beginTransaction();
    Status commit();
    Status rollback();
    bool inTransaction() const;

    // Appends many records at once; each row holds the values of the non-auto-increment fields
    // in definition order (a null QVariant writes null).
    Status bulkAppend(const std::vector<std::vector<QVariant>>& rows);
    // The same from rows made for this table's fields (see BulkRows): the quick way for a large
    // append, whose rows can be made on another thread.
    Status bulkAppendTyped(const BulkRows& rows);
    // Whether the files are read through memory mapping (on when opened). A large append needs
    // no mapping; turned off for its duration, the pages it touches do not stay mapped.
    Status setMapped(bool mapped);

    // Checks and rebuilds the table's files; the table must not be open anywhere. Damaged or
    // foreign originals are kept aside under the names listed in the result.
    static RepairResult repair(const QString& folder, const QString& tableName);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace wl::store
