#pragma once

#include <QString>
#include <QVariant>

#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace wl::store {

// Owns one prepared statement. Values cross as QVariant: null, qint64, double or QString.
class SqliteStatement
{
public:
    SqliteStatement() = default;
    SqliteStatement(sqlite3* db, const QString& sql);
    ~SqliteStatement();
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&& other) noexcept;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool isValid() const { return stmt_ != nullptr; }
    // The reason preparing failed, when it failed.
    QString prepareError() const { return prepareError_; }

    void bind(int index, const QVariant& value);
    void bindNull(int index);
    void bindInt(int index, qint64 value);
    void bindDouble(int index, double value);
    void bindText(int index, const QString& value);
    // UTF-8 bound without a copy: the bytes must stay until the statement is reset.
    void bindUtf8(int index, std::string_view bytes);

    // Returns SQLITE_ROW, SQLITE_DONE or an error code.
    int step();
    void reset();

    int columnCount() const;
    bool isNull(int column) const;
    int columnType(int column) const; // SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, ...
    qint64 columnInt(int column) const;
    double columnDouble(int column) const;
    QString columnText(int column) const;
    // The column's text as stored (UTF-8), valid until the next step or reset.
    std::string_view columnUtf8(int column) const;
    // The column as QVariant in its stored type (null, qint64, double or QString).
    QVariant column(int column) const;

private:
    sqlite3_stmt* stmt_ = nullptr;
    QString prepareError_;
};

} // namespace wl::store
