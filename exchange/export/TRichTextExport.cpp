#include "exchange/export/TRichTextExport.h"

#include "exchange/export/RTFText.h"
#include "exchange/export/TExportComponent.h"

namespace wl {

namespace {

// The preamble: fonts, colours, styles, page layout and list numbering of the document.
const char* const Preamble[] = {
    R"({\rtf1\ansi\ansicpg1252\uc1\deff0\deflang1033\deflangfe1033{\fonttbl{\f0\froman\fcharset0\fprq2{\*\panose 02020603050405020304}Times New Roman;}{\f1\fswiss\fcharset0\fprq2{\*\panose 020b0604020202020204}Arial;}}{\colortbl;\red0\green0\blue0;)",
    R"(\red0\green0\blue255;\red0\green255\blue255;\red0\green255\blue0;\red255\green0\blue255;\red255\green0\blue0;\red255\green255\blue0;\red255\green255\blue255;\red0\green0\blue128;\red0\green128\blue128;\red0\green128\blue0;\red128\green0\blue128;)",
    R"(\red128\green0\blue0;\red128\green128\blue0;\red128\green128\blue128;\red192\green192\blue192;}{\stylesheet{\nowidctlpar\widctlpar\adjustright\fs20\cgrid\snext0 Normal;}{\s1\keepn\nowidctlpar\widctlpar\outlinelevel0\adjustright\b\f1\fs28\cgrid)",
    R"(\sbasedon0\snext0 heading 1;}{\*\cs10\additive Default Paragraph Font;}}{\info{\nofcharsws0}{\vern71}}\widowctrl\ftnbj\aenddoc\hyphcaps0\formshade\viewkind4\viewscale109\viewzk2\pgbrdrhead\pgbrdrfoot\fet0\sectd\linex0\endnhere\sectdefaultcl )",
};

const char* const Numbering[] = {
    R"({\*\pnseclvl1\pnucrm\pnstart1\pnindent720\pnhang)",
    R"({\pntxta .}}{\*\pnseclvl2\pnucltr\pnstart1\pnindent720\pnhang{\pntxta .}}{\*\pnseclvl3\pndec\pnstart1\pnindent720\pnhang{\pntxta .}}{\*\pnseclvl4\pnlcltr\pnstart1\pnindent720\pnhang{\pntxta )}}{\*\pnseclvl5\pndec\pnstart1\pnindent720\pnhang{\pntxtb (})",
    R"({\pntxta )}}{\*\pnseclvl6\pnlcltr\pnstart1\pnindent720\pnhang{\pntxtb (}{\pntxta )}}{\*\pnseclvl7\pnlcrm\pnstart1\pnindent720\pnhang{\pntxtb (}{\pntxta )}}{\*\pnseclvl8\pnlcltr\pnstart1\pnindent720\pnhang{\pntxtb (}{\pntxta )}}{\*\pnseclvl9)",
    R"(\pnlcrm\pnstart1\pnindent720\pnhang{\pntxtb (}{\pntxta )}}\pard)",
};

// The next row between two items.
const QString NextRow = QStringLiteral(
    R"(}\pard\nowidctlpar\widctlpar\intbl\adjustright{\f1\fs16\row}\pard\nowidctlpar\widctlpar\intbl\adjustright{\f1\fs16)");

// A row definition is one line per column: OPEN + CELL for the first, MIDDLE between,
// CELL + CLOSE for the last, OPEN + CELL + CLOSE for a single column. "%1" is the right edge.
struct RowStrings
{
    const char* open;
    const char* cell;
    const char* middle;
    const char* close;
};

const RowStrings CaptionRow = {
    R"(}\trowd\trgaph108\trleft-108\trbrdrt\brdrs\brdrw30\brdrcf1\trbrdrb\brdrs\brdrw30\brdrcf1\clvertalt\clbrdrt)",
    R"(\brdrs\brdrw30\brdrcf1\clbrdrb\brdrs\brdrw15\brdrcf1\cltxlrtb\cellx%1\clvertalt\clbrdrt)",
    R"(\brdrs\brdrw30\brdrcf1\clbrdrb\brdrs\brdrw15\brdrcf1\cltxlrtb\cellx%1\clvertalt\clbrdrt)",
    R"(\pard\nowidctlpar\widctlpar\intbl\adjustright{\b\f1\fs16)"};

const RowStrings FirstRow = {
    R"(}\pard\nowidctlpar\widctlpar\intbl\adjustright {\i\f1\fs16\row}\trowd\trgaph108\trleft-108\trbrdrt\brdrs\brdrw30\brdrcf1\trbrdrb\brdrs\brdrw30\brdrcf1)",
    R"(\clvertalt\cltxlrtb\cellx%1)", R"(\clvertalt\cltxlrtb\cellx%1)",
    R"(\pard\nowidctlpar\widctlpar\intbl\adjustright {\f1\fs16)"};

const RowStrings LastRow = {
    R"(}\pard\nowidctlpar\widctlpar\intbl\adjustright{\f1\fs16\row}\trowd\trgaph108\trleft-108\trbrdrt\brdrs\brdrw30\brdrcf1\trbrdrb\brdrs\brdrw30\brdrcf1\clvertalt\clbrdrb)",
    R"(\brdrs\brdrw30\brdrcf1\cltxlrtb\cellx%1)",
    R"(\brdrs\brdrw30\brdrcf1\cltxlrtb\cellx%1\clvertalt\clbrdrb)",
    R"(\pard\nowidctlpar\widctlpar\intbl\adjustright{\f1\fs16)"};

} // namespace

// Columns get four more characters of room than the plain formats (caption length + 5).
TRichTextExport::TRichTextExport(TExportComponent& component, TExportType type,
                                 const QString& fileName)
    : TCustomTextExport(component, type, fileName)
{
    component.SetWidthPadding(5);
}

void TRichTextExport::BeginExport(const QStringList& columns)
{
    TCustomTextExport::BeginExport(columns);
    for (const char* line : Preamble)
        writeLine(QString::fromLatin1(line));
    const TRTF_Options& margins = Component().Word_RTF_Options;
    writeLine(QStringLiteral("\\margl%1\\margr%2\\margt%3\\margb%4")
                  .arg(margins.LeftMargin)
                  .arg(margins.RightMargin)
                  .arg(margins.TopMargin)
                  .arg(margins.BottomMargin));
    for (const char* line : Numbering)
        writeLine(QString::fromLatin1(line));
    const QString title = Component().Title();
    if (!title.trimmed().isEmpty()) {
        writeLine(QStringLiteral("\\plain\\s1\\keepn\\nowidctlpar\\widctlpar\\outlinelevel0"
                                 "\\adjustright\\b\\f1\\fs28\\cgrid {%1}\\fs16\\par\\par")
                      .arg(RTFText::convert(title)));
    }
    writeLine(QStringLiteral("\\pard\\plain\\nowidctlpar\\widctlpar\\adjustright\\fs20\\cgrid "
                             "{\\f1\\fs16"));
    if (HasOption(TimeStamp))
        writeLine(RTFText::convert(TimeStampText()) + QStringLiteral("\\par\\par"));
    const QString header = HeaderText();
    if (!header.trimmed().isEmpty())
        writeLine(RTFText::convert(header) + QStringLiteral("\\par"));
    if (HasOption(ShowColHeaders)) {
        writeRowDefinition(RowKind::Caption);
        writeCells(columns);
    }
}

void TRichTextExport::WriteItem(const QStringList& cells, int itemNumber)
{
    TCustomTextExport::WriteItem(cells, itemNumber);
    if (itemNumber == 1)
        writeRowDefinition(RowKind::First);
    else if (Component().HasMoreItems())
        writeLine(NextRow);
    else
        writeRowDefinition(RowKind::Last);
    writeCells(cells);
    for (qsizetype i = cells.size(); i < ColumnCaptions().size(); ++i)
        writeLine(QStringLiteral("\\cell "));
}

void TRichTextExport::EndExport()
{
    TCustomTextExport::EndExport();
    const QString footer = Component().FormattedFooter().join(QStringLiteral("\r\n"));
    writeLine(QStringLiteral("}\\pard\\nowidctlpar\\widctlpar\\intbl\\adjustright{\\f1\\fs16\\row}"
                             "\\pard\\nowidctlpar\\widctlpar\\adjustright{\\f1\\fs16\\par %1}}")
                  .arg(RTFText::convert(footer)));
}

void TRichTextExport::writeCells(const QStringList& cells)
{
    for (const QString& cell : cells)
        writeLine(RTFText::convert(cell) + QStringLiteral("\\cell "));
}

// The right edge of each cell in twips: 90 per character of the column width plus three, the
// number column six characters wide.
void TRichTextExport::writeRowDefinition(RowKind kind)
{
    const RowStrings& s = kind == RowKind::Caption ? CaptionRow
                          : kind == RowKind::First ? FirstRow
                                                   : LastRow;
    const int columns = int(ColumnCaptions().size());
    int edge = 0;
    for (int i = 0; i < columns; ++i) {
        const int width = (i == 0 && HasOption(NumberRows)) ? 6 : ColumnWidth(i) + 3;
        edge += 90 * width;
        QString line;
        if (columns == 1)
            line = QString::fromLatin1(s.open) + QString::fromLatin1(s.cell) +
                   QString::fromLatin1(s.close);
        else if (i == 0)
            line = QString::fromLatin1(s.open) + QString::fromLatin1(s.cell);
        else if (i == columns - 1)
            line = QString::fromLatin1(s.cell) + QString::fromLatin1(s.close);
        else
            line = QString::fromLatin1(s.middle);
        writeLine(line.arg(edge));
    }
}

} // namespace wl
