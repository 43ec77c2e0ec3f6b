#include "exchange/export/TClipboardExport.h"

#include "exchange/export/ClipboardText.h"
#include "exchange/export/ExportMessages.h"

namespace wl {

TClipboardExport::TClipboardExport(TExportComponent& component, TExportType type,
                                   const QString& fileName)
    : TCustomExport(component, type, fileName), layout_(*this)
{
}

// As the fixed-width file: no progress window, no longest texts.
void TClipboardExport::BeginExport(const QStringList& columns)
{
    text_ += layout_.heading(columns);
}

void TClipboardExport::WriteItem(const QStringList& cells, int)
{
    text_ += layout_.item(cells);
}

void TClipboardExport::EndExport()
{
    TCustomExport::EndExport();
    text_ += layout_.footer();
}

void TClipboardExport::Complete()
{
    ClipboardText::place(text_);
}

void TClipboardExport::Finish()
{
    TCustomExport::Finish();
    if (Succeeded() && HasOption(ShowClipboardMsg))
        Host().message(ExportMessageKind::Information, ExportMessages::ClipboardDone());
}

} // namespace wl
