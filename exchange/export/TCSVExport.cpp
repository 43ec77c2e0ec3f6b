#include "exchange/export/TCSVExport.h"

#include "exchange/export/ExportText.h"
#include "exchange/export/TExportComponent.h"

namespace wl {

namespace {

QString quoted(const QString& text)
{
    return u'"' + ExportText::EscapeChar(text, u'"', QStringLiteral("\"")) + u'"';
}

} // namespace

TCSVExport::TCSVExport(TExportComponent& component, TExportType type, const QString& fileName)
    : TCustomTextExport(component, type, fileName)
{
    const LocaleInfo& locale = Locale();
    if (!locale.listSeparator.isNull() && locale.listSeparator != u' ')
        separator_ = locale.listSeparator;
    else
        separator_ = locale.decimalSeparator == u',' ? QStringLiteral(";") : QStringLiteral(",");
}

void TCSVExport::BeginExport(const QStringList& columns)
{
    TCustomTextExport::BeginExport(columns);
    if (HasOption(ShowColHeaders))
        writeCells(columns);
}

void TCSVExport::WriteItem(const QStringList& cells, int itemNumber)
{
    TCustomTextExport::WriteItem(cells, itemNumber);
    writeCells(cells);
}

// Numbers go unquoted so spreadsheets read them as numbers, unless the number holds the
// separator (a decimal comma under a comma separator), which would split the cell. Line
// breaks inside a text become blanks: one item stays one line.
void TCSVExport::writeCells(const QStringList& cells)
{
    QStringList fields;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const QString& text = cells[i];
        if (CellKind(int(i), text) == TCellKind::Number && !text.contains(separator_) &&
            !text.contains(u'"'))
            fields << text;
        else
            fields << quoted(ExportText::FlattenBreaks(text));
    }
    writeLine(fields.join(separator_));
}

} // namespace wl
