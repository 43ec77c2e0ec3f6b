#include "cli/CliContext.h"

#include "app/AppConstants.h"
#include "app/CategoryAccess.h"
#include "app/ProgramFolders.h"
#include "app/services/Registry.h"
#include "store/FrequencyRecord.h"
#include "store/Table.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace wl::cli {

namespace {

// The store's own text for a table another handle holds.
const QString InUseError = QStringLiteral("The table is in use by another program.");

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

CliContext::CliContext(QString command, QString dataFolder)
    : command_(std::move(command)), dataFolder_(std::move(dataFolder))
{
}

QString CliContext::dataFolderFrom(const QString& option)
{
    if (!option.isEmpty())
        return QDir(option).absolutePath();
    Registry registry;
    if (registry.openKey(app::SettingsKey, false)) {
        const QString stored = registry.readString(QStringLiteral("DataBasePath"));
        if (!stored.trimmed().isEmpty())
            return QDir::fromNativeSeparators(stored);
    }
    return defaultDataFolder(programFolder());
}

int CliContext::fail(int code, const QString& text) const
{
    note(text);
    return code;
}

void CliContext::note(const QString& text) const
{
    QTextStream(stderr) << "wavelark-cli " << command_ << ": " << text << Qt::endl;
}

int CliContext::missingFolderOrTable(const store::Table& table) const
{
    if (!QFileInfo(dataFolder_).isDir())
        return fail(MissingFile,
                    QStringLiteral("the data folder %1 does not exist").arg(native(dataFolder_)));
    if (!table.exists())
        return fail(MissingFile, QStringLiteral("there is no frequency table (%1) in %2")
                                     .arg(store::FrequencyRecord::TableFile, native(dataFolder_)));
    return Success;
}

int CliContext::inUse() const
{
    return fail(TableInUse, QStringLiteral("the frequency table in %1 is open in another program, "
                                           "probably Wavelark itself; close it there and try again")
                                .arg(native(dataFolder_)));
}

int CliContext::openTable(store::Table& table, bool create) const
{
    table.setDatabaseName(dataFolder_);
    table.setTableName(store::FrequencyRecord::TableFile);
    store::FrequencyRecord::define(table);
    if (create && QFileInfo(dataFolder_).isDir() && !table.exists()) {
        if (store::Status st = table.createTable(); !st)
            return fail(Failed, QStringLiteral("cannot create the frequency table: ") + st.error);
        QString error;
        if (!CategoryAccess::createDefaultIfMissing(dataFolder_, &error))
            return fail(Failed, error);
    }
    if (const int missing = missingFolderOrTable(table); missing != Success)
        return missing;
    if (store::Status st = table.open(); !st) {
        if (st.error == InUseError)
            return inUse();
        return fail(Failed, QStringLiteral("cannot open the frequency table in %1: %2")
                                .arg(native(dataFolder_), st.error));
    }
    return Success;
}

int CliContext::probeTable() const
{
    store::Table table;
    table.setDatabaseName(dataFolder_);
    table.setTableName(store::FrequencyRecord::TableFile);
    if (const int missing = missingFolderOrTable(table); missing != Success)
        return missing;
    if (store::Status st = table.open(); !st && st.error == InUseError)
        return inUse();
    return Success;
}

} // namespace wl::cli
