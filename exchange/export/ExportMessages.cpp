#include "exchange/export/ExportMessages.h"

#include <QLocale>
#include <QStringList>

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
    case TExportType::xExcel_Workbook:
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

QString ExportMessages::RowLimit(TExportType type, int fit, int total)
{
    const QLocale english(QLocale::English);
    QString text = QStringLiteral("The %1 format holds fewer rows than there are items: only the "
                                  "first %2 of the %3 items will be exported.")
                       .arg(ExportTypeName(type), english.toString(fit), english.toString(total));
    if (type != TExportType::xExcel_Workbook)
        text += QStringLiteral("\r\n\r\nChoose \"%1\" to export every item.")
                    .arg(ExportTypeName(TExportType::xExcel_Workbook));
    return text;
}

QString ExportMessages::CellsChanged(int cut, int lossy)
{
    QStringList parts;
    if (cut > 0)
        parts << QStringLiteral("%1 cell texts were longer than the 255 characters a cell of "
                                "this format holds and were cut.")
                     .arg(cut);
    if (lossy > 0)
        parts << QStringLiteral("%1 cell texts held characters this format cannot store; they "
                                "show \"?\" instead.")
                     .arg(lossy);
    return parts.join(u' ') + QStringLiteral("\r\n\r\nChoose \"%1\" to keep every character.")
                                  .arg(ExportTypeName(TExportType::xExcel_Workbook));
}

QString ExportMessages::CellsBlanked(int breaks, int tabs)
{
    const auto cells = [](int n) {
        return n == 1 ? QStringLiteral("1 cell") : QStringLiteral("%1 cells").arg(n);
    };
    QStringList parts;
    if (breaks > 0)
        parts << QStringLiteral("Line breaks in %1 were written as blanks").arg(cells(breaks));
    if (tabs > 0)
        parts << QStringLiteral("Tabs in %1 were written as blanks").arg(cells(tabs));
    return parts.join(QStringLiteral("; ")) +
           QStringLiteral(": this format cannot hold them.");
}

} // namespace wl
