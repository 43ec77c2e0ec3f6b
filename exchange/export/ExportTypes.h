#pragma once

#include <QFlags>
#include <QString>

#include <array>
#include <optional>
#include <set>

namespace wl {

// The formats a grid can be exported to, in the order the choice dialog lists them.
enum class TExportType
{
    xHTML,
    xMicrosoft_Word,
    xMicrosoft_Excel,
    xText,
    xRichText,
    xText_Comma_Delimited,
    xText_Tab_Delimited,
    xDIF,
    xSYLK,
    xClipboard,
    xExcel_Workbook // the spreadsheet without the older format's row and character limits
};

// Every type, in the order the choice dialog lists them; the one list a caller walks to offer
// or drive the formats.
inline constexpr std::array<TExportType, 11> AllExportTypes = {TExportType::xHTML,
                                                               TExportType::xMicrosoft_Word,
                                                               TExportType::xMicrosoft_Excel,
                                                               TExportType::xExcel_Workbook,
                                                               TExportType::xText,
                                                               TExportType::xRichText,
                                                               TExportType::xText_Comma_Delimited,
                                                               TExportType::xText_Tab_Delimited,
                                                               TExportType::xDIF,
                                                               TExportType::xSYLK,
                                                               TExportType::xClipboard};

using TExportTypes = std::set<TExportType>;

// The name shown in the choice dialog and used in messages, e.g. "Comma-Delimited Text (CSV)".
QString ExportTypeName(TExportType type);
// The file extension without the dot; empty for the clipboard.
QString ExportTypeExtension(TExportType type);
std::optional<TExportType> ExportTypeOfName(const QString& name);
TExportTypes AllExportTypesSet();

// How an export walks the items and what the writers add around them.
enum TExportOption : unsigned
{
    DetailedMode = 1u << 0,              // text and clipboard write one cell per line
    ExportAllWhenNoneSelected = 1u << 1, // with SelectedRowsOnly and no selection: everything
    ExportInvisibleCols = 1u << 2,       // also columns of width 0
    NumberRows = 1u << 3,                // a first column "Item" numbering the items
    SelectedRowsOnly = 1u << 4,
    ShowColHeaders = 1u << 5,
    ShowClipboardMsg = 1u << 6,
    ShowProgress = 1u << 7,
    TimeStamp = 1u << 8,
    TimeDisplaySeconds = 1u << 9,
    Time24HourFormat = 1u << 10
};
Q_DECLARE_FLAGS(TExportOptions, TExportOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TExportOptions)

} // namespace wl
