#include "exchange/export/ExportWriters.h"

#include "exchange/export/TBIFFExport.h"
#include "exchange/export/TCSVExport.h"
#include "exchange/export/TClipboardExport.h"
#include "exchange/export/TDIFExport.h"
#include "exchange/export/TDetailedClipboardExport.h"
#include "exchange/export/TDetailedTextExport.h"
#include "exchange/export/TExportComponent.h"
#include "exchange/export/THTMLExport.h"
#include "exchange/export/TRichTextExport.h"
#include "exchange/export/TSYLKExport.h"
#include "exchange/export/TTabExport.h"
#include "exchange/export/TTextExport.h"
#include "exchange/export/TXLSXExport.h"

namespace wl {

std::unique_ptr<TCustomExport> ExportWriters::create(TExportComponent& component, TExportType type,
                                                     const QString& fileName)
{
    const bool detailed = component.Options().testFlag(DetailedMode);
    switch (type) {
    case TExportType::xText:
        if (detailed)
            return std::make_unique<TDetailedTextExport>(component, type, fileName);
        return std::make_unique<TTextExport>(component, type, fileName);
    case TExportType::xText_Comma_Delimited:
        return std::make_unique<TCSVExport>(component, type, fileName);
    case TExportType::xText_Tab_Delimited:
        return std::make_unique<TTabExport>(component, type, fileName);
    case TExportType::xDIF:
        return std::make_unique<TDIFExport>(component, type, fileName);
    case TExportType::xSYLK:
        return std::make_unique<TSYLKExport>(component, type, fileName);
    case TExportType::xClipboard:
        if (detailed)
            return std::make_unique<TDetailedClipboardExport>(component, type, fileName);
        return std::make_unique<TClipboardExport>(component, type, fileName);
    case TExportType::xHTML:
        return std::make_unique<THTMLExport>(component, type, fileName);
    case TExportType::xMicrosoft_Word:
    case TExportType::xRichText:
        return std::make_unique<TRichTextExport>(component, type, fileName);
    case TExportType::xMicrosoft_Excel:
        return std::make_unique<TBIFFExport>(component, type, fileName);
    case TExportType::xExcel_Workbook:
        return std::make_unique<TXLSXExport>(component, type, fileName);
    }
    return nullptr;
}

bool ExportWriters::has(TExportType)
{
    return true;
}

} // namespace wl
