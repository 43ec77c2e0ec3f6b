#include "cli/RecordExport.h"

#include "cli/RecordRowReader.h"
#include "exchange/export/ExportError.h"
#include "exchange/export/ExportMessages.h"

namespace wl::cli {

RecordExport::RecordExport(std::unique_ptr<ExportHost> host, QStringList captions,
                           store::Table& table, int count)
    : TExportComponent(std::move(host)), captions_(std::move(captions)), table_(table),
      count_(count)
{
}

RecordExport::~RecordExport() = default;

QString RecordExport::GetColumnCaption(int col) const
{
    return col >= 0 && col < captions_.size() ? captions_[col] : QString();
}

void RecordExport::GetColumns(QStringList& list)
{
    list = captions_;
}

// Every pass of a writer (one started again in another encoding makes a second) reads the
// records from the first again.
void RecordExport::ResetItems()
{
    TExportComponent::ResetItems();
    reader_.reset();
    readError_.clear();
    reader_ = std::make_unique<RecordRowReader>(table_);
}

// The table holds fewer records than were counted only when reading it failed: the export
// stops rather than write empty rows for the missing ones.
void RecordExport::FillItem(QStringList& cells)
{
    if (!reader_ || !reader_->next(cells)) {
        readError_ = reader_ ? reader_->error() : QString();
        if (readError_.isEmpty())
            readError_ = QStringLiteral("the table holds fewer records than it counted");
        throw ExportError(readError_);
    }
}

void RecordExport::FreeColumnObjects()
{
    reader_.reset();
}

bool RecordExport::CanExport()
{
    if (count_ <= 0) {
        Host().message(ExportMessageKind::Warning, ExportMessages::NoData());
        return false;
    }
    return true;
}

} // namespace wl::cli
