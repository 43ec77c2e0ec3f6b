#include "exchange/export/PlacemarkWriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QXmlStreamWriter>

namespace wl {

namespace {

QString number(double value)
{
    return QLocale::c().toString(value, 'f', QLocale::FloatingPointShortest);
}

int countLeftOut(const std::vector<LoggedRecord>& records)
{
    return int(std::count_if(records.begin(), records.end(),
                             [](const LoggedRecord& r) { return !r.hasPosition(); }));
}

} // namespace

QString PlacemarkWriter::name(const LoggedRecord& r)
{
    if (!r.callsign.isEmpty())
        return r.callsign;
    if (!r.location.isEmpty())
        return r.location;
    return number(r.mhz) + QStringLiteral(" MHz");
}

QByteArray PlacemarkWriter::kml(const std::vector<LoggedRecord>& records, int* leftOut)
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(QStringLiteral("http://www.opengis.net/kml/2.2"));
    xml.writeStartElement(QStringLiteral("kml"));
    xml.writeStartElement(QStringLiteral("Document"));
    xml.writeTextElement(QStringLiteral("name"), QStringLiteral("Wavelark log"));
    for (const LoggedRecord& r : records) {
        if (!r.hasPosition())
            continue;
        xml.writeStartElement(QStringLiteral("Placemark"));
        xml.writeAttribute(QStringLiteral("id"), QStringLiteral("rec%1").arg(r.recNum));
        xml.writeTextElement(QStringLiteral("name"), name(r));
        if (!r.notes.isEmpty())
            xml.writeTextElement(QStringLiteral("description"), r.notes);
        xml.writeStartElement(QStringLiteral("ExtendedData"));
        const std::pair<QString, QString> data[] = {{QStringLiteral("frequency"), number(r.mhz)},
                                                    {QStringLiteral("category"), r.category},
                                                    {QStringLiteral("callsign"), r.callsign},
                                                    {QStringLiteral("location"), r.location},
                                                    {QStringLiteral("notes"), r.notes}};
        for (const auto& [key, value] : data) {
            xml.writeStartElement(QStringLiteral("Data"));
            xml.writeAttribute(QStringLiteral("name"), key);
            xml.writeTextElement(QStringLiteral("value"), value);
            xml.writeEndElement();
        }
        xml.writeEndElement();
        xml.writeStartElement(QStringLiteral("Point"));
        xml.writeTextElement(QStringLiteral("coordinates"),
                             number(*r.lon) + QLatin1Char(',') + number(*r.lat));
        xml.writeEndElement();
        xml.writeEndElement();
    }
    xml.writeEndDocument();
    if (leftOut)
        *leftOut = countLeftOut(records);
    return out;
}

QByteArray PlacemarkWriter::geoJson(const std::vector<LoggedRecord>& records, int* leftOut)
{
    QJsonArray features;
    for (const LoggedRecord& r : records) {
        if (!r.hasPosition())
            continue;
        const QJsonObject geometry{{QStringLiteral("type"), QStringLiteral("Point")},
                                   {QStringLiteral("coordinates"), QJsonArray{*r.lon, *r.lat}}};
        const QJsonObject properties{
            {QStringLiteral("name"), name(r)},        {QStringLiteral("frequency"), r.mhz},
            {QStringLiteral("category"), r.category}, {QStringLiteral("callsign"), r.callsign},
            {QStringLiteral("location"), r.location}, {QStringLiteral("notes"), r.notes},
            {QStringLiteral("recnum"), r.recNum}};
        features.append(QJsonObject{{QStringLiteral("type"), QStringLiteral("Feature")},
                                    {QStringLiteral("id"), r.recNum},
                                    {QStringLiteral("geometry"), geometry},
                                    {QStringLiteral("properties"), properties}});
    }
    const QJsonObject collection{{QStringLiteral("type"), QStringLiteral("FeatureCollection")},
                                 {QStringLiteral("features"), features}};
    if (leftOut)
        *leftOut = countLeftOut(records);
    return QJsonDocument(collection).toJson(QJsonDocument::Indented);
}

} // namespace wl
