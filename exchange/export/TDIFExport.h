#pragma once

#include "exchange/export/TCustomTextExport.h"

#include <QTemporaryFile>

namespace wl {

// Data Interchange Format: a header telling the number of columns and rows, then one tuple of
// typed values per row. The rows go to a temporary file first, as their count is known only at
// the end.
class TDIFExport : public TCustomTextExport
{
public:
    TDIFExport(TExportComponent& component, TExportType type, const QString& fileName);

protected:
    bool HoldsLineBreaks() const override { return false; }
    bool HoldsTabs() const override { return false; }
    void BeginExport(const QStringList& columns) override;
    void WriteItem(const QStringList& cells, int itemNumber) override;
    void EndExport() override;
    bool TakesUnicode() const override { return false; }

private:
    void writeTuple(const QStringList& cells);
    void body(const QString& line);
    QTemporaryFile body_;
    int tuples_ = 0;
};

} // namespace wl
