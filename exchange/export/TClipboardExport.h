#pragma once

#include "exchange/export/TCustomExport.h"

#include "exchange/export/FixedWidthLayout.h"

namespace wl {

// The fixed-width text of TTextExport, placed on the clipboard.
class TClipboardExport : public TCustomExport
{
public:
    TClipboardExport(TExportComponent& component, TExportType type, const QString& fileName);
    // Tells the user the text is on the clipboard.
    void Finish() override;

protected:
    void BeginExport(const QStringList& columns) override;
    void WriteItem(const QStringList& cells, int itemNumber) override;
    void EndExport() override;
    void Complete() override;

private:
    FixedWidthLayout layout_;
    QString text_;
};

} // namespace wl
