#include "app/MaintenanceCommands.h"

#include "app/DatabaseMaintenance.h"
#include "app/TFormMain.h"
#include "app/TFormRestore.h"

#include <memory>

namespace wl {

void installMaintenanceCommands(TFormMain& main)
{
    // One object for all six, so the folder chooser remembers its folder between them.
    auto maintenance = std::make_shared<DatabaseMaintenance>(main);
    const std::pair<Command, void (DatabaseMaintenance::*)()> commands[] = {
        {Command::NewDatabase, &DatabaseMaintenance::NewDatabase},
        {Command::SelectDatabase, &DatabaseMaintenance::SelectDatabase},
        {Command::MergeData, &DatabaseMaintenance::MergeData},
        {Command::RepairDatabase, &DatabaseMaintenance::RepairDatabase},
        {Command::DataBackup, &DatabaseMaintenance::DataBackup},
        {Command::BackupFolder, &DatabaseMaintenance::SetDataBackupFolder},
    };
    for (const auto& [command, handler] : commands)
        main.setCommandHandler(command, [maintenance, handler] { ((*maintenance).*handler)(); });
    main.setCommandHandler(Command::RestoreBackup, [maintenance, &main] {
        TFormRestore form(main, maintenance->backupDirectory());
        form.exec();
    });
}

} // namespace wl
