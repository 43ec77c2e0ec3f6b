#pragma once

#include "store/BulkRows.h"
#include "store/SqliteDb.h"
#include "store/TableFiles.h"
#include "store/TableSchema.h"

#include <functional>
#include <vector>

namespace wl::store {

// The open connection on a table's three files and the record-level writes that keep them in
// step: every insert, update and delete touches the records, the index tables and the memos in
// one transaction, and every committed transaction stamps all three files.
class TableEngine
{
public:
    using Row = std::vector<QVariant>; // values by field position; memos as text

    // Opens the files exclusively and checks that they form a sound set. Read-only, other
    // readers may share the files, no writer may, and nothing is written to them.
    Status open(const TableFiles& files, bool readOnly = false);
    void close();
    bool isOpen() const { return db_.isOpen(); }
    SqliteDb& db() { return db_; }
    const TableSchema& schema() const { return schema_; }

    // Checks and converts a value for a field: text is cut to the field's size, numbers must be
    // finite, an auto-increment field cannot be set.
    Status normalize(int field, const QVariant& in, QVariant& out) const;
    Status checkRequired(const Row& row) const;

    // Runs body as one write: its own transaction, or a savepoint inside an explicit one.
    // body reports how many records it added (negative for removed ones).
    Status write(const std::function<Status(qint64& delta)>& body);
    Status beginTransaction();
    Status commit();
    Status rollback();
    bool inTransaction() const { return explicit_; }

    Status insertRow(const Row& row, qint64& recNum);
    // Appends rows made for this table's fields (see BulkRows), refused whole when one of them
    // does not suit its fields. Inside an explicit transaction their index entries wait
    // until the transaction commits or another read or write needs the indexes, so a large
    // append made of many calls builds each index once, in order, after all its rows.
    Status appendRows(const BulkRows& rows);
    // Writes the index entries of appended records that still lack them.
    Status settleIndexes();
    Status updateRow(qint64 recNum, const std::vector<int>& fields, const Row& values);
    Status deleteRow(qint64 recNum);

    // Reads a record's stored columns (memos as markers: byte length or null). False when the
    // record does not exist.
    bool readRow(qint64 recNum, Row& row, Status& status);
    void rowFromStatement(const SqliteStatement& st, Row& row) const;
    // One field of a record selected with every column in field order.
    QVariant valueAt(const SqliteStatement& st, int field) const;
    // The note of a record's memo field; null when it has none.
    QVariant readMemo(int field, qint64 recNum, Status& status);

    Status failure(const QString& context) const;

private:
    Status openOnce(const TableFiles& files, bool readOnly, bool& busy);
    Status lockLost(bool& busy);
    Status prepareStatements();
    Status stamp(qint64 delta);
    // Fails, for good, once the explicit transaction is no longer in progress in the
    // connection; reason says what made it end.
    Status checkTransaction(const QString& reason = {});
    Status stepDone(SqliteStatement& st);
    Status writeMemo(int field, qint64 recNum, const QVariant& text, bool replace);
    Status bindRecord(SqliteStatement& st, const Row& row);

    SqliteDb db_;
    TableSchema schema_;
    bool explicit_ = false;
    qint64 pendingDelta_ = 0;
    qint64 unindexedFrom_ = 0; // first record whose index entries are pending; 0 for none
    QString lostReason_;       // why the explicit transaction ended early; empty while it lives

    SqliteStatement insertRecord_;
    SqliteStatement selectRow_;
    SqliteStatement deleteRecord_;
    std::vector<SqliteStatement> stamps_;
    std::vector<SqliteStatement> counts_;
    std::vector<SqliteStatement> insertIndex_; // by index; invalid for the primary one
    std::vector<SqliteStatement> deleteIndex_;
    std::vector<SqliteStatement> insertMemo_; // by field; invalid for non-memo fields
    std::vector<SqliteStatement> selectMemo_;
    std::vector<SqliteStatement> deleteMemo_;
};

} // namespace wl::store
