#include "exchange/export/TCustomShellViewExport.h"

#include "exchange/export/ExportError.h"
#include "exchange/export/TExportComponent.h"

namespace wl {

namespace {

// Several formats share an extension; the viewer is named after the last of them.
QString viewerNameFor(const QString& extension)
{
    QString name;
    for (TExportType type : AllExportTypes) {
        if (ExportTypeExtension(type) == extension)
            name = ExportTypeName(type);
    }
    return name;
}

} // namespace

TCustomShellViewExport::TCustomShellViewExport(TExportComponent& component, TExportType type,
                                               const QString& fileName)
    : TCustomExport(component, type, fileName)
{
    const QString extension = ExportTypeExtension(type);
    const QString viewer = viewerNameFor(extension);
    viewerError_ = QStringLiteral("Error occured while trying to view data exported to the %1 "
                                  "format.\r\n\r\nIf this problem persists, you may want to "
                                  "consider re-installing the %2 Viewer Application.")
                       .arg(viewer, viewer);
    targetFile_ = ToFile() ? fileName : component.TempFiles().make(extension);
    if (targetFile_.isEmpty())
        throw ExportError(QStringLiteral("No temporary file could be made."));
}

void TCustomShellViewExport::Finish()
{
    TCustomExport::Finish();
    if (!Succeeded() || ToFile())
        return;
    if (!Host().openFile(targetFile_)) {
        Host().message(ExportMessageKind::Error, viewerError_);
        return;
    }
    Host().viewerStarted();
}

} // namespace wl
