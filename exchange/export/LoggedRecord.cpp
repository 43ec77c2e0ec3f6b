#include "exchange/export/LoggedRecord.h"

#include "app/RecordDate.h"
#include "store/Table.h"

#include <QVariant>

namespace wl {

store::Status LoggedRecords::read(store::Table& table, std::vector<LoggedRecord>& records)
{
    // Each field is looked up by name once; a long log is then read by position.
    const auto at = [&](const char* name) { return table.fieldNumber(QString::fromLatin1(name)); };
    const int recNum = at("RecNum"), hz = at("Hz"), modifier = at("Modifier"),
              category = at("Category"), callsign = at("Callsign"), user = at("User"),
              location = at("Location"), special = at("Optional"), notes = at("Notes"),
              rDate = at("RDate"), rLat = at("RLat"), rLon = at("RLon");
    const auto text = [&](int field) { return table.fieldValueAt(field).toString().trimmed(); };
    for (store::Status st = table.first();; st = table.next()) {
        if (!st)
            return st;
        if (table.eof())
            return store::Status::success();
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
        if (lat != 0 && lon != 0) {
            r.lat = lat;
            r.lon = -lon;
        }
        records.push_back(std::move(r));
    }
}

} // namespace wl
