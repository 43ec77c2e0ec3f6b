#pragma once

#include "exchange/export/ExportTypes.h"

#include <QString>

namespace wl {

// The fixed texts an export shows the user.
class ExportMessages
{
public:
    // A file could not be written.
    static QString WriteFailed();
    // The clipboard or a binary file could not be written.
    static QString ExportFailed() { return QStringLiteral("Export Failed."); }
    // The failure message of the writer of a type.
    static QString FailureFor(TExportType type);
    static QString NoData() { return QStringLiteral("There is no Data to Export."); }
    static QString NoVisibleData();
    static QString NoGrid();
    static QString ClipboardDone() { return QStringLiteral("Successfully Exported to Clipboard"); }
    static QString InvalidColumnWidth(const QString& line);
    // A spreadsheet type holds fewer rows than the export has items: how many go in.
    static QString RowLimit(TExportType type, int fit, int total);
    // Cells of the older spreadsheet format that lost characters.
    static QString CellsChanged(int cut, int lossy);
    // Cells whose line breaks or TABs were written as blanks, as the format cannot hold them.
    static QString CellsBlanked(int breaks, int tabs);
};

} // namespace wl
