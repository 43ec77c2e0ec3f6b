#include "update/TwlUpdater.h"

#include "update/UpdateSigning.h"
#include "update/UpdaterUi.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include <cmath>

namespace wl {

namespace {

constexpr int AutoCheckDelayMs = 10000;
constexpr qint64 MaxProgramFileSize = qint64(1) << 30;
const QString DownloadSuffix = QStringLiteral(".uTMP");

QString sha256Of(const QString& path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return {};
    return QString::fromLatin1(hash.result().toHex());
}

// Whether a new file can be made in the folder: tried, since permissions alone do not tell
// (read-only mounts, access lists).
bool folderWritable(const QString& folder)
{
    QFile probe(QDir(folder).filePath(QStringLiteral("wavelark-write-test") + DownloadSuffix));
    if (!probe.open(QIODevice::WriteOnly))
        return false;
    probe.close();
    probe.remove();
    return true;
}

} // namespace

TwlUpdater::TwlUpdater(UpdaterUi& ui, QObject* parent)
    : TwlCustomHTTP(parent), ui_(ui), messages_(TwlUpdaterLanguage::wlAuto)
{
    VersionDate = QDate::currentDate().toString(QStringLiteral("MM/dd/yyyy"));
    ProgramTitle = QCoreApplication::applicationName();
    ProgramPath = QCoreApplication::applicationFilePath();
#ifdef Q_OS_WIN
    const QString replacerName = QStringLiteral("wavelark-replacer.exe");
#else
    const QString replacerName = QStringLiteral("wavelark-replacer");
#endif
    ReplacerPath = QDir(QCoreApplication::applicationDirPath()).filePath(replacerName);
    PublicKey = builtInUpdateKey();
    ProcessId = QCoreApplication::applicationPid();
    HideTargetFile = true;

    OnHeaderInfo = [this](const TwlHeaderInfo& info, std::atomic<bool>& cont) {
        if (state_ == State::Downloading)
            fileStart(info, cont);
    };
    OnTransferDone = [this](const QString&, const QByteArray* body, qint64) {
        if (state_ == State::CheckingInfo)
            infoReceived(body ? *body : QByteArray());
        else if (state_ == State::Downloading)
            fileDone();
    };
    OnStopped = [this] {
        if (state_ == State::Downloading) {
            ++fileIndex_; // the file was skipped
            nextFile();
        }
    };
    OnTransferProgress = [this](const QString&, const QByteArray*, const TwlTransferProgress& p) {
        if (state_ == State::Downloading)
            fileProgress(p);
    };
    OnIncomplete = [this](const QString&, const QByteArray*, qint64, qint64) { connectionLost(); };
    OnHTTPErrorStatus = [this](int status, const QByteArray*) { missingFile(status); };
    OnHostMissing = [this] { hostMissing(); };
    OnTransferFailed = [this] { transferFailed(); };
    TwlCustomHTTP::OnPasswordRequest = [this](const QString& realm, bool& tryAgain) {
        passwordRequest(realm, tryAgain);
    };

    autoTimer_.setSingleShot(true);
    autoTimer_.setInterval(AutoCheckDelayMs);
    connect(&autoTimer_, &QTimer::timeout, this, [this] {
        if (!AutoCheck || checkedOnce_)
            return;
        checkedOnce_ = true;
        CheckUpdate();
        autoMode_ = true;
    });
}

TwlUpdater::~TwlUpdater()
{
    // Closing the update window mid-update ends here: the transfer stops and the downloads of
    // this run go, so no verified file waits beside the program for a later replacer. After the
    // hand-over the state is idle and the replacer's files stay.
    if (state_ == State::Downloading || state_ == State::WaitingForWizard) {
        state_ = State::Idle;
        Abort();
        removeDownloads();
    }
}

void TwlUpdater::Loaded(const QStringList& arguments)
{
    messages_.setLanguage(Wizard.Language);
    if (OnAfterRestart && arguments.size() > 1 && arguments[1] == RestartParams)
        OnAfterRestart();
    if (AutoCheck)
        autoTimer_.start();
}

QString TwlUpdater::programFolder() const
{
    return QFileInfo(ProgramPath).absolutePath();
}

QString TwlUpdater::downloadPath(const QString& name) const
{
    return QDir(programFolder()).filePath(name + DownloadSuffix);
}

void TwlUpdater::removeDownloads()
{
    // Every ".uTMP" beside the program is a leftover or a part of this run: none may reach the
    // replacer unverified.
    const QDir folder(programFolder());
    for (const QString& name :
         folder.entryList({QLatin1Char('*') + DownloadSuffix}, QDir::Files | QDir::Hidden))
        QFile::remove(folder.filePath(name));
}

void TwlUpdater::errorBox(const QString& text)
{
    ui_.errorBox(messages_.text(UpdaterMessages::WizardCaption), text);
}

void TwlUpdater::stopAll()
{
    const State was = state_;
    state_ = State::Idle;
    Abort();
    if (was == State::Downloading || was == State::WaitingForWizard)
        removeDownloads();
    downloads_.clear();
    verified_.clear();
    ui_.closeWizard();
}

void TwlUpdater::refuse(const QString& reason)
{
    stopAll();
    if (OnUpdateRefused)
        OnUpdateRefused(reason);
    errorBox(reason);
}

void TwlUpdater::AbortUpgrade()
{
    aborted_ = true;
    stopAll();
    if (OnAborted)
        OnAborted();
}

// ----------------------------------------------------------------------------------------
// The information file

void TwlUpdater::CheckUpdate()
{
    aborted_ = false;
    autoMode_ = false;
    if (Busy() || state_ != State::Idle)
        return;
    messages_.setLanguage(Wizard.Language);
    removeDownloads();
    state_ = State::CheckingInfo;
    UseCache = false;
    RequestURL = InfoFileURL;
    TargetFile.clear();
    MaxBodySize = MaxInfoFileSize;
    if (!Start())
        state_ = State::Idle;
}

void TwlUpdater::infoReceived(const QByteArray& body)
{
    QString reason;
    const QByteArray signedText = verifiedInfoText(body, PublicKey, reason);
    if (signedText.isEmpty())
        return refuse(reason + QStringLiteral(" Nothing was downloaded."));
    const QString text = QString::fromUtf8(signedText);
    const std::vector<InfoFileEntry> entries = infoFiles(text);
    bool newer = false;
    if (VersionControl == TwlUpdaterVersionControl::byNumber) {
        newer = isNewerVersion(infoValue(text, QStringLiteral("version")), VersionNumber);
    } else {
        const QDate today = QDate::currentDate();
        newer = versionDate(infoValue(text, QStringLiteral("date")), today) >
                versionDate(VersionDate, today);
    }
    if (!newer || entries.empty()) {
        state_ = State::Idle;
        if (OnNoUpdateAvailable)
            OnNoUpdateAvailable();
        if (!autoMode_ && has(TwlUpdaterShowMessage::mNoUpdateAvailable))
            errorBox(messages_.text(UpdaterMessages::NoNewerVersion));
        return;
    }
    method_ = TwlUpgradeMethod(infoMethod(text));
    if (!acceptDownloads(entries, reason))
        return refuse(reason);
    const QString message = infoMessage(text);
    QStringList urls;
    for (const Download& d : downloads_)
        urls << d.url;
    bool canUpgrade = true;
    if (OnBeginUpgrade)
        OnBeginUpgrade(message, method_, urls, canUpgrade);
    if (state_ != State::CheckingInfo)
        return; // a handler stopped the upgrade
    const QString question = messages_.format(
        UpdaterMessages::NewerVersion,
        {ProgramTitle, message.isEmpty() ? QString() : QLatin1Char('\n') + message + '\n'});
    if (!canUpgrade || (has(TwlUpdaterShowMessage::mAskUpgrade) && !ui_.askUpgrade(question))) {
        state_ = State::Idle;
        downloads_.clear();
        if (OnLaterUpgrade)
            OnLaterUpgrade();
        return;
    }
    if (method_ == TwlUpgradeMethod::umRedirectToURL) {
        state_ = State::Idle;
        ui_.openUrl(QUrl(downloads_.front().url));
        return;
    }
    startDownload();
}

bool TwlUpdater::acceptDownloads(const std::vector<InfoFileEntry>& entries, QString& reason)
{
    downloads_.clear();
    QStringList seen;
    for (const InfoFileEntry& e : entries) {
        const QUrl url(e.url, QUrl::StrictMode);
        const QString scheme = url.scheme().toLower();
        if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
            reason = QStringLiteral("The update lists an address that is not http or https: %1")
                         .arg(displayUrl(e.url));
            return false;
        }
        if (method_ == TwlUpgradeMethod::umRedirectToURL) { // only shown in the browser
            downloads_.push_back({e.url, QString(), QString()});
            continue;
        }
        const QString name = safeDownloadName(e.url);
        if (name.isEmpty() || seen.contains(name, Qt::CaseInsensitive)) {
            reason = QStringLiteral("The update lists a file name that cannot be accepted: %1")
                         .arg(displayUrl(e.url));
            return false;
        }
        if (e.sha256.size() != 64 || QByteArray::fromHex(e.sha256.toLatin1()).size() != 32) {
            reason = QStringLiteral("The update gives no digest for %1.").arg(name);
            return false;
        }
        seen << name;
        downloads_.push_back({e.url, name, e.sha256});
    }
    return true;
}

// ----------------------------------------------------------------------------------------
// The downloads

void TwlUpdater::startDownload()
{
    if (!folderWritable(programFolder()))
        return refuse(QStringLiteral("The program folder %1 cannot be written, so the update "
                                     "cannot be installed. Start the update as a user who may "
                                     "change the program's files.")
                          .arg(QDir::toNativeSeparators(programFolder())));
    if (!QFileInfo(ReplacerPath).isExecutable())
        return refuse(QStringLiteral("The replacer program %1 is missing, so the update cannot "
                                     "be installed.")
                          .arg(QDir::toNativeSeparators(ReplacerPath)));
    state_ = State::Downloading;
    UseCache = true;
    MaxBodySize = MaxProgramFileSize;
    fileIndex_ = 0;
    verified_.clear();
    if (Wizard.Enabled)
        ui_.showWizard();
    nextFile();
}

void TwlUpdater::nextFile()
{
    if (state_ != State::Downloading)
        return;
    const int count = int(downloads_.size());
    if (fileIndex_ < count) {
        const Download& d = downloads_[size_t(fileIndex_)];
        if (Wizard.Enabled)
            ui_.wizardFile(displayUrl(d.url), messages_.downloading(fileIndex_ + 1, count));
        RequestURL = d.url;
        TargetFile = downloadPath(d.name);
        lastModified_ = {};
        Start();
        return;
    }
    if (verified_.empty()) { // every file was skipped: nothing to install
        state_ = State::Idle;
        ui_.closeWizard();
        return;
    }
    state_ = State::WaitingForWizard;
    if (Wizard.Enabled)
        ui_.wizardFinalPage(
            messages_.text(UpdaterMessages::UpgradeCompleted),
            messages_.format(UpdaterMessages::UpdateCompletedRestart, {ProgramTitle}));
    else
        WizardFinished();
}

void TwlUpdater::fileStart(const TwlHeaderInfo& info, std::atomic<bool>& cont)
{
    const Download& d = downloads_[size_t(fileIndex_)];
    lastModified_ = info.LastModified;
    if (Wizard.Enabled)
        ui_.wizardFileSize(messages_.fileSize(info.ContentLength / 1024.0));
    if (MiscFilesUpgrade == TwlMiscFilesUpgradeBehavior::mfuOnlyIfSizeDifferent &&
        info.ContentLength != 0 && downloads_.size() > 1) {
        const QFileInfo existing(QDir(programFolder()).filePath(d.name));
        if (existing.fileName().compare(QFileInfo(ProgramPath).fileName(), Qt::CaseInsensitive) &&
            existing.exists())
            cont = existing.size() != info.ContentLength;
    }
    if (OnFileStart)
        OnFileStart(d.url, info.ContentLength, info.LastModified, cont);
}

void TwlUpdater::fileProgress(const TwlTransferProgress& p)
{
    const int count = int(downloads_.size());
    const int total =
        std::min(100, int(std::lround(fileIndex_ * 100.0 / count)) + p.Percent / count);
    if (OnProgress)
        OnProgress(downloads_[size_t(fileIndex_)].url, p.ContentLength, p.Bytes, p.ElapsedSeconds,
                   p.SecondsLeft, p.Percent, total, float(p.Rate));
    if (Wizard.Enabled && state_ == State::Downloading)
        ui_.wizardProgress(p.Percent, total, messages_.transferRate(p.Rate),
                           messages_.timeLeft(p.SecondsLeft));
}

void TwlUpdater::fileDone()
{
    const Download d = downloads_[size_t(fileIndex_)];
    const QString path = downloadPath(d.name);
    if (sha256Of(path) != d.sha256)
        return refuse(QStringLiteral("The downloaded file %1 does not match the published one. "
                                     "The update was stopped; nothing was changed.")
                          .arg(d.name));
    if (lastModified_.isValid()) {
        QFile file(path);
        if (file.open(QIODevice::ReadWrite))
            file.setFileTime(lastModified_, QFileDevice::FileModificationTime);
    }
    verified_.push_back(d);
    if (OnFileDone)
        OnFileDone(path);
    ++fileIndex_;
    nextFile();
}

void TwlUpdater::missingFile(int status)
{
    if (state_ == State::CheckingInfo) {
        state_ = State::Idle;
        if (OnNoInfoFile)
            OnNoInfoFile();
        if (has(TwlUpdaterShowMessage::mNoInfoFile))
            errorBox(messages_.text(UpdaterMessages::NoInfoFile));
        return;
    }
    if (state_ != State::Downloading)
        return;
    const Download d = downloads_[size_t(fileIndex_)];
    bool continueUpgrade = false;
    if (OnLostFile)
        OnLostFile(displayUrl(d.url), status, continueUpgrade);
    if (state_ != State::Downloading)
        return;
    if (has(TwlUpdaterShowMessage::mLostFile))
        continueUpgrade = ui_.askWarning(messages_.text(UpdaterMessages::Error) +
                                             QStringLiteral(" #%1").arg(status),
                                         messages_.format(UpdaterMessages::FileNotFound, {d.name}));
    if (continueUpgrade) {
        ++fileIndex_;
        nextFile();
    } else {
        AbortUpgrade();
    }
}

void TwlUpdater::hostMissing()
{
    const QUrl url(RequestURL.contains(QStringLiteral("://"))
                       ? RequestURL
                       : QStringLiteral("http://") + RequestURL);
    const QString hostUrl = displayUrl(
        url.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment).toString());
    if (OnHostUnreachable)
        OnHostUnreachable(displayUrl(RequestURL), url.host());
    if (autoMode_) {
        checkedOnce_ = false;
        autoTimer_.start();
    } else if (has(TwlUpdaterShowMessage::mHostUnreachable)) {
        errorBox(messages_.format(UpdaterMessages::HostUnreachable, {hostUrl}));
    }
    stopAll();
}

void TwlUpdater::connectionLost()
{
    if (OnConnLost)
        OnConnLost();
    if (has(TwlUpdaterShowMessage::mConnLost))
        errorBox(messages_.text(UpdaterMessages::ConnectionLost));
    stopAll();
}

void TwlUpdater::transferFailed()
{
    switch (Failure) {
    case TwlFailure::BadUrl:
    case TwlFailure::TooLarge:
    case TwlFailure::LocalFile:
    case TwlFailure::Exception:
        refuse(FailureText.isEmpty() ? QStringLiteral("The download failed.") : FailureText);
        break;
    default:
        break; // the event that follows says what went wrong
    }
}

void TwlUpdater::passwordRequest(const QString& realm, bool& tryAgain)
{
    if (OnPasswordRequest)
        OnPasswordRequest(realm, tryAgain);
    if (tryAgain || !has(TwlUpdaterShowMessage::mPasswordRequest))
        return;
    QString user = HTTPUsername;
    QString password;
    const QString name = QUrl(RequestURL).fileName();
    if (ui_.askPassword(name, user, password)) {
        HTTPUsername = user;
        HTTPPassword = password;
        tryAgain = true;
    } else {
        AbortUpgrade();
    }
}

// ----------------------------------------------------------------------------------------
// Handing over

void TwlUpdater::WizardFinished()
{
    if (state_ != State::WaitingForWizard || aborted_)
        return;
    handOver();
}

void TwlUpdater::handOver()
{
    ui_.closeWizard();
    if (OnEndUpgrade)
        OnEndUpgrade();
    // The replacer starts only once the program is sure to end: a close refused for unsaved
    // edits must not leave it waiting to overwrite a running program.
    const bool closed = OnDoOwnCloseAppMethod ? OnDoOwnCloseAppMethod() : ui_.closeProgram();
    if (!closed) {
        refuse(QStringLiteral("The program was not closed, so the update was not installed."));
        return;
    }
    QStringList args = {QStringLiteral("--program"),
                        QFileInfo(ProgramPath).absoluteFilePath(),
                        QStringLiteral("--pid"),
                        QString::number(ProcessId),
                        QStringLiteral("--method"),
                        method_ == TwlUpgradeMethod::umUseExternalSetup ? QStringLiteral("1")
                                                                        : QStringLiteral("0"),
                        QStringLiteral("--restart"),
                        RestartParams.isEmpty() ? QStringLiteral(" ") : RestartParams,
                        QStringLiteral("--wait"),
                        QString::number(ReplacerWaitSeconds)};
    for (const Download& d : verified_)
        args << QStringLiteral("--file") << d.name + QLatin1Char('=') + d.sha256;
    state_ = State::Idle;
    if (!QProcess::startDetached(ReplacerPath, args, programFolder())) {
        removeDownloads();
        errorBox(QStringLiteral("The replacer program could not be started; the update was not "
                                "installed."));
    }
    ui_.quitProgram();
}

} // namespace wl
