#include "exchange/export/FixedWidthLayout.h"

#include "exchange/export/ExportText.h"
#include "exchange/export/TCustomExport.h"
#include "exchange/export/TExportComponent.h"

namespace wl {

namespace {

const QString CrLf = QStringLiteral("\r\n");

} // namespace

QString FixedWidthLayout::heading(const QStringList& captions)
{
    const TExportComponent& component = writer_.Component();
    QString text;
    const QString title = component.Title();
    if (!title.trimmed().isEmpty())
        text += title + CrLf + ExportText::DashLine(int(title.size())) + CrLf + CrLf;
    if (writer_.HasOption(TimeStamp))
        text += writer_.TimeStampText() + CrLf + CrLf;
    const QString header = writer_.HeaderText();
    if (!header.trimmed().isEmpty())
        text += ExportText::TranslateBreaks(header, QStringLiteral("\t"), CrLf) + CrLf;
    if (writer_.HasOption(ShowColHeaders)) {
        const QString line = fittedLine(captions);
        headerLineLength_ = int(line.size());
        text += line + CrLf + ExportText::DashLine(headerLineLength_) + CrLf;
    }
    return text;
}

QString FixedWidthLayout::item(const QStringList& cells) const
{
    return fittedLine(cells) + CrLf;
}

QString FixedWidthLayout::footer() const
{
    const QString footer = writer_.FooterText();
    if (footer.trimmed().isEmpty())
        return {};
    QString text;
    if (writer_.HasOption(ShowColHeaders))
        text += ExportText::DashLine(headerLineLength_) + CrLf + CrLf;
    return text + ExportText::TranslateBreaks(footer, QStringLiteral("\t"), CrLf) + CrLf;
}

QString FixedWidthLayout::fittedLine(const QStringList& cells) const
{
    QStringList fitted;
    for (qsizetype i = 0; i < cells.size(); ++i)
        fitted << writer_.FitToWidth(cells[i], writer_.ColumnWidth(int(i)), true);
    return fitted.join(u' ');
}

} // namespace wl
