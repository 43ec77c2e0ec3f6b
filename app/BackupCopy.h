#pragma once

#include "store/Status.h"

#include <QStringList>

namespace wl {

// Copies a set of files from one folder into another so that the target ends up holding
// either the whole new set or, after any failure, exactly what it held before: every file is
// first copied under a temporary name beside its target, and only when all copies are complete
// do they take the real names.
class BackupCopy
{
public:
    BackupCopy(QString sourceFolder, QString targetFolder, QStringList names);

    // Whether the copy can start: the folders and the source files are there.
    store::Status check() const;
    // Whether the target folder already holds a file of the set.
    bool targetHoldsAny() const;
    // Copies the set. Files an interrupted earlier copy left in the target folder are
    // cleaned up first.
    store::Status run() const;

private:
    void cleanUpInterrupted() const;
    store::Status copyToTemporaries(QStringList& temporaries) const;
    store::Status install(const QStringList& temporaries) const;
    QString source(const QString& name) const;
    QString target(const QString& name) const;

    QString sourceFolder_;
    QString targetFolder_;
    QStringList names_;
};

} // namespace wl
