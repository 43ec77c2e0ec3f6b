#pragma once

namespace wl {

class TFormMain;

// Connects the main window's commands to the record windows of this library: the category
// editor, the preferences, the find window and the notes viewer.
void installDialogCommands(TFormMain& main);

} // namespace wl
