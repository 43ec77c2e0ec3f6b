#include "exchange/export/LoggedRecord.h"

#include "app/RecordDate.h"
#include "store/PositionText.h"
#include "store/Table.h"

#include <QVariant>

namespace wl {


namespace {

// The fields of the table by position, looked up by name once: a long log is then read by
// position.
struct Fields
{
    explicit Fields(const store::Table& table)
    {
        const auto at = [&](const char* name) {
            return table.fieldNumber(QString::fromLatin1(name));
        };
        recNum = at("RecNum");
        hz = at("Hz");
        modifier = at("Modifier");
        category = at("Category");
        callsign = at("Callsign");
        user = at("User");
        location = at("Location");
        special = at("Optional");
        notes = at("Notes");
        rDate = at("RDate");
        rLat = at("RLat");
        rLon = at("RLon");
        position = at("Position");
    }

    // The table's current record.
    LoggedRecord current(const store::Table& table) const
    {
        const auto text = [&](int field) { return table.fieldValueAt(field).toString().trimmed(); };
        LoggedRecord r;
        r.recNum = table.fieldValueAt(recNum).toInt();
        r.mhz = table.fieldValueAt(hz).toDouble();
        r.modifier = text(modifier);
        r.category = text(category);
        r.callsign = text(callsign);
        r.user = text(user);
        r.location = text(location);
        r.special = text(special);
        r.notes = table.fieldValueAt(notes).toString();
        const QVariant date = table.fieldValueAt(rDate);
        if (date.typeId() == QMetaType::QDateTime)
            r.rDate = date.toDateTime();
        else if (!date.isNull())
            r.rDate = RecordDate::toDateTime(date.toDouble()).value_or(QDateTime());
        const double lat = table.fieldValueAt(rLat).toDouble();
        const double lon = table.fieldValueAt(rLon).toDouble();
        if (store::hasPosition(text(position), lat, lon)) {
            r.lat = lat;
            r.lon = lon == 0 ? 0.0 : -lon; // never "-0" in a file
        }
        return r;
    }

    int recNum, hz, modifier, category, callsign, user, location, special, notes, rDate, rLat, rLon,
        position;
};

} // namespace

store::Status LoggedRecords::read(store::Table& table, std::vector<LoggedRecord>& records)
{
    const Fields fields(table);
    for (store::Status st = table.first();; st = table.next()) {
        if (!st)
            return st;
        if (table.eof())
            return store::Status::success();
        records.push_back(fields.current(table));
    }
}

store::Status LoggedRecords::read(store::Table& table, const std::vector<qint64>& recNums,
                                  std::vector<LoggedRecord>& records)
{
    const Fields fields(table);
    for (const qint64 recNum : recNums) {
        if (store::Status st = table.locate(recNum); !st)
            return st;
        records.push_back(fields.current(table));
    }
    return store::Status::success();
}

} // namespace wl
