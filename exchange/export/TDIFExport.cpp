#include "exchange/export/TDIFExport.h"

#include "exchange/export/ExportError.h"
#include "exchange/export/ExportText.h"
#include "exchange/export/TExportComponent.h"

#include <QDir>

namespace wl {

namespace {

QString quoted(const QString& text)
{
    return u'"' + ExportText::EscapeChar(text, u'"', QStringLiteral("\"")) + u'"';
}

} // namespace

TDIFExport::TDIFExport(TExportComponent& component, TExportType type, const QString& fileName)
    : TCustomTextExport(component, type, fileName),
      body_(QDir::tempPath() + QStringLiteral("/expXXXXXX.z93"))
{
}

void TDIFExport::BeginExport(const QStringList& columns)
{
    TCustomTextExport::BeginExport(columns);
    if (!body_.isOpen() && !body_.open())
        throw ExportError(body_.errorString());
    if (HasOption(ShowColHeaders))
        writeTuple(columns);
}

void TDIFExport::WriteItem(const QStringList& cells, int itemNumber)
{
    TCustomTextExport::WriteItem(cells, itemNumber);
    writeTuple(cells);
}

// The header goes first, with the number of tuples only now known; the tuples follow from the
// temporary file, which is removed with the writer.
void TDIFExport::EndExport()
{
    TCustomTextExport::EndExport();
    body(QStringLiteral("-1,0"));
    body(QStringLiteral("EOD"));
    writeLine(QStringLiteral("TABLE"));
    writeLine(QStringLiteral("0,1"));
    writeLine(quoted(Component().Title()));
    writeLine(QStringLiteral("VECTORS"));
    writeLine(QStringLiteral("0,%1").arg(Component().Columns().size()));
    writeLine(QStringLiteral("\"\""));
    writeLine(QStringLiteral("TUPLES"));
    writeLine(QStringLiteral("0,%1").arg(tuples_));
    writeLine(QStringLiteral("\"\""));
    writeLine(QStringLiteral("DATA"));
    writeLine(QStringLiteral("0,0"));
    writeLine(QStringLiteral("\"\""));
    if (!body_.seek(0))
        throw ExportError(body_.errorString());
    while (!body_.atEnd()) {
        const QByteArray chunk = body_.read(1 << 16);
        if (chunk.isEmpty())
            throw ExportError(body_.errorString());
        writeBytes(chunk);
    }
}

void TDIFExport::writeTuple(const QStringList& cells)
{
    body(QStringLiteral("-1,0"));
    body(QStringLiteral("BOT"));
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const QString text = ExportText::FlattenBreaks(cells[i]);
        // Readers take DIF numbers with a decimal point whatever their own locale.
        if (CellKind(int(i), text) == TCellKind::Number) {
            body(QStringLiteral("0,") + ExportText::ToDotDecimal(text.trimmed(), Locale()));
            body(QStringLiteral("V"));
        } else {
            body(QStringLiteral("1,0"));
            body(quoted(text));
        }
    }
    ++tuples_;
}

void TDIFExport::body(const QString& line)
{
    const QByteArray bytes = encode(line + QStringLiteral("\r\n"));
    if (body_.write(bytes) != bytes.size())
        throw ExportError(body_.errorString());
}

} // namespace wl
