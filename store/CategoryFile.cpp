#include "store/CategoryFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>

namespace wl::store {

namespace {

// Windows-1252 differs from Latin-1 only in 0x80-0x9F; the five unassigned bytes map to the
// C1 controls of the same value, as the platform's own conversion does.
const char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decodeCp1252(const QByteArray& bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text += b >= 0x80 && b < 0xA0 ? QChar(Cp1252High[b - 0x80]) : QChar(b);
    }
    return text;
}

QString decode(QByteArray bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return decodeCp1252(bytes);
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
