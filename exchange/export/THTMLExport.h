#pragma once

#include "exchange/export/ExportFormatOptions.h"
#include "exchange/export/TCustomTextExport.h"

namespace wl {

// An HTML page with one table, coloured by the component's template, captions in the first
// row, optionally with alternating row colours and links made from addresses in the cells.
class THTMLExport : public TCustomTextExport
{
public:
    THTMLExport(TExportComponent& component, TExportType type, const QString& fileName);

protected:
    bool HoldsTabs() const override { return false; }
    void BeginExport(const QStringList& columns) override;
    void WriteItem(const QStringList& cells, int itemNumber) override;
    void EndExport() override;

private:
    QString field(int n) const;
    bool has(THTML_Option option) const;
    QString text(const QString& raw) const;
    QString linked(const QString& raw) const;
    QString rule() const;
    // The cell's opening tag.
    QString cellStart(const QString& raw) const;

    QString template_;
};

} // namespace wl
