#pragma once

#include "app/TFolderBrowse.h"
#include "store/Table.h"

#include <QStringList>

#include <optional>

namespace wl {

class BackupCopy;
class TFormMain;

// The maintenance commands of the main window's File menu: a new table in another folder,
// switching to another folder's table, merging another table in, repairing the table, and
// copying the data files to the backup folder and choosing that folder.
class DatabaseMaintenance
{
public:
    explicit DatabaseMaintenance(TFormMain& main);

    void NewDatabase();
    void SelectDatabase();
    void MergeData();
    void RepairDatabase();
    void DataBackup();
    void SetDataBackupFolder();

    // The settings value naming the backup folder, and its value when never set.
    static const QString BackupDirectoryValue;
    static const QString OldDefaultBackupDirectory;
    // "Wavelark Backup" in the user's documents folder: used while no other folder is chosen.
    static QString defaultBackupDirectory();
    // The files of a data folder: the table's three and the category file.
    static QStringList dataFileNames();
    QString backupDirectory() const;

    TFolderBrowse FB1;

private:
    QString chooseTableFile(const QString& title) const;
    // Moves the folder's data files aside; false, after saying why, when they stay.
    bool keepExistingAside(const QString& folder);
    void writeCategories(const QString& folder, const std::optional<QByteArray>& copied);
    void reopenTable();
    void showAfterSwitch();
    void reportRepair(const store::RepairResult& result);
    // Copies the data files; when they were not copied, the text that says why.
    static QString backUp(const BackupCopy& copy, bool& copied);
    static bool sameFolder(const QString& a, const QString& b);

    TFormMain& main_;
};

} // namespace wl
