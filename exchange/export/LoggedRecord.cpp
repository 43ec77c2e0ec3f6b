#include "exchange/export/LoggedRecord.h"

#include "app/RecordDate.h"
#include "store/Table.h"

#include <QVariant>

namespace wl {

store::Status LoggedRecords::read(store::Table& table, std::vector<LoggedRecord>& records)
{
    auto text = [&](const char* field) {
        return table.fieldValue(QString::fromLatin1(field)).toString().trimmed();
    };
    for (store::Status st = table.first();; st = table.next()) {
        if (!st)
            return st;
        if (table.eof())
            return store::Status::success();
        LoggedRecord r;
        r.recNum = table.fieldValue(QStringLiteral("RecNum")).toInt();
        r.mhz = table.fieldValue(QStringLiteral("Hz")).toDouble();
        r.modifier = text("Modifier");
        r.category = text("Category");
        r.callsign = text("Callsign");
        r.user = text("User");
        r.location = text("Location");
        r.special = text("Optional");
        r.notes = table.fieldValue(QStringLiteral("Notes")).toString();
        const QVariant date = table.fieldValue(QStringLiteral("RDate"));
        if (date.typeId() == QMetaType::QDateTime)
            r.rDate = date.toDateTime();
        else if (!date.isNull())
            r.rDate = RecordDate::toDateTime(date.toDouble()).value_or(QDateTime());
        const double lat = table.fieldValue(QStringLiteral("RLat")).toDouble();
        const double lon = table.fieldValue(QStringLiteral("RLon")).toDouble();
        if (lat != 0 && lon != 0) {
            r.lat = lat;
            r.lon = -lon;
        }
        records.push_back(std::move(r));
    }
}

} // namespace wl
