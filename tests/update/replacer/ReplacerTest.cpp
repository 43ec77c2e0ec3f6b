// The replacer program as the upgrade runs it: a program folder with a blank and a "+" in its
// path, a "program" that is a script recording how it was started, and downloads beside it.

#include "update/LocalServers.h"
#include "update/replacer/ReplacerJob.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

using namespace wl::replacer;
using namespace wl::test;

namespace {

constexpr auto RecordingScript =
    "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/started.txt\"\n";

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes, QFile::Permissions perms)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    f.setPermissions(perms);
}

QString sha(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

constexpr QFile::Permissions Exec =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup;
constexpr QFile::Permissions Private = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
// Qt also reports the owner's bits as the running user's: compare owner, group and others.
constexpr int OwnerGroupOther = 0x7077;

class ReplacerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ensureCoreApplication();
        folder = top.filePath(QStringLiteral("Wave lark+4"));
        QDir().mkpath(folder);
        program = QDir(folder).filePath(QStringLiteral("wavelark"));
        writeFile(program, QByteArray("#!/bin/sh\n# old\n") + RecordingScript, Exec);
        writeFile(path("wavelark.hlp"), "old help", Private);
    }
    QString path(const QString& name) const { return QDir(folder).filePath(name); }

    // Runs the replacer to its end and gives its exit code.
    int run(const QStringList& args, int timeoutMs = 20000)
    {
        QProcess p;
        p.start(QStringLiteral(WAVELARK_REPLACER), args);
        EXPECT_TRUE(p.waitForFinished(timeoutMs));
        errors = QString::fromLocal8Bit(p.readAllStandardError());
        return p.exitCode();
    }
    QStringList jobArgs(qint64 pid, const QStringList& files) const
    {
        QStringList args = {"--program", program, "--pid",     QString::number(pid),
                            "--method",  "0",     "--restart", "/afterupgrade",
                            "--wait",    "5"};
        for (const QString& f : files)
            args << "--file" << f;
        return args;
    }
    bool restarted() const
    {
        return waitFor([this] { return QFile::exists(path("started.txt")); }, 5000);
    }

    QTemporaryDir top;
    QString folder, program, errors;
};

TEST_F(ReplacerTest, ReplacesVerifiedFilesKeepingPermissionsAndRestarts)
{
    const QByteArray newProgram = QByteArray("#!/bin/sh\n# new\n") + RecordingScript;
    writeFile(path("wavelark.uTMP"), newProgram, QFile::ReadOwner | QFile::WriteOwner);
    writeFile(path("wavelark.hlp.uTMP"), "new help", QFile::ReadOwner | QFile::WriteOwner);
    writeFile(path("planted.uTMP"), "not from this run", Private);

    EXPECT_EQ(run(jobArgs(0, {"wavelark=" + sha(newProgram), "wavelark.hlp=" + sha("new help")})),
              0)
        << errors.toStdString();
    EXPECT_EQ(readFile(program), newProgram);
    EXPECT_EQ(readFile(path("wavelark.hlp")), "new help");
    EXPECT_EQ(QFile::permissions(program) & OwnerGroupOther, Exec);
    EXPECT_EQ(QFile::permissions(path("wavelark.hlp")) & OwnerGroupOther, Private);
    EXPECT_FALSE(QFile::exists(path("planted"))) << "only the files of this run are taken";
    ASSERT_TRUE(restarted());
    EXPECT_EQ(readFile(path("started.txt")), "/afterupgrade\n");
}

TEST_F(ReplacerTest, ChangedDownloadReplacesNothingAndStartsTheOldProgram)
{
    writeFile(path("wavelark.uTMP"), "tampered", Exec);
    writeFile(path("wavelark.hlp.uTMP"), "new help", Private);
    EXPECT_EQ(run(jobArgs(
                  0, {"wavelark.hlp=" + sha("new help"), "wavelark=" + sha("what was verified")})),
              int(ReplacerResult::VerificationFailed));
    EXPECT_TRUE(readFile(program).contains("# old"));
    EXPECT_EQ(readFile(path("wavelark.hlp")), "old help");
    EXPECT_FALSE(QFile::exists(path("wavelark.uTMP")));
    EXPECT_FALSE(QFile::exists(path("wavelark.hlp.uTMP")));
    EXPECT_TRUE(restarted());
}

TEST_F(ReplacerTest, UnsafeArgumentsAreRefusedBeforeAnythingHappens)
{
    const QString digest = sha("x");
    for (const QStringList& files :
         {QStringList{"../escape=" + digest}, QStringList{"sub/dir=" + digest},
          QStringList{".hidden=" + digest}, QStringList{"wavelark=nothex"}}) {
        EXPECT_EQ(run(jobArgs(0, files)), int(ReplacerResult::BadArguments))
            << files[0].toStdString();
    }
    EXPECT_EQ(run({"--program", "relative/path"}), int(ReplacerResult::BadArguments));
    EXPECT_FALSE(QFile::exists(path("started.txt")));
}

TEST_F(ReplacerTest, WaitsForTheProgramToEndWithinItsTimeLimit)
{
    writeFile(path("wavelark.hlp.uTMP"), "new help", Private);
    QProcess running; // stands for the program that is closing
    running.start(QStringLiteral("sleep"), {QStringLiteral("1.5")});
    ASSERT_TRUE(running.waitForStarted());
    QProcess replacer;
    replacer.start(QStringLiteral(WAVELARK_REPLACER),
                   jobArgs(running.processId(), {"wavelark.hlp=" + sha("new help")}));
    QThread::msleep(700);
    EXPECT_EQ(readFile(path("wavelark.hlp")), "old help") << "replaced while the program ran";
    running.waitForFinished(5000);
    ASSERT_TRUE(replacer.waitForFinished(10000));
    EXPECT_EQ(replacer.exitCode(), 0);
    EXPECT_EQ(readFile(path("wavelark.hlp")), "new help");

    QProcess stuck;
    stuck.start(QStringLiteral("sleep"), {QStringLiteral("30")});
    ASSERT_TRUE(stuck.waitForStarted());
    writeFile(path("wavelark.hlp.uTMP"), "newer help", Private);
    QStringList args = jobArgs(stuck.processId(), {"wavelark.hlp=" + sha("newer help")});
    args[args.indexOf("--wait") + 1] = "1";
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(run(args), int(ReplacerResult::ProgramStillRunning));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(readFile(path("wavelark.hlp")), "new help");
    EXPECT_FALSE(QFile::exists(path("wavelark.hlp.uTMP"))) << "the download was left behind";
    stuck.kill();
    stuck.waitForFinished();
}

// Every file of the program folder by name with a digest of its bytes, but for the record
// that the restarted program writes.
QMap<QString, QString> folderHash(const QString& folder)
{
    QMap<QString, QString> hashes;
    const QDir dir(folder);
    for (const QFileInfo& info :
         dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        if (info.fileName() != "started.txt")
            hashes[info.fileName()] = info.isFile() ? sha(readFile(info.filePath())) : "(folder)";
    return hashes;
}

TEST_F(ReplacerTest, TargetThatIsNoFileReplacesNothingAndStartsTheOldProgram)
{
    // wavelark.hlp is a folder here: the program file, listed first, must not be replaced alone.
    QFile::remove(path("wavelark.hlp"));
    QDir(folder).mkpath("wavelark.hlp/inside");
    const auto before = folderHash(folder);
    const QByteArray newProgram = QByteArray("#!/bin/sh\n# new\n") + RecordingScript;
    writeFile(path("wavelark.uTMP"), newProgram, Private);
    writeFile(path("wavelark.hlp.uTMP"), "new help", Private);
    EXPECT_EQ(run(jobArgs(0, {"wavelark=" + sha(newProgram), "wavelark.hlp=" + sha("new help")})),
              int(ReplacerResult::NothingReplaced));
    EXPECT_EQ(folderHash(folder), before);
    ASSERT_TRUE(restarted());
    EXPECT_EQ(readFile(path("started.txt")), "/afterupgrade\n");
    EXPECT_TRUE(readFile(program).contains("# old"));
}

TEST_F(ReplacerTest, FailedMoveGivesBackTheWholeOldVersion)
{
    const QByteArray newProgram = QByteArray("#!/bin/sh\n# new\n") + RecordingScript;
    struct Case
    {
        const char* name;
        QStringList failing; // "from>to" file names whose move fails
        ReplacerResult result;
    };
    const Case cases[] = {
        {"second file does not move in",
         {"wavelark.hlp.uTMP>wavelark.hlp"},
         ReplacerResult::NothingReplaced},
        {"second old file cannot be set aside",
         {"wavelark.hlp>wavelark.hlp.uOLD"},
         ReplacerResult::NothingReplaced},
        {"and the first cannot be put back",
         {"wavelark.hlp.uTMP>wavelark.hlp", "wavelark.uOLD>wavelark"},
         ReplacerResult::Mixed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        QFile::remove(path("started.txt"));
        const auto before = folderHash(folder);
        writeFile(path("wavelark.uTMP"), newProgram, Private);
        writeFile(path("wavelark.hlp.uTMP"), "new help", Private);
        ReplacerJob job;
        job.programPath = program;
        job.restartParams = "/afterupgrade";
        job.files = {{"wavelark", sha(newProgram)}, {"wavelark.hlp", sha("new help")}};
        QStringList moves, log;
        const FileMover mover = [&](const QString& from, const QString& to) {
            const QString move = QFileInfo(from).fileName() + ">" + QFileInfo(to).fileName();
            moves << move;
            return !c.failing.contains(move) && moveFile(from, to);
        };
        EXPECT_EQ(runReplacer(job, log, mover), c.result) << log.join('\n').toStdString();
        EXPECT_EQ(moves.first(), "wavelark>wavelark.uOLD") << "old files go aside first";
        EXPECT_TRUE(folderHash(folder).keys().filter(".uTMP").isEmpty());
        if (c.result == ReplacerResult::NothingReplaced) {
            EXPECT_EQ(folderHash(folder), before);
            EXPECT_TRUE(restarted()) << "the whole old version is started again";
        } else {
            // The old program waits under its aside name; a mix of versions is never started.
            EXPECT_EQ(readFile(path("wavelark.uOLD")).left(16), "#!/bin/sh\n# old\n");
            QThread::msleep(300);
            EXPECT_FALSE(QFile::exists(path("started.txt")));
        }
    }
}

} // namespace
