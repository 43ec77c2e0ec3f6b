#pragma once

#include "exchange/export/TCustomTextExport.h"

namespace wl {

// Comma-delimited text: text cells in double quotes, numbers as they stand, cells split by the
// locale's list separator.
class TCSVExport : public TCustomTextExport
{
public:
    TCSVExport(TExportComponent& component, TExportType type, const QString& fileName);

protected:
    void BeginExport(const QStringList& columns) override;
    void WriteItem(const QStringList& cells, int itemNumber) override;

private:
    void writeCells(const QStringList& cells);
    void appendQuoted(QStringView text);

    QString separator_;
    QString line_; // the line being put together, kept to reuse its memory
};

} // namespace wl
