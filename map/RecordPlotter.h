#pragma once

#include "map/MapSettings.h"

#include <QString>
#include <QVariant>

namespace wl {

class GlobeEngine;
class GlobeLayer;
class LocaleInfo;

namespace store {
class Table;
}

// Puts one label per record with a position on the globe.
class RecordPlotter
{
public:
    // The filter that leaves the records with both coordinates set.
    static const QString PositionFilter;

    // The table field a label-field code shows: 1 Callsign, 2 User, 3 Location, 4 Optional;
    // empty for any other code.
    static QString fieldName(int code);
    // A frequency as "###.0000": no digit before the separator below 1 MHz.
    static QString frequencyText(double mhz, const LocaleInfo& locale);
    // The label: the trimmed field text (one blank when empty), then a blank and the frequency
    // when it is shown.
    static QString labelText(const QVariant& field, double mhz, bool showFrequency,
                             const LocaleInfo& locale);

    // Plots every record of the table's range that has both coordinates into the layer with
    // the label font of the settings, and gives the table back its filter and filter switch.
    // Returns the number of labels made.
    static int plot(store::Table& table, GlobeEngine& globe, GlobeLayer& layer,
                    const MapSettings& settings);
    // The globe's font for new labels: name, size (as pixels on the screen) and colour, with
    // the style of the style code (another code keeps the current style).
    static void applyLabelFont(GlobeEngine& globe, const LabelFont& font);
};

} // namespace wl
