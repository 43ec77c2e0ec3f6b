#include "exchange/export/TCustomTextExport.h"

#include "exchange/export/ExportError.h"
#include "exchange/export/ExportMessages.h"
#include "grid/CodePage1252.h"

namespace wl {

TCustomTextExport::TCustomTextExport(TExportComponent& component, TExportType type,
                                     const QString& fileName)
    : TCustomShellViewExport(component, type, fileName), file_(TargetFile())
{
    if (!file_.open(QIODevice::WriteOnly))
        throw ExportError(file_.errorString());
}

void TCustomTextExport::write(const QString& text)
{
    writeBytes(CodePage1252::encode(text));
}

void TCustomTextExport::writeBytes(const QByteArray& bytes)
{
    if (file_.write(bytes) != bytes.size())
        throw ExportError(file_.errorString());
}

void TCustomTextExport::Complete()
{
    if (!file_.commit())
        throw ExportError(file_.errorString());
}

void TCustomTextExport::ReportFailure(const QString&)
{
    Host().message(ExportMessageKind::Error, ExportMessages::WriteFailed());
}

} // namespace wl
