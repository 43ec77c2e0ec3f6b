#pragma once

#include "exchange/export/TExportComponent.h"

#include <QStringList>

#include <vector>

namespace wl::cli {

// Exports rows of record cells under the main window's column captions, with the export
// component's usual options, as the main window's export of its grid does.
class RecordExport : public TExportComponent
{
    Q_OBJECT
public:
    RecordExport(std::unique_ptr<ExportHost> host, QStringList captions,
                 std::vector<QStringList> rows);

    QString GetColumnCaption(int col) const override;
    int GetItemCount() override { return int(rows_.size()); }
    void GetColumns(QStringList& list) override;
    void FillItem(QStringList& cells) override;
    bool CanExport() override;

protected:
    int SourceItemCount() const override { return int(rows_.size()); }

private:
    QStringList captions_;
    std::vector<QStringList> rows_;
};

} // namespace wl::cli
