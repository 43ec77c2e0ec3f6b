#include "exchange/export/TCustomExport.h"

#include "exchange/export/ExportError.h"
#include "exchange/export/ExportLocaleFormats.h"
#include "exchange/export/ExportMessages.h"
#include "exchange/export/ExportText.h"
#include "exchange/export/TExportComponent.h"

#include <algorithm>

namespace wl {

namespace {

QString linesText(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

// Clears the busy state however the run ends.
class BusyScope
{
public:
    BusyScope(ExportHost& host, bool disableOwner) : host_(host), disableOwner_(disableOwner)
    {
        host_.setBusy(true, disableOwner_);
    }
    ~BusyScope() { host_.setBusy(false, disableOwner_); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    ExportHost& host_;
    bool disableOwner_;
};

} // namespace

TCustomExport::TCustomExport(TExportComponent& component, TExportType type, const QString& fileName)
    : component_(component), type_(type), fileName_(fileName),
      toFile_(!fileName.trimmed().isEmpty())
{
    component_.SetWidthPadding(1);
    if (HasOption(ShowProgress)) {
        progress_ = Host().createProgress(QStringLiteral("Exporting..."), QString(),
                                          QStringLiteral("%d Items Exported in %.2f Seconds."),
                                          component_.TotalItems());
    }
}

TCustomExport::~TCustomExport() = default;

ExportHost& TCustomExport::Host() const
{
    return component_.Host();
}

const LocaleInfo& TCustomExport::Locale() const
{
    return component_.Locale();
}

bool TCustomExport::HasOption(TExportOption option) const
{
    return component_.Options().testFlag(option);
}

bool TCustomExport::Run()
{
    Host().processEvents();
    if (!component_.CanExport())
        return false;
    QStringList& columns = component_.ColumnList();
    component_.GetColumns(columns);
    if (HasOption(NumberRows))
        columns.prepend(QStringLiteral("Item"));
    bool ok = false;
    {
        BusyScope busy(Host(), HasOption(ShowProgress));
        component_.BeginItems();
        // A writer may start its file again once in another encoding; the items are then
        // walked again from the first.
        for (int pass = 0; pass < 2; ++pass) {
            try {
                BeginExport(columns);
                component_.ResetItems();
                blankedBreaks_ = blankedTabs_ = 0;
                if (walkItems()) {
                    EndExport();
                    Complete();
                    ok = true;
                }
            } catch (const ExportRestart&) {
                continue;
            } catch (const ExportCancelled&) {
                progress_.reset();
            } catch (const ExportError& error) {
                progress_.reset();
                ReportFailure(error.text());
            }
            break;
        }
        component_.FreeColumnObjects();
    }
    if (!ok)
        hideProgress();
    succeeded_ = ok;
    return ok;
}

bool TCustomExport::walkItems()
{
    QStringList cells;
    while (component_.HasMoreItems()) {
        if (!component_.GetNextItem(cells))
            break; // the source holds fewer items than it counted
        countBlankedCells(cells);
        WriteItem(cells, component_.ExportedCount());
        if (progress_ && !progress_->step(component_.ExportedCount()))
            return false;
    }
    return true;
}

// Counted here rather than in the writers, as some writers leave the shared WriteItem out.
void TCustomExport::countBlankedCells(const QStringList& cells)
{
    const bool breaks = !HoldsLineBreaks();
    const bool tabs = !HoldsTabs();
    if (!breaks && !tabs)
        return;
    for (const QString& cell : cells) {
        if (breaks && (cell.contains(u'\n') || cell.contains(u'\r')))
            ++blankedBreaks_;
        if (tabs && cell.contains(u'\t'))
            ++blankedTabs_;
    }
}

void TCustomExport::Finish()
{
    progress_.reset();
    if (succeeded_ && (blankedBreaks_ > 0 || blankedTabs_ > 0)) {
        Host().message(ExportMessageKind::Warning,
                       ExportMessages::CellsBlanked(blankedBreaks_, blankedTabs_));
    }
}

void TCustomExport::hideProgress()
{
    if (progress_)
        progress_->hideProgress();
}

void TCustomExport::BeginExport(const QStringList& columns)
{
    if (progress_)
        progress_->showProgress();
    columnCaptions_ = columns;
    maxWidths_.clear();
    for (const QString& caption : columns)
        maxWidths_.push_back(int(caption.size()));
}

void TCustomExport::WriteItem(const QStringList& cells, int itemNumber)
{
    currentItem_ = itemNumber;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (std::size_t(i) >= maxWidths_.size())
            maxWidths_.push_back(0);
        maxWidths_[std::size_t(i)] = std::max(maxWidths_[std::size_t(i)], int(cells[i].size()));
    }
}

void TCustomExport::EndExport()
{
    if (component_.OnWriteFooter)
        component_.OnWriteFooter(component_, component_.ExportedCount());
    const QString footer = component_.Footer().join(QStringLiteral("\r\n"));
    if (footer.isEmpty()) {
        component_.SetFormattedFooter({});
        return;
    }
    const QString formatted = ExportText::FormatCount(footer, component_.ExportedCount());
    component_.SetFormattedFooter(formatted.split(QStringLiteral("\r\n")));
}

void TCustomExport::ReportFailure(const QString&)
{
    Host().message(ExportMessageKind::Error, QStringLiteral("Export Failed."));
}

TCustomExport::TCellKind TCustomExport::CellKind(int index, const QString& text) const
{
    if (currentItem_ == 0 && HasOption(ShowColHeaders))
        return TCellKind::ColumnHeader;
    if (index == 0 && HasOption(NumberRows))
        return TCellKind::Number;
    // "007" keeps its zeros only as text.
    if (ExportText::IsNumberText(text, Locale()) && !ExportText::HasLeadingZero(text))
        return TCellKind::Number;
    return TCellKind::Text;
}

int TCustomExport::ColumnWidth(int index) const
{
    if (!HasOption(NumberRows))
        return component_.DataColumnWidth(index);
    if (index == 0)
        return std::max(4, int(QString::number(component_.TotalItems()).size()));
    return component_.DataColumnWidth(index - 1);
}

QString TCustomExport::FitToWidth(const QString& text, int width, bool alignNumbers) const
{
    return ExportText::FitToWidth(text, width, alignNumbers, component_.TruncateSymbol(), Locale());
}

QString TCustomExport::HeaderText() const
{
    return linesText(component_.Header());
}

QString TCustomExport::FooterText() const
{
    return linesText(component_.FormattedFooter());
}

QString TCustomExport::TimeStampText() const
{
    return ExportLocaleFormats::TimeStampText(Host().now(), Locale());
}

int TCustomExport::MaxCaptionLength() const
{
    int longest = 0;
    for (const QString& caption : columnCaptions_)
        longest = std::max(longest, int(caption.size()));
    return longest;
}

int TCustomExport::DataColumnCount() const
{
    const int count = int(component_.Columns().size());
    return HasOption(NumberRows) ? count - 1 : count;
}

} // namespace wl
