#pragma once

namespace wl {

class TFormMain;

// Connects the main window's Print command to the record report and its preview.
void installReportCommands(TFormMain& main);

} // namespace wl
