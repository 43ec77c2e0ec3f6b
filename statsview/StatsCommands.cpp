#include "statsview/StatsCommands.h"

#include "app/TFormMain.h"
#include "statsview/TFormStats.h"

#include <QPointer>

namespace wl {

void installStatsCommands(TFormMain& main)
{
    // One window at a time; the command brings back the open one.
    auto open = std::make_shared<QPointer<TFormStats>>();
    main.setCommandHandler(Command::Statistics, [&main, open] {
        if (!*open) {
            *open = new TFormStats(main);
            (*open)->setAttribute(Qt::WA_DeleteOnClose);
        }
        (*open)->refresh();
        (*open)->show();
        (*open)->raise();
        (*open)->activateWindow();
    });
}

} // namespace wl
