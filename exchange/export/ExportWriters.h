#pragma once

#include "exchange/export/ExportTypes.h"

#include <QString>

#include <memory>

namespace wl {

class TCustomExport;
class TExportComponent;

// The writer of each format. A format without a writer is not offered; adding one is a new
// TCustomExport descendant and a line in create().
class ExportWriters
{
public:
    // The writer for the component's next export; nullptr when the type has none. Throws
    // ExportError when the target cannot be opened.
    static std::unique_ptr<TCustomExport> create(TExportComponent& component, TExportType type,
                                                 const QString& fileName);
    static bool has(TExportType type);
};

} // namespace wl
