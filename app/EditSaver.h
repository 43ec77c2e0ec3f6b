#pragma once

#include "app/MainSettings.h"
#include "grid/LocaleInfo.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace wl {

class TSortableGrid;

namespace store {
class Table;
}

// Writes the rows changed in the main window's grid back to the table.
//
// Each listed row is written once, to the record whose number it carries, so a row whose
// frequency moves it elsewhere in the table's order cannot pass its cells to another record.
// A cell whose text is still the text the fill made from the stored value leaves that value
// alone: the cells round frequencies, drop seconds and show nulls as blanks, and writing them
// back would quietly change records the user only looked at.
class EditSaver
{
public:
    struct Outcome
    {
        int rowsWritten = 0;
        QString message; // empty when every row was written
        QString details; // the store's reason, when a write failed
    };

    EditSaver(TSortableGrid& grid, store::Table& table, const MainSettings& layout,
              LocaleInfo locale);

    // Writes the rows in list order (grid row numbers as decimal text). It stops at the first
    // row that cannot be read; the rows before it stay written.
    Outcome save(const QStringList& editedRows, const std::function<qint64(int row)>& recNumOf);

    // A position cell "DD MMH DDD MMH" as latitude and longitude in degrees (south and east
    // negative); blank gives 0 / 0. The error names the part that could not be read.
    struct Position
    {
        double lat = 0;
        double lon = 0;
        QString error;
    };
    static Position parsePosition(const QString& cell, int row);

private:
    QString writeRow(int row, qint64 recNum, QString& details);

    TSortableGrid& grid_;
    store::Table& table_;
    const MainSettings& layout_;
    LocaleInfo locale_;
};

} // namespace wl
