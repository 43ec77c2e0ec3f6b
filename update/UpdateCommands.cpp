#include "update/UpdateCommands.h"

#include "app/TFormMain.h"
#include "update/TFormProgress.h"

namespace wl {

void installUpdateCommands(TFormMain& main)
{
    main.setCommandHandler(Command::CheckUpdates, [&main] {
        UpdateSetup setup;
        setup.closeProgram = [&main] { return main.close(); };
        TFormProgress window(std::move(setup), &main);
        window.exec();
    });
}

} // namespace wl
