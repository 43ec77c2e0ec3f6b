#pragma once

namespace wl {

class TFormMain;

namespace schedule {

// Adds the "Schedules" menu to the main window: "Import Schedule…", "Import Sites…" and
// "On Air…" (one On Air window at a time).
void installScheduleCommands(TFormMain& main);

} // namespace schedule
} // namespace wl
