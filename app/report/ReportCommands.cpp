#include "app/report/ReportCommands.h"

#include "app/TFormMain.h"
#include "app/report/RecordReport.h"

namespace wl {

void installReportCommands(TFormMain& main)
{
    main.setCommandHandler(Command::Print, [&main] { RecordReport::printCommand(main); });
}

} // namespace wl
