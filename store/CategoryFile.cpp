#include "store/CategoryFile.h"

#include "grid/CodePage1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>

namespace wl::store {

namespace {

QString decode(QByteArray bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return CodePage1252::decode(bytes);
}

Status fileError(const QString& action, const QString& path, const QString& reason)
{
    return Status::failure(
        QStringLiteral("Cannot %1 %2: %3").arg(action, QDir::toNativeSeparators(path), reason));
}

} // namespace

CategoryFile CategoryFile::inFolder(const QString& folder)
{
    return CategoryFile(QDir(folder).filePath(QStringLiteral("larkbase.cat")));
}

QStringList CategoryFile::defaults()
{
    return {QStringLiteral("Police"), QStringLiteral("Short Wave"), QStringLiteral("Weather")};
}

QStringList CategoryFile::sorted(QStringList names)
{
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

bool CategoryFile::exists() const
{
    return QFileInfo(path_).isFile();
}

QStringList CategoryFile::parse(const QByteArray& bytes)
{
    const QString text = decode(bytes);
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.last().isEmpty())
        lines.removeLast(); // the final line break
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return lines;
}

Status CategoryFile::read(QStringList& names) const
{
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        return fileError(QStringLiteral("read"), path_, file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fileError(QStringLiteral("read"), path_, file.errorString());
    names = parse(bytes);
    return Status::success();
}

Status CategoryFile::write(const QStringList& names) const
{
    QByteArray bytes;
    for (const QString& name : names) {
        if (name.contains(QLatin1Char('\n')) || name.contains(QLatin1Char('\r')))
            return Status::failure(QStringLiteral("A category name cannot hold a line break."));
        bytes += name.toUtf8() + "\r\n";
    }
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly))
        return fileError(QStringLiteral("write"), path_, file.errorString());
    if (file.write(bytes) != bytes.size() || !file.commit())
        return fileError(QStringLiteral("write"), path_, file.errorString());
    return Status::success();
}

Status CategoryFile::createIfMissing() const
{
    return exists() ? Status::success() : write(defaults());
}

Status CategoryFile::append(const QString& name) const
{
    QStringList names;
    if (exists()) {
        if (Status st = read(names); !st)
            return st;
    }
    // Rewriting the whole list also ends the former last line and brings a legacy file to
    // one encoding, where appending raw bytes could mix two.
    names << name;
    return write(names);
}

} // namespace wl::store
