#include "update/WidgetUpdaterUi.h"

#include "app/services/UiServices.h"
#include "update/TwlUpdater.h"
#include "update/TwlUpdaterPasswordForm.h"
#include "update/TwlUpdaterUpgradeMessageForm.h"
#include "update/TwlUpdaterWizardForm.h"
#include "update/UpdaterFormParts.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QTimer>

namespace wl {

QMessageBox::StandardButton updateMessage(const QString& caption, const QString& text,
                                          MessageKind kind, QMessageBox::StandardButtons buttons)
{
    MessageRequest request;
    request.caption = caption;
    request.text = withLineFeeds(text);
    request.kind = kind;
    request.buttons = buttons;
    return UiServices::ask(request);
}

WidgetUpdaterUi::~WidgetUpdaterUi()
{
    closeWizard();
}

bool WidgetUpdaterUi::askUpgrade(const QString& text)
{
    TwlUpdaterUpgradeMessageForm question(updater_->Messages(), text, parent_);
    return question.exec() == QDialog::Accepted;
}

void WidgetUpdaterUi::showWizard()
{
    closeWizard();
    wizard_ = new TwlUpdaterWizardForm(updater_->Messages(), updater_->ProgramTitle,
                                       updater_->Wizard.StayOnTop, parent_);
    TwlUpdater* updater = updater_;
    QObject::connect(wizard_, &TwlUpdaterWizardForm::finishPressed, updater,
                     [updater] { updater->WizardFinished(); });
    QObject::connect(wizard_, &TwlUpdaterWizardForm::abortConfirmed, updater,
                     [updater] { updater->AbortUpgrade(); });
    wizard_->show();
}

void WidgetUpdaterUi::wizardFile(const QString& url, const QString& allDownloading)
{
    if (wizard_)
        wizard_->setFile(url, allDownloading);
}

void WidgetUpdaterUi::wizardFileSize(const QString& text)
{
    if (wizard_)
        wizard_->setFileSize(text);
}

void WidgetUpdaterUi::wizardProgress(int filePercent, int totalPercent, const QString& rate,
                                     const QString& timeLeft)
{
    if (wizard_)
        wizard_->setProgress(filePercent, totalPercent, rate, timeLeft);
}

void WidgetUpdaterUi::wizardFinalPage(const QString& title, const QString& note)
{
    if (wizard_)
        wizard_->showFinalPage(title, note);
}

void WidgetUpdaterUi::closeWizard()
{
    if (wizard_)
        wizard_->closeQuietly();
}

bool WidgetUpdaterUi::askPassword(const QString& fileName, QString& user, QString& password)
{
    TwlUpdaterPasswordForm form(updater_->Messages(), fileName, user, parent_);
    if (form.exec() != QDialog::Accepted)
        return false;
    user = form.UsernameEdit->text();
    password = form.PasswordEdit->text();
    return true;
}

void WidgetUpdaterUi::errorBox(const QString& caption, const QString& text)
{
    updateMessage(caption, text, MessageKind::Error);
}

bool WidgetUpdaterUi::askWarning(const QString& caption, const QString& text)
{
    return updateMessage(caption, text, MessageKind::Warning, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

void WidgetUpdaterUi::openUrl(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        UiServices::desktop().openUrl(url);
}

bool WidgetUpdaterUi::closeProgram()
{
    return closeMainWindow ? closeMainWindow() : false;
}

void WidgetUpdaterUi::quitProgram()
{
    // Leave the handler first; quitting ends every event loop, the update window's too.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::quit(); });
}

} // namespace wl
