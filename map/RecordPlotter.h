#pragma once

#include "map/MapSettings.h"
#include "store/Status.h"

#include <QString>
#include <QVariant>

#include <functional>

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
    // The table field a label-field code shows: 1 Callsign, 2 User, 3 Location, 4 Optional;
    // empty for any other code.
    static QString fieldName(int code);
    // A frequency as "###.0000": no digit before the separator below 1 MHz.
    static QString frequencyText(double mhz, const LocaleInfo& locale);
    // The label: the trimmed field text (one blank when empty), then a blank and the frequency
    // when it is shown.
    static QString labelText(const QVariant& field, double mhz, bool showFrequency,
                             const LocaleInfo& locale);

    // The main window's frequency range, whose records the map plots: whole MHz, inclusive.
    struct Range
    {
        int low = 0;
        int high = 9999;
    };
    // Told how far plotting has come: records done of total, total -1 while the table is
    // still being read. Returns false to stop.
    using Progress = std::function<bool(qint64 done, qint64 total)>;
    struct Outcome
    {
        store::Status status = store::Status::success();
        int made = 0;
        bool cancelled = false; // stopped by the progress; nothing is then plotted
    };

    // Plots every record of the range that has both coordinates into the layer with the label
    // font of the settings, in frequency order (records of one frequency in the order they
    // were stored). The table is read in the order it stores its records, which needs no seek
    // per record, and left on its frequency index with the range, its filter and filter
    // switch as they were. A table that cannot be read, or a stop asked for by the progress,
    // leaves the layer as it was.
    static Outcome plot(store::Table& table, const Range& range, GlobeEngine& globe,
                        GlobeLayer& layer, const MapSettings& settings,
                        const Progress& progress = {});
    // The globe's font for new labels: name, size (as pixels on the screen) and colour, with
    // the style of the style code (another code keeps the current style).
    static void applyLabelFont(GlobeEngine& globe, const LabelFont& font);
};

} // namespace wl
