#pragma once

#include "app/MainSettings.h"

namespace wl {

class Registry;

// Reads and writes the main window's part of the settings tree.
class SettingsTree
{
public:
    // With a full read: moves the previous release's settings over, then reads the data folder,
    // the range, the date option and the window. Always: reads the column layout, creating its
    // two keys when missing. Values that cannot be right are replaced by their defaults.
    static void readReg(Registry& registry, MainSettings& settings, bool fullRead,
                        const QString& defaultDataPath);
    // Writes the window's place, "Window" and "DataBasePath". The place of a maximized window
    // is left as it was so that the normal geometry survives.
    static bool writeRegistry(Registry& registry, const MainSettings& settings);
    static void migrateOldKey(Registry& registry);

private:
    static void readMain(Registry& registry, MainSettings& settings,
                         const QString& defaultDataPath);
    static void readColumnData(Registry& registry, MainSettings& settings);
    static void readFieldData(Registry& registry, MainSettings& settings);
};

} // namespace wl
