#include "app/ProgramFolders.h"

#include "app/LongPath.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

namespace wl {

namespace {

QString withSeparator(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

} // namespace

QString programFolder()
{
    return withSeparator(ExpandLongPath(QCoreApplication::applicationDirPath()));
}

QString defaultDataFolder(const QString& programFolder)
{
    if (QFileInfo(programFolder).isWritable())
        return programFolder;
    return withSeparator(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

} // namespace wl
