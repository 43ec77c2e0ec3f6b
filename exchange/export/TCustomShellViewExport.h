#pragma once

#include "exchange/export/TCustomExport.h"

namespace wl {

// A writer whose result is a file: the file the user named or, when the export is to be
// viewed, a new temporary file that is opened in the desktop's viewer once the run succeeded.
class TCustomShellViewExport : public TCustomExport
{
public:
    TCustomShellViewExport(TExportComponent& component, TExportType type, const QString& fileName);

    void Finish() override;
    QString TargetFile() const { return targetFile_; }
    QString ViewerErrorText() const { return viewerError_; }

private:
    QString targetFile_;
    QString viewerError_;
};

} // namespace wl
