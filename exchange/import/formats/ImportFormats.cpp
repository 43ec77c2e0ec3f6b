#include "exchange/import/formats/ImportFormats.h"

#include "exchange/import/formats/AdifReader.h"
#include "exchange/import/formats/ChannelCsvReader.h"
#include "exchange/import/formats/DirectoryCsvReader.h"
#include "exchange/import/formats/OwnCsvReader.h"

namespace wl {

namespace {

constexpr ImportFormat All[] = {ImportFormat::OwnCsv, ImportFormat::ChannelCsv,
                                ImportFormat::DirectoryCsv, ImportFormat::Adif};

} // namespace

std::optional<ImportFormat> ImportFormats::find(const QString& name)
{
    for (ImportFormat f : All) {
        if (ImportFormats::name(f).compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return f;
    }
    if (name.trimmed().compare(QStringLiteral("adi"), Qt::CaseInsensitive) == 0 ||
        name.trimmed().compare(QStringLiteral("adx"), Qt::CaseInsensitive) == 0)
        return ImportFormat::Adif;
    return std::nullopt;
}

QString ImportFormats::name(ImportFormat format)
{
    switch (format) {
    case ImportFormat::ChannelCsv:
        return QStringLiteral("channel-csv");
    case ImportFormat::DirectoryCsv:
        return QStringLiteral("directory-csv");
    case ImportFormat::Adif:
        return QStringLiteral("adif");
    case ImportFormat::OwnCsv:
        return QStringLiteral("wavelark-csv");
    }
    return {};
}

QString ImportFormats::title(ImportFormat format)
{
    switch (format) {
    case ImportFormat::ChannelCsv:
        return QStringLiteral("Radio channel list (CSV: Location, Name, Frequency, ...)");
    case ImportFormat::DirectoryCsv:
        return QStringLiteral("Frequency directory (CSV: Frequency Output, Alpha Tag, ...)");
    case ImportFormat::Adif:
        return QStringLiteral("ADIF log (.adi, .adx)");
    case ImportFormat::OwnCsv:
        return QStringLiteral("Wavelark's CSV export (Category, Frequency(MHz), ...)");
    }
    return {};
}

QString ImportFormats::listing()
{
    QStringList lines;
    for (ImportFormat f : All)
        lines << QStringLiteral("  %1  %2").arg(name(f), -14).arg(title(f));
    return lines.join(QLatin1Char('\n'));
}

FormatImport ImportFormats::read(ImportFormat format, const QByteArray& bytes, const QDate& today)
{
    switch (format) {
    case ImportFormat::ChannelCsv:
        return ChannelCsvReader::read(bytes, today);
    case ImportFormat::DirectoryCsv:
        return DirectoryCsvReader::read(bytes, today);
    case ImportFormat::Adif:
        return AdifReader::read(bytes, today);
    case ImportFormat::OwnCsv:
        return OwnCsvReader::read(bytes, LocaleInfo::current(), today);
    }
    return {};
}

} // namespace wl
