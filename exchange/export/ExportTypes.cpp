#include "exchange/export/ExportTypes.h"

namespace wl {

namespace {

struct TypeInfo
{
    const char* name;
    const char* extension;
};

TypeInfo infoOf(TExportType type)
{
    switch (type) {
    case TExportType::xHTML:
        return {"HTML", "htm"};
    case TExportType::xMicrosoft_Word:
        return {"Microsoft Word", "doc"};
    case TExportType::xMicrosoft_Excel:
        return {"Microsoft Excel", "xls"};
    case TExportType::xText:
        return {"Text", "txt"};
    case TExportType::xRichText:
        return {"Rich Text", "rtf"};
    case TExportType::xText_Comma_Delimited:
        return {"Comma-Delimited Text (CSV)", "csv"};
    case TExportType::xText_Tab_Delimited:
        return {"Tab-Delimited Text", "txt"};
    case TExportType::xDIF:
        return {"Data Interchange Format (DIF)", "dif"};
    case TExportType::xSYLK:
        return {"SYLK Format", "slk"};
    case TExportType::xClipboard:
        return {"Clipboard", ""};
    case TExportType::xExcel_Workbook:
        return {"Excel Workbook (xlsx)", "xlsx"};
    }
    return {"", ""};
}

} // namespace

QString ExportTypeName(TExportType type)
{
    return QString::fromLatin1(infoOf(type).name);
}

QString ExportTypeExtension(TExportType type)
{
    return QString::fromLatin1(infoOf(type).extension);
}

std::optional<TExportType> ExportTypeOfName(const QString& name)
{
    for (TExportType type : AllExportTypes) {
        if (ExportTypeName(type) == name)
            return type;
    }
    return std::nullopt;
}

TExportTypes AllExportTypesSet()
{
    return TExportTypes(AllExportTypes.begin(), AllExportTypes.end());
}

} // namespace wl
