#pragma once

#include "exchange/export/ExportHost.h"
#include "exchange/export/ExportTypes.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace wl {

class TExportComponent;
class LocaleInfo;

// The writer of one export in one format. The component creates it, calls Run, then Finish,
// and destroys it. Run hands BeginExport the captions once, WriteItem every item and EndExport
// the end; Complete then makes the result permanent. Any ExportError thrown on the way is
// reported with the writer's failure message and fails the run.
class TCustomExport
{
public:
    enum class TCellKind
    {
        ColumnHeader,
        Number,
        Text
    };

    TCustomExport(TExportComponent& component, TExportType type, const QString& fileName);
    virtual ~TCustomExport();
    TCustomExport(const TCustomExport&) = delete;
    TCustomExport& operator=(const TCustomExport&) = delete;

    bool Run();
    // What follows a run: showing the result or telling the user. Called once, after Run.
    virtual void Finish();
    bool Succeeded() const { return succeeded_; }

    // Shared routines of the writers.
    TCellKind CellKind(int index, const QString& text) const;
    // Width of exported column index, the number column counted.
    int ColumnWidth(int index) const;
    QString FitToWidth(const QString& text, int width, bool alignNumbers) const;
    bool HasOption(TExportOption option) const;
    // Lines ended by CR LF each, as the writers put them in.
    QString HeaderText() const;
    QString FooterText() const;
    QString TimeStampText() const;
    const LocaleInfo& Locale() const;
    TExportComponent& Component() const { return component_; }
    const QStringList& ColumnCaptions() const { return columnCaptions_; }
    int CurrentItem() const { return currentItem_; }
    const std::vector<int>& MaxWidths() const { return maxWidths_; }
    int MaxCaptionLength() const;
    // Data columns exported, the number column not counted.
    int DataColumnCount() const;

protected:
    // The shared parts: show the progress window, take the captions and the longest texts.
    virtual void BeginExport(const QStringList& columns);
    virtual void WriteItem(const QStringList& cells, int itemNumber);
    // Fires OnWriteFooter and formats the footer with the item count.
    virtual void EndExport();
    // Makes the result permanent (commits the file, fills the clipboard).
    virtual void Complete() {}
    virtual void ReportFailure(const QString& error);
    // False for a format whose cells cannot hold a line break or a TAB: the writer puts a blank
    // in its place, and the user is told afterwards in how many cells.
    virtual bool HoldsLineBreaks() const { return true; }
    virtual bool HoldsTabs() const { return true; }
    void hideProgress();

    TExportType Type() const { return type_; }
    QString FileName() const { return fileName_; }
    bool ToFile() const { return toFile_; }
    ExportHost& Host() const;

private:
    bool walkItems();
    void countBlankedCells(const QStringList& cells);

    TExportComponent& component_;
    TExportType type_;
    QString fileName_;
    bool toFile_;
    QStringList columnCaptions_;
    std::vector<int> maxWidths_;
    int currentItem_ = 0;
    int blankedBreaks_ = 0; // cells whose line breaks became blanks
    int blankedTabs_ = 0;   // cells whose TABs became blanks
    bool succeeded_ = false;
    std::unique_ptr<ExportProgress> progress_;
};

} // namespace wl
