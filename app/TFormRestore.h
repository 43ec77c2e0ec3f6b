#pragma once

#include "app/BackupRestore.h"

#include <QDialog>

#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace wl {

class TFormMain;

// Lists what the data files can be restored from: the backup folder's backup and the tables
// earlier restores kept aside in the data folder, newest first with their record counts. After
// asking, Restore puts the chosen set in place of the open table, which is kept aside in turn.
class TFormRestore : public QDialog
{
    Q_OBJECT
public:
    TFormRestore(TFormMain& main, QString backupFolder);

    QTreeWidget* ListBackups = nullptr;
    QPushButton* BtnRestore = nullptr;
    QPushButton* BtnCancel = nullptr;

    void BtnRestoreClick();
    const std::vector<BackupRestore::Source>& sources() const { return sources_; }

private:
    void fill();
    QString describe(const BackupRestore::Source& source) const;
    bool confirm(const BackupRestore::Source& source);
    void showRestored(const BackupRestore::Source& source, const BackupRestore::Outcome& done);

    TFormMain& main_;
    QString backupFolder_;
    std::vector<BackupRestore::Source> sources_;
};

} // namespace wl
