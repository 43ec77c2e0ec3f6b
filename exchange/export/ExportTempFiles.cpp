#include "exchange/export/ExportTempFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

namespace wl {

ExportTempFiles::~ExportTempFiles()
{
    for (const QString& path : made_)
        QFile::remove(path);
}

QString ExportTempFiles::make(const QString& extension)
{
    QString pattern = QDir::tempPath() + QStringLiteral("/expXXXXXX");
    if (!extension.isEmpty())
        pattern += u'.' + extension;
    QTemporaryFile file(pattern);
    file.setAutoRemove(false);
    if (!file.open())
        return {};
    const QString path = file.fileName();
    file.close();
    made_ << path;
    return path;
}

} // namespace wl
