#include "exchange/export/ViewerAssociations.h"

#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>

namespace wl {

namespace {

QMimeType mimeOfExtension(const QString& extension)
{
    return QMimeDatabase().mimeTypeForFile(QStringLiteral("export.") + extension,
                                           QMimeDatabase::MatchExtension);
}

} // namespace

bool ViewerAssociations::canView(TExportType type)
{
    const QString extension = ExportTypeExtension(type);
    if (extension.isEmpty())
        return true;
    if (auto it = known_.find(type); it != known_.end())
        return it->second;
    bool viewable = false;
    const QMimeType mime = mimeOfExtension(extension);
    if (mime.isValid() && !mime.isDefault() &&
        !(type == TExportType::xDIF && mime.name().startsWith(QStringLiteral("video/")))) {
        // A program for the type or for one it derives from (text/csv from text/plain).
        QStringList names{mime.name()};
        names += mime.allAncestors();
        for (const QString& name : names) {
            if (name != QStringLiteral("application/octet-stream") && hasDefaultProgram(name)) {
                viewable = true;
                break;
            }
        }
    }
    known_[type] = viewable;
    return viewable;
}

bool ViewerAssociations::hasDefaultProgram(const QString& mimeName)
{
#ifdef Q_OS_WIN
    // Windows opens every registered file type through the shell, which the desktop service
    // calls; a type without a program makes the shell ask for one.
    Q_UNUSED(mimeName);
    return true;
#endif
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (tool.isEmpty())
        return false;
    QProcess query;
    query.start(tool, {QStringLiteral("query"), QStringLiteral("default"), mimeName});
    if (!query.waitForFinished(3000)) {
        query.kill();
        query.waitForFinished(1000);
        return false;
    }
    return query.exitCode() == 0 && !query.readAllStandardOutput().trimmed().isEmpty();
}

QIcon ViewerAssociations::iconOf(TExportType type)
{
    if (type == TExportType::xClipboard)
        return QIcon::fromTheme(QStringLiteral("edit-paste"));
    const QMimeType mime = mimeOfExtension(ExportTypeExtension(type));
    if (!mime.isValid() || mime.isDefault())
        return {};
    QIcon icon = QIcon::fromTheme(mime.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(mime.genericIconName());
    return icon;
}

} // namespace wl
