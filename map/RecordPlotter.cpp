#include "map/RecordPlotter.h"

#include "globe/AngleText.h"
#include "globe/GlobeEngine.h"
#include "globe/GlobeFont.h"
#include "globe/GlobeLayer.h"
#include "globe/GlobePointText.h"
#include "grid/LocaleInfo.h"
#include "store/FrequencyRecord.h"
#include "store/PositionText.h"
#include "store/Table.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace wl {

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

namespace {

// A record to plot; its label lies in a buffer shared by all, so that a million records
// sort without moving their texts.
struct PositionedRecord
{
    double mhz;
    std::int32_t lat; // GU, North positive
    std::int32_t lon; // GU, East positive
    std::size_t labelStart;
    std::size_t labelLength;
};

struct Positioned
{
    std::vector<PositionedRecord> records;
    std::string labels;
};

// Progress is told every this many records.
constexpr qint64 ProgressStep = 4096;

// Appends the label field's text as labelText gives it, in Latin-1, to the shared buffer: the
// trimmed text, or one blank when there is none. The frequency is added when the labels are
// made, in frequency order, so that each distinct frequency is formatted once.
void appendFieldText(const QVariant& field, std::string& out)
{
    const std::size_t start = out.size();
    if (!field.isNull()) {
        // A string field is shared, not copied; the trimming is a view of it.
        const QString text = field.toString();
        for (const QChar c : QStringView(text).trimmed())
            out.push_back(c.unicode() < 256 ? static_cast<char>(c.unicode()) : '?');
    }
    if (out.size() == start)
        out.push_back(' ');
}

// The positioned records of the range in the order the table stores them; stopped is set
// when the progress asked to stop.
store::Status readPositioned(store::Table& table, const RecordPlotter::Range& range,
                             const MapSettings& settings, const RecordPlotter::Progress& progress,
                             Positioned& out, bool& stopped)
{
    if (store::Status st = table.setIndexName(QString()); !st)
        return st;
    // The filter language cannot tell a blank position text, so positions are sorted out below.
    const QString filter =
        QStringLiteral("(Hz >= %1) and (Hz <= %2)").arg(range.low).arg(range.high);
    if (store::Status st = table.setFilter(filter); !st)
        return st;
    if (store::Status st = table.setFiltered(true); !st)
        return st;
    const QString fieldName = RecordPlotter::fieldName(settings.fieldDisplay);
    const int latField = table.fieldNumber(QStringLiteral("RLat"));
    const int lonField = table.fieldNumber(QStringLiteral("RLon"));
    const int hzField = table.fieldNumber(QStringLiteral("Hz"));
    const int positionField = table.fieldNumber(QStringLiteral("Position"));
    const int labelField = fieldName.isEmpty() ? -1 : table.fieldNumber(fieldName);
    for (store::Status st = table.first();; st = table.next()) {
        if (!st)
            return st;
        if (table.eof())
            return store::Status::success();
        const double lat = table.fieldValueAt(latField).toDouble();
        const double lon = table.fieldValueAt(lonField).toDouble();
        if (!store::hasPosition(table.fieldValueAt(positionField).toString(), lat, lon))
            continue;
        const double mhz = table.fieldValueAt(hzField).toDouble();
        const std::size_t start = out.labels.size();
        appendFieldText(labelField < 0 ? QVariant() : table.fieldValueAt(labelField), out.labels);
        out.records.push_back(
            {mhz, degToGU(lat), -degToGU(lon), start, out.labels.size() - start});
        if (progress && out.records.size() % ProgressStep == 0 && !progress(0, -1)) {
            stopped = true;
            return store::Status::success();
        }
    }
}

} // namespace

RecordPlotter::Outcome RecordPlotter::plot(store::Table& table, const Range& range,
                                           GlobeEngine& globe, GlobeLayer& layer,
                                           const MapSettings& settings, const Progress& progress)
{
    Outcome outcome;
    const QString oldFilter = table.filter();
    const bool wasFiltered = table.filtered();
    Positioned positioned;
    outcome.status =
        readPositioned(table, range, settings, progress, positioned, outcome.cancelled);
    std::vector<PositionedRecord>& records = positioned.records;
    // The main window lists its records through its index, range and filter; it gets them
    // back as they were.
    for (store::Status back : {table.setIndexName(store::FrequencyRecord::FrequencyIndex),
                               table.setRange(range.low, range.high), table.setFilter(oldFilter),
                               table.setFiltered(wasFiltered)}) {
        if (outcome.status && !back)
            outcome.status = back;
    }
    if (!outcome.status || outcome.cancelled)
        return outcome;
    // Frequency order, as the index gives it: stored order within one frequency. The records
    // themselves are sorted, so that the labels are then made walking them in turn.
    std::stable_sort(
        records.begin(), records.end(),
        [](const PositionedRecord& a, const PositionedRecord& b) { return a.mhz < b.mhz; });
    const LocaleInfo locale = LocaleInfo::current();
    std::string frequency;
    double frequencyOf = 0;
    applyLabelFont(globe, settings.font);
    GlobeFont& font = layer.findOrCreateFont(globe.fontData);
    const int first = layer.objectCount();
    const auto total = static_cast<qint64>(records.size());
    layer.reserveObjects(static_cast<int>(total));
    for (qint64 i = 0; i < total; ++i) {
        const PositionedRecord& r = records[static_cast<std::size_t>(i)];
        std::string title = positioned.labels.substr(r.labelStart, r.labelLength);
        if (settings.freq) {
            if (i == 0 || r.mhz != frequencyOf) {
                frequency = frequencyText(r.mhz, locale).toLatin1().toStdString();
                frequencyOf = r.mhz;
            }
            title += ' ';
            title += frequency;
        }
        GlobePointText::create(layer, r.lat, r.lon, std::move(title), font);
        if (progress && (i + 1) % ProgressStep == 0 && !progress(i + 1, total)) {
            // A map with part of the records would look complete: none are left.
            layer.truncateObjects(first);
            outcome.cancelled = true;
            return outcome;
        }
    }
    outcome.made = static_cast<int>(total);
    return outcome;
}

} // namespace wl
