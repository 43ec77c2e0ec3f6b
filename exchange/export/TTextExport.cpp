#include "exchange/export/TTextExport.h"

namespace wl {

TTextExport::TTextExport(TExportComponent& component, TExportType type, const QString& fileName)
    : TCustomTextExport(component, type, fileName), layout_(*this)
{
}

// The fixed-width layout needs neither the progress window nor the longest texts, so the
// shared parts of BeginExport and WriteItem are left out.
void TTextExport::BeginExport(const QStringList& columns)
{
    write(layout_.heading(columns));
}

void TTextExport::WriteItem(const QStringList& cells, int)
{
    write(layout_.item(cells));
}

void TTextExport::EndExport()
{
    TCustomTextExport::EndExport();
    write(layout_.footer());
}

} // namespace wl
