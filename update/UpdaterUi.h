#pragma once

#include <QString>
#include <QUrl>

namespace wl {

// How the upgrade talks to the user: the question window, the progress wizard, the password
// window, message boxes, and the program's closing. The windows implement it; tests answer it
// with a script. The wizard is modeless: its Finish button calls TwlUpdater::WizardFinished
// and its confirmed close calls TwlUpdater::AbortUpgrade.
class UpdaterUi
{
public:
    virtual ~UpdaterUi() = default;
    // The question window; true means upgrade now.
    virtual bool askUpgrade(const QString& text) = 0;
    virtual void showWizard() = 0;
    virtual void wizardFile(const QString& url, const QString& allDownloading) = 0;
    virtual void wizardFileSize(const QString& text) = 0;
    virtual void wizardProgress(int filePercent, int totalPercent, const QString& rate,
                                const QString& timeLeft) = 0;
    virtual void wizardFinalPage(const QString& title, const QString& note) = 0;
    virtual void closeWizard() = 0;
    // The password window for a file; true (OK) with the boxes' contents.
    virtual bool askPassword(const QString& fileName, QString& user, QString& password) = 0;
    virtual void errorBox(const QString& caption, const QString& text) = 0;
    // A warning with Yes and No; true for Yes.
    virtual bool askWarning(const QString& caption, const QString& text) = 0;
    virtual void openUrl(const QUrl& url) = 0;
    // Closes the program's main window; true only when it has closed for good (the user may
    // keep it open for unsaved edits).
    virtual bool closeProgram() = 0;
    // Ends the program once the replacer runs.
    virtual void quitProgram() = 0;
};

} // namespace wl
