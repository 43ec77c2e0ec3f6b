#include "map/RecordPlotter.h"

#include "globe/AngleText.h"
#include "globe/GlobeEngine.h"
#include "globe/GlobeLayer.h"
#include "globe/GlobePointText.h"
#include "grid/LocaleInfo.h"
#include "store/Table.h"

namespace wl {

const QString RecordPlotter::PositionFilter = QStringLiteral("(RLat <> 0 ) and (RLon <> 0 )");

QString RecordPlotter::fieldName(int code)
{
    switch (code) {
    case 1:
        return QStringLiteral("Callsign");
    case 2:
        return QStringLiteral("User");
    case 3:
        return QStringLiteral("Location");
    case 4:
        return QStringLiteral("Optional");
    default:
        return {};
    }
}

QString RecordPlotter::frequencyText(double mhz, const LocaleInfo& locale)
{
    QString text = locale.formatFixed(mhz, 4);
    const qsizetype zero = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    if (text.mid(zero, 2) == QString(QLatin1Char('0')) + locale.decimalSeparator)
        text.remove(zero, 1);
    return text;
}

QString RecordPlotter::labelText(const QVariant& field, double mhz, bool showFrequency,
                                 const LocaleInfo& locale)
{
    QString text = field.isNull() ? QString() : field.toString().trimmed();
    if (text.isEmpty())
        text = QStringLiteral(" ");
    if (!showFrequency)
        return text;
    return text + QLatin1Char(' ') + frequencyText(mhz, locale);
}

void RecordPlotter::applyLabelFont(GlobeEngine& globe, const LabelFont& font)
{
    FontData& f = globe.fontData;
    f.face = font.name.toLatin1().toStdString();
    f.size = font.size;
    f.color = font.color;
    switch (font.style) {
    case 1:
        f.styles = 0;
        break;
    case 2:
        f.styles = FontItalic;
        break;
    case 3:
        f.styles = FontBold;
        break;
    case 4:
        f.styles = FontBold | FontItalic;
        break;
    default:
        break;
    }
}

int RecordPlotter::plot(store::Table& table, GlobeEngine& globe, GlobeLayer& layer,
                        const MapSettings& settings)
{
    const QString oldFilter = table.filter();
    const bool wasFiltered = table.filtered();
    const QString field = fieldName(settings.fieldDisplay);
    const LocaleInfo locale = LocaleInfo::current();
    int made = 0;
    table.setFilter(PositionFilter);
    table.setFiltered(true);
    applyLabelFont(globe, settings.font);
    for (table.first(); !table.eof(); table.next()) {
        const std::int32_t lat = degToGU(table.fieldValue(QStringLiteral("RLat")).toDouble());
        const std::int32_t lon = -degToGU(table.fieldValue(QStringLiteral("RLon")).toDouble());
        const QVariant value = field.isEmpty() ? QVariant() : table.fieldValue(field);
        const double mhz = table.fieldValue(QStringLiteral("Hz")).toDouble();
        const QString label = labelText(value, mhz, settings.freq, locale);
        GlobePointText::create(layer, lat, lon, label.toLatin1().toStdString());
        ++made;
    }
    // The main window lists its records with its own filter; it gets it back as it was.
    table.setFilter(oldFilter);
    table.setFiltered(wasFiltered);
    return made;
}

} // namespace wl
