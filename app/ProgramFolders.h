#pragma once

#include <QString>

namespace wl {

// The folder of the program file in its long form, ending with "/".
QString programFileFolder();

// The folder of the files that come with the program (the globe profile, the "Globe Data"
// folder): the program file's own folder in a build tree or a portable copy, else the installed
// data folder share/wavelark beside the program's bin folder. Ends with "/".
QString programFolder();
QString programFolder(const QString& programFileFolder);

// The data folder of an installed program, relative to the program file's folder: the
// installed layout puts programs in bin and their data in share/wavelark.
QString installedDataFolder(const QString& programFileFolder);

// The user's own folder for the program's data (XDG data home on Linux). Ends with "/".
QString userDataFolder();

// Where the data lives until the user chooses otherwise: beside the program when that folder
// can be written (a portable copy or the build tree), else in the user's data folder. An
// installed program's data folder belongs to the system, so it is never used, even when it
// could be written (a program run by root).
QString defaultDataFolder(const QString& programFolder);
QString defaultDataFolder(const QString& programFolder, const QString& programFileFolder);

} // namespace wl
