#pragma once

#include "exchange/export/TCustomShellViewExport.h"

#include <QSaveFile>

namespace wl {

// A writer of a text file: single-byte text (CodePage1252) with CR LF line ends. The file is
// written under a temporary name beside the target and replaces it only when the export
// completed, so a failed or stopped export leaves an earlier file as it was.
class TCustomTextExport : public TCustomShellViewExport
{
public:
    TCustomTextExport(TExportComponent& component, TExportType type, const QString& fileName);

protected:
    // Writes text as it stands; throws ExportError when the file cannot take it.
    void write(const QString& text);
    void writeLine(const QString& text) { write(text + QStringLiteral("\r\n")); }
    void writeBytes(const QByteArray& bytes);
    void Complete() override;
    void ReportFailure(const QString& error) override;

private:
    QSaveFile file_;
};

} // namespace wl
