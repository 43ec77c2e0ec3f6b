#pragma once

#include <QSize>
#include <QString>

namespace wl {

class Registry;

// The label font of the map: name, size in points, colour (0x00BBGGRR) and style code
// (1 regular, 2 italic, 3 bold, 4 bold italic).
struct LabelFont
{
    QString name = QStringLiteral("Arial");
    int size = 11;
    int color = 0;
    int style = 1;
};

// The map window's own values in the settings tree. The home town is written by the home-town
// dialog; everything else is written when the window closes.
struct MapSettings
{
    QString homeName = QStringLiteral("Ruzo Vudi");
    QString homeLat; // decimal degrees, North positive, locale separator
    QString homeLon; // decimal degrees, West positive, locale separator
    bool shadow = true;
    bool autoCenter = true;
    int knots = 0;        // 0 statute miles, 1 nautical miles, 2 kilometres
    bool freq = true;     // the label shows the frequency
    int fieldDisplay = 1; // 1 Callsign, 2 User, 3 Location, 4 Optional
    LabelFont font;
    int nightStyle = 0; // 0 a translucent veil with the twilight bands, 1 hatched
    int projection = 0; // 0 spherical, 1 plate carree, 2 Mercator

    // The defaults, with the home coordinates written with the locale's separator.
    static MapSettings defaults();
    static QString defaultHomeLat();
    static QString defaultHomeLon();
    // Reads without creating the key; missing or unreadable values take their defaults.
    static MapSettings read(Registry& registry);
    // Writes the values the window owns (not the home town), creating the key.
    bool write(Registry& registry) const;
};

// A view as the settings keep it: rotations in whole degrees (longitude West positive),
// screen origin in pixels and the scale times 100,000,000.
struct StoredView
{
    int lat = 40;
    int lon = 100;
    int ctrX = 0;
    int ctrY = 0;
    int scale = 0;

    // The last view of the window (in the main key) and the user view ("\Custom View")
    // differ only in the default of CtrY.
    static StoredView lastViewDefaults(QSize screen);
    static StoredView userViewDefaults(QSize screen);
    // Reads the five values of a key, opened with or without creating it.
    static StoredView read(Registry& registry, const QString& key, bool create,
                           const StoredView& defaults);
    bool write(Registry& registry, const QString& key) const;
};

} // namespace wl
