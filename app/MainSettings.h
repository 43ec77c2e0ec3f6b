#pragma once

#include <QRect>
#include <QString>

#include <array>

namespace wl {

// The number of grid columns and field slots of the column layout.
inline constexpr int ColumnCount = 10;

// The main window's settings: where the data is, the frequency range, the date display, the
// window's place and the grid's column layout.
struct MainSettings
{
    QString dataBasePath;
    int lowFrequency = 0;
    int hiFrequency = 9999;
    quint8 dateOption = 0;
    QRect geometry{0, 0, 800, 600};
    bool maximized = false;
    std::array<int, ColumnCount> columnWidths{};
    std::array<bool, ColumnCount> columnShown{};
    std::array<int, ColumnCount> columnNumbers{};
    std::array<QString, ColumnCount> columnNames;

    static QString defaultColumnName(int slot);
    static int defaultColumnWidth(int position);
};

} // namespace wl
