#include "exchange/export/ExportCommands.h"

#include "app/AppConstants.h"
#include "app/LongPath.h"
#include "app/RecordCells.h"
#include "app/RecordList.h"
#include "app/TFormMain.h"
#include "exchange/export/ExportHost.h"
#include "exchange/export/ExportMessages.h"
#include "exchange/export/LogFileExport.h"
#include "exchange/export/TExportStringGrid.h"
#include "grid/TSortableGrid.h"
#include "store/FrequencyRecord.h"

#include <QDir>
#include <QTabBar>

namespace wl {

namespace {

// The stored text behind a grid cell, when the cell shows it shortened (cut to the grid's
// longest text, or notes put on one line) and still shows exactly what the record holds: a
// cell the user has changed in the grid and not saved is exported as it stands.
std::optional<QString> wholeText(TFormMain& main, int col, int row, const QString& shown)
{
    const int slot = RecordList::slotOfColumn(*main.SortableGrid1, col);
    if (slot < 0 || slot == RecordCells::CategorySlot || slot == RecordCells::FrequencySlot ||
        slot == RecordCells::DateSlot)
        return std::nullopt;
    const bool mayBeShortened = shown.size() >= RecordCells::LongestText ||
                                (slot == RecordCells::NotesSlot && !shown.trimmed().isEmpty());
    if (!mayBeShortened)
        return std::nullopt;
    const qint64 recNum = main.RecNumOfRow(row);
    QVariant stored;
    if (recNum <= 0 || !main.table().readField(recNum, RecordCells::fieldName(slot), stored) ||
        stored.typeId() != QMetaType::QString)
        return std::nullopt;
    const RecordCells cells(LocaleInfo::current(), 0);
    if (cells.text(slot, stored) != shown)
        return std::nullopt;
    return stored.toString();
}

// The log for other programs: the records of the grid's rows, in the grid's order, read whole
// from the table.
bool writeLog(TFormMain& main, LogFormat format, ExportHost& host, const QString& file)
{
    std::vector<qint64> recNums;
    for (int row = 1; row < main.SortableGrid1->RowCount(); ++row) {
        if (const qint64 recNum = main.RecNumOfRow(row); recNum > 0)
            recNums.push_back(recNum);
    }
    if (recNums.empty()) {
        host.message(ExportMessageKind::Warning, ExportMessages::NoData());
        return false;
    }
    std::vector<LoggedRecord> records;
    if (const store::Status st = LoggedRecords::read(main.table(), recNums, records); !st) {
        host.message(ExportMessageKind::Error,
                     QStringLiteral("The records could not be read: %1").arg(st.error));
        return false;
    }
    const LogExportResult result = LogFileExport::write(format, records, file);
    host.message(result.error.isEmpty() ? ExportMessageKind::Information : ExportMessageKind::Error,
                 result.message(file));
    return result.error.isEmpty();
}

QList<TExportComponent::TOtherFormat> logFormats(TFormMain& main)
{
    QList<TExportComponent::TOtherFormat> formats;
    for (const LogFormat format : LogFileExport::formats()) {
        formats.push_back({LogFileExport::title(format), LogFileExport::extension(format),
                           LogFileExport::filter(format),
                           [&main, format](ExportHost& host, const QString& file) {
                               return writeLog(main, format, host, file);
                           }});
    }
    return formats;
}

} // namespace

// A page names the log and the category it shows, and its time stamp uses the clock chosen in
// the preferences (the date-only choice keeps the 12-hour clock, as the grid does).
void prepareExport(TFormMain& main, TExportComponent& exporter)
{
    const QString log = QDir::toNativeSeparators(ExpandLongPath(main.settings().dataBasePath) +
                                                 QLatin1Char('/') +
                                                 store::FrequencyRecord::TableFile);
    QString title = app::ProductName + QStringLiteral(" - ") + log;
    if (main.Tab1 && main.Tab1->currentIndex() >= 0)
        title += QStringLiteral(" - ") + main.Tab1->tabText(main.Tab1->currentIndex());
    exporter.HTMLPageTitle = title;
    exporter.Clock24Hour = main.settings().dateOption == 1;
}

void installExportCommands(TFormMain& main)
{
    auto* exporter = new TExportStringGrid(&main, main.SortableGrid1);
    exporter->setObjectName(QStringLiteral("ExportStringGrid1"));
    exporter->WholeCellText = [&main](int col, int row, const QString& shown) {
        return wholeText(main, col, row, shown);
    };
    exporter->OtherFormats = logFormats(main);
    main.setCommandHandler(Command::Export, [exporter, &main] {
        prepareExport(main, *exporter);
        exporter->ChooseAndExport();
    });
}

} // namespace wl
