#include "app/TFolderBrowse.h"

#include "app/services/UiServices.h"

#include <QFileInfo>

namespace wl {

bool TFolderBrowse::Execute()
{
    const QString chosen = UiServices::dialogs().folder(owner_, Title, Directory);
    if (chosen.isEmpty() || !QFileInfo(chosen).isDir())
        return false;
    Directory = QFileInfo(chosen).absoluteFilePath();
    return true;
}

} // namespace wl
