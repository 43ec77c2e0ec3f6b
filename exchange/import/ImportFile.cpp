#include "exchange/import/ImportFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace wl {

namespace {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString tooLarge(const QString& path, qint64 size)
{
    return QStringLiteral("%1 holds %2 bytes, more than an import reads (%3); nothing was read.")
        .arg(shown(path))
        .arg(size)
        .arg(ImportFile::limitText());
}

} // namespace

QString ImportFile::refusal(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("%1 does not exist.").arg(shown(path));
    if (info.isDir())
        return QStringLiteral("%1 is a folder; only a file can be imported.").arg(shown(path));
    if (!info.isFile())
        return QStringLiteral("%1 is not a regular file (a device, pipe or socket); only a file "
                              "can be imported.")
            .arg(shown(path));
    if (info.size() > MaxBytes)
        return tooLarge(path, info.size());
    return {};
}

std::optional<QByteArray> ImportFile::read(const QString& path, QString* error)
{
    if (QString why = refusal(path); !why.isEmpty()) {
        *error = why;
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(shown(path), file.errorString());
        return std::nullopt;
    }
    // Read in blocks until the end: the file may have grown since it was looked at, and never
    // more than the limit is read.
    constexpr qsizetype Block = qsizetype(1) << 20;
    QByteArray bytes;
    bytes.reserve(qsizetype(file.size()) + Block);
    for (;;) {
        const qsizetype had = bytes.size();
        bytes.resize(had + Block);
        const qint64 got = file.read(bytes.data() + had, Block);
        if (got < 0) {
            *error = QStringLiteral("cannot read %1: %2").arg(shown(path), file.errorString());
            return std::nullopt;
        }
        bytes.resize(had + qsizetype(got));
        if (got == 0)
            break;
        if (bytes.size() > MaxBytes) {
            *error = tooLarge(path, file.size());
            return std::nullopt;
        }
    }
    return bytes;
}

} // namespace wl
