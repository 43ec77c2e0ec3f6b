#pragma once

#include "exchange/export/TCustomTextExport.h"

namespace wl {

// Tab-delimited text: cells split by TAB, one line per item.
class TTabExport : public TCustomTextExport
{
public:
    TTabExport(TExportComponent& component, TExportType type, const QString& fileName);

protected:
    void BeginExport(const QStringList& columns) override;
    void WriteItem(const QStringList& cells, int itemNumber) override;
};

} // namespace wl
