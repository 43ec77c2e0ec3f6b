#pragma once

#include "exchange/export/TCustomTextExport.h"

namespace wl {

// Symbolic link format: one cell record per cell, number formats first, column widths last.
class TSYLKExport : public TCustomTextExport
{
public:
    TSYLKExport(TExportComponent& component, TExportType type, const QString& fileName);

protected:
    void BeginExport(const QStringList& columns) override;
    void WriteItem(const QStringList& cells, int itemNumber) override;
    void EndExport() override;
    bool TakesUnicode() const override { return false; }

private:
    void writeCells(const QStringList& cells);
};

} // namespace wl
