#pragma once

#include "exchange/export/ExportFormatOptions.h"
#include "exchange/export/ExportHost.h"
#include "exchange/export/ExportTempFiles.h"
#include "exchange/export/ExportTypes.h"
#include "grid/LocaleInfo.h"

#include <optional>

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

namespace wl {

class TExportComponent;

using TExportNotifyEvent = std::function<void(TExportComponent& sender)>;
using TWriteFooterEvent = std::function<void(TExportComponent& sender, int numItemsExported)>;

// Exports a list of items (rows of cells under column captions) to a file or the clipboard in
// one of the formats of TExportType. It holds the options, asks the user for the format and the
// file, and walks the items for the writer of the format; a descendant says where the items
// come from (GetColumns, GetItemCount, FillItem, CanExport).
class TExportComponent : public QObject
{
    Q_OBJECT
public:
    // The component keeps the host for its lifetime.
    explicit TExportComponent(std::unique_ptr<ExportHost> host, QObject* owner = nullptr);
    ~TExportComponent() override;

    // ---- options ----
    TExportOptions Options() const { return options_; }
    virtual void SetOptions(TExportOptions options) { options_ = options; }
    QString Title() const { return title_; }
    void SetTitle(const QString& title); // control characters are dropped
    QStringList Header() const { return header_; }
    void SetHeader(const QStringList& lines);
    QStringList Footer() const { return footer_; }
    void SetFooter(const QStringList& lines);
    // Caption for column i on line i; missing lines keep the source's caption.
    QStringList Captions() const { return captions_; }
    void SetCaptions(const QStringList& lines);
    // Width in characters of exported data column i on line i; a blank line keeps the default.
    // Throws ExportError for a line that is not a whole number above zero.
    QStringList ColWidths() const { return colWidths_; }
    void SetColWidths(const QStringList& lines);
    QString TruncateSymbol() const { return truncateSymbol_; }
    void SetTruncateSymbol(const QString& symbol); // blanks are trimmed

    QString ExportFile;   // emptied after every export attempt
    bool ViewOnly = true; // view in a temporary file rather than save to ExportFile
    TExportType ExportType = TExportType::xMicrosoft_Excel;
    TExportTypes AllowedTypes = AllExportTypesSet();
    // The program's own clock choice for time stamps ("Created:"); unset follows the system's.
    std::optional<bool> Clock24Hour;
    // The HTML page's <title> (the log and category it shows); unset uses Title().
    QString HTMLPageTitle;
    THTML_Options HTML_Options = htColHeadersBold | htAutoLink | htOddRowColoring;
    THTML_Template HTML_Template = THTML_Template::htSimple;
    // A template of 11 fields replacing HTML_Template; a blank text clears it. Throws
    // ExportError for a text without exactly 10 semicolons.
    QString HTML_CustomTemplate() const { return htmlCustomTemplate_; }
    void SetHTML_CustomTemplate(const QString& text);
    // The custom template when set, else the built-in one chosen.
    QString HTMLTemplateText() const;
    TPrint_Options Print_Options;
    TXL_Options XL_Options;
    TRTF_Options Word_RTF_Options;

    // A format the choice dialog offers after the writers' ones, written by the caller (the
    // log for other programs): its name in the list, the extension and filter of the save
    // dialog, and what writes the file the user chose and tells the user how it went.
    struct TOtherFormat
    {
        QString name;
        QString extension;
        QString filter; // "Title (*.ext)"
        std::function<bool(ExportHost& host, const QString& file)> write;
    };
    QList<TOtherFormat> OtherFormats;

    // ---- events ----
    TExportNotifyEvent OnBeginExport;
    TExportNotifyEvent OnExportFinished;
    TExportNotifyEvent OnExportFailed;
    TExportNotifyEvent OnPrintFailed; // kept for callers; no export prints
    TWriteFooterEvent OnWriteFooter;

    // ---- running ----
    // Asks for the format and view-or-save, then exports; false when cancelled or failed.
    bool ChooseAndExport();
    // Exports ExportType at once.
    bool RunExport();
    // True when the desktop can show an export of the type (always for the clipboard).
    bool CanViewType(TExportType type);
    // The types the choice dialog offers: the allowed ones that have a writer.
    QList<TExportType> OfferedTypes() const;
    TExportType LastExportType() const { return lastExportType_; }
    // After the properties are set: the choice dialog starts at ExportType.
    void Loaded() { lastExportType_ = ExportType; }

    // ---- state the writers read ----
    ExportHost& Host() const { return *host_; }
    ExportTempFiles& TempFiles() { return tempFiles_; }
    const LocaleInfo& Locale() const { return locale_; }
    const QStringList& Columns() const { return columns_; }
    QStringList& ColumnList() { return columns_; }
    const QStringList& FormattedFooter() const { return formattedFooter_; }
    void SetFormattedFooter(const QStringList& lines) { formattedFooter_ = lines; }
    int TotalItems() const { return totalItems_; }
    int ExportedCount() const { return exportedCount_; }
    int ItemCursor() const { return itemCursor_; }
    int WidthPadding() const { return widthPadding_; }
    void SetWidthPadding(int padding) { widthPadding_ = padding; }
    // The width of data column index (the number column not counted): its ColWidths line or
    // DefaultColumnWidth.
    int DataColumnWidth(int index) const;

    // ---- the item walk ----
    // The caption length of data column index plus WidthPadding.
    virtual int DefaultColumnWidth(int index) const;
    virtual void BeginItems() {}
    virtual void FreeColumnObjects() {}
    virtual QString GetColumnCaption(int col) const = 0;
    virtual int GetItemCount() = 0;
    virtual bool IsItemSelected() const { return true; }
    // The captions of the exported columns (without the number column).
    virtual void GetColumns(QStringList& list) { list.clear(); }
    virtual void ResetItems();
    virtual void SkipItem() { ++itemCursor_; }
    // The cells of the next item, with its sequence number first under NumberRows; false when
    // the source has no further item.
    virtual bool GetNextItem(QStringList& cells);
    virtual void FillItem(QStringList& cells) = 0;
    virtual bool HasMoreItems() const { return exportedCount_ < totalItems_; }
    // Checks the source and tells the user what is missing; false stops the export.
    virtual bool CanExport() = 0;

protected:
    // How many items the source holds, skipped ones included.
    virtual int SourceItemCount() const = 0;
    int SelectionCount() const { return selectionCount_; }
    void SetSelectionCount(int count) { selectionCount_ = count; }

private:
    bool exportNow();
    bool exportOther(const TOtherFormat& format);
    void fireFailed();

    std::unique_ptr<ExportHost> host_;
    ExportTempFiles tempFiles_;
    LocaleInfo locale_;
    TExportOptions options_ =
        NumberRows | ShowColHeaders | ShowClipboardMsg | ShowProgress | TimeStamp;
    QString title_;
    QStringList header_;
    QStringList footer_;
    QStringList captions_;
    QStringList colWidths_;
    QString truncateSymbol_ = QStringLiteral("-");
    QString htmlCustomTemplate_;
    TExportType lastExportType_ = TExportType::xMicrosoft_Excel;

    QStringList columns_;
    QStringList formattedFooter_;
    int itemCursor_ = 0;
    int exportedCount_ = 0;
    int totalItems_ = 0;
    int selectionCount_ = 0;
    int widthPadding_ = 1;
};

} // namespace wl
