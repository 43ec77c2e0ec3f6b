#include "app/BackupRestore.h"

#include "app/DataSetAside.h"
#include "store/FrequencyRecord.h"
#include "store/Table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <utility>

namespace wl {

namespace {

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// The table's three files: enough to open it and count its records.
QStringList tableNames()
{
    using namespace store::FrequencyRecord;
    return {TableFile, IndexFile, MemoFile};
}

} // namespace

QStringList BackupRestore::fileNames()
{
    return tableNames() << store::FrequencyRecord::CategoryFileName;
}

QString BackupRestore::path(const QString& folder, const QString& name, const QString& suffix)
{
    return QDir(folder).filePath(name + suffix);
}

store::Status BackupRestore::copySet(const Source& source, const QString& target,
                                     const QStringList& names)
{
    for (const QString& name : names) {
        QFile from(path(source.folder, name, source.suffix));
        if (!from.copy(QDir(target).filePath(name)))
            return store::Status::failure(QStringLiteral("Cannot copy %1: %2")
                                              .arg(native(from.fileName()), from.errorString()));
    }
    return store::Status::success();
}

BackupRestore::Source BackupRestore::inspect(const QString& folder, const QString& suffix)
{
    Source source;
    source.folder = folder;
    source.suffix = suffix;
    QStringList missing;
    for (const QString& name : fileNames()) {
        if (!QFileInfo(path(folder, name, suffix)).isFile())
            missing << name + suffix;
    }
    if (!missing.isEmpty()) {
        source.problem =
            QStringLiteral("The backup in %1 is incomplete: %2 %3 missing.")
                .arg(native(folder), missing.join(QStringLiteral(", ")),
                     missing.size() == 1 ? QStringLiteral("is") : QStringLiteral("are"));
        return source;
    }
    source.saved =
        QFileInfo(path(folder, store::FrequencyRecord::TableFile, suffix)).lastModified();
    // Opened on a copy: opening may write to its files, and the source must stay as it is.
    QTemporaryDir scratch;
    store::Status copied = scratch.isValid() ? copySet(source, scratch.path(), tableNames())
                                             : store::Status::failure(scratch.errorString());
    if (!copied) {
        source.problem =
            QStringLiteral("The backup in %1 cannot be read: %2").arg(native(folder), copied.error);
        return source;
    }
    store::Table table;
    table.setDatabaseName(scratch.path());
    table.setTableName(store::FrequencyRecord::TableFile);
    store::FrequencyRecord::define(table);
    const store::Status opened = table.open();
    source.records = opened ? table.recordCount() : -1;
    table.close();
    if (!opened || source.records < 0)
        source.problem = QStringLiteral("The backup in %1 is damaged: %2")
                             .arg(native(folder), opened ? table.lastError() : opened.error);
    return source;
}

std::vector<BackupRestore::Source> BackupRestore::list(const QString& backupFolder,
                                                       const QString& dataFolder)
{
    std::vector<Source> sources;
    const QStringList names = fileNames();
    if (std::any_of(names.begin(), names.end(), [&](const QString& name) {
            return QFileInfo::exists(path(backupFolder, name, {}));
        }))
        sources.push_back(inspect(backupFolder));
    // Sets moved aside carry one suffix on all their files: ".old", ".old2", ...
    const QRegularExpression aside(
        QStringLiteral("^%1(\\.old\\d*)$")
            .arg(QRegularExpression::escape(store::FrequencyRecord::TableFile)),
        QRegularExpression::CaseInsensitiveOption);
    const QStringList found = QDir(dataFolder).entryList(QDir::Files);
    for (const QString& file : found) {
        if (const QRegularExpressionMatch match = aside.match(file); match.hasMatch())
            sources.push_back(inspect(dataFolder, match.captured(1)));
    }
    std::stable_sort(sources.begin(), sources.end(),
                     [](const Source& a, const Source& b) { return a.saved > b.saved; });
    return sources;
}

BackupRestore::Outcome BackupRestore::restore(const QString& dataFolder, const Source& chosen)
{
    Outcome outcome;
    const Source source = inspect(chosen.folder, chosen.suffix);
    if (!source.usable()) {
        outcome.status = store::Status::failure(source.problem);
        return outcome;
    }
    // The new set is copied in full beside the data files first, so that the swap itself is
    // a few renames on one disk and a failed copy leaves the data folder untouched.
    QTemporaryDir staging(QDir(dataFolder).filePath(QStringLiteral("restore-XXXXXX")));
    if (!staging.isValid()) {
        outcome.status =
            store::Status::failure(QStringLiteral("Cannot prepare the restore in %1: %2")
                                       .arg(native(dataFolder), staging.errorString()));
        return outcome;
    }
    if (outcome.status = copySet(source, staging.path(), fileNames()); !outcome.status)
        return outcome;
    const QStringList names = fileNames();
    const QString suffix = DataSetAside::freeSuffix(dataFolder, names);
    const DataSetAside::Outcome kept = DataSetAside::keep(dataFolder, names);
    if (!kept.status) {
        outcome.status = kept.status;
        return outcome;
    }
    std::vector<QString> placed;
    for (const QString& name : names) {
        QFile file(QDir(staging.path()).filePath(name));
        const QString target = QDir(dataFolder).filePath(name);
        if (file.rename(target)) {
            placed.push_back(target);
            continue;
        }
        outcome.status = store::Status::failure(
            QStringLiteral("Cannot put %1 in place: %2").arg(native(target), file.errorString()));
        // Back as it was: the restored files go and the set moved aside takes its names again.
        for (const QString& done : placed)
            QFile::remove(done);
        for (const QString& aside : kept.keptAs) {
            const qsizetype at = aside.lastIndexOf(suffix);
            QFile::rename(aside, aside.left(at) + aside.mid(at + suffix.size()));
        }
        return outcome;
    }
    outcome.status = store::Status::success();
    outcome.records = source.records;
    outcome.keptSuffix = suffix;
    outcome.keptAs = kept.keptAs;
    return outcome;
}

} // namespace wl
