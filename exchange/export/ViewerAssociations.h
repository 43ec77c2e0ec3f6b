#pragma once

#include "exchange/export/ExportTypes.h"

#include <QIcon>

#include <map>

namespace wl {

// What the desktop knows about the programs that show each export format: whether there is
// one, and its icon.
class ViewerAssociations
{
public:
    // True when the desktop has a program for files with the type's extension (always for the
    // clipboard). A ".dif" that the desktop takes for a video format has no data viewer.
    bool canView(TExportType type);
    // The icon of the type's files, or of the clipboard; null when there is none.
    static QIcon iconOf(TExportType type);

private:
    static bool hasDefaultProgram(const QString& mimeName);

    std::map<TExportType, bool> known_;
};

} // namespace wl
