#include "map/MapSettings.h"

#include "app/AppConstants.h"
#include "app/services/Registry.h"
#include "grid/LocaleInfo.h"

namespace wl {

namespace {

QString decimalText(int whole, int fraction)
{
    return QString::number(whole) + LocaleInfo::current().decimalSeparator +
           QString::number(fraction);
}

} // namespace

QString MapSettings::defaultHomeLat()
{
    return decimalText(27, 2);
}

QString MapSettings::defaultHomeLon()
{
    return decimalText(80, 27);
}

MapSettings MapSettings::defaults()
{
    MapSettings s;
    s.homeLat = defaultHomeLat();
    s.homeLon = defaultHomeLon();
    return s;
}

MapSettings MapSettings::read(Registry& registry)
{
    MapSettings s = defaults();
    if (!registry.openKey(app::SettingsKey, false))
        return s;
    s.homeName = registry.readString(QStringLiteral("Home"), s.homeName);
    s.homeLat = registry.readString(QStringLiteral("Home Lat"), s.homeLat);
    s.homeLon = registry.readString(QStringLiteral("Home Lon"), s.homeLon);
    s.shadow = registry.readBool(QStringLiteral("Shadow"), s.shadow);
    s.autoCenter = registry.readBool(QStringLiteral("Auto Center"), s.autoCenter);
    s.knots = registry.readInteger(QStringLiteral("Knots"), s.knots);
    s.freq = registry.readBool(QStringLiteral("Freq"), s.freq);
    s.fieldDisplay = registry.readInteger(QStringLiteral("Field Display"), s.fieldDisplay);
    s.font.color = registry.readInteger(QStringLiteral("Font Color"), s.font.color);
    s.font.size = registry.readInteger(QStringLiteral("Font Size"), s.font.size);
    s.font.name = registry.readString(QStringLiteral("Font Name"), s.font.name);
    s.font.style = registry.readInteger(QStringLiteral("Font Style"), s.font.style);
    const int night = registry.readInteger(QStringLiteral("Night Style"), s.nightStyle);
    s.nightStyle = night == 1 ? 1 : 0;
    const int projection = registry.readInteger(QStringLiteral("Projection"), s.projection);
    s.projection = projection >= 0 && projection <= 2 ? projection : 0;
    registry.closeKey();
    return s;
}

bool MapSettings::write(Registry& registry) const
{
    if (!registry.openKey(app::SettingsKey, true))
        return false;
    bool ok = registry.writeInteger(QStringLiteral("Field Display"), fieldDisplay);
    ok = registry.writeString(QStringLiteral("Font Name"), font.name) && ok;
    ok = registry.writeInteger(QStringLiteral("Font Size"), font.size) && ok;
    ok = registry.writeInteger(QStringLiteral("Font Color"), font.color) && ok;
    ok = registry.writeInteger(QStringLiteral("Font Style"), font.style) && ok;
    ok = registry.writeBool(QStringLiteral("Shadow"), shadow) && ok;
    ok = registry.writeInteger(QStringLiteral("Knots"), knots) && ok;
    ok = registry.writeBool(QStringLiteral("Freq"), freq) && ok;
    ok = registry.writeBool(QStringLiteral("Auto Center"), autoCenter) && ok;
    ok = registry.writeInteger(QStringLiteral("Night Style"), nightStyle) && ok;
    ok = registry.writeInteger(QStringLiteral("Projection"), projection) && ok;
    registry.closeKey();
    return ok;
}

StoredView StoredView::lastViewDefaults(QSize screen)
{
    StoredView v;
    v.ctrX = screen.width() / 2;
    v.ctrY = screen.width() * 188 / 640;
    v.scale = screen.width() * 100 / 640;
    return v;
}

StoredView StoredView::userViewDefaults(QSize screen)
{
    StoredView v = lastViewDefaults(screen);
    v.ctrY = screen.height() * 188 / 480;
    return v;
}

StoredView StoredView::read(Registry& registry, const QString& key, bool create,
                            const StoredView& defaults)
{
    StoredView v = defaults;
    if (!registry.openKey(key, create))
        return v;
    v.lat = registry.readInteger(QStringLiteral("Lat"), v.lat);
    v.lon = registry.readInteger(QStringLiteral("Lon"), v.lon);
    v.ctrX = registry.readInteger(QStringLiteral("CtrX"), v.ctrX);
    v.ctrY = registry.readInteger(QStringLiteral("CtrY"), v.ctrY);
    v.scale = registry.readInteger(QStringLiteral("Scale"), v.scale);
    registry.closeKey();
    return v;
}

bool StoredView::write(Registry& registry, const QString& key) const
{
    if (!registry.openKey(key, true))
        return false;
    bool ok = registry.writeInteger(QStringLiteral("CtrX"), ctrX);
    ok = registry.writeInteger(QStringLiteral("CtrY"), ctrY) && ok;
    ok = registry.writeInteger(QStringLiteral("Lat"), lat) && ok;
    ok = registry.writeInteger(QStringLiteral("Lon"), lon) && ok;
    ok = registry.writeInteger(QStringLiteral("Scale"), scale) && ok;
    registry.closeKey();
    return ok;
}

} // namespace wl
