#include "app/DatabaseMaintenance.h"

#include "app/AppConstants.h"
#include "app/BackupCopy.h"
#include "app/DataSetAside.h"
#include "app/RepairSummary.h"
#include "app/TFormMain.h"
#include "app/TableMerge.h"
#include "app/WaitCursor.h"
#include "app/services/CaptionedMessage.h"
#include "app/services/Registry.h"
#include "app/services/UiServices.h"
#include "grid/TSortableGrid.h"
#include "store/CategoryFile.h"
#include "store/FrequencyRecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

namespace wl {

namespace {

const QString TableFilter = QStringLiteral("Frequency Data (larkbase.dat)");

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

bool isTableFile(const QString& path)
{
    return QFileInfo(path).fileName().compare(store::FrequencyRecord::TableFile,
                                              Qt::CaseInsensitive) == 0;
}

// The category file's bytes as they are, so a copy keeps every line and its encoding;
// nullopt when there is none to copy.
std::optional<QByteArray> categoryBytes(const QString& folder)
{
    QFile file(store::CategoryFile::inFolder(folder).path());
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

store::Status writeBytes(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return store::Status::failure(
            QStringLiteral("Cannot write %1: %2").arg(native(path), file.errorString()));
    return store::Status::success();
}

} // namespace

const QString DatabaseMaintenance::BackupDirectoryValue = QStringLiteral("Backup Directory");
// Earlier releases stored this when the user had chosen nothing; no machine has that drive now.
const QString DatabaseMaintenance::OldDefaultBackupDirectory = QStringLiteral("A:\\");

QString DatabaseMaintenance::defaultBackupDirectory()
{
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    return QDir::toNativeSeparators(QDir(documents).filePath(QStringLiteral("Wavelark Backup")));
}

DatabaseMaintenance::DatabaseMaintenance(TFormMain& main) : FB1(&main), main_(main) {}

QStringList DatabaseMaintenance::dataFileNames()
{
    using namespace store::FrequencyRecord;
    return {TableFile, IndexFile, MemoFile, CategoryFileName};
}

QString DatabaseMaintenance::backupDirectory() const
{
    Registry registry(main_.settingsFile());
    if (!registry.openKey(app::SettingsKey, false))
        return defaultBackupDirectory();
    const QString stored = registry.readString(BackupDirectoryValue, QString());
    return stored.isEmpty() || stored == OldDefaultBackupDirectory ? defaultBackupDirectory()
                                                                   : stored;
}

bool DatabaseMaintenance::sameFolder(const QString& a, const QString& b)
{
    const QFileInfo first(a);
    const QFileInfo second(b);
    if (first.exists() && second.exists())
        return first.canonicalFilePath() == second.canonicalFilePath();
    return QDir::cleanPath(first.absoluteFilePath()) == QDir::cleanPath(second.absoluteFilePath());
}

QString DatabaseMaintenance::chooseTableFile(const QString& title) const
{
    return UiServices::dialogs().openFileName(&main_, title, main_.programFolder(), TableFilter);
}

void DatabaseMaintenance::reopenTable()
{
    if (const store::Status opened = main_.OpenTable(); !opened)
        ShowMessage(QStringLiteral("Database read failure"), opened.error);
}

void DatabaseMaintenance::showAfterSwitch()
{
    main_.ReadAllRecords();
    main_.SortableGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    main_.SortableGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    main_.setWindowTitle(main_.MainCaption());
    // Back on "All Records" the records can be edited again.
    main_.SetBrowseMode();
}

// ----------------------------------------------------------------------------------------
// New Database

void DatabaseMaintenance::NewDatabase()
{
    const QString oldFolder = main_.settings().dataBasePath;
    QString start = main_.programFolder();
    if (start.size() > 1 && start.endsWith(QLatin1Char('/')))
        start.chop(1);
    FB1.Directory = start;
    FB1.Title = QStringLiteral("Select new database folder and click OK");
    if (!FB1.Execute())
        return;
    const QString folder = FB1.Directory;
    // Read before anything moves: the new folder may be the old one.
    const std::optional<QByteArray> categories = categoryBytes(oldFolder);
    bool keptTable = false;

    if (QFileInfo::exists(QDir(folder).filePath(store::FrequencyRecord::TableFile))) {
        const auto answer = CaptionedMessage(QStringLiteral("Existing Database Selected"),
                                             QStringLiteral("Overwrite database files?       "),
                                             MessageKind::Warning, app::HelpContext::Maintenance,
                                             QMessageBox::Ok | QMessageBox::Cancel);
        if (answer != QMessageBox::Ok)
            return;
        main_.table().close();
        // When the files cannot be moved the table stays there and is opened unchanged, with
        // the category file that belongs to it.
        keptTable = !keepExistingAside(folder);
    }

    main_.table().close();
    main_.settings().dataBasePath = folder;
    if (const store::Status made = main_.MakeTable(); !made)
        ShowMessage(QStringLiteral("Table create failure"), made.error);
    else
        reopenTable();
    main_.SortableGrid1->SetRowCount(2);
    main_.ReadAllRecords();
    if (!keptTable)
        writeCategories(folder, categories);
    main_.setWindowTitle(main_.MainCaption());
}

bool DatabaseMaintenance::keepExistingAside(const QString& folder)
{
    const DataSetAside::Outcome moved = DataSetAside::keep(folder, dataFileNames());
    if (!moved.status) {
        ShowMessage(moved.status.error);
        return false;
    }
    QStringList names;
    for (const QString& path : moved.keptAs)
        names << native(path);
    ShowMessage(QStringLiteral("The database files that were in this folder have been kept "
                               "aside under new names."),
                names.join(QLatin1Char('\n')));
    return true;
}

void DatabaseMaintenance::writeCategories(const QString& folder,
                                          const std::optional<QByteArray>& copied)
{
    const store::CategoryFile target = store::CategoryFile::inFolder(folder);
    // Without a file to copy, the categories the window shows are the ones to carry over.
    const store::Status written =
        copied ? writeBytes(target.path(), *copied) : target.write(main_.categories());
    if (!written)
        ShowMessage(written.error);
}

// ----------------------------------------------------------------------------------------
// Select Database

void DatabaseMaintenance::SelectDatabase()
{
    const QString file = chooseTableFile(QStringLiteral("Select Frequency Database"));
    if (file.isEmpty())
        return;
    // Nothing is switched, but the user learns why.
    if (!isTableFile(file) || !QFileInfo(file).isFile()) {
        ShowMessage(QStringLiteral("There is no database here: a database folder holds the file "
                                   "%1. The open database stays in use.")
                        .arg(store::FrequencyRecord::TableFile),
                    native(file));
        return;
    }
    main_.table().close();
    main_.settings().dataBasePath = QFileInfo(file).absolutePath();
    reopenTable();
    main_.ReadCategories();
    main_.setCategories(main_.categories());
    showAfterSwitch();
}

// ----------------------------------------------------------------------------------------
// Merge Data

void DatabaseMaintenance::MergeData()
{
    const QString file =
        chooseTableFile(QStringLiteral("Select Database To Merge With Current Database"));
    if (file.isEmpty() || !isTableFile(file))
        return;
    const QString folder = QFileInfo(file).absolutePath();
    // The open table cannot be read through a second handle, and its records are here already.
    if (sameFolder(folder, main_.settings().dataBasePath)) {
        ShowMessage(QStringLiteral("The database to merge is the one in use. Choose the "
                                   "database of another folder."));
        return;
    }
    store::Table& second = main_.mergeTable();
    second.close();
    second.setDatabaseName(folder);
    second.setTableName(store::FrequencyRecord::TableFile);
    second.copyDefinitionsFrom(main_.table());
    if (!second.exists()) {
        if (const store::Status made = second.createTable(); !made) {
            ShowMessage(QStringLiteral("Table create failure"), made.error);
            return;
        }
    }
    const auto answer = CaptionedMessage(QStringLiteral("Merging Data"),
                                         QStringLiteral("Adding data from  ") + native(file) +
                                             QStringLiteral(" current database."),
                                         MessageKind::Confirmation, app::HelpContext::Maintenance,
                                         QMessageBox::Ok | QMessageBox::Cancel);
    if (answer != QMessageBox::Ok)
        return;

    // The merged table is only read, so it may lie on a read-only medium.
    store::Status merged = main_.table().isOpen()
                               ? second.openForReading()
                               : store::Status::failure(main_.table().lastError());
    if (!merged) {
        second.close();
        ShowMessage(QStringLiteral("Database read failure"), merged.error);
        return;
    }
    {
        WaitCursor wait;
        merged = TableMerge::run(main_.table(), second);
    }
    second.close();
    if (!merged)
        ShowMessage(QStringLiteral("The records could not be merged. Nothing was added."),
                    merged.error);
    main_.SortableGrid1->SetColCount(ColumnCount);
    showAfterSwitch();
}

// ----------------------------------------------------------------------------------------
// Repair Database

void DatabaseMaintenance::RepairDatabase()
{
    const auto answer =
        CaptionedMessage(QStringLiteral("Confirmation Request"),
                         QStringLiteral("Repairing database, please confirm."),
                         MessageKind::Confirmation, app::HelpContext::RepairConfirmation,
                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Help);
    if (answer != QMessageBox::Yes)
        return;
    store::RepairResult result;
    store::Status opened;
    {
        WaitCursor wait;
        main_.table().close();
        result =
            store::Table::repair(main_.settings().dataBasePath, store::FrequencyRecord::TableFile);
        opened = main_.OpenTable();
    }
    reportRepair(result);
    if (!opened)
        ShowMessage(QStringLiteral("Database read failure"), opened.error);
    // Records may have been lost or become readable again: the grid shows what is there now.
    main_.ReadAllRecords();
}

void DatabaseMaintenance::reportRepair(const store::RepairResult& result)
{
    if (!result.ok) {
        ShowMessage(QStringLiteral("The database could not be repaired."), result.reason);
        return;
    }
    if (result.recordsLost == 0 && result.notesLost == 0 && result.keptAside.isEmpty()) {
        ShowMessage(QStringLiteral("The database was checked and repaired; no record was lost."));
        return;
    }
    QStringList names;
    for (const QString& path : result.keptAside)
        names << native(path);
    ShowMessage(repairSummary(result), names.join(QLatin1Char('\n')));
}

// ----------------------------------------------------------------------------------------
// Data Backup

void DatabaseMaintenance::DataBackup()
{
    main_.table().close();
    const QString target = backupDirectory();
    // The default folder is the program's own to make; a folder the user chose is not.
    if (target == defaultBackupDirectory())
        QDir().mkpath(target);
    const BackupCopy copy(main_.settings().dataBasePath, target, dataFileNames());
    bool copied = false;
    const QString outcome = backUp(copy, copied);
    reopenTable();
    if (!copied) {
        ShowMessage(outcome);
        return;
    }
    // Where the files went, with the folder a click away.
    if (CaptionedMessage(app::ProductName,
                         QStringLiteral("The data files were copied to %1.").arg(native(target)),
                         MessageKind::Information, app::HelpContext::Maintenance,
                         QMessageBox::Ok | QMessageBox::Open) == QMessageBox::Open)
        UiServices::desktop().openUrl(QUrl::fromLocalFile(target));
}

QString DatabaseMaintenance::backUp(const BackupCopy& copy, bool& copied)
{
    copied = false;
    if (const store::Status ready = copy.check(); !ready)
        return ready.error;
    if (copy.targetHoldsAny() &&
        CaptionedMessage(QStringLiteral("Confirm File Replace"),
                         QStringLiteral("The backup folder already holds a backup of the "
                                        "database files. Replace it with the current files?"),
                         MessageKind::Confirmation, app::HelpContext::Maintenance,
                         QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return QStringLiteral("Operation Aborted");
    WaitCursor wait;
    const store::Status done = copy.run();
    copied = done.ok;
    return done ? QString() : done.error;
}

void DatabaseMaintenance::SetDataBackupFolder()
{
    const QString current = backupDirectory();
    const QString text = current == defaultBackupDirectory()
                             ? QStringLiteral("The default databack destination is ") + current +
                                   QStringLiteral(". To change this click OK.")
                             : QStringLiteral("Databack destination is ") + current +
                                   QStringLiteral(". To change this click OK.");
    if (CaptionedMessage(QStringLiteral("Changing Databackup Drive"), text,
                         MessageKind::Confirmation, app::HelpContext::Maintenance,
                         QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return;
    FB1.Title = QStringLiteral("Select Data Backup Drive/Folder and click OK");
    if (!FB1.Execute())
        return;
    Registry registry(main_.settingsFile());
    bool written = registry.openKey(app::SettingsKey, true) &&
                   registry.writeString(BackupDirectoryValue, native(FB1.Directory));
    written = registry.flush() && written;
    if (!written)
        ShowMessage(QStringLiteral("The settings could not be saved."), registry.errorString());
}

} // namespace wl
