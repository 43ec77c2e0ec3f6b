#include "exchange/export/THTMLExport.h"

#include "exchange/export/ExportText.h"

#include "exchange/export/HTMLTemplate.h"
#include "exchange/export/HTMLText.h"
#include "exchange/export/TExportComponent.h"

namespace wl {

THTMLExport::THTMLExport(TExportComponent& component, TExportType type, const QString& fileName)
    : TCustomTextExport(component, type, fileName), template_(component.HTMLTemplateText())
{
}

QString THTMLExport::field(int n) const
{
    return HTMLTemplate::field(template_, n);
}

bool THTMLExport::has(THTML_Option option) const
{
    return Component().HTML_Options.testFlag(option);
}

QString THTMLExport::text(const QString& raw) const
{
    return HTMLText::text(raw, has(htIgnoreLineBreaks));
}

QString THTMLExport::linked(const QString& raw) const
{
    return has(htAutoLink) ? HTMLText::linked(raw, has(htIgnoreLineBreaks)) : text(raw);
}

QString THTMLExport::rule() const
{
    if (has(htIgnoreLineBreaks))
        return {};
    return has(htHorzRules) ? QStringLiteral("<hr>") : QStringLiteral("<br>");
}

// The page names its character set, which is UTF-8 once a text needs it; the template's
// colours and face are attribute values and escaped as such.
void THTMLExport::BeginExport(const QStringList& columns)
{
    TCustomTextExport::BeginExport(columns);
    const QString title = text(Component().Title());
    const QString charset = Unicode() ? QStringLiteral("utf-8") : QStringLiteral("windows-1252");
    const auto f = [this](int n) { return HTMLText::escape(field(n)); };
    writeLine(QStringLiteral("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                             "charset=%1\"><title>%2</title></head>")
                  .arg(charset, Component().HTMLPageTitle.isEmpty()
                                    ? title
                                    : text(Component().HTMLPageTitle)));
    writeLine(QStringLiteral("<body bgcolor=\"%1\" link=\"%2\" vlink=\"%3\" text=\"%4\" "
                             "alink=\"%5\">")
                  .arg(f(1), f(2), f(3), f(10), f(4)));
    writeLine(QStringLiteral("<font color=\"%1\" face=\"%2\">").arg(f(5), f(6)));
    if (has(htDisplayTitle))
        writeLine(QStringLiteral("<h1>%1</h1>").arg(title));
    if (HasOption(TimeStamp))
        writeLine(HTMLText::escape(TimeStampText()) + QStringLiteral("<br><br>"));
    const QString header = HeaderText();
    if (!header.trimmed().isEmpty())
        writeLine(linked(header) + rule());
    writeLine(QStringLiteral("<table cellspacing=\"0\" cellpadding=\"4\" border=\"%1\" "
                             "bgcolor=\"%2\">")
                  .arg(has(htShowGridLines) ? 1 : 0)
                  .arg(f(9)));
    if (!HasOption(ShowColHeaders))
        return;
    writeLine(QStringLiteral("<tr valign=\"top\" bgcolor=\"%1\">").arg(f(7)));
    const bool bold = has(htColHeadersBold);
    for (const QString& caption : columns) {
        writeLine(QStringLiteral("%1%2<font color=\"%3\">%4</font>%5</td>")
                      .arg(cellStart(caption), bold ? QStringLiteral("<b>") : QString(), f(8),
                           HTMLText::cell(text(caption)),
                           bold ? QStringLiteral("</b>") : QString()));
    }
    writeLine(QStringLiteral("</tr>"));
}

// A spreadsheet opening the file would work out a cell reading "=1+2" as a formula; the text
// number format on the cell makes it keep the text, and browsers ignore the attribute.
QString THTMLExport::cellStart(const QString& raw) const
{
    if (ExportText::LooksLikeFormula(raw) && !ExportText::IsNumberText(raw, Locale()))
        return QStringLiteral("<td sdnum=\"1033;0;@\">");
    return QStringLiteral("<td>");
}

void THTMLExport::WriteItem(const QStringList& cells, int itemNumber)
{
    TCustomTextExport::WriteItem(cells, itemNumber);
    if (has(htOddRowColoring)) {
        const QString colour = HTMLText::escape(field(itemNumber % 2 == 1 ? 11 : 9));
        writeLine(QStringLiteral("<tr valign=\"top\" bgcolor=\"%1\">").arg(colour));
    } else {
        writeLine(QStringLiteral("<tr valign=\"top\">"));
    }
    for (const QString& cell : cells)
        writeLine(cellStart(cell) + HTMLText::cell(linked(cell)) + QStringLiteral("</td>"));
    writeLine(QStringLiteral("</tr>"));
}

// The file ends without a line end after the closing tags.
void THTMLExport::EndExport()
{
    TCustomTextExport::EndExport();
    write(QStringLiteral("</table>"));
    const QString footer = Component().FormattedFooter().join(QStringLiteral("\r\n"));
    if (!footer.trimmed().isEmpty())
        writeLine(rule() + linked(footer));
    write(QStringLiteral("</font></body></html>"));
}

} // namespace wl
