#include "app/MainSettings.h"

namespace wl {

QString MainSettings::defaultColumnName(int slot)
{
    static const std::array<QString, ColumnCount> names = {
        QStringLiteral("Category"), QStringLiteral("Frequency(MHz)"), QStringLiteral("+-"),
        QStringLiteral("Callsign"), QStringLiteral("User"),           QStringLiteral("Location"),
        QStringLiteral("Special"),  QStringLiteral("Position"),       QStringLiteral("Date/Time"),
        QStringLiteral("Notes")};
    return slot >= 0 && slot < ColumnCount ? names[static_cast<size_t>(slot)] : QString();
}

int MainSettings::defaultColumnWidth(int position)
{
    // The third column shows the one-character repeater mark.
    return position == 2 ? 20 : 80;
}

} // namespace wl
