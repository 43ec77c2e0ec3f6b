#pragma once

#include "exchange/export/TCustomTextExport.h"

#include "exchange/export/FixedWidthLayout.h"

namespace wl {

// Fixed-width text: one line per item, every column as wide as its caption unless ColWidths says
// otherwise, under the title, time stamp, header and caption line.
class TTextExport : public TCustomTextExport
{
public:
    TTextExport(TExportComponent& component, TExportType type, const QString& fileName);

protected:
    bool HoldsLineBreaks() const override { return false; }
    bool HoldsTabs() const override { return false; }
    void BeginExport(const QStringList& columns) override;
    void WriteItem(const QStringList& cells, int itemNumber) override;
    void EndExport() override;

private:
    FixedWidthLayout layout_;
};

} // namespace wl
