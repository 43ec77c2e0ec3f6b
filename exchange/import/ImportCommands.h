#pragma once

namespace wl {

class TFormMain;

// Connects the main window's Import command to the import assistant, opened modally.
void installImportCommands(TFormMain& main);

} // namespace wl
