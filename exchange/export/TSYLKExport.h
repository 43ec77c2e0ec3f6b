#pragma once

#include "exchange/export/TCustomTextExport.h"

namespace wl {

// Symbolic link format: one cell record per cell, number formats first, column widths last.
// The file is UTF-8 under the ID record that spreadsheets recognise the format by; cells are
// whole, on one line (a line break or TAB is a blank).
class TSYLKExport : public TCustomTextExport
{
public:
    TSYLKExport(TExportComponent& component, TExportType type, const QString& fileName);

protected:
    bool HoldsLineBreaks() const override { return false; }
    bool HoldsTabs() const override { return false; }
    void BeginExport(const QStringList& columns) override;
    void WriteItem(const QStringList& cells, int itemNumber) override;
    void EndExport() override;

private:
    void writeCells(const QStringList& cells);
};

} // namespace wl
