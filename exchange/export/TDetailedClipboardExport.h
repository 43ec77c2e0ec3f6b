#pragma once

#include "exchange/export/TCustomExport.h"

#include "exchange/export/DetailedLayout.h"

namespace wl {

// The detailed text of TDetailedTextExport, placed on the clipboard.
class TDetailedClipboardExport : public TCustomExport
{
public:
    TDetailedClipboardExport(TExportComponent& component, TExportType type,
                             const QString& fileName);
    // Tells the user the text is on the clipboard.
    void Finish() override;

protected:
    void BeginExport(const QStringList& columns) override;
    void WriteItem(const QStringList& cells, int itemNumber) override;
    void EndExport() override;
    void Complete() override;

private:
    DetailedLayout layout_;
    QString text_;
};

} // namespace wl
