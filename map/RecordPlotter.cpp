#include "map/RecordPlotter.h"

#include "globe/AngleText.h"
#include "globe/GlobeEngine.h"
#include "globe/GlobeLayer.h"
#include "globe/GlobePointText.h"
#include "grid/LocaleInfo.h"
#include "store/FrequencyRecord.h"
#include "store/Table.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

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

// The positioned records of the range in the order the table stores them; stopped is set
// when the progress asked to stop.
store::Status readPositioned(store::Table& table, const RecordPlotter::Range& range,
                             const MapSettings& settings, const RecordPlotter::Progress& progress,
                             Positioned& out, bool& stopped)
{
    if (store::Status st = table.setIndexName(QString()); !st)
        return st;
    const QString filter =
        RecordPlotter::PositionFilter +
        QStringLiteral(" and (Hz >= %1) and (Hz <= %2)").arg(range.low).arg(range.high);
    if (store::Status st = table.setFilter(filter); !st)
        return st;
    if (store::Status st = table.setFiltered(true); !st)
        return st;
    const QString fieldName = RecordPlotter::fieldName(settings.fieldDisplay);
    const int latField = table.fieldNumber(QStringLiteral("RLat"));
    const int lonField = table.fieldNumber(QStringLiteral("RLon"));
    const int hzField = table.fieldNumber(QStringLiteral("Hz"));
    const int labelField = fieldName.isEmpty() ? -1 : table.fieldNumber(fieldName);
    const LocaleInfo locale = LocaleInfo::current();
    for (store::Status st = table.first();; st = table.next()) {
        if (!st)
            return st;
        if (table.eof())
            return store::Status::success();
        const double mhz = table.fieldValueAt(hzField).toDouble();
        const QVariant value = labelField < 0 ? QVariant() : table.fieldValueAt(labelField);
        const QByteArray label =
            RecordPlotter::labelText(value, mhz, settings.freq, locale).toLatin1();
        out.records.push_back({mhz, degToGU(table.fieldValueAt(latField).toDouble()),
                               -degToGU(table.fieldValueAt(lonField).toDouble()), out.labels.size(),
                               static_cast<std::size_t>(label.size())});
        out.labels.append(label.constData(), static_cast<std::size_t>(label.size()));
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
    // Frequency order, as the index gives it: stored order within one frequency.
    std::vector<std::pair<double, std::size_t>> order(records.size());
    for (std::size_t i = 0; i < records.size(); ++i)
        order[i] = {records[i].mhz, i};
    std::sort(order.begin(), order.end());
    applyLabelFont(globe, settings.font);
    const int first = layer.objectCount();
    const auto total = static_cast<qint64>(records.size());
    for (qint64 i = 0; i < total; ++i) {
        const PositionedRecord& r = records[order[static_cast<std::size_t>(i)].second];
        GlobePointText::create(layer, r.lat, r.lon,
                               positioned.labels.substr(r.labelStart, r.labelLength));
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
