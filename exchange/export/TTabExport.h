#pragma once

#include "exchange/export/TCustomTextExport.h"

namespace wl {

// Tab-delimited text: cells split by TAB, one line per item.
class TTabExport : public TCustomTextExport
{
public:
    TTabExport(TExportComponent& component, TExportType type, const QString& fileName);

protected:
    bool HoldsLineBreaks() const override { return false; }
    bool HoldsTabs() const override { return false; }
    void BeginExport(const QStringList& columns) override;
    void WriteItem(const QStringList& cells, int itemNumber) override;
};

} // namespace wl
