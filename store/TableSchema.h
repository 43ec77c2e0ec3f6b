#pragma once

#include "store/SqliteDb.h"
#include "store/Table.h"

#include <QHash>

#include <optional>

namespace wl::store {

// The field and index definitions of a table and how they map onto the three files:
// main (.dat) holds "records" with one column per field (a memo column holds the byte length
// of its note, or null) and the field definitions; idx (.idx) holds one table "ix<n>" of
// (key, RecNum) per secondary index plus copies of the definitions; blb (.blb) holds one table
// "m<n>" of (RecNum, content) per memo field. The definitions are kept in both main and idx so
// that a repair can rebuild either from the other.
class TableSchema
{
public:
    TableSchema() = default;
    TableSchema(std::vector<FieldDef> fields, std::vector<IndexDef> indexes);

    // Checks that the definitions can make a table: one auto-increment field, unique names,
    // positive text sizes, and indexes on existing, required, non-memo fields.
    Status validate() const;

    const std::vector<FieldDef>& fields() const { return fields_; }
    const std::vector<IndexDef>& indexes() const { return indexes_; }
    int fieldIndex(const QString& name) const;  // case-insensitive; -1 when unknown
    int indexByName(const QString& name) const; // case-insensitive; -1 when unknown
    int recNumField() const { return recNumField_; }
    int indexField(int index) const;
    bool isSecondary(int index) const;
    QString column(int field) const;     // quoted column name in "records"
    QString indexTable(int index) const; // "idx.ix<n>", quoted
    QString memoTable(int field) const;  // "blb.m<n>", quoted
    QString columnList(
        const QString& alias) const; // every column in field order, alias. prefixed unless empty

    QStringList createStatements() const;
    Status saveDefinitions(SqliteDb& db) const;
    // Reads the definitions kept in the given attached schema ("main" or "idx").
    static Status loadDefinitions(SqliteDb& db, const QString& schema, TableSchema& out);

private:
    void buildLookup();

    std::vector<FieldDef> fields_;
    std::vector<IndexDef> indexes_;
    QHash<QString, int> byName_;
    int recNumField_ = -1;
};

} // namespace wl::store
