#include "cli/CliContext.h"

#include "app/AppConstants.h"
#include "app/CategoryAccess.h"
#include "app/ProgramFolders.h"
#include "app/services/Registry.h"
#include "store/FrequencyRecord.h"
#include "store/Table.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTextStream>

namespace wl::cli {

namespace {

// The store's own text for a table another handle holds.
const QString InUseError = QStringLiteral("The table is in use by another program.");

// Longer paths are shown with their start and end only.
constexpr qsizetype LongestShownPath = 160;

QString native(const QString& path)
{
    return CliContext::shownPath(path);
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

QString CliContext::shownPath(const QString& path)
{
    const QString text = QDir::toNativeSeparators(path);
    if (text.size() <= LongestShownPath)
        return text;
    const qsizetype half = LongestShownPath / 2;
    return text.left(half) + QChar(0x2026) + text.right(half);
}

QString CliContext::settingsProblem()
{
    const QString file = Registry::defaultFileName();
    const QFileInfo info(file);
    if (!info.exists())
        return {};
    QFile probe(file);
    const bool readable = info.isFile() && probe.open(QIODevice::ReadOnly);
    if (readable && QSettings(file, QSettings::IniFormat).status() == QSettings::NoError)
        return {};
    return QStringLiteral("the settings file %1 cannot be read, so the data folder it names is "
                          "unknown; repair or remove it, or name the folder with --data")
        .arg(shownPath(file));
}

int CliContext::fail(int code, const QString& text) const
{
    note(text);
    return code;
}

void CliContext::note(const QString& text) const
{
    // The store's own messages name the files in full.
    QString shown = text;
    if (dataFolder_.size() > LongestShownPath)
        shown.replace(QDir::toNativeSeparators(dataFolder_), shownPath(dataFolder_));
    QTextStream(stderr) << "wavelark-cli " << command_ << ": " << shown << Qt::endl;
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
    return opened(table, table.open());
}

int CliContext::openTableForReading(store::Table& table) const
{
    table.setDatabaseName(dataFolder_);
    table.setTableName(store::FrequencyRecord::TableFile);
    store::FrequencyRecord::define(table);
    if (const int missing = missingFolderOrTable(table); missing != Success)
        return missing;
    return opened(table, table.openForReading());
}

int CliContext::opened(const store::Table&, const store::Status& st) const
{
    if (st)
        return Success;
    if (st.error == InUseError)
        return inUse();
    return fail(Failed, QStringLiteral("cannot open the frequency table in %1: %2")
                            .arg(native(dataFolder_), st.error));
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
