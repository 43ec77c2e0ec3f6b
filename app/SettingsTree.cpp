#include "app/SettingsTree.h"

#include "app/AppConstants.h"
#include "app/services/Registry.h"

#include <algorithm>

namespace wl {

namespace {

constexpr int ColumnNameLength = 20;
constexpr int LargestColumnWidth = 10000;
constexpr int LastDateOption = 2;
// No file system takes a longer path (the longest form Windows accepts). A longer value is
// damage, and carried into the caption and the messages it would hold start-up for minutes.
constexpr int LongestPath = 32767;

QString numbered(const char* name, int n)
{
    return QLatin1String(name) + QString::number(n);
}

// The column numbers index the field slots: anything but an arrangement of 0..9 would show a
// slot twice, lose one, or reach past the layout arrays.
bool isArrangement(const std::array<int, ColumnCount>& numbers)
{
    std::array<bool, ColumnCount> seen{};
    for (int n : numbers) {
        if (n < 0 || n >= ColumnCount || seen[static_cast<size_t>(n)])
            return false;
        seen[static_cast<size_t>(n)] = true;
    }
    return true;
}

// No screen, nor several side by side, reaches this far; numbers beyond it are damage, and
// sums of them must not overflow.
constexpr int LargestCoordinate = 32767;

int sizeOrDefault(int value, int fallback)
{
    return value > 0 ? std::min(value, LargestCoordinate) : fallback;
}

int coordinate(int value)
{
    return std::clamp(value, -LargestCoordinate, LargestCoordinate);
}

} // namespace

void SettingsTree::migrateOldKey(Registry& registry)
{
    if (!registry.openKey(app::OldSettingsKey, false))
        return;
    registry.deleteValue(QStringLiteral("DataFile Name"));
    registry.closeKey();
    if (!registry.keyExists(app::SettingsKey))
        registry.copyKey(app::OldSettingsKey, app::SettingsKey);
    registry.deleteKey(app::OldSettingsKey);
}

void SettingsTree::readMain(Registry& registry, MainSettings& s, const QString& defaultDataPath)
{
    // A missing key reads as all defaults, and reading must not create it.
    const bool found = registry.openKey(app::SettingsKey, false);
    auto integer = [&](const char* name, int fallback) {
        return found ? registry.readInteger(QLatin1String(name), fallback) : fallback;
    };
    s.dataBasePath = found ? registry.readString(QStringLiteral("DataBasePath"), defaultDataPath)
                           : defaultDataPath;
    if (s.dataBasePath.size() > LongestPath) {
        // Dropped at once: every later look at the settings would read it again.
        registry.deleteValue(QStringLiteral("DataBasePath"));
        s.dataBasePath.clear();
    }
    if (s.dataBasePath.isEmpty())
        s.dataBasePath = defaultDataPath;
    s.lowFrequency = integer("Low Frequency", 0);
    s.hiFrequency = integer("Hi Frequency", 9999);
    const int dateOption = integer("Date Option", 0);
    s.dateOption =
        static_cast<quint8>(dateOption >= 0 && dateOption <= LastDateOption ? dateOption : 0);
    s.geometry = QRect(coordinate(integer("Left", 0)), coordinate(integer("Top", 0)),
                       sizeOrDefault(integer("Width", 800), 800),
                       sizeOrDefault(integer("Height", 600), 600));
    s.maximized = found && registry.readBool(QStringLiteral("Window"), false);
    registry.closeKey();
}

void SettingsTree::readColumnData(Registry& registry, MainSettings& s)
{
    registry.openKey(app::SettingsKey + app::ColumnDataKey, true);
    for (int n = 0; n < ColumnCount; ++n) {
        const int fallback = MainSettings::defaultColumnWidth(n);
        const int width = registry.readInteger(numbered("Width ", n), fallback);
        s.columnWidths[static_cast<size_t>(n)] =
            width >= 0 && width <= LargestColumnWidth ? width : fallback;
    }
    registry.closeKey();
}

void SettingsTree::readFieldData(Registry& registry, MainSettings& s)
{
    registry.openKey(app::SettingsKey + app::FieldDataKey, true);
    for (int n = 0; n < ColumnCount; ++n) {
        const auto i = static_cast<size_t>(n);
        s.columnNames[i] =
            registry.readString(numbered("Column Name ", n), MainSettings::defaultColumnName(n))
                .left(ColumnNameLength);
        s.columnNumbers[i] = registry.readInteger(numbered("Column Number ", n), n);
        s.columnShown[i] = registry.readBool(numbered("Disp", n), true);
    }
    if (!isArrangement(s.columnNumbers)) {
        for (int n = 0; n < ColumnCount; ++n)
            s.columnNumbers[static_cast<size_t>(n)] = n;
    }
    registry.closeKey();
}

void SettingsTree::readReg(Registry& registry, MainSettings& settings, bool fullRead,
                           const QString& defaultDataPath)
{
    if (fullRead) {
        migrateOldKey(registry);
        readMain(registry, settings, defaultDataPath);
    }
    readColumnData(registry, settings);
    readFieldData(registry, settings);
}

bool SettingsTree::writeRegistry(Registry& registry, const MainSettings& s)
{
    registry.openKey(app::SettingsKey, true);
    if (!s.maximized) {
        registry.writeInteger(QStringLiteral("Left"), std::max(0, s.geometry.left()));
        registry.writeInteger(QStringLiteral("Top"), std::max(0, s.geometry.top()));
        registry.writeInteger(QStringLiteral("Width"), s.geometry.width());
        registry.writeInteger(QStringLiteral("Height"), s.geometry.height());
    }
    registry.writeBool(QStringLiteral("Window"), s.maximized);
    registry.writeString(QStringLiteral("DataBasePath"), s.dataBasePath);
    registry.closeKey();
    return registry.flush();
}

} // namespace wl
