#pragma once

namespace wl {

class TFormMain;

// Connects View -> Statistics and its tool button to the statistics window.
void installStatsCommands(TFormMain& main);

} // namespace wl
