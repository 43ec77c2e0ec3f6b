#pragma once

#include "exchange/export/ExportTypes.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <memory>

namespace wl {

// The progress window of one export, as the writers see it.
class ExportProgress
{
public:
    virtual ~ExportProgress() = default;
    virtual void showProgress() = 0;
    virtual void hideProgress() = 0;
    // Item n has been written; false asks the export to stop.
    virtual bool step(int n) = 0;
};

// What the user picks in the choice dialog.
struct ExportChoice
{
    TExportType type = TExportType::xText; // in: the type offered first; out: the chosen one
    bool view = true;                      // out: view on screen rather than save to a file
    int itemCount = 0;                     // in: for the window caption
    QStringList typeNames;                 // in: the display names to offer, in order
    QString typeName;                      // out: the display name chosen
};

enum class ExportMessageKind
{
    Information,
    Warning,
    Error
};

// Everything an export needs from the windowing side: message boxes, the save dialog, the
// desktop's viewers, the progress window, the clock and the busy state of the owner window.
// The export component and its writers talk only to this, so they need no widgets themselves.
class ExportHost
{
public:
    virtual ~ExportHost() = default;

    virtual void message(ExportMessageKind kind, const QString& text) = 0;
    // Shows a message with OK and Cancel; true for OK. A host without a Cancel only tells.
    virtual bool confirm(ExportMessageKind kind, const QString& text)
    {
        message(kind, text);
        return true;
    }
    // Shows the choice dialog; false when cancelled.
    virtual bool choose(ExportChoice& choice) = 0;
    // Asks for the file to export to; empty when cancelled.
    virtual QString saveFileName(const QString& title, const QString& defaultExtension,
                                 const QString& filter) = 0;
    // True when the desktop has a program that shows files of this type.
    virtual bool canView(TExportType type) = 0;
    // Opens a file in the program the desktop associates with it; false when that failed.
    virtual bool openFile(const QString& path) = 0;
    // A viewer was started for an export; the host may step aside for it.
    virtual void viewerStarted() {}
    virtual std::unique_ptr<ExportProgress> createProgress(const QString& caption,
                                                           const QString& panelText,
                                                           const QString& messageFormat,
                                                           int total) = 0;
    // Lets pending window events run, so long exports keep the program alive.
    virtual void processEvents() = 0;
    // On: the hourglass cursor and, with disableOwner, the owner window disabled. Off: undoes it.
    virtual void setBusy(bool on, bool disableOwner) = 0;
    virtual QDateTime now() const = 0;
};

} // namespace wl
