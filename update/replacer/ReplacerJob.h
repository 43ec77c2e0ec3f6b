#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace wl::replacer {

// One downloaded file: its final name in the program's folder and the SHA-256 digest (lower-case
// hex) it was verified against before the program handed over.
struct ReplacedFile
{
    QString name;
    QString sha256;
};

// What the program asks of the replacer, read from separate arguments, so that a blank or a "+"
// in a path is just a character:
//   --program PATH  --pid N  --method 0|1  --restart PARAMS  --wait SECONDS  --file NAME=SHA256...
struct ReplacerJob
{
    QString programPath;
    qint64 pid = 0;
    bool externalSetup = false;
    QString restartParams;
    int waitSeconds = 60;
    std::vector<ReplacedFile> files;
};

// The outcomes, also the replacer's exit codes.
enum class ReplacerResult
{
    Replaced = 0,
    BadArguments = 2,
    ProgramStillRunning = 3,
    VerificationFailed = 4,
    NothingReplaced = 5, // a file could not be moved; every old file was put back
    Mixed = 6            // putting the old files back failed too; the program is not started
};

// Renames a file over another; false when it could not.
using FileMover = std::function<bool(const QString& from, const QString& to)>;
bool moveFile(const QString& from, const QString& to);

// True for a plain file name the upgrade may write: letters, digits, ".", "_" and "-", not
// starting with a dot, no folders.
bool isSafeFileName(const QString& name);

// Reads the arguments (without the program name); false with a reason when they are unusable.
bool parseArguments(const QStringList& args, ReplacerJob& job, QString& error);

// Lower-case hex SHA-256 of a file, empty when it cannot be read.
QString fileSha256(const QString& path);

// Waits, up to the job's limit, until the process has ended.
bool waitForProcessEnd(qint64 pid, int seconds);

// Checks every listed download against its digest and, only when all match, replaces all
// targets or none: the old files are moved aside first, then the downloads moved in; when any
// move fails the new files go and the old ones come back. The downloads and the set-aside
// files are gone afterwards in every case. Messages for the user are added to log.
ReplacerResult replaceFiles(const ReplacerJob& job, QStringList& log,
                            const FileMover& move = moveFile);

// The whole run: wait, replace, start the program again when it is one whole version.
ReplacerResult runReplacer(const ReplacerJob& job, QStringList& log,
                           const FileMover& move = moveFile);

} // namespace wl::replacer
