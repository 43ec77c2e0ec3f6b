#pragma once

#include "globe/LLPoint.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace wl {

class GlobeLayer;
class LocaleInfo;

// Finds a place by what a listener types: a name of the map's layers (cities, capitals,
// countries, the labels of logged records with their callsign and frequency), or a position
// "lat, lon" in degrees (north and east positive, or with N, S, E, W).
class PlaceFinder
{
public:
    struct Place
    {
        QString name;
        LLPoint point;
    };

    // Adds the titled objects of a layer; earlier layers win a name that comes twice.
    void addLayer(const GlobeLayer& layer);
    void clear();

    // Names that begin with the text first, then names that hold it, ignoring case; at most max.
    QStringList suggestions(const QString& text, int max = 12) const;
    // The place of a name (whole, ignoring case; else the first suggestion) or of a position.
    std::optional<Place> find(const QString& text, const LocaleInfo& locale) const;
    // "lat, lon", "lat; lon" or "lat lon", each number in the locale's form.
    static std::optional<LLPoint> parsePosition(const QString& text, const LocaleInfo& locale);

private:
    std::vector<Place> m_places;
};

} // namespace wl
