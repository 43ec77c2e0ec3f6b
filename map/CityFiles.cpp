#include "map/CityFiles.h"

#include "globe/GlobeException.h"
#include "globe/GlobeLayer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace wl {

namespace {

const QString FolderName = QStringLiteral("Globe Data/");

QString withSeparator(QString folder)
{
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

std::string nativePath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString pathOf(const GlobeLayer& layer)
{
    return QFile::decodeName(QByteArray::fromStdString(layer.directory() + layer.fileName()));
}

bool sameFile(const QString& a, const QString& b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    const QString cb = QFileInfo(b).canonicalFilePath();
    if (!ca.isEmpty() && !cb.isEmpty())
        return ca == cb;
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath()) ==
           QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}

// The target folder may not exist yet; then its parent decides.
bool looksWritable(const QString& path)
{
    const QFileInfo file(path);
    if (file.exists())
        return file.isWritable();
    const QFileInfo folder(file.absolutePath());
    if (folder.exists())
        return folder.isWritable();
    return QFileInfo(QFileInfo(folder.absoluteFilePath()).absolutePath()).isWritable();
}

QString write(GlobeLayer& layer, const QString& path)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return QStringLiteral("Cannot create the folder of ") + QDir::toNativeSeparators(path);
    try {
        layer.saveToFile(nativePath(path));
    } catch (const GlobeException& e) {
        return QString::fromLocal8Bit(e.what());
    }
    return {};
}

// Runs attach, then loads the layer's objects if they still wait for a render, and keeps them
// loaded: the editor works on every city. The layer's failure text, or empty.
template <class Attach> QString loadNow(GlobeLayer& layer, Attach attach)
{
    QString error;
    try {
        attach();
        if (!layer.loaded)
            layer.loadObjects();
    } catch (const GlobeException& e) {
        error = QString::fromLocal8Bit(e.what());
    }
    layer.loadOnDemand = false;
    return error;
}

} // namespace

CityFiles::CityFiles(const QString& programFolder, const QString& userFolder)
    : m_programFolder(withSeparator(programFolder)),
      m_userFolder(withSeparator(
          userFolder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                               : userFolder))
{
}

QString CityFiles::programCopy(const QString& name) const
{
    return m_programFolder + FolderName + name;
}

QString CityFiles::userCopy(const QString& name) const
{
    return m_userFolder + FolderName + name;
}

QString CityFiles::readPath(const QString& name) const
{
    return QFileInfo::exists(userCopy(name)) ? userCopy(name) : programCopy(name);
}

QString CityFiles::load(GlobeLayer& layer, const QString& name) const
{
    layer.reset();
    const std::string path = nativePath(readPath(name));
    return loadNow(layer, [&] { layer.loadFromFile(path); });
}

QString CityFiles::adopt(GlobeLayer& layer, const QString& name) const
{
    if (layer.fileName().empty() || !sameFile(pathOf(layer), readPath(name)))
        return load(layer, name);
    return loadNow(layer, [] {});
}

QString CityFiles::save(GlobeLayer& layer, const QString& name) const
{
    // A layer waiting to be loaded on demand holds none of its cities; writing it would
    // empty the file.
    if (!layer.loaded)
        return QStringLiteral("The cities of ") + name +
               QStringLiteral(" are not loaded; the file was left as it was.");
    const QString user = userCopy(name);
    if (!QFileInfo::exists(user) && looksWritable(programCopy(name))) {
        if (write(layer, programCopy(name)).isEmpty())
            return {};
    }
    return write(layer, user);
}

} // namespace wl
