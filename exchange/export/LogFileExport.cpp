#include "exchange/export/LogFileExport.h"

#include "exchange/export/AdifWriter.h"
#include "exchange/export/PlacemarkWriter.h"

#include <QDir>
#include <QSaveFile>

namespace wl {

namespace {

constexpr LogFormat All[] = {LogFormat::Kml, LogFormat::GeoJson, LogFormat::Adif};

} // namespace

QList<LogFormat> LogFileExport::formats()
{
    return {std::begin(All), std::end(All)};
}

QString LogFileExport::title(LogFormat format)
{
    switch (format) {
    case LogFormat::Kml:
        return QStringLiteral("Plotted records as KML placemarks (.kml)");
    case LogFormat::GeoJson:
        return QStringLiteral("Plotted records as GeoJSON points (.geojson)");
    case LogFormat::Adif:
        return QStringLiteral("ADIF listening log (.adi)");
    }
    return {};
}

std::optional<LogFormat> LogFileExport::find(const QString& name)
{
    const QString n = name.trimmed().toLower();
    for (LogFormat f : All) {
        if (n == LogFileExport::name(f) || n == extension(f))
            return f;
    }
    if (n == u"json")
        return LogFormat::GeoJson;
    return std::nullopt;
}

QString LogFileExport::name(LogFormat format)
{
    switch (format) {
    case LogFormat::Kml:
        return QStringLiteral("kml");
    case LogFormat::GeoJson:
        return QStringLiteral("geojson");
    case LogFormat::Adif:
        return QStringLiteral("adif");
    }
    return {};
}

QString LogFileExport::extension(LogFormat format)
{
    return format == LogFormat::Adif ? QStringLiteral("adi") : name(format);
}

QString LogFileExport::filter(LogFormat format)
{
    return QStringLiteral("%1 (*.%2)").arg(title(format), extension(format));
}

QString LogFileExport::listing()
{
    QStringList lines;
    for (LogFormat f : All)
        lines << QStringLiteral("  %1  %2").arg(name(f), -20).arg(title(f));
    return lines.join(QLatin1Char('\n'));
}

QString LogExportResult::message(const QString& file) const
{
    if (!error.isEmpty())
        return QStringLiteral("%1 could not be written: %2")
            .arg(QDir::toNativeSeparators(file), error);
    QString text = QStringLiteral("%1 records exported to %2.")
                       .arg(written)
                       .arg(QDir::toNativeSeparators(file));
    if (leftOut > 0)
        text += QStringLiteral(" %1 records without a position were left out.").arg(leftOut);
    return text;
}

LogExportResult LogFileExport::write(LogFormat format, const std::vector<LoggedRecord>& records,
                                     const QString& path)
{
    LogExportResult result;
    QByteArray bytes;
    switch (format) {
    case LogFormat::Kml:
        bytes = PlacemarkWriter::kml(records, &result.leftOut);
        break;
    case LogFormat::GeoJson:
        bytes = PlacemarkWriter::geoJson(records, &result.leftOut);
        break;
    case LogFormat::Adif:
        bytes = AdifWriter::write(records);
        break;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        result.error = file.errorString();
        return result;
    }
    result.written = int(records.size()) - result.leftOut;
    return result;
}

} // namespace wl
