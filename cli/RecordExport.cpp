#include "cli/RecordExport.h"

#include "exchange/export/ExportMessages.h"

namespace wl::cli {

RecordExport::RecordExport(std::unique_ptr<ExportHost> host, QStringList captions,
                           std::vector<QStringList> rows)
    : TExportComponent(std::move(host)), captions_(std::move(captions)), rows_(std::move(rows))
{
}

QString RecordExport::GetColumnCaption(int col) const
{
    return col >= 0 && col < captions_.size() ? captions_[col] : QString();
}

void RecordExport::GetColumns(QStringList& list)
{
    list = captions_;
}

void RecordExport::FillItem(QStringList& cells)
{
    cells = rows_[size_t(ItemCursor())];
}

bool RecordExport::CanExport()
{
    if (rows_.empty()) {
        Host().message(ExportMessageKind::Warning, ExportMessages::NoData());
        return false;
    }
    return true;
}

} // namespace wl::cli
