#include "exchange/import/ImportColumns.h"

#include <array>

namespace wl::ImportColumns {

namespace {

const std::array<QString, RecordColumns> Headings = {
    QStringLiteral("Frequency(MHz)"), QStringLiteral("  +-  "),   QStringLiteral("Callsign"),
    QStringLiteral("User"),           QStringLiteral("Location"), QStringLiteral("Special"),
    QStringLiteral("Date/Time"),      QStringLiteral("Notes"),
};

QString joined(const QString& left, const QString& right)
{
    const QString a = left.trimmed();
    const QString b = right.trimmed();
    if (a.isEmpty() || b.isEmpty())
        return a + b;
    return a + u' ' + b;
}

} // namespace

QString heading(int index)
{
    if (index >= 0 && index < RecordColumns)
        return Headings[std::size_t(index)];
    return QStringLiteral("Column ") + QString::number(index + 1);
}

void joinColumns(std::vector<QStringList>& rows, int n, int onlyRow)
{
    if (n < 0)
        return;
    for (int r = 0; r < int(rows.size()); ++r) {
        if (onlyRow >= 0 && r != onlyRow)
            continue;
        QStringList& cells = rows[std::size_t(r)];
        if (n + 1 >= cells.size())
            continue;
        cells[n] = joined(cells[n], cells[n + 1]);
        cells.removeAt(n + 1);
        if (onlyRow >= 0)
            cells.append(QString());
    }
}

} // namespace wl::ImportColumns
