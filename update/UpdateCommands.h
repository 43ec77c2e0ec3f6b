#pragma once

namespace wl {

class TFormMain;

// Puts the update window behind the main window's "Check For Program Updates" command.
void installUpdateCommands(TFormMain& main);

} // namespace wl
