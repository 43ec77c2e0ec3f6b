#pragma once

#include "store/SqliteDb.h"
#include "store/Table.h"
#include "store/TableFiles.h"
#include "store/TableSchema.h"

#include <functional>

namespace wl::store {

class TableInstall;

// Rebuilds a closed table's three files. Records come from the .dat: copied whole when the file
// is sound, otherwise salvaged row by row around the damage, keeping their RecNums and the
// autoincrement mark. The .idx is always rebuilt from the records. Notes are kept only for
// records that exist, only from a .blb stamped with the same table identity, and only when
// their length matches the record's mark. Damaged or foreign originals are kept aside.
class TableRepair
{
public:
    explicit TableRepair(TableFiles files) : files_(std::move(files)) {}
    RepairResult run();

private:
    struct Source
    {
        QString path;
        bool attached = false;
        bool sound = false;
        QHash<QString, QVariant> meta;
    };

    Status inspect(SqliteDb& db);
    void inspectCompanion(SqliteDb& db, Source& source, const QString& schema, const QString& role);
    Status loadSchema(SqliteDb& db);
    Status rebuild(SqliteDb& source, const QString& dat, const QString& idx, const QString& blb);
    Status copyRecords(SqliteDb& out);
    Status salvageRecords(SqliteDb& source, SqliteDb& out);
    Status rebuildIndexes(SqliteDb& out);
    Status copyNotes(SqliteDb& source, SqliteDb& out);
    Status salvageNotes(SqliteDb& source, SqliteDb& out, int field);
    Status installNewSet(TableInstall& install, const QString& dat, const QString& idx,
                         const QString& blb);
    qint64 recNumHint(SqliteDb& source) const;
    bool memosUsable() const;
    // Reads a rowid table in rowid order, stepping over damaged pages; calls take for each row
    // that can be read, which says whether it kept the row. sql selects the rowid first and
    // has ?1 for the lowest rowid wanted.
    static Status salvage(SqliteDb& db, const QString& sql, qint64 hint,
                          const std::function<Status(const SqliteStatement&, bool&)>& take);

    TableFiles files_;
    Source dat_;
    Source idx_;
    Source blb_;
    TableSchema schema_;
    QString identity_;
    RepairResult result_;
};

} // namespace wl::store
