#pragma once

#include "store/SqliteDb.h"
#include "store/TableSchema.h"

#include <QHash>
#include <QList>
#include <QPair>

namespace wl::store {

// The three files of one table: where they are, how they are created and attached, and the
// stamps that tie them together. Each file carries a meta table with its role, the table's
// identity, the format version and a generation counter that every write transaction raises in
// all three; the set is sound only when these agree.
class TableFiles
{
public:
    static constexpr int FormatVersion = 1;

    TableFiles(const QString& folder, const QString& tableName);

    QString tablePath() const { return dat_; }
    QString indexPath() const { return idx_; }
    QString memoPath() const { return blb_; }

    // Whether the table is there, or will be once an interrupted repair is finished.
    bool exists() const;

    // Creates the three files from the definitions; fails when the table file exists.
    // An interrupted repair is finished first. Companions of a missing table file are
    // replaced only when empty: one that holds data is kept aside.
    Status create(const TableSchema& schema) const;

    // Opens the table file on db and attaches the companions as "idx" and "blb", each with
    // the locking, journal and cache settings of an open table. Read-only, no file is written.
    Status attach(SqliteDb& db, bool exclusive, bool readOnly = false) const;

    // Which files the three names stand for now (device and file number; empty where the
    // platform cannot tell). A file renamed over one of them changes this, so an open that
    // compares it before and after taking its locks knows it locked the files in place.
    QList<QPair<quint64, quint64>> fileIds() const;
    // Removes the partly built files an interrupted repair left beside the table. Only a
    // repair that holds the install lock may call it.
    void removeRepairLeftovers() const;

    // Maps the three attached files into memory for reading, or stops mapping them. A long
    // write needs no mapping (it goes through the page cache), and the pages it would map
    // count in the program's memory.
    static Status setMapped(SqliteDb& db, bool mapped);

    // Reads the meta table of one attached schema; empty when unreadable.
    static QHash<QString, QVariant> readMeta(const SqliteDb& db, const QString& schema);
    // Checks that the attached set belongs together and that no file was cut short.
    Status checkSet(const SqliteDb& db) const;

    // Writes a fresh set of files at the given paths (none may exist) with one identity.
    static Status writeNewSet(const QString& dat, const QString& idx, const QString& blb,
                              const TableSchema& schema, const QString& identity,
                              qint64 records = 0);
    // Makes the meta rows of a new set.
    static Status writeMeta(SqliteDb& db, const QString& identity, qint64 records);
    // Removes journal files left beside a path; used only when the file they belong to is
    // being replaced, so that an old journal is never played back into a new file.
    static void removeJournals(const QString& path);
    // Removes the cross-file journals a commit over the three files names after the table
    // file. Called only while this process holds all three files locked, after any journal
    // of theirs was played back: none can then still be needed, but a kill while one was
    // being set up leaves it behind for good.
    void removeStaleSuperJournals() const;
    // A free name beside path for a temporary or kept-aside file.
    static QString freeName(const QString& path, const QString& suffix);
    static QString newIdentity();

private:
    QString dat_;
    QString idx_;
    QString blb_;
};

} // namespace wl::store
