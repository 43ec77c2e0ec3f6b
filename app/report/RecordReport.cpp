#include "app/report/RecordReport.h"

#include "app/TFormMain.h"
#include "app/report/GridReport.h"
#include "app/report/ReportFont.h"
#include "app/report/TPagePreview.h"
#include "app/report/TPagePrinter.h"
#include "app/services/CaptionedMessage.h"
#include "app/services/Registry.h"
#include "app/services/UiServices.h"
#include "grid/LocaleInfo.h"
#include "grid/TSortableGrid.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <QTabBar>

namespace wl {

namespace {

// Stores a font chosen in the preview; the report is built again only when it was stored.
bool chooseAndStoreFont(QWidget* parent, const QString& settingsFile)
{
    Registry registry(settingsFile);
    const std::optional<ReportFont> chosen = ReportFont::read(registry).choose(parent);
    if (!chosen)
        return false;
    if (!chosen->write(registry)) {
        ShowMessage(QStringLiteral("The report font could not be saved."), registry.errorString());
        return false;
    }
    return true;
}

} // namespace

QString RecordReport::title(const TFormMain& main)
{
    const QString range = QString::number(main.settings().lowFrequency) + QStringLiteral(" - ") +
                          QString::number(main.settings().hiFrequency) + QStringLiteral(" MHz");
    const int tab = main.Tab1->currentIndex();
    if (tab > 0)
        return main.Tab1->tabData(tab).toString() + QStringLiteral(" Frequencies  ") + range;
    return QStringLiteral("All Records   ") + range;
}

ReportSource RecordReport::sourceOf(const TFormMain& main)
{
    ReportSource source;
    source.title = title(main);
    const TSortableGrid& grid = *main.SortableGrid1;
    for (int col = 0; col < grid.ColCount(); ++col)
        source.captions << grid.Cells(col, 0);
    // Only rows that stand for a record print: an empty grid keeps one blank row. The rows are
    // read from the grid as pages are drawn; the preview is modal, so the grid stays as it is.
    auto recordRows = std::make_shared<std::vector<int>>();
    for (int row = grid.FixedRows(); row < grid.RowCount(); ++row) {
        if (main.RecNumOfRow(row) > 0)
            recordRows->push_back(row);
    }
    source.fetchCount = int(recordRows->size());
    source.fetch = [&grid, recordRows](int i) {
        const int row = (*recordRows)[size_t(i)];
        QStringList cells;
        cells.reserve(grid.ColCount());
        for (int col = 0; col < grid.ColCount(); ++col)
            cells << grid.Cells(col, row);
        return cells;
    };
    const MainSettings& layout = main.settings();
    source.notesShown = layout.columnShown[ColumnCount - 1];
    source.frequencyCaption = layout.columnNames[1];
    source.modifierCaption = layout.columnNames[2];
    return source;
}

void RecordReport::ForceSimplex(QPrinter& printer)
{
    const QPrinterInfo info(printer);
    if (info.isNull())
        return;
    const QList<QPrinter::DuplexMode> modes = info.supportedDuplexModes();
    if (modes.contains(QPrinter::DuplexLongSide) || modes.contains(QPrinter::DuplexShortSide) ||
        modes.contains(QPrinter::DuplexAuto))
        printer.setDuplex(QPrinter::DuplexNone);
}

void RecordReport::printCommand(TFormMain& main)
{
    if (sourceOf(main).rowCount() == 0) {
        MessageRequest request;
        request.caption = QStringLiteral("Wavelark ");
        request.text = QStringLiteral("No records to print.");
        UiServices::ask(request);
        return;
    }
    PrintIt(main);
}

void RecordReport::PrintIt(TFormMain& main)
{
    const ReportSource source = sourceOf(main);
    const QString settingsFile = main.settingsFile();
    bool again = true;
    while (again) {
        Registry registry(settingsFile);
        const ReportFont font = ReportFont::read(registry);
        QPrinter printer(QPrinter::HighResolution);
        ForceSimplex(printer);
        TPagePrinter pages(printer);
        GridReport::draw(pages, source, font,
                         LocaleInfo::current().formatShortDate(UiServices::clock().now().date()));
        again = TPagePreview::ShowPreview(pages, &main, [&settingsFile](QWidget* parent) {
            return chooseAndStoreFont(parent, settingsFile);
        });
    }
}

} // namespace wl
