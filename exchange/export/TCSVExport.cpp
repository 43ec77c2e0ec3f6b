#include "exchange/export/TCSVExport.h"

#include "exchange/export/ExportText.h"
#include "exchange/export/TExportComponent.h"

#include <algorithm>

namespace wl {

namespace {

// Control characters a quoted field does not keep; most cells hold none, and need no cleaned
// copy.
bool hasDroppedControls(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        return c.unicode() < 32 && c != u'\t' && c != u'\r' && c != u'\n';
    });
}

} // namespace

TCSVExport::TCSVExport(TExportComponent& component, TExportType type, const QString& fileName)
    : TCustomTextExport(component, type, fileName)
{
    const LocaleInfo& locale = Locale();
    if (!locale.listSeparator.isNull() && locale.listSeparator != u' ')
        separator_ = locale.listSeparator;
    else
        separator_ = locale.decimalSeparator == u',' ? QStringLiteral(";") : QStringLiteral(",");
}

void TCSVExport::BeginExport(const QStringList& columns)
{
    TCustomTextExport::BeginExport(columns);
    if (HasOption(ShowColHeaders))
        writeCells(columns);
}

void TCSVExport::WriteItem(const QStringList& cells, int itemNumber)
{
    TCustomTextExport::WriteItem(cells, itemNumber);
    writeCells(cells);
}

// Numbers go unquoted so spreadsheets read them as numbers, unless the number holds the
// separator (a decimal comma under a comma separator), which would split the cell. Texts are
// quoted and keep their line breaks and tabs, which readers of quoted fields take as part of the
// cell; a text that looks like a formula gets the apostrophe that makes it open as text.
// The line is put together in one reused string: this runs for every row of a large export.
void TCSVExport::writeCells(const QStringList& cells)
{
    line_.resize(0);
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            line_ += separator_;
        const QString& text = cells[i];
        const TCellKind kind = CellKind(int(i), text);
        if (kind == TCellKind::Number && !text.contains(separator_) && !text.contains(u'"'))
            line_ += text;
        else if (kind == TCellKind::ColumnHeader)
            appendQuoted(ExportText::FlattenBreaks(text));
        else if (hasDroppedControls(text))
            appendQuoted(ExportText::KeepBreaks(text));
        else
            appendQuoted(text);
    }
    line_ += QLatin1String("\r\n");
    write(line_);
}

// The field in double quotes, each quote in it doubled, behind the formula guard when it needs
// one.
void TCSVExport::appendQuoted(QStringView text)
{
    line_ += u'"';
    if (ExportText::LooksLikeFormula(text))
        line_ += u'\'';
    for (qsizetype from = 0;;) {
        const qsizetype quote = text.indexOf(u'"', from);
        if (quote < 0) {
            line_ += text.sliced(from);
            break;
        }
        line_ += text.sliced(from, quote + 1 - from);
        line_ += u'"';
        from = quote + 1;
    }
    line_ += u'"';
}

} // namespace wl
