#include "app/LongPath.h"

#include <QDir>
#include <QFileInfo>

namespace wl {

namespace {

bool isSeparator(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

// The path without its last component and the separator before it; a root stays itself.
QString directoryPart(const QString& path)
{
    int cut = path.size() - 1;
    while (cut >= 0 && !isSeparator(path.at(cut)))
        --cut;
    if (cut < 0)
        return path;
    const QString head = path.left(cut);
    // "/name" and "C:/name" live in the root, which keeps its separator.
    if (head.isEmpty() || (head.size() == 2 && head.at(1) == QLatin1Char(':')))
        return path.left(cut + 1);
    return head;
}

// The name of the last component as the directory listing spells it.
QString listedName(const QFileInfo& info)
{
    const QString name = info.fileName();
    const QStringList entries =
        info.dir().entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    if (entries.contains(name))
        return name;
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return name;
}

QString expand(const QString& path)
{
    const QString dir = directoryPart(path);
    if (dir == path)
        return path.left(path.size() - 1);
    const QFileInfo info(path);
    if (isSeparator(path.back()) || !info.exists())
        return dir;
    return expand(dir) + QLatin1Char('/') + listedName(info);
}

} // namespace

QString ExpandLongPath(const QString& path)
{
    if (path.isEmpty())
        return path;
    return expand(QDir::fromNativeSeparators(
        QFileInfo(path).isRelative() ? QFileInfo(path).absoluteFilePath() : path));
}

} // namespace wl
