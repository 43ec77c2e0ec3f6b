#include "store/TableFiles.h"

#include "store/TableInstall.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUuid>

#include <sqlite3.h>

#include <filesystem>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace wl::store {

namespace {

const char* const Schemas[] = {"main", "idx", "blb"};
const char* const Roles[] = {"table", "index", "memo"};

// A list walks the records in index order, which makes each record a random read in the table
// file. The files are mapped so that such a read is a memory read: without the mapping, walking a
// million records takes twice as long. Mapped pages are the file's own pages, shared with the
// system's file cache; the page cache proper is private memory and kept modest.
constexpr qint64 CacheKiB = 16 * 1024;
constexpr qint64 MmapBytes = qint64(1) << 30;

Status renameReplacing(const QString& from, const QString& to)
{
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(from).toStdString(),
                            QFile::encodeName(to).toStdString(), ec);
    if (ec)
        return Status::failure(
            QStringLiteral("Cannot rename %1: %2")
                .arg(QDir::toNativeSeparators(to), QString::fromStdString(ec.message())));
    return Status::success();
}

} // namespace

TableFiles::TableFiles(const QString& folder, const QString& tableName)
{
    const QDir dir(folder);
    dat_ = dir.filePath(tableName);
    const QString base = QFileInfo(tableName).completeBaseName();
    idx_ = dir.filePath(base + QStringLiteral(".idx"));
    blb_ = dir.filePath(base + QStringLiteral(".blb"));
}

QString TableFiles::newIdentity()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

QString TableFiles::freeName(const QString& path, const QString& suffix)
{
    QString candidate = path + suffix;
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = path + suffix + QString::number(n);
    return candidate;
}

void TableFiles::removeJournals(const QString& path)
{
    for (const char* tail : {"-journal", "-wal", "-shm"})
        QFile::remove(path + QLatin1StringView(tail));
}

void TableFiles::removeStaleSuperJournals() const
{
    const QFileInfo table(dat_);
    const QDir folder = table.absoluteDir();
    const QString prefix = table.fileName() + QStringLiteral("-mj");
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (name.startsWith(prefix))
            QFile::remove(folder.filePath(name));
    }
}

Status TableFiles::writeMeta(SqliteDb& db, const QString& identity, qint64 records)
{
    for (int i = 0; i < 3; ++i) {
        const QString s = QLatin1StringView(Schemas[i]);
        if (auto st =
                db.exec(QStringLiteral("CREATE TABLE %1.wl_meta (k TEXT PRIMARY KEY, v)").arg(s));
            !st)
            return st;
        SqliteStatement ins =
            db.prepare(QStringLiteral("INSERT INTO %1.wl_meta (k, v) VALUES (?1, ?2)").arg(s));
        const std::pair<QString, QVariant> rows[] = {
            {QStringLiteral("role"), QString::fromLatin1(Roles[i])},
            {QStringLiteral("identity"), identity},
            {QStringLiteral("format"), qint64(FormatVersion)},
            {QStringLiteral("generation"), qint64(0)},
            {QStringLiteral("opens"), qint64(0)},
            {QStringLiteral("records"), records},
        };
        for (const auto& [k, v] : rows) {
            ins.bindText(1, k);
            ins.bind(2, v);
            if (ins.step() != SQLITE_DONE)
                return Status::failure(db.errorMessage());
            ins.reset();
        }
    }
    return Status::success();
}

Status TableFiles::writeNewSet(const QString& dat, const QString& idx, const QString& blb,
                               const TableSchema& schema, const QString& identity, qint64 records)
{
    SqliteDb db;
    Status st = db.open(dat, QStringLiteral("rwc"));
    if (st)
        st = db.attach(idx, QStringLiteral("idx"), QStringLiteral("rwc"));
    if (st)
        st = db.attach(blb, QStringLiteral("blb"), QStringLiteral("rwc"));
    if (st)
        st = db.exec(QStringLiteral("BEGIN"));
    for (const QString& sql : schema.createStatements()) {
        if (st)
            st = db.exec(sql);
    }
    if (st)
        st = schema.saveDefinitions(db);
    if (st)
        st = writeMeta(db, identity, records);
    if (st)
        st = db.exec(QStringLiteral("COMMIT"));
    db.close();
    return st;
}

bool TableFiles::exists() const
{
    return QFileInfo::exists(dat_) || TableInstall::pending(*this);
}

QList<QPair<quint64, quint64>> TableFiles::fileIds() const
{
    QList<QPair<quint64, quint64>> ids;
#ifdef Q_OS_UNIX
    for (const QString& path : {dat_, idx_, blb_}) {
        struct stat info = {};
        if (::stat(QFile::encodeName(path).constData(), &info) == 0)
            ids.append({quint64(info.st_dev), quint64(info.st_ino)});
        else
            ids.append({0, 0});
    }
#endif
    return ids;
}

void TableFiles::removeRepairLeftovers() const
{
    for (const QString& path : {dat_, idx_, blb_}) {
        const QFileInfo info(path);
        const QRegularExpression leftover(QStringLiteral("^%1\\.repair\\d*(-journal)?$")
                                              .arg(QRegularExpression::escape(info.fileName())));
        const QDir folder = info.absoluteDir();
        for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden)) {
            if (leftover.match(name).hasMatch())
                QFile::remove(folder.filePath(name));
        }
    }
}

Status TableFiles::create(const TableSchema& schema) const
{
    if (Status st = schema.validate(); !st)
        return st;
    // A repair interrupted while it put its files in place has the table's records: they
    // are put in place now instead of under a new empty table.
    bool busy = false;
    if (Status st = TableInstall::finishPending(*this, busy); !st)
        return st;
    if (QFileInfo::exists(dat_))
        return Status::failure(
            QStringLiteral("The table %1 already exists.").arg(QDir::toNativeSeparators(dat_)));
    const QString tmpDat = freeName(dat_, QStringLiteral(".new"));
    const QString tmpIdx = freeName(idx_, QStringLiteral(".new"));
    const QString tmpBlb = freeName(blb_, QStringLiteral(".new"));
    auto cleanUp = [&] {
        for (const QString& p : {tmpDat, tmpIdx, tmpBlb}) {
            QFile::remove(p);
            removeJournals(p);
        }
    };
    Status st = writeNewSet(tmpDat, tmpIdx, tmpBlb, schema, newIdentity());
    if (!st) {
        cleanUp();
        return Status::failure(QStringLiteral("Cannot create the table: %1").arg(st.error));
    }
    // The table file goes in first and never over an existing one; the companions then
    // replace whatever stale files carry their names.
    removeJournals(dat_);
    if (!QFile::rename(tmpDat, dat_)) {
        cleanUp();
        return Status::failure(
            QStringLiteral("Cannot create the table %1.").arg(QDir::toNativeSeparators(dat_)));
    }
    for (const auto& [from, to] : {std::pair{tmpIdx, idx_}, std::pair{tmpBlb, blb_}}) {
        // Notes or an index that hold data may be all that is left of a table; they are
        // kept aside, never replaced.
        if (QFileInfo(to).size() > 0) {
            if (Status r = renameReplacing(to, freeName(to, QStringLiteral(".orphaned"))); !r) {
                cleanUp();
                return r;
            }
        }
        removeJournals(to);
        if (Status r = renameReplacing(from, to); !r) {
            cleanUp();
            return r;
        }
    }
    return Status::success();
}

Status TableFiles::attach(SqliteDb& db, bool exclusive, bool readOnly) const
{
    if (!QFileInfo::exists(dat_))
        return Status::failure(
            QStringLiteral("The table %1 does not exist.").arg(QDir::toNativeSeparators(dat_)));
    const QString mode = readOnly ? QStringLiteral("ro") : QStringLiteral("rw");
    Status st = db.open(dat_, mode);
    if (st && exclusive)
        st = db.exec(QStringLiteral("PRAGMA locking_mode=EXCLUSIVE"));
    if (!st)
        return st;
    for (const auto& [path, name] :
         {std::pair{idx_, QStringLiteral("idx")}, std::pair{blb_, QStringLiteral("blb")}}) {
        if (!QFileInfo::exists(path))
            return Status::failure(
                QStringLiteral("The file %1 is missing.").arg(QDir::toNativeSeparators(path)));
        if (st = db.attach(path, name, mode); !st)
            return st;
    }
    for (const char* s : Schemas) {
        const QString pragmas =
            QStringLiteral("PRAGMA %1.journal_mode=DELETE; PRAGMA %1.synchronous=FULL; "
                           "PRAGMA %1.cache_size=-%2;")
                .arg(QLatin1StringView(s))
                .arg(CacheKiB);
        if (st = db.exec(pragmas); !st)
            return st;
    }
    return setMapped(db, true);
}

Status TableFiles::setMapped(SqliteDb& db, bool mapped)
{
    for (const char* s : Schemas) {
        if (Status st = db.exec(QStringLiteral("PRAGMA %1.mmap_size=%2;")
                                    .arg(QLatin1StringView(s))
                                    .arg(mapped ? MmapBytes : 0));
            !st)
            return st;
    }
    return Status::success();
}

QHash<QString, QVariant> TableFiles::readMeta(const SqliteDb& db, const QString& schema)
{
    QHash<QString, QVariant> meta;
    SqliteStatement st = db.prepare(QStringLiteral("SELECT k, v FROM %1.wl_meta").arg(schema));
    if (!st.isValid())
        return meta;
    int rc;
    while ((rc = st.step()) == SQLITE_ROW)
        meta.insert(st.columnText(0), st.column(1));
    if (rc != SQLITE_DONE)
        meta.clear();
    return meta;
}

Status TableFiles::checkSet(const SqliteDb& db) const
{
    QHash<QString, QVariant> metas[3];
    const QString paths[] = {dat_, idx_, blb_};
    for (int i = 0; i < 3; ++i) {
        metas[i] = readMeta(db, QLatin1StringView(Schemas[i]));
        const QString file = QDir::toNativeSeparators(paths[i]);
        if (metas[i].value(QStringLiteral("role")).toString() != QLatin1StringView(Roles[i]))
            return Status::failure(QStringLiteral("The file %1 is not a %2 file of this table.")
                                       .arg(file, QLatin1StringView(Roles[i])));
        if (metas[i].value(QStringLiteral("format")).toLongLong() != FormatVersion)
            return Status::failure(QStringLiteral("The file %1 has an unknown format.").arg(file));
        // A file cut short still opens, so its size is compared with the pages it claims.
        const qint64 pages =
            db.scalar(QStringLiteral("PRAGMA %1.page_count").arg(QLatin1StringView(Schemas[i])))
                .toLongLong();
        const qint64 pageSize =
            db.scalar(QStringLiteral("PRAGMA %1.page_size").arg(QLatin1StringView(Schemas[i])))
                .toLongLong();
        if (pages * pageSize != QFileInfo(paths[i]).size())
            return Status::failure(QStringLiteral("The file %1 is cut short.").arg(file));
    }
    for (const char* key : {"identity", "generation"}) {
        const QString k = QLatin1StringView(key);
        if (metas[1].value(k) != metas[0].value(k) || metas[2].value(k) != metas[0].value(k))
            return Status::failure(
                QStringLiteral("The files of the table %1 do not belong together.")
                    .arg(QDir::toNativeSeparators(dat_)));
    }
    if (metas[1].value(QStringLiteral("records")) != metas[0].value(QStringLiteral("records")))
        return Status::failure(
            QStringLiteral("The index of the table %1 does not match its records.")
                .arg(QDir::toNativeSeparators(dat_)));
    return Status::success();
}

} // namespace wl::store
