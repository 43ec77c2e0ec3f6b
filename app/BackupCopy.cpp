#include "app/BackupCopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <utility>
#include <vector>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace wl {

namespace {

constexpr qint64 ChunkSize = 1 << 20;

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// A free name beside path that no file carries.
QString freeName(const QString& path, const QString& suffix)
{
    QString candidate = path + suffix;
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = path + suffix + QString::number(n);
    return candidate;
}

// Copies one file and makes sure its bytes are on the disk before it is given its real name.
store::Status copyFile(const QString& from, const QString& to)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return store::Status::failure(
            QStringLiteral("Cannot read %1: %2").arg(native(from), in.errorString()));
    QFile out(to);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return store::Status::failure(
            QStringLiteral("Cannot write %1: %2").arg(native(to), out.errorString()));
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(ChunkSize);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
            return store::Status::failure(
                QStringLiteral("Cannot read %1: %2").arg(native(from), in.errorString()));
        if (out.write(chunk) != chunk.size())
            return store::Status::failure(
                QStringLiteral("Cannot write %1: %2").arg(native(to), out.errorString()));
    }
    bool synced = out.flush();
#ifdef Q_OS_UNIX
    synced = synced && ::fsync(out.handle()) == 0;
#endif
    if (!synced)
        return store::Status::failure(
            QStringLiteral("Cannot write %1: %2").arg(native(to), out.errorString()));
    return store::Status::success();
}

void removeAll(const QStringList& paths)
{
    for (const QString& path : paths)
        QFile::remove(path);
}

} // namespace

BackupCopy::BackupCopy(QString sourceFolder, QString targetFolder, QStringList names)
    : sourceFolder_(std::move(sourceFolder)), targetFolder_(std::move(targetFolder)),
      names_(std::move(names))
{
}

QString BackupCopy::source(const QString& name) const
{
    return QDir(sourceFolder_).filePath(name);
}

QString BackupCopy::target(const QString& name) const
{
    return QDir(targetFolder_).filePath(name);
}

bool BackupCopy::targetHoldsAny() const
{
    if (!QFileInfo(targetFolder_).isDir())
        return false;
    for (const QString& name : names_) {
        if (QFileInfo::exists(target(name)))
            return true;
    }
    return false;
}

store::Status BackupCopy::check() const
{
    const QFileInfo folder(targetFolder_);
    if (targetFolder_.isEmpty() || !folder.isDir())
        return store::Status::failure(
            QStringLiteral("The backup folder %1 does not exist.").arg(native(targetFolder_)));
    // Copying the files onto themselves would empty them.
    if (folder.canonicalFilePath() == QFileInfo(sourceFolder_).canonicalFilePath())
        return store::Status::failure(
            QStringLiteral("The backup folder %1 is the data folder itself; choose another "
                           "backup folder.")
                .arg(native(targetFolder_)));
    for (const QString& name : names_) {
        if (!QFileInfo(source(name)).isFile())
            return store::Status::failure(
                QStringLiteral("The file %1 does not exist.").arg(native(source(name))));
        if (QFileInfo(target(name)).isDir())
            return store::Status::failure(
                QStringLiteral("Cannot replace %1: it is a folder.").arg(native(target(name))));
    }
    return store::Status::success();
}

void BackupCopy::cleanUpInterrupted() const
{
    for (const QString& name : names_) {
        const QRegularExpression leftover(
            QStringLiteral("^%1\\.(copying|previous)\\d*$").arg(QRegularExpression::escape(name)));
        const QDir folder(targetFolder_);
        for (const QString& file : folder.entryList(QDir::Files | QDir::Hidden)) {
            if (!leftover.match(file).hasMatch())
                continue;
            // An earlier backup moved aside whose replacement never came is put back, so the
            // folder holds that whole backup again until the new one is complete.
            const QString path = folder.filePath(file);
            if (file.contains(QStringLiteral(".previous")) && !QFileInfo::exists(target(name)))
                QFile::rename(path, target(name));
            else
                QFile::remove(path);
        }
    }
}

store::Status BackupCopy::run() const
{
    if (store::Status st = check(); !st)
        return st;
    cleanUpInterrupted();
    QStringList temporaries;
    if (store::Status st = copyToTemporaries(temporaries); !st) {
        removeAll(temporaries);
        return st;
    }
    return install(temporaries);
}

store::Status BackupCopy::copyToTemporaries(QStringList& temporaries) const
{
    for (const QString& name : names_) {
        const QString temporary = freeName(target(name), QStringLiteral(".copying"));
        temporaries << temporary;
        if (store::Status st = copyFile(source(name), temporary); !st)
            return st;
    }
    return store::Status::success();
}

store::Status BackupCopy::install(const QStringList& temporaries) const
{
    // The earlier backup moves aside first and is put back when any new file cannot take its
    // place, so a failure never leaves a mixture of two backups.
    std::vector<std::pair<QString, QString>> aside;
    QStringList installed;
    const auto undo = [&](const QString& error) {
        removeAll(installed);
        for (const auto& [original, kept] : aside)
            QFile::rename(kept, original);
        removeAll(temporaries);
        return store::Status::failure(error);
    };
    for (const QString& name : names_) {
        const QString path = target(name);
        if (!QFileInfo::exists(path))
            continue;
        const QString kept = freeName(path, QStringLiteral(".previous"));
        QFile file(path);
        if (!file.rename(kept))
            return undo(
                QStringLiteral("Cannot replace %1: %2").arg(native(path), file.errorString()));
        aside.emplace_back(path, kept);
    }
    for (qsizetype i = 0; i < names_.size(); ++i) {
        const QString path = target(names_[i]);
        QFile file(temporaries[i]);
        if (!file.rename(path))
            return undo(
                QStringLiteral("Cannot replace %1: %2").arg(native(path), file.errorString()));
        installed << path;
    }
    for (const auto& [original, kept] : aside)
        QFile::remove(kept);
    return store::Status::success();
}

} // namespace wl
