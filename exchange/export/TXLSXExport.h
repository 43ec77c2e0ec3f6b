#pragma once

#include "exchange/export/TCustomShellViewExport.h"

#include <memory>

namespace wl {

// A workbook in the current spreadsheet format: the captions as a bold header row, one row per
// item below it, numbers as numbers and every other cell as text (so "007" keeps its zeros),
// the footer lines after an empty row, the title and time stamp in the document properties.
// Rows are streamed to the file as they come, so a million items take little memory. The
// workbook is written under a temporary name beside the target and renamed when complete.
class TXLSXExport : public TCustomShellViewExport
{
public:
    // The last row a sheet takes, counted from 0.
    static constexpr int LastRow = 1048575;

    TXLSXExport(TExportComponent& component, TExportType type, const QString& fileName);
    ~TXLSXExport() override;

protected:
    void BeginExport(const QStringList& columns) override;
    void WriteItem(const QStringList& cells, int itemNumber) override;
    void EndExport() override;
    void Complete() override;

private:
    struct Book;
    void writeRow(int row, const QStringList& cells, bool header);

    std::unique_ptr<Book> book_;
    QString partFile_;
    int firstItemRow_ = 0;
};

} // namespace wl
