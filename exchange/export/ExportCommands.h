#pragma once

namespace wl {

class TFormMain;

// Connects the main window's Export command to the grid export: the main window gets its
// ExportStringGrid1, bound to SortableGrid1 and living as long as the window.
void installExportCommands(TFormMain& main);

} // namespace wl
