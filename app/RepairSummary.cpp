#include "app/RepairSummary.h"

namespace wl {

QString repairSummary(const store::RepairResult& result)
{
    QString text =
        QStringLiteral("The database was repaired: %1 records kept").arg(result.recordsKept);
    if (result.recordsLost > 0)
        text += QStringLiteral(", %1 records lost").arg(result.recordsLost);
    else if (result.recordsLost < 0)
        text += QStringLiteral(", an unknown number of records lost");
    if (result.notesLost > 0)
        text += QStringLiteral(", %1 notes lost").arg(result.notesLost);
    text += QLatin1Char('.');
    if (!result.keptAside.isEmpty())
        text += QStringLiteral(" The damaged files were kept aside.");
    return text;
}

} // namespace wl
