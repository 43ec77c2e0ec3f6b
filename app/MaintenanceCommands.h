#pragma once

namespace wl {

class TFormMain;

// Connects the main window's database maintenance commands: New Database, Select Database,
// Merge Data, Repair Database, Data Backup and Set Data Backup Folder.
void installMaintenanceCommands(TFormMain& main);

} // namespace wl
