#include "store/TableEngine.h"

#include "store/TableInstall.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QThread>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>

namespace wl::store {

namespace {

// How long an open waits for a table another program holds, as the lock retries promise.
constexpr qint64 OpenWaitMs = 2000;
constexpr int OpenBusyTimeoutMs = 50;

bool isBusy(int code)
{
    return (code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED;
}

// The files are there but cannot be written: not damage, so repair would not help.
bool isAccessProblem(int code)
{
    const int primary = code & 0xff;
    return primary == SQLITE_READONLY || primary == SQLITE_PERM || primary == SQLITE_CANTOPEN ||
           primary == SQLITE_IOERR || primary == SQLITE_FULL;
}

} // namespace

Status TableEngine::failure(const QString& context) const
{
    return Status::failure(context + QStringLiteral(": ") + db_.errorMessage());
}

Status TableEngine::open(const TableFiles& files, bool readOnly)
{
    // Two programs that open at once can each hold a part of the locks the other needs; the
    // one that cannot go on lets go of all of them and tries again a moment later, so one of
    // them proceeds and the other waits for it like for any program that holds the table.
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        bool busy = false;
        Status st = openOnce(files, readOnly, busy);
        if (st || !busy)
            return st;
        if (waited.elapsed() >= OpenWaitMs)
            return Status::failure(QStringLiteral("The table is in use by another program."));
        QThread::msleep(ulong(QRandomGenerator::global()->bounded(10, 60)));
    }
}

Status TableEngine::openOnce(const TableFiles& files, bool readOnly, bool& busy)
{
    close();
    busy = false;
    // A repair interrupted while it put its files in place is finished before anything is
    // read; while a live repair does it, the table is in use.
    if (Status st = TableInstall::finishPending(files, busy); !st)
        return st;
    const auto idsBefore = files.fileIds();
    Status st = files.attach(db_, true, readOnly);
    // Waiting is done by retrying the whole open, never inside it while holding locks.
    db_.setBusyTimeout(OpenBusyTimeoutMs);
    // An immediate transaction locks all three files and plays back any journal a crash left;
    // the set is checked before anything is written, so a refused table stays as it was.
    // Read-only, a plain transaction takes the shared locks, which exclusive mode then keeps.
    if (st)
        st = db_.exec(readOnly ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE"));
    if (st)
        st = files.checkSet(db_);
    if (!st && isBusy(db_.errorCode()))
        return lockLost(busy);
    if (!st) {
        const int code = db_.errorCode();
        close();
        if (isAccessProblem(code))
            return Status::failure(
                QStringLiteral("The table cannot be opened for %1: %2")
                    .arg(readOnly ? QStringLiteral("reading") : QStringLiteral("writing"),
                         st.error));
        return Status::failure(QStringLiteral("The table is damaged: %1").arg(st.error));
    }
    if (st = TableSchema::loadDefinitions(db_, QStringLiteral("main"), schema_); !st) {
        close();
        return Status::failure(QStringLiteral("The table is damaged: %1").arg(st.error));
    }
    // Writing to every file takes and keeps the exclusive lock on all three. A reader keeps
    // its shared locks instead and writes nothing, so a table on a read-only medium or a
    // full disk can still be read.
    st = readOnly ? db_.exec(QStringLiteral("COMMIT"))
                  : db_.exec(QStringLiteral(
                        "UPDATE main.wl_meta SET v = v + 1 WHERE k = 'opens'; "
                        "UPDATE idx.wl_meta SET v = v + 1 WHERE k = 'opens'; "
                        "UPDATE blb.wl_meta SET v = v + 1 WHERE k = 'opens'; COMMIT"));
    if (!st && isBusy(db_.errorCode()))
        return lockLost(busy);
    if (!st) {
        close();
        return Status::failure(
            QStringLiteral("The table cannot be opened for writing: %1").arg(st.error));
    }
    // A repair renames its rebuilt files over the ones this connection may have opened
    // before it got their locks: files no longer under the table's names are not the table.
    if (files.fileIds() != idsBefore)
        return lockLost(busy);
    db_.setBusyTimeout(SqliteDb::DefaultBusyTimeoutMs);
    if (!readOnly)
        files.removeStaleSuperJournals();
    if (st = prepareStatements(); !st) {
        close();
        return Status::failure(QStringLiteral("The table is damaged: %1").arg(st.error));
    }
    return Status::success();
}

Status TableEngine::lockLost(bool& busy)
{
    close();
    busy = true;
    return Status::failure(QStringLiteral("The table is in use by another program."));
}

void TableEngine::close()
{
    if (explicit_ && db_.isOpen())
        db_.exec(QStringLiteral("ROLLBACK"));
    explicit_ = false;
    pendingDelta_ = 0;
    unindexedFrom_ = 0;
    lostReason_.clear();
    insertRecord_ = {};
    selectRow_ = {};
    deleteRecord_ = {};
    stamps_.clear();
    counts_.clear();
    insertIndex_.clear();
    deleteIndex_.clear();
    insertMemo_.clear();
    selectMemo_.clear();
    deleteMemo_.clear();
    db_.close();
}

Status TableEngine::prepareStatements()
{
    const auto& fields = schema_.fields();
    const QString recNum = schema_.column(schema_.recNumField());
    QStringList cols;
    QStringList params;
    for (int f = 0; f < int(fields.size()); ++f) {
        if (f == schema_.recNumField())
            continue;
        cols << schema_.column(f);
        params << QStringLiteral("?%1").arg(params.size() + 1);
    }
    std::vector<SqliteStatement*> all;
    auto prep = [&](SqliteStatement& st, const QString& sql) {
        st = db_.prepare(sql);
        all.push_back(&st);
    };
    prep(insertRecord_, QStringLiteral("INSERT INTO main.records (%1) VALUES (%2)")
                            .arg(cols.join(QLatin1Char(',')), params.join(QLatin1Char(','))));
    prep(selectRow_, QStringLiteral("SELECT %1 FROM main.records AS r WHERE r.%2 = ?1")
                         .arg(schema_.columnList(QStringLiteral("r")), recNum));
    prep(deleteRecord_, QStringLiteral("DELETE FROM main.records WHERE %1 = ?1").arg(recNum));
    stamps_.resize(3);
    counts_.resize(2);
    const char* schemas[] = {"main", "idx", "blb"};
    for (int i = 0; i < 3; ++i)
        prep(stamps_[size_t(i)],
             QStringLiteral("UPDATE %1.wl_meta SET v = v + 1 WHERE k = 'generation'")
                 .arg(QLatin1StringView(schemas[i])));
    for (int i = 0; i < 2; ++i)
        prep(counts_[size_t(i)],
             QStringLiteral("UPDATE %1.wl_meta SET v = v + ?1 WHERE k = 'records'")
                 .arg(QLatin1StringView(schemas[i])));
    const auto& indexes = schema_.indexes();
    insertIndex_.resize(indexes.size());
    deleteIndex_.resize(indexes.size());
    for (int i = 0; i < int(indexes.size()); ++i) {
        if (!schema_.isSecondary(i))
            continue;
        prep(insertIndex_[size_t(i)], QStringLiteral("INSERT INTO %1 (key, RecNum) VALUES (?1, ?2)")
                                          .arg(schema_.indexTable(i)));
        prep(deleteIndex_[size_t(i)],
             QStringLiteral("DELETE FROM %1 WHERE key = ?1 AND RecNum = ?2")
                 .arg(schema_.indexTable(i)));
    }
    insertMemo_.resize(fields.size());
    selectMemo_.resize(fields.size());
    deleteMemo_.resize(fields.size());
    for (int f = 0; f < int(fields.size()); ++f) {
        if (fields[size_t(f)].type != FieldType::Memo)
            continue;
        const QString table = schema_.memoTable(f);
        prep(insertMemo_[size_t(f)],
             QStringLiteral("INSERT INTO %1 (RecNum, content) VALUES (?1, ?2)").arg(table));
        prep(selectMemo_[size_t(f)],
             QStringLiteral("SELECT content FROM %1 WHERE RecNum = ?1").arg(table));
        prep(deleteMemo_[size_t(f)], QStringLiteral("DELETE FROM %1 WHERE RecNum = ?1").arg(table));
    }
    for (SqliteStatement* st : all) {
        if (!st->isValid())
            return Status::failure(st->prepareError());
    }
    return Status::success();
}

Status TableEngine::normalize(int field, const QVariant& in, QVariant& out) const
{
    const FieldDef& def = schema_.fields()[size_t(field)];
    if (def.type == FieldType::AutoInc)
        return Status::failure(QStringLiteral("Field '%1' is set by the table.").arg(def.name));
    if (in.isNull()) {
        out = QVariant();
        return Status::success();
    }
    switch (def.type) {
    case FieldType::Text:
    case FieldType::Memo: {
        if (in.typeId() != QMetaType::QString && in.typeId() != QMetaType::QChar)
            return Status::failure(QStringLiteral("Field '%1' needs a text.").arg(def.name));
        const QString text = in.toString();
        const QStringView kept = def.type == FieldType::Text ? BulkRows::cut(text, def.size) : text;
        out = kept.size() == text.size() ? text : kept.toString();
        return Status::success();
    }
    default: {
        const double value = in.toDouble();
        if (!BulkRows::isNumber(in) || !std::isfinite(value))
            return Status::failure(QStringLiteral("Field '%1' needs a number.").arg(def.name));
        out = value;
        return Status::success();
    }
    }
}

Status TableEngine::checkRequired(const Row& row) const
{
    const auto& fields = schema_.fields();
    for (int f = 0; f < int(fields.size()); ++f) {
        if (fields[size_t(f)].required && f != schema_.recNumField() && row[size_t(f)].isNull())
            return Status::failure(
                QStringLiteral("Field '%1' must have a value.").arg(fields[size_t(f)].name));
    }
    return Status::success();
}

Status TableEngine::stepDone(SqliteStatement& st)
{
    const int rc = st.step();
    Status result = rc == SQLITE_DONE ? Status::success() : Status::failure(db_.errorMessage());
    st.reset();
    return result;
}

Status TableEngine::stamp(qint64 delta)
{
    for (SqliteStatement& st : stamps_) {
        if (Status s = stepDone(st); !s)
            return s;
    }
    if (delta == 0)
        return Status::success();
    for (SqliteStatement& st : counts_) {
        st.bindInt(1, delta);
        if (Status s = stepDone(st); !s)
            return s;
    }
    return Status::success();
}

Status TableEngine::write(const std::function<Status(qint64& delta)>& body)
{
    if (!isOpen())
        return Status::failure(QStringLiteral("The table is not open."));
    qint64 delta = 0;
    if (explicit_) {
        // Once the transaction is gone, a savepoint would start a new one and every later
        // write would be committed on its own.
        if (Status lost = checkTransaction(); !lost)
            return lost;
        Status st = db_.exec(QStringLiteral("SAVEPOINT wl_write"));
        if (st)
            st = body(delta);
        if (!st) {
            if (Status lost = checkTransaction(st.error); !lost)
                return lost;
            db_.exec(QStringLiteral("ROLLBACK TO wl_write; RELEASE wl_write"));
            return st;
        }
        pendingDelta_ += delta;
        st = db_.exec(QStringLiteral("RELEASE wl_write"));
        if (Status lost = checkTransaction(st.error); !lost)
            return lost;
        return st;
    }
    Status st = db_.exec(QStringLiteral("BEGIN IMMEDIATE"));
    if (st)
        st = body(delta);
    if (st)
        st = stamp(delta);
    if (st)
        st = db_.exec(QStringLiteral("COMMIT"));
    if (!st && db_.inTransaction())
        db_.exec(QStringLiteral("ROLLBACK"));
    return st;
}

Status TableEngine::checkTransaction(const QString& reason)
{
    // On a full disk or an I/O error the SQL engine may roll the whole transaction back by
    // itself; it is then lost for good, whatever the caller does next.
    if (lostReason_.isEmpty() && !db_.inTransaction())
        lostReason_ = reason.isEmpty() ? QStringLiteral("the changes could not be kept") : reason;
    if (lostReason_.isEmpty())
        return Status::success();
    return Status::failure(
        QStringLiteral("The transaction was rolled back after a failed write (%1); none of its "
                       "changes were saved.")
            .arg(lostReason_));
}

Status TableEngine::beginTransaction()
{
    if (!isOpen())
        return Status::failure(QStringLiteral("The table is not open."));
    if (explicit_)
        return Status::failure(QStringLiteral("A transaction is already in progress."));
    Status st = db_.exec(QStringLiteral("BEGIN IMMEDIATE"));
    explicit_ = bool(st);
    pendingDelta_ = 0;
    lostReason_.clear();
    return st;
}

Status TableEngine::commit()
{
    if (!explicit_)
        return Status::failure(QStringLiteral("No transaction is in progress."));
    Status lost = checkTransaction();
    explicit_ = false;
    lostReason_.clear();
    if (!lost) {
        pendingDelta_ = 0;
        unindexedFrom_ = 0;
        return lost;
    }
    Status st = settleIndexes();
    if (st)
        st = stamp(pendingDelta_);
    if (st)
        st = db_.exec(QStringLiteral("COMMIT"));
    if (!st && db_.inTransaction())
        db_.exec(QStringLiteral("ROLLBACK"));
    pendingDelta_ = 0;
    unindexedFrom_ = 0;
    return st;
}

Status TableEngine::rollback()
{
    if (!explicit_)
        return Status::failure(QStringLiteral("No transaction is in progress."));
    explicit_ = false;
    pendingDelta_ = 0;
    unindexedFrom_ = 0;
    lostReason_.clear();
    // A transaction the SQL engine already rolled back is undone, as asked.
    if (!db_.inTransaction())
        return Status::success();
    return db_.exec(QStringLiteral("ROLLBACK"));
}

Status TableEngine::bindRecord(SqliteStatement& st, const Row& row)
{
    const auto& fields = schema_.fields();
    int param = 1;
    for (int f = 0; f < int(fields.size()); ++f) {
        if (f == schema_.recNumField())
            continue;
        const QVariant& v = row[size_t(f)];
        if (fields[size_t(f)].type == FieldType::Memo && !v.isNull())
            st.bindInt(param, v.toString().toUtf8().size());
        else
            st.bind(param, v);
        ++param;
    }
    return Status::success();
}

Status TableEngine::writeMemo(int field, qint64 recNum, const QVariant& text, bool replace)
{
    if (replace) {
        deleteMemo_[size_t(field)].bindInt(1, recNum);
        if (Status st = stepDone(deleteMemo_[size_t(field)]); !st)
            return st;
    }
    if (text.isNull())
        return Status::success();
    SqliteStatement& ins = insertMemo_[size_t(field)];
    ins.bindInt(1, recNum);
    ins.bindText(2, text.toString());
    return stepDone(ins);
}

Status TableEngine::insertRow(const Row& row, qint64& recNum)
{
    if (Status st = settleIndexes(); !st)
        return st;
    bindRecord(insertRecord_, row);
    if (Status st = stepDone(insertRecord_); !st)
        return st;
    recNum = db_.lastInsertRowId();
    const auto& fields = schema_.fields();
    for (int f = 0; f < int(fields.size()); ++f) {
        if (fields[size_t(f)].type == FieldType::Memo) {
            if (Status st = writeMemo(f, recNum, row[size_t(f)], false); !st)
                return st;
        }
    }
    for (int i = 0; i < int(insertIndex_.size()); ++i) {
        if (!insertIndex_[size_t(i)].isValid())
            continue;
        SqliteStatement& st = insertIndex_[size_t(i)];
        st.bind(1, row[size_t(schema_.indexField(i))]);
        st.bindInt(2, recNum);
        if (Status s = stepDone(st); !s)
            return s;
    }
    return Status::success();
}

Status TableEngine::appendRows(const BulkRows& rows)
{
    if (!rows.error())
        return rows.error();
    const auto& fields = schema_.fields();
    if (!rows.fits(fields) || std::size_t(rows.columns()) != fields.size() - 1)
        return Status::failure(QStringLiteral("The rows do not fit the table's fields."));
    // The index entries are written later, all at once; a key they could not take is refused
    // here, on its row, as an immediate index write would have refused it.
    std::vector<int> indexed;
    std::vector<int> memos;
    for (int c = 0; c < rows.columns(); ++c) {
        const int f = rows.fieldOf(c);
        for (size_t i = 0; i < insertIndex_.size(); ++i) {
            if (insertIndex_[i].isValid() && schema_.indexField(int(i)) == f)
                indexed.push_back(c);
        }
        if (fields[size_t(f)].type == FieldType::Memo)
            memos.push_back(c);
    }
    for (std::size_t r = 0; r < rows.rowCount(); ++r) {
        for (int c : indexed) {
            if (rows.value(r, c).kind == BulkRows::Kind::Null)
                return Status::failure(QStringLiteral("Row %1: the indexed field '%2' is empty.")
                                           .arg(r + 1)
                                           .arg(fields[size_t(rows.fieldOf(c))].name));
        }
        for (int c = 0; c < rows.columns(); ++c) {
            const BulkRows::Value& v = rows.value(r, c);
            const bool memo = fields[size_t(rows.fieldOf(c))].type == FieldType::Memo;
            switch (v.kind) {
            case BulkRows::Kind::Null:
                insertRecord_.bindNull(c + 1);
                break;
            case BulkRows::Kind::Number:
                insertRecord_.bindDouble(c + 1, v.number);
                break;
            case BulkRows::Kind::Text:
                // A memo's column holds the byte length of its note, kept in the memo file.
                if (memo)
                    insertRecord_.bindInt(c + 1, v.size);
                else
                    insertRecord_.bindUtf8(c + 1, rows.text(v));
                break;
            }
        }
        if (Status st = stepDone(insertRecord_); !st)
            return st;
        const qint64 recNum = db_.lastInsertRowId();
        if (unindexedFrom_ == 0)
            unindexedFrom_ = recNum;
        for (int c : memos) {
            const BulkRows::Value& v = rows.value(r, c);
            if (v.kind != BulkRows::Kind::Text)
                continue;
            SqliteStatement& ins = insertMemo_[size_t(rows.fieldOf(c))];
            ins.bindInt(1, recNum);
            ins.bindUtf8(2, rows.text(v));
            if (Status st = stepDone(ins); !st)
                return st;
        }
    }
    // Inside an explicit transaction more appends may follow: the entries wait for them.
    return explicit_ ? Status::success() : settleIndexes();
}

Status TableEngine::settleIndexes()
{
    if (unindexedFrom_ == 0)
        return Status::success();
    // New records always get numbers above every existing one, so the pending ones are those
    // from the first pending number on. Adding their entries sorted, in one statement per
    // index, writes each index in order instead of seeking through it once per record.
    const QString recNum = schema_.column(schema_.recNumField());
    for (int i = 0; i < int(insertIndex_.size()); ++i) {
        if (!insertIndex_[size_t(i)].isValid())
            continue;
        SqliteStatement fill = db_.prepare(
            QStringLiteral("INSERT INTO %1 (key, RecNum) SELECT %2, %3 FROM main.records "
                           "WHERE %3 >= ?1 ORDER BY 1, 2")
                .arg(schema_.indexTable(i), schema_.column(schema_.indexField(i)), recNum));
        if (!fill.isValid())
            return Status::failure(fill.prepareError());
        fill.bindInt(1, unindexedFrom_);
        if (Status st = stepDone(fill); !st)
            return st;
    }
    unindexedFrom_ = 0;
    return Status::success();
}

bool TableEngine::readRow(qint64 recNum, Row& row, Status& status)
{
    selectRow_.bindInt(1, recNum);
    const int rc = selectRow_.step();
    if (rc == SQLITE_ROW)
        rowFromStatement(selectRow_, row);
    status = rc == SQLITE_ROW || rc == SQLITE_DONE
                 ? Status::success()
                 : failure(QStringLiteral("Cannot read a record"));
    selectRow_.reset();
    return rc == SQLITE_ROW;
}

void TableEngine::rowFromStatement(const SqliteStatement& st, Row& row) const
{
    row.resize(schema_.fields().size());
    for (int f = 0; f < int(row.size()); ++f)
        row[size_t(f)] = valueAt(st, f);
}

QVariant TableEngine::valueAt(const SqliteStatement& st, int field) const
{
    if (st.isNull(field))
        return {};
    switch (schema_.fields()[size_t(field)].type) {
    case FieldType::AutoInc:
    case FieldType::Memo:
        return st.columnInt(field);
    case FieldType::Text:
        return st.columnText(field);
    default:
        return st.columnDouble(field);
    }
}

QVariant TableEngine::readMemo(int field, qint64 recNum, Status& status)
{
    SqliteStatement& st = selectMemo_[size_t(field)];
    st.bindInt(1, recNum);
    const int rc = st.step();
    QVariant value;
    if (rc == SQLITE_ROW)
        value = st.columnText(0);
    status = rc == SQLITE_ROW || rc == SQLITE_DONE ? Status::success()
                                                   : failure(QStringLiteral("Cannot read a note"));
    st.reset();
    return value;
}

Status TableEngine::updateRow(qint64 recNum, const std::vector<int>& changed, const Row& values)
{
    Row old;
    Status st = settleIndexes();
    if (!st)
        return st;
    if (!readRow(recNum, old, st))
        return st ? Status::failure(QStringLiteral("The record no longer exists.")) : st;
    const auto& fields = schema_.fields();
    QStringList sets;
    for (int f : changed)
        sets << QStringLiteral("%1 = ?%2").arg(schema_.column(f)).arg(sets.size() + 2);
    SqliteStatement upd = db_.prepare(
        QStringLiteral("UPDATE main.records SET %1 WHERE %2 = ?1")
            .arg(sets.join(QStringLiteral(", ")), schema_.column(schema_.recNumField())));
    if (!upd.isValid())
        return Status::failure(upd.prepareError());
    upd.bindInt(1, recNum);
    for (size_t i = 0; i < changed.size(); ++i) {
        const int f = changed[i];
        const QVariant& v = values[size_t(f)];
        if (fields[size_t(f)].type == FieldType::Memo && !v.isNull())
            upd.bindInt(int(i) + 2, v.toString().toUtf8().size());
        else
            upd.bind(int(i) + 2, v);
    }
    if (st = stepDone(upd); !st)
        return st;
    for (int f : changed) {
        if (fields[size_t(f)].type == FieldType::Memo) {
            if (st = writeMemo(f, recNum, values[size_t(f)], true); !st)
                return st;
        }
    }
    for (int i = 0; i < int(insertIndex_.size()); ++i) {
        const int f = schema_.indexField(i);
        if (!insertIndex_[size_t(i)].isValid() ||
            std::find(changed.begin(), changed.end(), f) == changed.end())
            continue;
        deleteIndex_[size_t(i)].bind(1, old[size_t(f)]);
        deleteIndex_[size_t(i)].bindInt(2, recNum);
        insertIndex_[size_t(i)].bind(1, values[size_t(f)]);
        insertIndex_[size_t(i)].bindInt(2, recNum);
        if (st = stepDone(deleteIndex_[size_t(i)]); st)
            st = stepDone(insertIndex_[size_t(i)]);
        if (!st)
            return st;
    }
    return Status::success();
}

Status TableEngine::deleteRow(qint64 recNum)
{
    Row old;
    Status st = settleIndexes();
    if (!st)
        return st;
    if (!readRow(recNum, old, st))
        return st ? Status::failure(QStringLiteral("The record no longer exists.")) : st;
    deleteRecord_.bindInt(1, recNum);
    if (st = stepDone(deleteRecord_); !st)
        return st;
    for (int i = 0; i < int(deleteIndex_.size()); ++i) {
        if (!deleteIndex_[size_t(i)].isValid())
            continue;
        deleteIndex_[size_t(i)].bind(1, old[size_t(schema_.indexField(i))]);
        deleteIndex_[size_t(i)].bindInt(2, recNum);
        if (st = stepDone(deleteIndex_[size_t(i)]); !st)
            return st;
    }
    for (int f = 0; f < int(deleteMemo_.size()); ++f) {
        if (!deleteMemo_[size_t(f)].isValid())
            continue;
        deleteMemo_[size_t(f)].bindInt(1, recNum);
        if (st = stepDone(deleteMemo_[size_t(f)]); !st)
            return st;
    }
    return Status::success();
}

} // namespace wl::store
