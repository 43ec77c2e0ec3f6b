#pragma once

namespace wl {

class TFormMain;

// Connects the main window's Globe command to the map window, opened modally; every opening
// makes a new window.
void installMapCommands(TFormMain& main);

} // namespace wl
