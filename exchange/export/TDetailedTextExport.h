#pragma once

#include "exchange/export/TCustomTextExport.h"

#include "exchange/export/DetailedLayout.h"

namespace wl {

// Detailed text: every cell on a line of its own behind its caption.
class TDetailedTextExport : public TCustomTextExport
{
public:
    TDetailedTextExport(TExportComponent& component, TExportType type, const QString& fileName);

protected:
    bool HoldsLineBreaks() const override { return false; }
    bool HoldsTabs() const override { return false; }
    void BeginExport(const QStringList& columns) override;
    void WriteItem(const QStringList& cells, int itemNumber) override;
    void EndExport() override;

private:
    DetailedLayout layout_;
};

} // namespace wl
