#include "store/TableSchema.h"

#include <sqlite3.h>

namespace wl::store {

namespace {

QString typeName(FieldType type)
{
    switch (type) {
    case FieldType::AutoInc:
        return QStringLiteral("autoinc");
    case FieldType::Text:
        return QStringLiteral("text");
    case FieldType::Memo:
        return QStringLiteral("memo");
    case FieldType::DateTime:
        return QStringLiteral("datetime");
    case FieldType::Double:
        return QStringLiteral("double");
    }
    return {};
}

std::optional<FieldType> typeFromName(const QString& name)
{
    for (FieldType t : {FieldType::AutoInc, FieldType::Text, FieldType::Memo, FieldType::DateTime,
                        FieldType::Double}) {
        if (typeName(t) == name)
            return t;
    }
    return std::nullopt;
}

QString sqlType(FieldType type)
{
    switch (type) {
    case FieldType::AutoInc:
        return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case FieldType::Text:
        return QStringLiteral("TEXT");
    case FieldType::Memo:
        return QStringLiteral("INTEGER");
    default:
        return QStringLiteral("REAL");
    }
}

} // namespace

TableSchema::TableSchema(std::vector<FieldDef> fields, std::vector<IndexDef> indexes)
    : fields_(std::move(fields)), indexes_(std::move(indexes))
{
    buildLookup();
}

void TableSchema::buildLookup()
{
    byName_.clear();
    recNumField_ = -1;
    for (int i = 0; i < int(fields_.size()); ++i) {
        byName_.insert(fields_[size_t(i)].name.toCaseFolded(), i);
        if (fields_[size_t(i)].type == FieldType::AutoInc && recNumField_ < 0)
            recNumField_ = i;
    }
}

Status TableSchema::validate() const
{
    if (fields_.empty())
        return Status::failure(QStringLiteral("The table has no fields."));
    int autoIncs = 0;
    QHash<QString, int> seen;
    for (const FieldDef& f : fields_) {
        if (f.name.trimmed().isEmpty())
            return Status::failure(QStringLiteral("A field has no name."));
        if (seen.contains(f.name.toCaseFolded()))
            return Status::failure(QStringLiteral("Duplicate field name '%1'.").arg(f.name));
        seen.insert(f.name.toCaseFolded(), 1);
        if (f.type == FieldType::AutoInc)
            ++autoIncs;
        if (f.type == FieldType::Text && f.size <= 0)
            return Status::failure(QStringLiteral("Text field '%1' has no size.").arg(f.name));
    }
    if (autoIncs != 1)
        return Status::failure(QStringLiteral("The table needs exactly one auto-increment field."));
    for (int i = 0; i < int(indexes_.size()); ++i) {
        const IndexDef& ix = indexes_[size_t(i)];
        const int f = fieldIndex(ix.field);
        if (f < 0)
            return Status::failure(QStringLiteral("Index field '%1' not found.").arg(ix.field));
        const FieldDef& def = fields_[size_t(f)];
        if (ix.option == IndexOption::Primary) {
            if (def.type != FieldType::AutoInc)
                return Status::failure(
                    QStringLiteral("The primary index must be on the auto-increment field."));
            continue;
        }
        if (def.type == FieldType::Memo)
            return Status::failure(
                QStringLiteral("Memo field '%1' cannot be indexed.").arg(def.name));
        // Index entries need a key, so an indexed field must always have a value.
        if (!def.required && def.type != FieldType::AutoInc)
            return Status::failure(
                QStringLiteral("Indexed field '%1' must be required.").arg(def.name));
        if (ix.name.trimmed().isEmpty())
            return Status::failure(QStringLiteral("A secondary index has no name."));
        if (indexByName(ix.name) != i)
            return Status::failure(QStringLiteral("Duplicate index name '%1'.").arg(ix.name));
    }
    return Status::success();
}

int TableSchema::fieldIndex(const QString& name) const
{
    return byName_.value(name.toCaseFolded(), -1);
}

int TableSchema::indexByName(const QString& name) const
{
    for (int i = 0; i < int(indexes_.size()); ++i) {
        if (indexes_[size_t(i)].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int TableSchema::indexField(int index) const
{
    return fieldIndex(indexes_[size_t(index)].field);
}

bool TableSchema::isSecondary(int index) const
{
    return index >= 0 && indexes_[size_t(index)].option != IndexOption::Primary &&
           indexField(index) != recNumField_;
}

QString TableSchema::column(int field) const
{
    return quoteIdentifier(fields_[size_t(field)].name);
}

QString TableSchema::indexTable(int index) const
{
    return QStringLiteral("idx.\"ix%1\"").arg(index);
}

QString TableSchema::memoTable(int field) const
{
    return QStringLiteral("blb.\"m%1\"").arg(field);
}

QString TableSchema::columnList(const QString& alias) const
{
    QStringList cols;
    for (int i = 0; i < int(fields_.size()); ++i)
        cols << (alias.isEmpty() ? column(i) : alias + QLatin1Char('.') + column(i));
    return cols.join(QStringLiteral(", "));
}

QStringList TableSchema::createStatements() const
{
    QStringList sql;
    QStringList cols;
    for (int i = 0; i < int(fields_.size()); ++i)
        cols << column(i) + QLatin1Char(' ') + sqlType(fields_[size_t(i)].type);
    sql << QStringLiteral("CREATE TABLE main.records (%1)").arg(cols.join(QStringLiteral(", ")));
    for (int i = 0; i < int(indexes_.size()); ++i) {
        if (isSecondary(i))
            sql << QStringLiteral("CREATE TABLE %1 (key NOT NULL, RecNum INTEGER NOT NULL, "
                                  "PRIMARY KEY (key, RecNum)) WITHOUT ROWID")
                       .arg(indexTable(i));
    }
    for (int i = 0; i < int(fields_.size()); ++i) {
        if (fields_[size_t(i)].type == FieldType::Memo)
            sql << QStringLiteral(
                       "CREATE TABLE %1 (RecNum INTEGER PRIMARY KEY, content TEXT NOT NULL)")
                       .arg(memoTable(i));
    }
    for (const char* s : {"main", "idx"})
        sql << QStringLiteral(
                   "CREATE TABLE %1.wl_fields (pos INTEGER PRIMARY KEY, name TEXT NOT "
                   "NULL, type TEXT NOT NULL, size INTEGER NOT NULL, required INTEGER NOT NULL)")
                   .arg(QLatin1StringView(s));
    for (const char* s : {"main", "idx"})
        sql << QStringLiteral("CREATE TABLE %1.wl_indexes (pos INTEGER PRIMARY KEY, name TEXT NOT "
                              "NULL, field TEXT NOT NULL, is_primary INTEGER NOT NULL)")
                   .arg(QLatin1StringView(s));
    return sql;
}

Status TableSchema::saveDefinitions(SqliteDb& db) const
{
    for (const char* s : {"main", "idx"}) {
        SqliteStatement st =
            db.prepare(QStringLiteral("INSERT INTO %1.wl_fields VALUES (?1, ?2, ?3, ?4, ?5)")
                           .arg(QLatin1StringView(s)));
        for (int i = 0; i < int(fields_.size()); ++i) {
            const FieldDef& f = fields_[size_t(i)];
            st.bindInt(1, i);
            st.bindText(2, f.name);
            st.bindText(3, typeName(f.type));
            st.bindInt(4, f.size);
            st.bindInt(5, f.required ? 1 : 0);
            if (st.step() != SQLITE_DONE)
                return Status::failure(db.errorMessage());
            st.reset();
        }
    }
    for (const char* s : {"main", "idx"}) {
        SqliteStatement st =
            db.prepare(QStringLiteral("INSERT INTO %1.wl_indexes VALUES (?1, ?2, ?3, ?4)")
                           .arg(QLatin1StringView(s)));
        for (int i = 0; i < int(indexes_.size()); ++i) {
            const IndexDef& ix = indexes_[size_t(i)];
            st.bindInt(1, i);
            st.bindText(2, ix.name);
            st.bindText(3, ix.field);
            st.bindInt(4, ix.option == IndexOption::Primary ? 1 : 0);
            if (st.step() != SQLITE_DONE)
                return Status::failure(db.errorMessage());
            st.reset();
        }
    }
    return Status::success();
}

Status TableSchema::loadDefinitions(SqliteDb& db, const QString& schema, TableSchema& out)
{
    std::vector<FieldDef> fields;
    SqliteStatement st = db.prepare(
        QStringLiteral("SELECT name, type, size, required FROM %1.wl_fields ORDER BY pos")
            .arg(schema));
    if (!st.isValid())
        return Status::failure(st.prepareError());
    int rc;
    while ((rc = st.step()) == SQLITE_ROW) {
        const auto type = typeFromName(st.columnText(1));
        if (!type)
            return Status::failure(
                QStringLiteral("Unknown field type '%1'.").arg(st.columnText(1)));
        fields.push_back({st.columnText(0), *type, int(st.columnInt(2)), st.columnInt(3) != 0});
    }
    if (rc != SQLITE_DONE)
        return Status::failure(db.errorMessage());

    std::vector<IndexDef> indexes;
    SqliteStatement ix =
        db.prepare(QStringLiteral("SELECT name, field, is_primary FROM %1.wl_indexes ORDER BY pos")
                       .arg(schema));
    if (!ix.isValid())
        return Status::failure(ix.prepareError());
    while ((rc = ix.step()) == SQLITE_ROW) {
        indexes.push_back({ix.columnText(0), ix.columnText(1),
                           ix.columnInt(2) ? IndexOption::Primary : IndexOption::None});
    }
    if (rc != SQLITE_DONE)
        return Status::failure(db.errorMessage());
    out = TableSchema(std::move(fields), std::move(indexes));
    return out.validate();
}

} // namespace wl::store
