#include "app/RecordCaption.h"

#include "app/RecordDate.h"
#include "app/TFormMain.h"
#include "grid/LocaleInfo.h"
#include "store/Table.h"

#include <QStringList>
#include <QVariant>

namespace wl {

QString RecordCaption::of(TFormMain& main, qint64 recNum)
{
    store::Table& table = main.table();
    QVariant hz;
    QVariant callsign;
    QVariant date;
    table.readField(recNum, QStringLiteral("Hz"), hz);
    table.readField(recNum, QStringLiteral("Callsign"), callsign);
    table.readField(recNum, QStringLiteral("RDate"), date);
    const LocaleInfo locale = LocaleInfo::current();
    QStringList parts{locale.formatFrequency(hz.toDouble()) + QStringLiteral(" MHz")};
    if (const QString name = callsign.toString().trimmed(); !name.isEmpty())
        parts << name;
    if (const auto when = date.isNull() ? std::nullopt : RecordDate::toDateTime(date.toDouble()))
        parts << locale.formatDisplayDateTime(*when, main.settings().dateOption);
    return parts.join(QStringLiteral(", "));
}

} // namespace wl
