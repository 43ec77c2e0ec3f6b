#include "exchange/export/TTabExport.h"

#include "exchange/export/ExportText.h"

namespace wl {

TTabExport::TTabExport(TExportComponent& component, TExportType type, const QString& fileName)
    : TCustomTextExport(component, type, fileName)
{
}

// The caption line ends with a TAB, as readers of the earlier files expect. A TAB or line
// break inside a caption or cell becomes a blank so it cannot split the cell or the line; a text
// that looks like a formula gets the apostrophe that makes it open as text.
void TTabExport::BeginExport(const QStringList& columns)
{
    TCustomTextExport::BeginExport(columns);
    if (!HasOption(ShowColHeaders))
        return;
    QString line;
    for (const QString& caption : columns)
        line += ExportText::FlattenBreaks(caption) + u'\t';
    writeLine(line);
}

void TTabExport::WriteItem(const QStringList& cells, int itemNumber)
{
    TCustomTextExport::WriteItem(cells, itemNumber);
    QStringList fields;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const QString& text = cells[i];
        if (CellKind(int(i), text) == TCellKind::Number)
            fields << text;
        else
            fields << ExportText::GuardFormula(ExportText::FlattenBreaks(text));
    }
    writeLine(fields.join(u'\t'));
}

} // namespace wl
