#include "store/SqliteStatement.h"

#include <sqlite3.h>

#include <utility>

namespace wl::store {

SqliteStatement::SqliteStatement(sqlite3* db, const QString& sql)
{
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &stmt_, nullptr) != SQLITE_OK) {
        prepareError_ = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
    }
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(stmt_);
}

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : stmt_(std::exchange(other.stmt_, nullptr)), prepareError_(std::move(other.prepareError_))
{
}

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(stmt_);
        stmt_ = std::exchange(other.stmt_, nullptr);
        prepareError_ = std::move(other.prepareError_);
    }
    return *this;
}

void SqliteStatement::bind(int index, const QVariant& value)
{
    if (value.isNull()) {
        bindNull(index);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        bindDouble(index, value.toDouble());
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
        bindInt(index, value.toLongLong());
        break;
    default:
        bindText(index, value.toString());
    }
}

void SqliteStatement::bindNull(int index)
{
    sqlite3_bind_null(stmt_, index);
}

void SqliteStatement::bindInt(int index, qint64 value)
{
    sqlite3_bind_int64(stmt_, index, value);
}

void SqliteStatement::bindDouble(int index, double value)
{
    sqlite3_bind_double(stmt_, index, value);
}

void SqliteStatement::bindText(int index, const QString& value)
{
    const QByteArray text = value.toUtf8();
    sqlite3_bind_text64(stmt_, index, text.constData(), sqlite3_uint64(text.size()),
                        SQLITE_TRANSIENT, SQLITE_UTF8);
}

void SqliteStatement::bindUtf8(int index, std::string_view bytes)
{
    // An empty view may have no pointer; an empty text is still a text, not null.
    sqlite3_bind_text64(stmt_, index, bytes.data() ? bytes.data() : "",
                        sqlite3_uint64(bytes.size()), SQLITE_STATIC, SQLITE_UTF8);
}

int SqliteStatement::step()
{
    if (!stmt_)
        return SQLITE_MISUSE;
    return sqlite3_step(stmt_);
}

void SqliteStatement::reset()
{
    if (!stmt_)
        return;
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int SqliteStatement::columnCount() const
{
    return stmt_ ? sqlite3_column_count(stmt_) : 0;
}

bool SqliteStatement::isNull(int column) const
{
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

int SqliteStatement::columnType(int column) const
{
    return sqlite3_column_type(stmt_, column);
}

qint64 SqliteStatement::columnInt(int column) const
{
    return sqlite3_column_int64(stmt_, column);
}

double SqliteStatement::columnDouble(int column) const
{
    return sqlite3_column_double(stmt_, column);
}

QString SqliteStatement::columnText(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(stmt_, column));
}

std::string_view SqliteStatement::columnUtf8(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    if (!text)
        return {};
    return {text, size_t(sqlite3_column_bytes(stmt_, column))};
}

QVariant SqliteStatement::column(int column) const
{
    switch (sqlite3_column_type(stmt_, column)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return QVariant(columnInt(column));
    case SQLITE_FLOAT:
        return QVariant(columnDouble(column));
    default:
        return QVariant(columnText(column));
    }
}

} // namespace wl::store
