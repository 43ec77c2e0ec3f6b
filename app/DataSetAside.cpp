#include "app/DataSetAside.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <utility>
#include <vector>

namespace wl {

namespace {

// A table file may have a journal beside it; it travels with its file so that it is never
// played back into a new file of the old name.
QStringList withJournal(const QString& path)
{
    QStringList paths{path};
    const QString journal = path + QStringLiteral("-journal");
    if (QFileInfo::exists(journal))
        paths << journal;
    return paths;
}

QString asideName(const QString& path, const QString& suffix)
{
    const qsizetype dash = path.lastIndexOf(QStringLiteral("-journal"));
    if (dash >= 0 && dash + 8 == path.size())
        return path.left(dash) + suffix + QStringLiteral("-journal");
    return path + suffix;
}

} // namespace

QString DataSetAside::freeSuffix(const QString& folder, const QStringList& names)
{
    const QDir dir(folder);
    const auto taken = [&](const QString& suffix) {
        for (const QString& name : names) {
            if (QFileInfo::exists(dir.filePath(name) + suffix))
                return true;
        }
        return false;
    };
    QString suffix = QStringLiteral(".old");
    for (int n = 2; taken(suffix); ++n)
        suffix = QStringLiteral(".old") + QString::number(n);
    return suffix;
}

DataSetAside::Outcome DataSetAside::keep(const QString& folder, const QStringList& names)
{
    const QDir dir(folder);
    const QString suffix = freeSuffix(folder, names);
    std::vector<std::pair<QString, QString>> moved;
    Outcome outcome;
    for (const QString& name : names) {
        const QString path = dir.filePath(name);
        if (!QFileInfo::exists(path))
            continue;
        for (const QString& from : withJournal(path)) {
            const QString to = asideName(from, suffix);
            QFile file(from);
            if (!file.rename(to)) {
                outcome.status = store::Status::failure(
                    QStringLiteral("Cannot move %1 aside: %2")
                        .arg(QDir::toNativeSeparators(from), file.errorString()));
                // Back as it was: a set half moved would be neither the old table nor a new one.
                for (auto it = moved.rbegin(); it != moved.rend(); ++it)
                    QFile::rename(it->second, it->first);
                return outcome;
            }
            moved.emplace_back(from, to);
        }
    }
    for (const auto& [from, to] : moved)
        outcome.keptAs << to;
    return outcome;
}

} // namespace wl
