#pragma once

#include "app/services/MessageService.h"
#include "update/TwlUpdaterWizardForm.h"
#include "update/UpdaterUi.h"

#include <QPointer>

#include <functional>

class QWidget;

namespace wl {

class TwlUpdater;

// A message box of the update's windows, with an OK button unless others are given.
QMessageBox::StandardButton updateMessage(const QString& caption, const QString& text,
                                          MessageKind kind,
                                          QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// The upgrade's windows and message boxes for a real user, over a parent window.
class WidgetUpdaterUi : public UpdaterUi
{
public:
    explicit WidgetUpdaterUi(QWidget* parent) : parent_(parent) {}
    ~WidgetUpdaterUi() override;

    void setUpdater(TwlUpdater* updater) { updater_ = updater; }
    // Closes the program's main window; true when it is closed for good.
    std::function<bool()> closeMainWindow;

    bool askUpgrade(const QString& text) override;
    void showWizard() override;
    void wizardFile(const QString& url, const QString& allDownloading) override;
    void wizardFileSize(const QString& text) override;
    void wizardProgress(int filePercent, int totalPercent, const QString& rate,
                        const QString& timeLeft) override;
    void wizardFinalPage(const QString& title, const QString& note) override;
    void closeWizard() override;
    bool askPassword(const QString& fileName, QString& user, QString& password) override;
    void errorBox(const QString& caption, const QString& text) override;
    bool askWarning(const QString& caption, const QString& text) override;
    void openUrl(const QUrl& url) override;
    bool closeProgram() override;
    void quitProgram() override;

    TwlUpdaterWizardForm* wizard() const { return wizard_; }

private:
    QWidget* parent_;
    TwlUpdater* updater_ = nullptr;
    QPointer<TwlUpdaterWizardForm> wizard_;
};

} // namespace wl
