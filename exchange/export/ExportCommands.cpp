#include "exchange/export/ExportCommands.h"

#include "app/TFormMain.h"
#include "exchange/export/TExportStringGrid.h"

namespace wl {

void installExportCommands(TFormMain& main)
{
    auto* exporter = new TExportStringGrid(&main, main.SortableGrid1);
    exporter->setObjectName(QStringLiteral("ExportStringGrid1"));
    main.setCommandHandler(Command::Export, [exporter] { exporter->ChooseAndExport(); });
}

} // namespace wl
