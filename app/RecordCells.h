#pragma once

#include "grid/LocaleInfo.h"

#include <QString>
#include <QVariant>

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace wl {

// The cell texts of the record list: what each field slot shows for a value read from the
// table, in the user's number and date conventions.
//
// Date texts are put together from a date part and a time part, each kept once it has been
// made: a log repeats its days and minutes endlessly. An object is therefore used by one thread
// at a time.
class RecordCells
{
public:
    // Slots are numbered 0..9: Category, Hz, Modifier, Callsign, User, Location, Optional,
    // Position, RDate, Notes.
    static constexpr int SlotCount = 10;
    static constexpr int CategorySlot = 0;
    static constexpr int FrequencySlot = 1;
    static constexpr int PositionSlot = 7;
    static constexpr int DateSlot = 8;
    static constexpr int NotesSlot = 9;
    // Slots 1..9 show at most this many characters.
    static constexpr int LongestText = 120;

    RecordCells(LocaleInfo locale, int dateOption);

    // The table field a slot shows.
    static QString fieldName(int slot);
    // The text shown for a null value, or for one that cannot be turned into text.
    static QString nullText(int slot);
    // The cell text of a value of a slot's field.
    QString text(int slot, const QVariant& value) const;
    // The same for a text value given as UTF-8, appended to out as UTF-8: the usual short
    // texts need no conversion to QString and back.
    void appendText(int slot, std::string_view value, std::string& out) const;
    // The date-time cell of a stored date value, appended to out as UTF-8.
    void appendDate(double value, std::string& out) const;

private:
    QString dateText(const QVariant& value) const;
    const QString& dayText(const QDate& date) const;
    const QString& timeText(const QTime& time) const;

    LocaleInfo locale_;
    int dateOption_;
    const std::string& dayBytes(qint64 julianDay) const;
    const std::string& minuteBytes(int minute) const;

    mutable std::unordered_map<qint64, QString> days_;
    // The same texts as UTF-8; days by their distance from the zero date, over a span that
    // covers every date a log is likely to hold.
    mutable std::vector<std::string> dayBytes_;
    mutable std::vector<bool> dayKnown_;
    mutable std::array<std::string, 24 * 60> minuteBytes_;
    mutable std::array<bool, 24 * 60> minuteBytesKnown_{};
    mutable std::string farDay_;
    mutable std::array<QString, 24 * 60> minutes_;
    mutable std::array<bool, 24 * 60> minuteKnown_{};
};

} // namespace wl
