#include "store/TableRepair.h"

#include "store/TableInstall.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <limits>

namespace wl::store {

namespace {

// Rows of the table fit by the dozen on a page: probing one number after another across this
// many finds the first row after a damaged page without skipping any.
constexpr qint64 ProbeOneByOne = 1024;

bool integrityOk(SqliteDb& db, const QString& schema)
{
    QString error;
    const QVariant v = db.scalar(QStringLiteral("PRAGMA %1.integrity_check").arg(schema), &error);
    return error.isEmpty() && v.toString() == QStringLiteral("ok");
}

quint32 bigEndian32(const QByteArray& bytes, int at)
{
    return quint32(quint8(bytes[at])) << 24 | quint32(quint8(bytes[at + 1])) << 16 |
           quint32(quint8(bytes[at + 2])) << 8 | quint32(quint8(bytes[at + 3]));
}

// A file cut short can pass the page checks that do not reach its end, so its size must be
// the size its header claims. The connection that inspects takes a short file as it is, so
// the header is read from the file itself: its page count counts when the write counter
// beside it says it is current.
bool wholeFile(SqliteDb& db, const QString& schema, const QString& path)
{
    qint64 pages = db.scalar(QStringLiteral("PRAGMA %1.page_count").arg(schema)).toLongLong();
    qint64 pageSize = db.scalar(QStringLiteral("PRAGMA %1.page_size").arg(schema)).toLongLong();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.read(100);
    if (header.size() == 100 && bigEndian32(header, 24) == bigEndian32(header, 92) &&
        bigEndian32(header, 28) > 0) {
        const quint32 size = quint32(quint8(header[16])) << 8 | quint8(header[17]);
        pageSize = size == 1 ? 65536 : size;
        pages = bigEndian32(header, 28);
    }
    return pages * pageSize == file.size();
}

// A salvaged value must have the type its column stores; anything else is damage.
bool typeFits(FieldType type, int sqlType)
{
    if (sqlType == SQLITE_NULL)
        return type != FieldType::AutoInc;
    switch (type) {
    case FieldType::AutoInc:
    case FieldType::Memo:
        return sqlType == SQLITE_INTEGER;
    case FieldType::Text:
        return sqlType == SQLITE_TEXT;
    default:
        return sqlType == SQLITE_FLOAT || sqlType == SQLITE_INTEGER;
    }
}

} // namespace

RepairResult TableRepair::run()
{
    dat_.path = files_.tablePath();
    idx_.path = files_.indexPath();
    blb_.path = files_.memoPath();
    // The install lock keeps every other repair out from the first read to the last rename,
    // and an interrupted install of an earlier repair is finished before anything is read.
    TableInstall install(files_);
    bool busy = false;
    Status st = install.lock(busy);
    if (st)
        st = install.finishPending(&result_.keptAside);
    if (!st) {
        result_.inUse = busy;
        result_.reason =
            busy ? QStringLiteral("The table is in use; close it before repairing it.") : st.error;
        return result_;
    }
    files_.removeRepairLeftovers();
    if (!QFileInfo::exists(dat_.path)) {
        result_.reason = QStringLiteral("The table file %1 is missing.")
                             .arg(QDir::toNativeSeparators(dat_.path));
        return result_;
    }
    const QString tmpDat = TableFiles::freeName(dat_.path, QStringLiteral(".repair"));
    const QString tmpIdx = TableFiles::freeName(idx_.path, QStringLiteral(".repair"));
    const QString tmpBlb = TableFiles::freeName(blb_.path, QStringLiteral(".repair"));
    // This connection holds its locks on the table's files until the rebuilt set is in place,
    // so no other program can open the old files meanwhile and write where nothing will be
    // kept. Damaged files are read through it, apart from the connection that writes: an
    // error met while reading must not end the transaction that writes the new set.
    SqliteDb source;
    st = inspect(source);
    if (st)
        st = rebuild(source, tmpDat, tmpIdx, tmpBlb);
    if (st)
        st = installNewSet(install, tmpDat, tmpIdx, tmpBlb);
    source.close();
    if (!st) {
        // Files already put in place stay; the plan left with them completes the set.
        if (!TableInstall::pending(files_)) {
            for (const QString& p : {tmpDat, tmpIdx, tmpBlb}) {
                QFile::remove(p);
                TableFiles::removeJournals(p);
            }
        }
        result_.ok = false;
        result_.reason = st.error;
        return result_;
    }
    result_.ok = true;
    return result_;
}

Status TableRepair::inspect(SqliteDb& db)
{
    // The files are attached to an empty database: a table file too damaged to be read must
    // not keep its companions from being looked at.
    Status st = db.openMemory();
    // With a writable schema the SQL engine reads a file shorter than its header claims as far
    // as it reaches, instead of refusing it whole: a cut file is salvaged page by page.
    if (st)
        st = db.exec(QStringLiteral("PRAGMA locking_mode=EXCLUSIVE; PRAGMA writable_schema=ON"));
    if (!st)
        return st;
    dat_.attached = bool(db.attach(dat_.path, QStringLiteral("od"), QStringLiteral("rw")));
    QString error;
    if (dat_.attached)
        db.scalar(QStringLiteral("SELECT count(*) FROM od.sqlite_master"), &error);
    if ((db.errorCode() & 0xff) == SQLITE_BUSY) {
        result_.inUse = true;
        return Status::failure(
            QStringLiteral("The table is in use; close it before repairing it."));
    }
    dat_.attached = dat_.attached && error.isEmpty();
    if (dat_.attached) {
        dat_.meta = TableFiles::readMeta(db, QStringLiteral("od"));
        dat_.sound =
            integrityOk(db, QStringLiteral("od")) &&
            dat_.meta.value(QStringLiteral("role")).toString() == QStringLiteral("table") &&
            wholeFile(db, QStringLiteral("od"), dat_.path);
    }
    inspectCompanion(db, idx_, QStringLiteral("idx"), QStringLiteral("index"));
    inspectCompanion(db, blb_, QStringLiteral("blb"), QStringLiteral("memo"));
    identity_ = dat_.meta.value(QStringLiteral("identity")).toString();
    if (identity_.isEmpty())
        identity_ = idx_.meta.value(QStringLiteral("identity")).toString();
    if (st = loadSchema(db); !st)
        return st;
    if (identity_.isEmpty())
        identity_ = TableFiles::newIdentity();
    return Status::success();
}

void TableRepair::inspectCompanion(SqliteDb& db, Source& source, const QString& schema,
                                   const QString& role)
{
    if (!QFileInfo::exists(source.path))
        return;
    source.attached = bool(db.attach(source.path, schema, QStringLiteral("rw")));
    if (!source.attached)
        return;
    source.meta = TableFiles::readMeta(db, schema);
    source.sound = integrityOk(db, schema) &&
                   source.meta.value(QStringLiteral("role")).toString() == role &&
                   wholeFile(db, schema, source.path);
}

Status TableRepair::loadSchema(SqliteDb& db)
{
    if (dat_.attached && TableSchema::loadDefinitions(db, QStringLiteral("od"), schema_))
        return Status::success();
    const bool sameTable = idx_.meta.value(QStringLiteral("identity")).toString() == identity_;
    if (idx_.attached && sameTable &&
        TableSchema::loadDefinitions(db, QStringLiteral("idx"), schema_))
        return Status::success();
    return Status::failure(QStringLiteral("The table's field definitions cannot be read."));
}

bool TableRepair::memosUsable() const
{
    return blb_.attached && blb_.meta.value(QStringLiteral("identity")).toString() == identity_ &&
           blb_.meta.value(QStringLiteral("role")).toString() == QStringLiteral("memo");
}

Status TableRepair::rebuild(SqliteDb& source, const QString& dat, const QString& idx,
                            const QString& blb)
{
    if (Status st = TableFiles::writeNewSet(dat, idx, blb, schema_, identity_); !st)
        return st;
    SqliteDb out;
    Status st = out.open(dat, QStringLiteral("rw"));
    if (st)
        st = out.attach(idx, QStringLiteral("idx"), QStringLiteral("rw"));
    if (st)
        st = out.attach(blb, QStringLiteral("blb"), QStringLiteral("rw"));
    // Sound originals are copied whole through this connection; damaged ones are read through
    // the inspecting one, which takes files cut short. A table file too damaged to attach
    // there simply yields no records.
    if (st && dat_.attached && dat_.sound)
        st = out.attach(dat_.path, QStringLiteral("od"), QStringLiteral("ro"));
    if (st && memosUsable() && blb_.sound)
        st = out.attach(blb_.path, QStringLiteral("ob"), QStringLiteral("ro"));
    if (st)
        st = out.exec(QStringLiteral("PRAGMA main.cache_size=-65536; BEGIN"));
    if (st && dat_.attached)
        st = dat_.sound ? copyRecords(out) : salvageRecords(source, out);

    if (st)
        st = rebuildIndexes(out);

    if (st)
        st = copyNotes(source, out);
    if (st) {
        result_.recordsKept =
            out.scalar(QStringLiteral("SELECT count(*) FROM main.records")).toLongLong();
        qint64 expected = -1;
        for (const Source* s : {&dat_, &idx_}) {
            if (expected < 0 && s->meta.contains(QStringLiteral("records")) &&
                s->meta.value(QStringLiteral("identity")).toString() == identity_)
                expected = s->meta.value(QStringLiteral("records")).toLongLong();
        }
        result_.recordsLost = expected < 0 ? -1 : qMax<qint64>(0, expected - result_.recordsKept);
        st = out.exec(QStringLiteral("UPDATE main.wl_meta SET v = %1 WHERE k = 'records'; "
                                     "UPDATE idx.wl_meta SET v = %1 WHERE k = 'records'; COMMIT")
                          .arg(result_.recordsKept));
    }
    return st;
}

Status TableRepair::copyRecords(SqliteDb& out)
{
    const QString cols = schema_.columnList(QStringLiteral("o"));
    Status st = out.exec(
        QStringLiteral("INSERT INTO main.records SELECT %1 FROM od.records AS o").arg(cols));
    if (!st)
        return st;
    return out.exec(QStringLiteral("UPDATE main.sqlite_sequence SET seq = max(seq, "
                                   "coalesce((SELECT seq FROM od.sqlite_sequence "
                                   "WHERE name = 'records'), 0)) WHERE name = 'records'; "
                                   "INSERT INTO main.sqlite_sequence (name, seq) SELECT 'records', "
                                   "seq FROM od.sqlite_sequence "
                                   "WHERE name = 'records' AND NOT EXISTS (SELECT 1 FROM "
                                   "main.sqlite_sequence WHERE name = 'records')"));
}

qint64 TableRepair::recNumHint(SqliteDb& source) const
{
    qint64 hint = 0;
    for (const char* sql : {"SELECT seq FROM od.sqlite_sequence WHERE name = 'records'",
                            "SELECT max(seq) FROM od.sqlite_sequence"}) {
        hint = qMax(hint, source.scalar(QLatin1StringView(sql)).toLongLong());
    }
    if (idx_.attached && idx_.meta.value(QStringLiteral("identity")).toString() == identity_) {
        for (int i = 0; i < int(schema_.indexes().size()); ++i) {
            if (schema_.isSecondary(i))
                hint = qMax(
                    hint,
                    source
                        .scalar(
                            QStringLiteral("SELECT max(RecNum) FROM %1").arg(schema_.indexTable(i)))
                        .toLongLong());
        }
    }
    return hint;
}

Status TableRepair::salvageRecords(SqliteDb& source, SqliteDb& out)
{
    const auto& fields = schema_.fields();
    const int recNum = schema_.recNumField();
    QStringList params;
    for (size_t i = 0; i < fields.size(); ++i)
        params << QStringLiteral("?%1").arg(i + 1);
    SqliteStatement insert =
        out.prepare(QStringLiteral("INSERT INTO main.records (%1) VALUES (%2)")
                        .arg(schema_.columnList(QString()), params.join(QLatin1Char(','))));
    if (!insert.isValid())
        return Status::failure(insert.prepareError());
    qint64 highest = 0;
    const auto take = [&](const SqliteStatement& row, bool& kept) {
        for (int f = 0; f < int(fields.size()); ++f) {
            const FieldDef& def = fields[size_t(f)];
            const int type = row.columnType(f + 1);
            if (!typeFits(def.type, type) || (def.required && type == SQLITE_NULL))
                return Status::success(); // a damaged row is dropped
        }
        for (int f = 0; f < int(fields.size()); ++f)
            insert.bind(f + 1, row.column(f + 1));
        const int rc = insert.step();
        insert.reset();
        kept = rc == SQLITE_DONE;
        if (kept)
            highest = qMax(highest, row.columnInt(0));
        // A row that decodes but cannot be stored (a number taken twice, a value the damage
        // made unreadable) is lost like the unreadable ones.
        const int primary = rc & 0xff;
        return rc == SQLITE_DONE || primary == SQLITE_CONSTRAINT || primary == SQLITE_CORRUPT
                   ? Status::success()
                   : Status::failure(out.errorMessage());
    };
    // The record number comes first, as salvage() expects.
    const QString sql =
        QStringLiteral("SELECT o.%2, %1 FROM od.records AS o WHERE o.%2 >= ?1 ORDER BY o.%2")
            .arg(schema_.columnList(QStringLiteral("o")), schema_.column(recNum));
    const qint64 hint = recNumHint(source);
    if (Status st = salvage(source, sql, hint, take); !st)
        return st;
    // The autoincrement mark must stay above every number ever given out.
    const qint64 mark = qMax(highest, hint);
    return out.exec(
        QStringLiteral(
            "UPDATE main.sqlite_sequence SET seq = max(seq, %1) WHERE name = 'records'; "
            "INSERT INTO main.sqlite_sequence (name, seq) SELECT 'records', %1 WHERE NOT "
            "EXISTS (SELECT 1 FROM main.sqlite_sequence WHERE name = 'records')")
            .arg(mark));
}

Status TableRepair::salvage(SqliteDb& db, const QString& sql, qint64 hint,
                            const std::function<Status(const SqliteStatement&, bool&)>& take)
{
    SqliteStatement st = db.prepare(sql);
    if (!st.isValid())
        return Status::success(); // the table itself cannot be read: nothing to salvage
    // Numbers read off a damaged page may be anything, so none of them ever decides where the
    // reading goes on: the position only moves forward, to just past the last row taken or to
    // the next probe, and the probes stop at a fixed end. A row whose number is not past the
    // last one taken, or beyond every number the table gave out, comes from damage.
    const qint64 ceiling = hint > 0 ? hint : std::numeric_limits<qint64>::max();
    const qint64 limit = qMax<qint64>(hint, 0) + (qint64(1) << 20);
    qint64 from = 1;
    while (from <= limit) {
        st.reset();
        st.bindInt(1, from);
        int rc;
        while ((rc = st.step()) == SQLITE_ROW) {
            const qint64 number = st.columnInt(0);
            if (number < from || number > ceiling)
                continue;
            bool kept = false;
            if (Status s = take(st, kept); !s)
                return s;
            if (kept)
                from = number + 1;
        }
        if (rc == SQLITE_DONE)
            return Status::success();
        // Damage at `from`: probe further on, one by one across the rows a few pages hold,
        // then in growing steps, until a seek lands on a readable row again. Reading goes on
        // from the probe, whatever number the row it found carries.
        qint64 jump = 1;
        bool found = false;
        while (!found && from + jump <= limit) {
            st.reset();
            st.bindInt(1, from + jump);
            rc = st.step();
            if (rc == SQLITE_DONE && from + jump > hint)
                return Status::success();
            found = rc == SQLITE_ROW;
            if (!found)
                jump = jump < ProbeOneByOne ? jump + 1 : jump * 2;
        }
        if (!found)
            return Status::success();
        from += jump;
    }
    return Status::success();
}

Status TableRepair::rebuildIndexes(SqliteDb& out)
{
    for (int i = 0; i < int(schema_.indexes().size()); ++i) {
        if (!schema_.isSecondary(i))
            continue;
        const QString col = schema_.column(schema_.indexField(i));
        const QString rec = schema_.column(schema_.recNumField());
        const QString sql =
            QStringLiteral("INSERT INTO %1 (key, RecNum) SELECT %2, %3 FROM main.records "
                           "WHERE %2 IS NOT NULL ORDER BY %2, %3")
                .arg(schema_.indexTable(i), col, rec);
        if (Status st = out.exec(sql); !st)
            return st;
    }
    return Status::success();
}

Status TableRepair::copyNotes(SqliteDb& source, SqliteDb& out)
{
    const auto& fields = schema_.fields();
    const QString rec = schema_.column(schema_.recNumField());
    for (int f = 0; f < int(fields.size()); ++f) {
        if (fields[size_t(f)].type != FieldType::Memo)
            continue;
        const QString col = schema_.column(f);
        if (memosUsable()) {
            Status st =
                blb_.sound
                    ? out.exec(QStringLiteral(
                                   "INSERT INTO %1 (RecNum, content) SELECT m.RecNum, m.content "
                                   "FROM ob.\"m%2\" AS m JOIN main.records AS r ON r.%3 = m.RecNum "
                                   "WHERE r.%4 = length(CAST(m.content AS BLOB))")
                                   .arg(schema_.memoTable(f))
                                   .arg(f)
                                   .arg(rec, col))
                    : salvageNotes(source, out, f);
            if (!st)
                return st;
        }
        // A record whose note could not be kept loses its mark, so it reads as having none.
        Status st =
            out.exec(QStringLiteral("UPDATE main.records SET %1 = NULL WHERE %1 IS NOT NULL AND "
                                    "%2 NOT IN (SELECT RecNum FROM %3)")
                         .arg(col, rec, schema_.memoTable(f)));
        if (!st)
            return st;
        result_.notesLost += out.changes();
    }
    return Status::success();
}

Status TableRepair::salvageNotes(SqliteDb& source, SqliteDb& out, int field)
{
    const QString col = schema_.column(field);
    const QString rec = schema_.column(schema_.recNumField());
    SqliteStatement mark =
        out.prepare(QStringLiteral("SELECT %1 FROM main.records WHERE %2 = ?1").arg(col, rec));
    SqliteStatement insert =
        out.prepare(QStringLiteral("INSERT INTO %1 (RecNum, content) VALUES (?1, ?2)")
                        .arg(schema_.memoTable(field)));
    if (!mark.isValid() || !insert.isValid())
        return Status::failure(out.errorMessage());
    const auto take = [&](const SqliteStatement& row, bool& kept) {
        if (row.columnType(1) != SQLITE_TEXT)
            return Status::success();
        const QString content = row.columnText(1);
        mark.reset();
        mark.bindInt(1, row.columnInt(0));
        if (mark.step() != SQLITE_ROW || mark.isNull(0) ||
            mark.columnInt(0) != content.toUtf8().size())
            return Status::success();
        insert.reset();
        insert.bindInt(1, row.columnInt(0));
        insert.bindText(2, content);
        kept = insert.step() == SQLITE_DONE;
        return kept ? Status::success() : Status::failure(out.errorMessage());
    };
    const QString sql =
        QStringLiteral("SELECT RecNum, content FROM %1 WHERE RecNum >= ?1 ORDER BY RecNum")
            .arg(schema_.memoTable(field));
    const qint64 hint =
        out.scalar(QStringLiteral("SELECT max(%1) FROM main.records").arg(rec)).toLongLong();
    Status st = salvage(source, sql, hint, take);
    mark.reset();
    return st;
}

Status TableRepair::installNewSet(TableInstall& install, const QString& dat, const QString& idx,
                                  const QString& blb)
{
    const bool idxSame = idx_.meta.value(QStringLiteral("identity")).toString() == identity_;
    const bool blbSame = memosUsable();
    // An original that is damaged or belongs to another table is kept aside, not replaced.
    const std::vector<TableInstall::Move> moves = {
        {dat, dat_.path, !dat_.sound},
        {idx, idx_.path, !(idx_.sound && idxSame)},
        {blb, blb_.path, !(blb_.sound && blbSame)},
    };
    return install.install(moves, result_.keptAside);
}

} // namespace wl::store
