#include "update/replacer/ReplacerJob.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

#include <filesystem>
#include <system_error>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#endif

namespace wl::replacer {

namespace {

constexpr int PollMs = 100;
const QString DownloadSuffix = QStringLiteral(".uTMP");
// An old file waits under this name until its replacement is in place.
const QString AsideSuffix = QStringLiteral(".uOLD");

bool processAlive(qint64 pid)
{
#ifdef Q_OS_WIN
    HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, DWORD(pid));
    if (!h)
        return false;
    const bool alive = WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
    CloseHandle(h);
    return alive;
#else
    if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
        return false;
    // A process that has ended but not yet been collected by its parent is gone for us.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray text = stat.readAll();
        const qsizetype close = text.lastIndexOf(')');
        if (close > 0 && text.mid(close + 2, 1) == "Z")
            return false;
    }
    return true;
#endif
}

// The target's permissions go to the new file; a new file gets the download's own.
void copyPermissions(const QString& from, const QString& to)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::perms perms = fs::status(from.toStdString(), ec).permissions();
    if (!ec)
        fs::permissions(to.toStdString(), perms, fs::perm_options::replace, ec);
}

void removeDownloads(const QDir& folder, const ReplacerJob& job)
{
    for (const ReplacedFile& f : job.files)
        QFile::remove(folder.filePath(f.name + DownloadSuffix));
}

// One file of the upgrade and how far it got.
struct Swap
{
    QString download, target, aside;
    bool isProgram = false;
    bool asideDone = false; // the old file waits under the aside name
    bool movedIn = false;   // the download is the target now
};

// Undoes what was done, newest first: the new files go, the old ones come back. False when an
// old file could not be put back.
bool putBack(std::vector<Swap>& swaps, const FileMover& move, QStringList& log)
{
    bool whole = true;
    for (auto it = swaps.rbegin(); it != swaps.rend(); ++it) {
        if (it->movedIn && !QFile::remove(it->target)) {
            log << QStringLiteral("%1 could not be removed again.").arg(it->target);
            whole = false;
        }
        if (it->asideDone && !move(it->aside, it->target)) {
            log << QStringLiteral("%1 could not be put back; its old version is kept as %2.")
                       .arg(it->target, it->aside);
            whole = false;
        }
    }
    return whole;
}

} // namespace

bool moveFile(const QString& from, const QString& to)
{
    std::error_code ec;
    std::filesystem::rename(from.toStdString(), to.toStdString(), ec);
    return !ec;
}

bool isSafeFileName(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9._-]{0,99}$"));
    return pattern.match(name).hasMatch() && !name.contains(QStringLiteral(".."));
}

bool parseArguments(const QStringList& args, ReplacerJob& job, QString& error)
{
    static const QRegularExpression digest(QStringLiteral("^[0-9a-f]{64}$"));
    for (qsizetype i = 0; i < args.size(); i += 2) {
        if (i + 1 >= args.size()) {
            error = QStringLiteral("%1 needs a value").arg(args[i]);
            return false;
        }
        const QString& key = args[i];
        const QString& value = args[i + 1];
        bool ok = true;
        if (key == QLatin1String("--program")) {
            job.programPath = value;
        } else if (key == QLatin1String("--pid")) {
            job.pid = value.toLongLong(&ok);
        } else if (key == QLatin1String("--method")) {
            ok = value == QLatin1String("0") || value == QLatin1String("1");
            job.externalSetup = value == QLatin1String("1");
        } else if (key == QLatin1String("--restart")) {
            job.restartParams = value;
        } else if (key == QLatin1String("--wait")) {
            job.waitSeconds = value.toInt(&ok);
        } else if (key == QLatin1String("--file")) {
            const qsizetype eq = value.lastIndexOf(QLatin1Char('='));
            const ReplacedFile file{value.left(eq), value.mid(eq + 1)};
            ok = eq > 0 && isSafeFileName(file.name) && digest.match(file.sha256).hasMatch();
            job.files.push_back(file);
        } else {
            ok = false;
        }
        if (!ok) {
            error = QStringLiteral("Unusable argument %1 %2").arg(key, value);
            return false;
        }
    }
    if (job.programPath.isEmpty() || !QFileInfo(job.programPath).isAbsolute()) {
        error = QStringLiteral("The program's full path is missing.");
        return false;
    }
    return true;
}

QString fileSha256(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return {};
    return QString::fromLatin1(hash.result().toHex());
}

bool waitForProcessEnd(qint64 pid, int seconds)
{
    if (pid <= 0)
        return true;
    QDeadlineTimer deadline(qint64(seconds) * 1000);
    while (processAlive(pid)) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(PollMs);
    }
    return true;
}

ReplacerResult replaceFiles(const ReplacerJob& job, QStringList& log, const FileMover& move)
{
    const QFileInfo program(job.programPath);
    const QDir folder = program.absoluteDir();
    const QString programName = program.fileName();
    const bool programListed =
        std::any_of(job.files.begin(), job.files.end(),
                    [&](const ReplacedFile& f) { return f.name == programName; });
    // First every download is checked; a file changed since the program verified it stops
    // the whole upgrade, so the program is never left with a mix of versions.
    for (const ReplacedFile& f : job.files) {
        const QString download = folder.filePath(f.name + DownloadSuffix);
        const QFileInfo info(download);
        if (!info.isFile() || info.isSymLink() || fileSha256(download) != f.sha256) {
            log << QStringLiteral("%1 does not match the verified download; nothing was replaced.")
                       .arg(f.name);
            removeDownloads(folder, job);
            return ReplacerResult::VerificationFailed;
        }
    }
    bool exeSeen = false;
    std::vector<Swap> swaps;
    for (const ReplacedFile& f : job.files) {
        QString targetName = f.name;
        // A renamed program file still gets the new program: the first program file in the
        // list stands for it when the list does not name the program itself.
        if (!programListed && !exeSeen &&
            f.name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive)) {
            exeSeen = true;
            if (!job.externalSetup)
                targetName = programName;
        }
        const QString target = folder.filePath(targetName);
        const QFileInfo existing(target);
        if (existing.exists() && !existing.isFile()) {
            log << QStringLiteral("%1 is not a file and cannot be replaced; nothing was replaced.")
                       .arg(targetName);
            removeDownloads(folder, job);
            return ReplacerResult::NothingReplaced;
        }
        swaps.push_back({folder.filePath(f.name + DownloadSuffix), target, target + AsideSuffix,
                         targetName == programName});
    }
    // Every old file is set aside before any new one moves in, so that a failure at any
    // point can give back the old version whole.
    bool moved = true;
    for (Swap& swap : swaps) {
        if (!QFileInfo::exists(swap.target))
            continue;
        copyPermissions(swap.target, swap.download);
        QFile::remove(swap.aside); // left by a run that was killed
        swap.asideDone = move(swap.target, swap.aside);
        if (!swap.asideDone) {
            log << QStringLiteral("%1 could not be moved aside.").arg(swap.target);
            moved = false;
            break;
        }
    }
    for (Swap& swap : swaps) {
        if (!moved)
            break;
        if (!swap.asideDone && swap.isProgram) // a new program file must be runnable
            QFile::setPermissions(swap.download, QFile::permissions(swap.download) |
                                                     QFile::ExeOwner | QFile::ExeGroup |
                                                     QFile::ExeOther);
        swap.movedIn = move(swap.download, swap.target);
        if (!swap.movedIn) {
            log << QStringLiteral("%1 could not be replaced.").arg(swap.target);
            moved = false;
        }
    }
    ReplacerResult result = ReplacerResult::Replaced;
    if (!moved) {
        const bool whole = putBack(swaps, move, log);
        log << (whole ? QStringLiteral("Nothing was replaced; the old version is whole.")
                      : QStringLiteral("The old version could not be put back whole."));
        result = whole ? ReplacerResult::NothingReplaced : ReplacerResult::Mixed;
    }
    if (result != ReplacerResult::Mixed)
        for (const Swap& swap : swaps)
            if (swap.asideDone)
                QFile::remove(swap.aside);
    removeDownloads(folder, job);
    return result;
}

namespace {

QStringList restartArguments(const ReplacerJob& job)
{
    return job.restartParams.trimmed().isEmpty() ? QStringList() : QStringList{job.restartParams};
}

// An external setup listed in the job: the first program file, run and then removed.
QString setupOf(const ReplacerJob& job)
{
    for (const ReplacedFile& f : job.files)
        if (f.name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
            return QFileInfo(job.programPath).absoluteDir().filePath(f.name);
    return {};
}

} // namespace

ReplacerResult runReplacer(const ReplacerJob& job, QStringList& log, const FileMover& move)
{
    if (!waitForProcessEnd(job.pid, job.waitSeconds)) {
        log << QStringLiteral("The program did not end within %1 seconds; nothing was replaced.")
                   .arg(job.waitSeconds);
        // The program goes on with its old version; its downloads must not wait for another
        // replacer.
        removeDownloads(QFileInfo(job.programPath).absoluteDir(), job);
        return ReplacerResult::ProgramStillRunning;
    }
    const ReplacerResult result = replaceFiles(job, log, move);
    const QString folder = QFileInfo(job.programPath).absolutePath();
    const QString setup = job.externalSetup ? setupOf(job) : QString();
    if (result == ReplacerResult::Replaced && !setup.isEmpty()) {
        QFile::setPermissions(setup, QFile::permissions(setup) | QFile::ExeOwner);
        QProcess process;
        process.setWorkingDirectory(folder);
        process.start(setup, restartArguments(job));
        if (!process.waitForFinished(job.waitSeconds * 1000)) {
            log << QStringLiteral("The setup program did not finish in time.");
            process.kill();
            process.waitForFinished(5000);
        }
        QFile::remove(setup);
    }
    // The program comes back whenever it is one whole version, old or new: the user asked to
    // upgrade it, not to be left without it. A mix of versions is not started.
    if (result == ReplacerResult::Mixed)
        log << QStringLiteral("The program was not started again.");
    else if (!QProcess::startDetached(job.programPath, restartArguments(job), folder))
        log << QStringLiteral("The program could not be started again.");
    return result;
}

} // namespace wl::replacer
