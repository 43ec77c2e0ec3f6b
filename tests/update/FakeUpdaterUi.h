#pragma once

// Answers the upgrade's questions from settings and writes down what it was shown.

#include "update/TwlUpdater.h"
#include "update/UpdaterUi.h"

#include <QStringList>
#include <QTimer>

namespace wl::test {

class FakeUpdaterUi : public UpdaterUi
{
public:
    bool upgradeAnswer = true;
    bool warningAnswer = false;
    bool programCloses = true;
    bool finishWizard = true;      // press Finish on the final page
    TwlUpdater* updater = nullptr; // for the wizard's button
    QStringList log;               // "ask", "wizard", "final", "error: ...", "close", "quit"...
    QStringList errors;

    bool askUpgrade(const QString& text) override
    {
        log << QStringLiteral("ask: ") + text;
        return upgradeAnswer;
    }
    void showWizard() override { log << QStringLiteral("wizard"); }
    void wizardFile(const QString& url, const QString& all) override
    {
        log << QStringLiteral("file: ") + url + QStringLiteral(" ") + all;
    }
    void wizardFileSize(const QString&) override {}
    void wizardProgress(int, int, const QString&, const QString&) override {}
    void wizardFinalPage(const QString&, const QString&) override
    {
        log << QStringLiteral("final");
        if (finishWizard && updater)
            QTimer::singleShot(0, updater, [u = updater] { u->WizardFinished(); });
    }
    void closeWizard() override {}
    bool askPassword(const QString& name, QString& user, QString& password) override
    {
        log << QStringLiteral("password: ") + name;
        user = QStringLiteral("ann");
        password = QStringLiteral("s3cret");
        return true;
    }
    void errorBox(const QString&, const QString& text) override
    {
        log << QStringLiteral("error: ") + text;
        errors << text;
    }
    bool askWarning(const QString&, const QString& text) override
    {
        log << QStringLiteral("warning: ") + text;
        return warningAnswer;
    }
    void openUrl(const QUrl& url) override { log << QStringLiteral("open: ") + url.toString(); }
    bool closeProgram() override
    {
        log << QStringLiteral("close");
        return programCloses;
    }
    void quitProgram() override { log << QStringLiteral("quit"); }
};

} // namespace wl::test
