#pragma once

#include "store/Status.h"

#include <QDateTime>
#include <QStringList>

#include <vector>

namespace wl {

// Brings a copy of the data files back into the data folder: a backup folder's set, or a set
// that an earlier restore (or a new database, a repair) moved aside in the data folder under a
// suffix such as ".old2". The set being replaced is itself moved aside, never deleted, so every
// restore can be undone by restoring that set in turn.
//
// A source is used only when it is whole and its table opens; it is checked on a copy, so the
// source's files are never opened or changed.
class BackupRestore
{
public:
    struct Source
    {
        QString folder;
        QString suffix;  // after each file name: empty for a backup folder, ".old2" for a set aside
        QDateTime saved; // when its table was last written
        qint64 records = -1;
        QString problem; // why it cannot be restored; empty when it can
        bool usable() const { return problem.isEmpty(); }
    };

    struct Outcome
    {
        store::Status status;
        qint64 records = -1;
        QString keptSuffix; // the suffix the replaced set now carries in the data folder
        QStringList keptAs; // full paths of the replaced set's files
    };

    // The data files a set is made of: the table's three and the category file.
    static QStringList fileNames();

    static Source inspect(const QString& folder, const QString& suffix = {});
    // The backup folder's set (when it has any of the files) and the sets set aside in the data
    // folder, newest first; each inspected.
    static std::vector<Source> list(const QString& backupFolder, const QString& dataFolder);
    // Replaces the data folder's set with the source's. The table must not be open. On any
    // failure the data folder holds what it held before.
    static Outcome restore(const QString& dataFolder, const Source& source);

private:
    static QString path(const QString& folder, const QString& name, const QString& suffix);
    static store::Status copySet(const Source& source, const QString& target,
                                 const QStringList& names);
};

} // namespace wl
