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
// separator (a decimal comma under a comma separator), which would split the cell. Texts are
// quoted and keep their line breaks and tabs, which readers of quoted fields take as part of the
// cell; a text that looks like a formula gets the apostrophe that makes it open as text.
void TCSVExport::writeCells(const QStringList& cells)
{
    QStringList fields;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const QString& text = cells[i];
        const TCellKind kind = CellKind(int(i), text);
        if (kind == TCellKind::Number && !text.contains(separator_) && !text.contains(u'"'))
            fields << text;
        else if (kind == TCellKind::ColumnHeader)
            fields << quoted(ExportText::GuardFormula(ExportText::FlattenBreaks(text)));
        else
            fields << quoted(ExportText::GuardFormula(ExportText::KeepBreaks(text)));
    }
    writeLine(fields.join(separator_));
}

} // namespace wl
