#pragma once

#include "exchange/export/ExportHost.h"
#include "exchange/export/ViewerAssociations.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace wl {

// The export's windowing side: message boxes, the save dialog and the desktop through
// UiServices, the choice dialog and the progress window of this library, the hourglass and
// the owner window. After a viewer has been started the program steps aside (minimizes) and
// comes back when the user returns to it.
class WidgetExportHost : public QObject, public ExportHost
{
    Q_OBJECT
public:
    explicit WidgetExportHost(QWidget* owner);
    ~WidgetExportHost() override;

    // Replaces the desktop's answer to "is there a viewer for this type" (tests, other
    // desktops).
    void setViewerCheck(std::function<bool(TExportType)> check) { viewerCheck_ = std::move(check); }
    bool minimizedForViewer() const { return minimizedForViewer_; }

    void message(ExportMessageKind kind, const QString& text) override;
    bool confirm(ExportMessageKind kind, const QString& text) override;
    bool choose(ExportChoice& choice) override;
    QString saveFileName(const QString& title, const QString& defaultExtension,
                         const QString& filter) override;
    bool canView(TExportType type) override;
    bool openFile(const QString& path) override;
    void viewerStarted() override;
    std::unique_ptr<ExportProgress> createProgress(const QString& caption, const QString& panelText,
                                                   const QString& messageFormat,
                                                   int total) override;
    void processEvents() override;
    void setBusy(bool on, bool disableOwner) override;
    QDateTime now() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window() const;

    QPointer<QWidget> owner_;
    ViewerAssociations viewers_;
    std::function<bool(TExportType)> viewerCheck_;
    bool minimizedForViewer_ = false;
};

} // namespace wl
