#pragma once

#include <QString>

namespace wl {

class GlobeControl;
class GlobeLayer;

// What the home-town dialog and the city editor need from the map window that hosts them.
// Coordinates are the map window's own texts: decimal degrees with North and West positive,
// written with the locale's decimal separator.
class MapHost
{
public:
    virtual ~MapHost() = default;

    virtual GlobeControl& globe() = 0;
    // The folder of the program file, ending with "/"; the city files live in its
    // "Globe Data" folder.
    virtual QString programFolder() const = 0;

    virtual QString homeName() const = 0;
    virtual QString homeLatitudeText() const = 0;
    virtual QString homeLongitudeText() const = 0;
    // Replaces the window's home coordinate texts (the name is read again at the next set-up).
    virtual void setHomeTexts(const QString& latitude, const QString& longitude) = 0;

    // The layer the city editor shows: layer 4 (all cities) or layer 5 (custom cities).
    virtual GlobeLayer& currentCityLayer() = 0;
    virtual void setCurrentCityLayer(int index) = 0;

    // The layer of the home-town marker, found by reference: a profile with more layers than
    // the usual six moves it from index 7.
    virtual GlobeLayer& homeMarkerLayer() = 0;

    // The help topic of the map window: 110, or 112 while the city editor is open.
    virtual void setHelpContext(int context) = 0;

    // The settings file the home-town dialog writes "Home", "Home Lat" and "Home Lon" to: the
    // one the main window and the map window read (TFormMain::settingsFile()).
    virtual QString settingsFile() const = 0;
};

} // namespace wl
