#include "exchange/export/TDetailedClipboardExport.h"

#include "exchange/export/ClipboardText.h"
#include "exchange/export/ExportMessages.h"

namespace wl {

TDetailedClipboardExport::TDetailedClipboardExport(TExportComponent& component, TExportType type,
                                                   const QString& fileName)
    : TCustomExport(component, type, fileName), layout_(*this)
{
}

void TDetailedClipboardExport::BeginExport(const QStringList& columns)
{
    TCustomExport::BeginExport(columns);
    text_ += layout_.heading();
}

void TDetailedClipboardExport::WriteItem(const QStringList& cells, int itemNumber)
{
    TCustomExport::WriteItem(cells, itemNumber);
    text_ += layout_.item(cells);
}

void TDetailedClipboardExport::EndExport()
{
    TCustomExport::EndExport();
    const QString footer = FooterText();
    if (footer.trimmed().isEmpty())
        return;
    if (DataColumnCount() == 1)
        text_ += QStringLiteral("\r\n");
    text_ += footer;
}

void TDetailedClipboardExport::Complete()
{
    ClipboardText::place(text_);
}

void TDetailedClipboardExport::Finish()
{
    TCustomExport::Finish();
    if (Succeeded() && HasOption(ShowClipboardMsg))
        Host().message(ExportMessageKind::Information, ExportMessages::ClipboardDone());
}

} // namespace wl
