#include "exchange/export/ExportMessages.h"

namespace wl {

QString ExportMessages::WriteFailed()
{
    return QStringLiteral(
        "Export failed. Try again with a different file name. Please ensure that there is "
        "enough room on the destination drive and that the target drive is not "
        "write-protected.\r\n\r\nNetwork users: Please ensure that the network drive/folder "
        "you are trying to write to is connected and accessible.");
}

QString ExportMessages::FailureFor(TExportType type)
{
    switch (type) {
    case TExportType::xMicrosoft_Excel:
    case TExportType::xClipboard:
        return ExportFailed();
    default:
        return WriteFailed();
    }
}

QString ExportMessages::NoVisibleData()
{
    return NoData() +
           QStringLiteral("\r\n\r\nPlease ensure your columns are visible and have data.");
}

QString ExportMessages::NoGrid()
{
    return QStringLiteral("You must assign a %1 before attempting to Export/Print.")
        .arg(QStringLiteral("TStringGrid"));
}

QString ExportMessages::InvalidColumnWidth(const QString& line)
{
    return QStringLiteral("ColWidths Property Error\r\n\r\n\"%1\" is an Invalid Column Width. It "
                          "must be a Positive Integer Number greater than Zero.")
        .arg(line);
}

} // namespace wl
