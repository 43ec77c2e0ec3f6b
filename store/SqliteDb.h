#pragma once

#include "store/SqliteStatement.h"
#include "store/Status.h"

#include <QString>

struct sqlite3;

namespace wl::store {

// Owns one SQLite connection. Paths are opened as URIs so that companions can be attached
// with mode=rw (a plain attach would quietly create a missing file).
class SqliteDb
{
public:
    SqliteDb() = default;
    ~SqliteDb();
    SqliteDb(const SqliteDb&) = delete;
    SqliteDb& operator=(const SqliteDb&) = delete;

    // mode: "rw" (must exist), "rwc" (created when missing) or "ro".
    Status open(const QString& path, const QString& mode);
    // An empty in-memory database, for attaching files that may be too damaged to be main.
    Status openMemory();
    void close();
    bool isOpen() const { return db_ != nullptr; }
    sqlite3* handle() const { return db_; }

    Status attach(const QString& path, const QString& schema, const QString& mode);
    Status exec(const QString& sql);
    SqliteStatement prepare(const QString& sql) const;
    // Runs a query whose first column of its first row is wanted; null when there is no row.
    QVariant scalar(const QString& sql, QString* error = nullptr) const;

    QString errorMessage() const;
    int errorCode() const;
    qint64 lastInsertRowId() const;
    int changes() const;
    bool inTransaction() const;
    // How long a statement waits for another connection's lock before it fails as busy.
    void setBusyTimeout(int milliseconds);
    static constexpr int DefaultBusyTimeoutMs = 15 * 100; // 15 retries of 100 ms

    // A URI naming a local file, safe for any characters in the path.
    static QString fileUri(const QString& path, const QString& mode);

private:
    sqlite3* db_ = nullptr;
};

// Quotes an identifier for SQL text.
QString quoteIdentifier(const QString& name);

} // namespace wl::store
