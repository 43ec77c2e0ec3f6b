#include "exchange/export/DetailedLayout.h"

#include "exchange/export/ExportText.h"
#include "exchange/export/TCustomExport.h"
#include "exchange/export/TExportComponent.h"

namespace wl {

namespace {

const QString CrLf = QStringLiteral("\r\n");

} // namespace

QString DetailedLayout::heading() const
{
    QString text;
    const QString title = writer_.Component().Title();
    if (!title.trimmed().isEmpty())
        text += title + CrLf + ExportText::DashLine(int(title.size())) + CrLf + CrLf;
    if (writer_.HasOption(TimeStamp))
        text += writer_.TimeStampText() + CrLf + CrLf;
    const QString header = writer_.HeaderText();
    if (!header.trimmed().isEmpty())
        text += header + CrLf + CrLf;
    return text;
}

QString DetailedLayout::item(const QStringList& cells) const
{
    const QStringList& captions = writer_.ColumnCaptions();
    const int labelWidth = writer_.MaxCaptionLength();
    QString text;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const QString caption = i < captions.size() ? captions[i] : QString();
        if (writer_.HasOption(ShowColHeaders) && !caption.trimmed().isEmpty())
            text += writer_.FitToWidth(caption, labelWidth, false) + QStringLiteral(": ");
        text += ExportText::FlattenBreaks(cells[i]) + CrLf;
    }
    return text + CrLf;
}

} // namespace wl
