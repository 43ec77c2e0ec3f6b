#include "exchange/export/TDetailedTextExport.h"

#include "exchange/export/TExportComponent.h"

namespace wl {

TDetailedTextExport::TDetailedTextExport(TExportComponent& component, TExportType type,
                                         const QString& fileName)
    : TCustomTextExport(component, type, fileName), layout_(*this)
{
}

void TDetailedTextExport::BeginExport(const QStringList& columns)
{
    TCustomTextExport::BeginExport(columns);
    write(layout_.heading());
}

void TDetailedTextExport::WriteItem(const QStringList& cells, int itemNumber)
{
    TCustomTextExport::WriteItem(cells, itemNumber);
    write(layout_.item(cells));
}

void TDetailedTextExport::EndExport()
{
    TCustomTextExport::EndExport();
    const QString footer = FooterText();
    if (!footer.trimmed().isEmpty())
        writeLine(footer);
}

} // namespace wl
