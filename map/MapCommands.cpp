#include "map/MapCommands.h"

#include "app/TFormMain.h"
#include "map/TFormMap.h"

namespace wl {

void installMapCommands(TFormMain& main)
{
    main.setCommandHandler(Command::Globe, [&main] {
        TFormMap map(main);
        map.exec();
    });
}

} // namespace wl
