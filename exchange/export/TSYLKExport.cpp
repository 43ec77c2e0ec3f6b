#include "exchange/export/TSYLKExport.h"

#include "exchange/export/ExportLocaleFormats.h"
#include "exchange/export/ExportText.h"
#include "exchange/export/TExportComponent.h"

#include <algorithm>

namespace wl {

namespace {

// A ";" inside a field ends the field unless doubled.
QString escaped(const QString& text)
{
    return ExportText::EscapeChar(text, u';', QStringLiteral(";"));
}

} // namespace

TSYLKExport::TSYLKExport(TExportComponent& component, TExportType type, const QString& fileName)
    : TCustomTextExport(component, type, fileName)
{
    // Spreadsheets know the format by its ID record; a byte-order mark before it would hide
    // it. The office suites of this system read the file in its UTF-8.
    UseUnicodeWithoutMark();
}

void TSYLKExport::BeginExport(const QStringList& columns)
{
    TCustomTextExport::BeginExport(columns);
    const TExportOptions options = Component().Options();
    writeLine(QStringLiteral("ID;PWXL;N;E"));
    writeLine(QStringLiteral("P;P") + escaped(ExportLocaleFormats::DateFormatText(Locale())));
    writeLine(QStringLiteral("P;P") +
              escaped(ExportLocaleFormats::TimeFormatText(options, Locale())));
    writeLine(QStringLiteral("P;P") +
              escaped(ExportLocaleFormats::DateTimeFormatText(options, Locale())));
    writeLine(QStringLiteral("P;P") + escaped(ExportLocaleFormats::CurrencyFormatText(Locale())));
    if (HasOption(ShowColHeaders))
        writeCells(columns);
}

void TSYLKExport::WriteItem(const QStringList& cells, int itemNumber)
{
    TCustomTextExport::WriteItem(cells, itemNumber);
    writeCells(cells);
}

void TSYLKExport::EndExport()
{
    TCustomTextExport::EndExport();
    const std::vector<int>& widths = MaxWidths();
    for (std::size_t i = 0; i < widths.size(); ++i) {
        const int column = int(i) + 1;
        writeLine(QStringLiteral("F;W%1 %1 %2").arg(column).arg(std::min(widths[i], 255)));
    }
    writeLine(QStringLiteral("E"));
}

void TSYLKExport::writeCells(const QStringList& cells)
{
    const int y = HasOption(ShowColHeaders) ? CurrentItem() + 1 : CurrentItem();
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const int x = int(i) + 1;
        const QString text = ExportText::FlattenBreaks(cells[i]);
        const QString record = QStringLiteral("C;X%1;Y%2;K").arg(x).arg(y);
        if (CellKind(int(i), text) == TCellKind::Number) {
            if (!text.trimmed().isEmpty())
                writeLine(record + ExportText::ToDotDecimal(text.trimmed(), Locale()));
        } else {
            writeLine(record + u'"' + escaped(text) + u'"');
        }
    }
}

} // namespace wl
