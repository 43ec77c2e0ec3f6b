#include "app/EditSaver.h"

#include "app/RecordCells.h"
#include "app/RecordDate.h"
#include "app/RecordList.h"
#include "grid/TSortableGrid.h"
#include "store/Table.h"

#include <QSet>

#include <utility>
#include <vector>

namespace wl {

namespace {

constexpr int PositionSlot = 7;

bool isDigits(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

// One half of a position: degrees, a blank, two minute characters and the hemisphere letter.
// Returns the rest after the letter and the blank that follows it.
std::optional<double> readHalf(const QString& text, int maxDegrees, QChar negative, QString& rest)
{
    const qsizetype blank = text.indexOf(u' ');
    if (blank < 0)
        return std::nullopt;
    const QString degText = text.left(blank).trimmed();
    const QString minText = text.mid(blank + 1, 2).trimmed();
    if (!isDigits(degText) || !isDigits(minText) || degText.size() > 3)
        return std::nullopt;
    const int degrees = degText.toInt();
    const int minutes = minText.toInt();
    // Beyond the pole or the date line, or minutes past the limit, is no place on earth.
    if (degrees > maxDegrees || minutes > 59 || (degrees == maxDegrees && minutes != 0))
        return std::nullopt;
    const double value = degrees + minutes / 60.0;
    const QChar hemisphere = (blank + 3 < text.size() ? text.at(blank + 3) : QChar());
    rest = text.mid(blank + 5);
    return hemisphere == negative ? -value : value;
}

} // namespace

EditSaver::EditSaver(TSortableGrid& grid, store::Table& table, const MainSettings& layout,
                     LocaleInfo locale)
    : grid_(grid), table_(table), layout_(layout), locale_(std::move(locale))
{
}

EditSaver::Position EditSaver::parsePosition(const QString& cell, int row)
{
    Position p;
    if (cell.trimmed().isEmpty())
        return p;
    QString rest;
    const std::optional<double> lat = readHalf(cell, 90, u'S', rest);
    if (!lat) {
        p.error = QStringLiteral("Invalid latitude data entered at row %1.").arg(row);
        return p;
    }
    QString unused;
    const std::optional<double> lon = readHalf(rest, 180, u'E', unused);
    if (!lon) {
        p.error = QStringLiteral("Invalid longitude data entered at row %1.").arg(row);
        return p;
    }
    p.lat = *lat;
    p.lon = *lon;
    return p;
}

EditSaver::Outcome EditSaver::save(const QStringList& editedRows,
                                   const std::function<qint64(int row)>& recNumOf)
{
    Outcome outcome;
    QSet<int> done;
    for (const QString& entry : editedRows) {
        bool ok = false;
        const int row = entry.toInt(&ok);
        if (!ok || done.contains(row))
            continue;
        done.insert(row);
        const qint64 recNum = recNumOf(row);
        if (recNum <= 0)
            continue; // the blank row of an empty list
        outcome.message = writeRow(row, recNum, outcome.details);
        if (!outcome.message.isEmpty())
            return outcome;
        ++outcome.rowsWritten;
    }
    return outcome;
}

QString EditSaver::writeRow(int row, qint64 recNum, QString& details)
{
    const RecordCells cells(locale_, layout_.dateOption);
    std::vector<std::pair<QString, QVariant>> values;
    // Notes are written by the notes editor only.
    for (int slot = 0; slot < RecordCells::NotesSlot; ++slot) {
        const int col = RecordList::columnOfSlot(grid_, slot);
        if (col < 0)
            continue;
        const QString field = RecordCells::fieldName(slot);
        const QString text = grid_.Cells(col, row);
        QVariant stored;
        if (store::Status read = table_.readField(recNum, field, stored); !read) {
            details = read.error;
            return QStringLiteral("The record could not be saved.");
        }
        if (text == cells.text(slot, stored))
            continue;
        if (slot == RecordCells::FrequencySlot) {
            const std::optional<double> hz = locale_.parseNumber(text.trimmed());
            if (!hz)
                return QStringLiteral("Invalid frequency data entered.");
            values.emplace_back(field, *hz);
        } else if (slot == RecordCells::DateSlot) {
            const std::optional<QDateTime> when = locale_.parseDateTime(text.trimmed());
            if (!when)
                return QStringLiteral("Invalid date/time data entered at row %1.").arg(row);
            values.emplace_back(field, RecordDate::fromDateTime(*when));
        } else if (slot == PositionSlot) {
            const Position p = parsePosition(text, row);
            if (!p.error.isEmpty())
                return p.error;
            values.emplace_back(field, text);
            values.emplace_back(QStringLiteral("RLat"), p.lat);
            values.emplace_back(QStringLiteral("RLon"), p.lon);
        } else {
            values.emplace_back(field, text);
        }
    }
    if (values.empty())
        return {};
    if (store::Status written = table_.updateByRecNum(recNum, values); !written) {
        details = written.error;
        return QStringLiteral("The record could not be saved.");
    }
    return {};
}

} // namespace wl
