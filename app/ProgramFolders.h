#pragma once

#include <QString>

namespace wl {

// The folder of the program file in its long form, ending with "/".
QString programFolder();

// Where the data lives until the user chooses otherwise: beside the program when that folder
// can be written (a portable copy or the build tree), else in the user's data folder, because
// an installed program's folder belongs to the system. Ends with "/".
QString defaultDataFolder(const QString& programFolder);

} // namespace wl
