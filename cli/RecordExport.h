#pragma once

#include "exchange/export/TExportComponent.h"

#include <QStringList>

#include <memory>

namespace wl {

namespace store {
class Table;
}

namespace cli {

class RecordRowReader;

// Exports the records visible on a table under the main window's column captions, with the
// export component's usual options, as the main window's export of its grid does. The records
// are read as the export walks them, never all held at once.
class RecordExport : public TExportComponent
{
    Q_OBJECT
public:
    // count is how many records the table shows, counted before.
    RecordExport(std::unique_ptr<ExportHost> host, QStringList captions, store::Table& table,
                 int count);
    ~RecordExport() override;

    QString GetColumnCaption(int col) const override;
    int GetItemCount() override { return count_; }
    void GetColumns(QStringList& list) override;
    void ResetItems() override;
    void FillItem(QStringList& cells) override;
    void FreeColumnObjects() override;
    bool CanExport() override;

    // Why the table could not be read to the end; empty when it could.
    QString ReadError() const { return readError_; }

protected:
    int SourceItemCount() const override { return count_; }

private:
    QStringList captions_;
    store::Table& table_;
    int count_;
    std::unique_ptr<RecordRowReader> reader_;
    QString readError_;
};

} // namespace cli
} // namespace wl
