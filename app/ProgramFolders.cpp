#include "app/ProgramFolders.h"

#include "app/LongPath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifndef WAVELARK_INSTALLED_DATA
#define WAVELARK_INSTALLED_DATA "../share/wavelark"
#endif

namespace wl {

namespace {

// The file whose presence marks a folder as holding the program's own files.
const QString MarkerFile = QStringLiteral("globe.prf");

QString withSeparator(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

bool sameFolder(const QString& a, const QString& b)
{
    return QDir::cleanPath(QDir(a).absolutePath()) == QDir::cleanPath(QDir(b).absolutePath());
}

} // namespace

QString programFileFolder()
{
    return withSeparator(ExpandLongPath(QCoreApplication::applicationDirPath()));
}

QString installedDataFolder(const QString& programFileFolder)
{
    return withSeparator(
        QDir::cleanPath(QDir(programFileFolder).filePath(QStringLiteral(WAVELARK_INSTALLED_DATA))));
}

QString programFolder(const QString& programFileFolder)
{
    const QString own = withSeparator(programFileFolder);
    if (QFileInfo::exists(own + MarkerFile))
        return own;
    const QString installed = installedDataFolder(own);
    if (QFileInfo::exists(installed + MarkerFile))
        return installed;
    return own;
}

QString programFolder()
{
    return programFolder(programFileFolder());
}

QString userDataFolder()
{
    return withSeparator(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

QString defaultDataFolder(const QString& programFolder, const QString& programFileFolder)
{
    if (sameFolder(programFolder, installedDataFolder(programFileFolder)))
        return userDataFolder();
    if (QFileInfo(programFolder).isWritable())
        return withSeparator(programFolder);
    return userDataFolder();
}

QString defaultDataFolder(const QString& programFolder)
{
    return defaultDataFolder(programFolder, programFileFolder());
}

} // namespace wl
