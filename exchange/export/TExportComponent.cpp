#include "exchange/export/TExportComponent.h"

#include "exchange/export/ExportError.h"
#include "exchange/export/ExportMessages.h"
#include "exchange/export/ExportText.h"
#include "exchange/export/ExportWriters.h"
#include "exchange/export/HTMLTemplate.h"
#include "exchange/export/TCustomExport.h"

namespace wl {

namespace {

// Trailing lines that are blank after trimming are dropped.
QStringList withoutTrailingBlanks(QStringList lines)
{
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

TExportComponent::TExportComponent(std::unique_ptr<ExportHost> host, QObject* owner)
    : QObject(owner), host_(std::move(host)), locale_(LocaleInfo::current())
{
    lastExportType_ = ExportType;
}

TExportComponent::~TExportComponent() = default;

void TExportComponent::SetTitle(const QString& title)
{
    title_ = ExportText::StripControlChars(title);
}

void TExportComponent::SetHeader(const QStringList& lines)
{
    header_ = withoutTrailingBlanks(lines);
}

void TExportComponent::SetFooter(const QStringList& lines)
{
    footer_ = withoutTrailingBlanks(lines);
}

void TExportComponent::SetCaptions(const QStringList& lines)
{
    captions_ = withoutTrailingBlanks(lines);
}

void TExportComponent::SetColWidths(const QStringList& lines)
{
    QStringList widths;
    for (const QString& line : withoutTrailingBlanks(lines)) {
        const QString trimmed = line.trimmed();
        bool ok = true;
        if (!trimmed.isEmpty() && (trimmed.toInt(&ok) <= 0 || !ok))
            throw ExportError(ExportMessages::InvalidColumnWidth(trimmed));
        widths << trimmed;
    }
    colWidths_ = widths;
}

void TExportComponent::SetTruncateSymbol(const QString& symbol)
{
    truncateSymbol_ = symbol.trimmed();
}

void TExportComponent::SetHTML_CustomTemplate(const QString& text)
{
    HTMLTemplate::check(text);
    htmlCustomTemplate_ = text.trimmed().isEmpty() ? QString() : text;
}

QString TExportComponent::HTMLTemplateText() const
{
    return htmlCustomTemplate_.isEmpty() ? HTMLTemplate::builtIn(HTML_Template)
                                         : htmlCustomTemplate_;
}

int TExportComponent::DataColumnWidth(int index) const
{
    if (index >= 0 && index < colWidths_.size() && !colWidths_[index].isEmpty())
        return colWidths_[index].toInt();
    return DefaultColumnWidth(index);
}

int TExportComponent::DefaultColumnWidth(int index) const
{
    const int at = options_.testFlag(NumberRows) ? index + 1 : index;
    const int captionLength = at >= 0 && at < columns_.size() ? int(columns_[at].size()) : 0;
    return captionLength + widthPadding_;
}

void TExportComponent::ResetItems()
{
    itemCursor_ = 0;
    exportedCount_ = 0;
}

bool TExportComponent::GetNextItem(QStringList& cells)
{
    const int available = SourceItemCount();
    if (!(selectionCount_ == 0 && options_.testFlag(ExportAllWhenNoneSelected))) {
        while (options_.testFlag(SelectedRowsOnly) && itemCursor_ < available && !IsItemSelected())
            SkipItem();
    }
    if (itemCursor_ >= available)
        return false;
    cells.clear();
    FillItem(cells);
    ++exportedCount_;
    ++itemCursor_;
    if (options_.testFlag(NumberRows))
        cells.prepend(QString::number(exportedCount_));
    return true;
}

QList<TExportType> TExportComponent::OfferedTypes() const
{
    QList<TExportType> types;
    for (TExportType type : AllExportTypes) {
        if (AllowedTypes.contains(type) && ExportWriters::has(type))
            types << type;
    }
    return types;
}

bool TExportComponent::CanViewType(TExportType type)
{
    if (ExportTypeExtension(type).isEmpty())
        return true;
    return host_->canView(type);
}

bool TExportComponent::ChooseAndExport()
{
    if (!CanExport()) {
        fireFailed();
        return false;
    }
    ExportChoice choice;
    choice.type = lastExportType_;
    choice.itemCount = GetItemCount();
    for (TExportType type : OfferedTypes())
        choice.typeNames << ExportTypeName(type);
    for (const TOtherFormat& other : OtherFormats)
        choice.typeNames << other.name;
    if (!host_->choose(choice)) {
        fireFailed();
        return false;
    }
    for (const TOtherFormat& other : OtherFormats) {
        if (other.name == choice.typeName)
            return exportOther(other);
    }
    ViewOnly = choice.view;
    ExportFile.clear();
    lastExportType_ = choice.type;
    ExportType = choice.type;
    return RunExport();
}

bool TExportComponent::RunExport()
{
    locale_ = LocaleInfo::current();
    if (Clock24Hour)
        locale_.time24Hour = *Clock24Hour;
    const bool result = CanExport() && exportNow();
    ExportFile.clear();
    if (!result)
        fireFailed();
    return result;
}

bool TExportComponent::exportNow()
{
    host_->processEvents();
    bool view = ExportType == TExportType::xClipboard;
    if (!view) {
        if (CanViewType(ExportType))
            view = ViewOnly;
        else
            ExportFile.clear();
    }
    if (!view && ExportFile.trimmed().isEmpty()) {
        const QString name = ExportTypeName(ExportType);
        const QString extension = ExportTypeExtension(ExportType);
        const QString chosen = host_->saveFileName(
            QStringLiteral("Export to %1 File").arg(name), extension,
            QStringLiteral("%1 files (*.%2)|*.%2|All Files (*.*)|*.*").arg(name, extension));
        if (chosen.isEmpty())
            return false;
        ExportFile = chosen;
    }
    const QString fileName = view ? QString() : ExportFile;
    totalItems_ = GetItemCount();

    std::unique_ptr<TCustomExport> writer;
    try {
        writer = ExportWriters::create(*this, ExportType, fileName);
    } catch (const ExportError&) {
        host_->message(ExportMessageKind::Error, ExportMessages::FailureFor(ExportType));
        return false;
    }
    if (!writer) {
        host_->message(ExportMessageKind::Error, ExportMessages::ExportFailed());
        return false;
    }
    if (OnBeginExport)
        OnBeginExport(*this);
    const bool ok = writer->Run();
    writer->Finish();
    writer.reset();
    if (ok && OnExportFinished)
        OnExportFinished(*this);
    return ok;
}

bool TExportComponent::exportOther(const TOtherFormat& format)
{
    const QString file = host_->saveFileName(
        QStringLiteral("Export to %1 File").arg(format.name), format.extension,
        QStringLiteral("%1|*.%2|All Files (*.*)|*.*").arg(format.filter, format.extension));
    const bool ok = !file.isEmpty() && format.write && format.write(*host_, file);
    if (!ok)
        fireFailed();
    else if (OnExportFinished)
        OnExportFinished(*this);
    return ok;
}

void TExportComponent::fireFailed()
{
    if (OnExportFailed)
        OnExportFailed(*this);
}

} // namespace wl
