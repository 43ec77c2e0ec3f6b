#pragma once

#include "update/WidgetUpdaterUi.h"

#include <QByteArray>
#include <QDialog>
#include <QString>

#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QToolButton;

namespace wl {

class TwlUpdater;

// Where the update window looks for updates and what it installs over. The defaults are the
// maker's server, the built-in key and the running program.
struct UpdateSetup
{
    QString infoFileUrl;                // empty: the maker's server
    QByteArray publicKey;               // empty: the built-in key
    QString caFile;                     // empty: the system's certificate authorities
    QString programPath;                // empty: the running program
    QString replacerPath;               // empty: beside the program
    QString versionNumber;              // empty: the running version
    std::function<bool()> closeProgram; // closes the main window; true when it closed
};

// "Check For Program Updates": asks the server whether a newer version exists and installs it.
class TFormProgress : public QDialog
{
    Q_OBJECT
public:
    explicit TFormProgress(UpdateSetup setup, QWidget* parent = nullptr);
    ~TFormProgress() override;

    QLabel* Panel1 = nullptr;
    QPushButton* BtnUpdate = nullptr;
    QToolButton* BtnClose = nullptr;
    QLabel* LblConnect = nullptr;
    TwlUpdater* Updater1 = nullptr;

    void BtnUpdateClick();
    void BtnAbortClick();

private:
    void FormCreate();
    void connectUpdater();
    void info(const QString& caption, const QString& text);
    // The last answer said the file is not there (as opposed to another failure).
    bool notFound() const;

    WidgetUpdaterUi ui_;
};

} // namespace wl
