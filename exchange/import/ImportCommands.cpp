#include "exchange/import/ImportCommands.h"

#include "app/TFormMain.h"
#include "exchange/import/TFormImport.h"

namespace wl {

void installImportCommands(TFormMain& main)
{
    main.setCommandHandler(Command::Import, [&main] {
        TFormImport dialog(main);
        dialog.exec();
    });
}

} // namespace wl
