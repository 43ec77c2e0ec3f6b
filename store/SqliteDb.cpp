#include "store/SqliteDb.h"

#include <QUrl>

#include <sqlite3.h>

namespace wl::store {

namespace {

constexpr int BusyTimeoutMs = SqliteDb::DefaultBusyTimeoutMs;

// The library counts every allocation it makes under a process-wide lock unless told not to
// before its first use; nothing here reads those counts, and a large append makes millions of
// allocations. Told once, before the first connection.
void configureOnce()
{
    static const bool configured = [] {
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        return true;
    }();
    (void)configured;
}

} // namespace

SqliteDb::~SqliteDb()
{
    close();
}

QString SqliteDb::fileUri(const QString& path, const QString& mode)
{
    QUrl url = QUrl::fromLocalFile(path);
    url.setQuery(QStringLiteral("mode=") + mode);
    return QString::fromUtf8(url.toEncoded());
}

Status SqliteDb::open(const QString& path, const QString& mode)
{
    close();
    configureOnce();
    const QByteArray uri = fileUri(path, mode).toUtf8();
    const int flags =
        SQLITE_OPEN_URI | SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(uri.constData(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString reason = db_ ? errorMessage() : QString::fromUtf8(sqlite3_errstr(rc));
        close();
        return Status::failure(reason);
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, BusyTimeoutMs);
    return Status::success();
}

Status SqliteDb::openMemory()
{
    close();
    configureOnce();
    if (sqlite3_open_v2(":memory:", &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI, nullptr) !=
        SQLITE_OK) {
        const QString reason = errorMessage();
        close();
        return Status::failure(reason);
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, BusyTimeoutMs);
    return Status::success();
}

void SqliteDb::close()
{
    if (db_) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

Status SqliteDb::attach(const QString& path, const QString& schema, const QString& mode)
{
    SqliteStatement st =
        prepare(QStringLiteral("ATTACH DATABASE ?1 AS %1").arg(quoteIdentifier(schema)));
    if (!st.isValid())
        return Status::failure(st.prepareError());
    st.bindText(1, fileUri(path, mode));
    if (st.step() != SQLITE_DONE)
        return Status::failure(errorMessage());
    return Status::success();
}

Status SqliteDb::exec(const QString& sql)
{
    if (!db_)
        return Status::failure(QStringLiteral("The database is not open."));
    char* message = nullptr;
    const int rc = sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &message);
    if (rc == SQLITE_OK)
        return Status::success();
    const QString reason = message ? QString::fromUtf8(message) : errorMessage();
    sqlite3_free(message);
    return Status::failure(reason);
}

SqliteStatement SqliteDb::prepare(const QString& sql) const
{
    return SqliteStatement(db_, sql);
}

QVariant SqliteDb::scalar(const QString& sql, QString* error) const
{
    SqliteStatement st = prepare(sql);
    if (!st.isValid()) {
        if (error)
            *error = st.prepareError();
        return {};
    }
    const int rc = st.step();
    if (rc == SQLITE_ROW)
        return st.column(0);
    if (rc != SQLITE_DONE && error)
        *error = errorMessage();
    return {};
}

QString SqliteDb::errorMessage() const
{
    return db_ ? QString::fromUtf8(sqlite3_errmsg(db_))
               : QStringLiteral("The database is not open.");
}

int SqliteDb::errorCode() const
{
    return db_ ? sqlite3_extended_errcode(db_) : SQLITE_MISUSE;
}

qint64 SqliteDb::lastInsertRowId() const
{
    return db_ ? sqlite3_last_insert_rowid(db_) : 0;
}

int SqliteDb::changes() const
{
    return db_ ? sqlite3_changes(db_) : 0;
}

bool SqliteDb::inTransaction() const
{
    return db_ && sqlite3_get_autocommit(db_) == 0;
}

void SqliteDb::setBusyTimeout(int milliseconds)
{
    if (db_)
        sqlite3_busy_timeout(db_, milliseconds);
}

QString quoteIdentifier(const QString& name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace wl::store
