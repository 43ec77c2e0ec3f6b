#pragma once

#include <QString>

class QWidget;

namespace wl::schedule {

// The import commands of the Schedules menu: the file is chosen, read with malformed lines
// refused, and only when the user agrees after seeing them read again without those lines.
class ScheduleImportDialog
{
public:
    enum class Kind
    {
        Schedule,
        Sites
    };

    // Returns true when something was stored.
    static bool run(QWidget* parent, const QString& dataFolder, Kind kind);
};

} // namespace wl::schedule
