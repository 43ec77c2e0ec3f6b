#pragma once

#include "update/TwlCustomHTTP.h"
#include "update/UpdateInfo.h"
#include "update/UpdaterMessages.h"

#include <QByteArray>
#include <QDateTime>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <set>
#include <vector>

namespace wl {

class UpdaterUi;

enum class TwlUpgradeMethod
{
    umSelfUpgrade = 0,
    umUseExternalSetup = 1,
    umRedirectToURL = 2
};
enum class TwlMiscFilesUpgradeBehavior
{
    mfuAlwaysDownload,
    mfuOnlyIfSizeDifferent
};
enum class TwlUpdaterVersionControl
{
    byDate,
    byNumber
};
enum class TwlUpdaterShowMessage
{
    mAskUpgrade,
    mConnLost,
    mHostUnreachable,
    mLostFile,
    mNoInfoFile,
    mNoUpdateAvailable,
    mPasswordRequest
};
using TwlUpdaterShowMessages = std::set<TwlUpdaterShowMessage>;

struct TwlUpdaterWizard
{
    bool Enabled = true;
    TwlUpdaterLanguage Language = TwlUpdaterLanguage::wlAuto;
    bool StayOnTop = true;
};

// Brings the installed program up to date: fetches the signed information file, decides by
// version number or date whether a newer version exists, asks, downloads every listed file
// beside the program as name + ".uTMP", checks each against its digest and hands over to the
// replacer once the program's close is certain. It goes on from the transfer's events and the
// wizard's buttons; nothing waits in a loop of its own.
class TwlUpdater : public TwlCustomHTTP
{
    Q_OBJECT
public:
    explicit TwlUpdater(UpdaterUi& ui, QObject* parent = nullptr);
    ~TwlUpdater() override;

    // Settings.
    bool AutoCheck = false;
    QString InfoFileURL = QStringLiteral("http://");
    QString RestartParams = QStringLiteral("/afterupgrade");
    TwlMiscFilesUpgradeBehavior MiscFilesUpgrade = TwlMiscFilesUpgradeBehavior::mfuAlwaysDownload;
    TwlUpdaterVersionControl VersionControl = TwlUpdaterVersionControl::byDate;
    QString VersionDate; // mm/dd/yyyy, today when created
    QString VersionNumber;
    TwlUpdaterShowMessages ShowMessages = {
        TwlUpdaterShowMessage::mAskUpgrade, TwlUpdaterShowMessage::mConnLost,
        TwlUpdaterShowMessage::mLostFile, TwlUpdaterShowMessage::mPasswordRequest};
    TwlUpdaterWizard Wizard;
    QString ProgramTitle; // for the question and the wizard
    QString ProgramPath;  // the running program file
    QString ReplacerPath; // beside the program
    QByteArray PublicKey; // the key wl.inf must be signed with
    qint64 ProcessId = 0; // the process the replacer waits for
    int ReplacerWaitSeconds = 60;

    void CheckUpdate();
    void AbortUpgrade();
    // The wizard's Finish button: hand over to the replacer.
    void WizardFinished();
    // Raises OnAfterRestart when the program was started with RestartParams.
    void Loaded(const QStringList& arguments);
    bool Checking() const { return state_ != State::Idle; }
    const UpdaterMessages& Messages() const { return messages_; }

    // Events.
    std::function<void(const QString& message, TwlUpgradeMethod, const QStringList& files,
                       bool& canUpgrade)>
        OnBeginUpgrade;
    std::function<void()> OnLaterUpgrade;
    std::function<void()> OnNoUpdateAvailable;
    std::function<void()> OnNoInfoFile;
    std::function<void(const QString& url, const QString& hostname)> OnHostUnreachable;
    std::function<void()> OnConnLost;
    std::function<void(const QString& fileUrl, int errorCode, bool& continueUpgrade)> OnLostFile;
    std::function<void(const QString& realm, bool& tryAgain)> OnPasswordRequest;
    std::function<void(const QString& fileUrl, qint64 fileSize, const QDateTime& fileTime,
                       std::atomic<bool>& canUpgrade)>
        OnFileStart;
    std::function<void(const QString& fileUrl, qint64 fileSize, qint64 bytesRead, qint64 elapsed,
                       qint64 estimatedLeft, int percent, int totalPercent, float rate)>
        OnProgress;
    std::function<void(const QString& fileName)> OnFileDone;
    std::function<void()> OnEndUpgrade;
    // Replaces the closing of the program; returns true when the program has closed for good.
    std::function<bool()> OnDoOwnCloseAppMethod;
    std::function<void()> OnAfterRestart;
    std::function<void()> OnAborted;
    // The update was refused for the reason given (a signature, a digest, a file name, an
    // unwritable folder...); nothing was installed.
    std::function<void(const QString& reason)> OnUpdateRefused;

private:
    enum class State
    {
        Idle,
        CheckingInfo,
        Downloading,
        WaitingForWizard
    };
    struct Download
    {
        QString url, name, sha256;
    };

    QString programFolder() const;
    QString downloadPath(const QString& name) const;
    void removeDownloads();
    void stopAll();
    void refuse(const QString& reason);
    bool has(TwlUpdaterShowMessage m) const { return ShowMessages.contains(m); }
    void errorBox(const QString& text);

    void infoReceived(const QByteArray& body);
    bool acceptDownloads(const std::vector<InfoFileEntry>& entries, QString& reason);
    void startDownload();
    void nextFile();
    void fileStart(const TwlHeaderInfo& info, std::atomic<bool>& cont);
    void fileProgress(const TwlTransferProgress& p);
    void fileDone();
    void missingFile(int status);
    void hostMissing();
    void connectionLost();
    void transferFailed();
    void passwordRequest(const QString& realm, bool& tryAgain);
    void handOver();

    UpdaterUi& ui_;
    UpdaterMessages messages_;
    State state_ = State::Idle;
    bool aborted_ = false;
    bool autoMode_ = false;
    bool checkedOnce_ = false;
    TwlUpgradeMethod method_ = TwlUpgradeMethod::umSelfUpgrade;
    std::vector<Download> downloads_;
    std::vector<Download> verified_;
    int fileIndex_ = 0;
    QDateTime lastModified_;
    QTimer autoTimer_;
};

} // namespace wl
