// The whole upgrade against servers on the loopback address, in a program folder of its own
// whose "program" is a script that records how it was started: a newer version is offered,
// downloaded, verified, put in place by the real replacer and restarted; every way it can go
// wrong leaves the old program whole and says why.

#include "update/FakeUpdaterUi.h"
#include "update/LocalServers.h"
#include "update/TwlUpdater.h"
#include "update/UpdateSigning.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace wl;
using namespace wl::test;

namespace {

const QByteArray Recorder = "printf '%s\\n' \"$@\" > \"$(dirname \"$0\")/started.txt\"\n";
const QByteArray OldProgram = "#!/bin/sh\n# version 4.44\n" + Recorder;
const QByteArray NewProgram = "#!/bin/sh\n# version 4.45\n" + Recorder;

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class UpgradeTest : public ::testing::Test
{
public:
    static void SetUpTestSuite()
    {
        ensureCoreApplication();
        site = new QTemporaryDir;
        QDir(site->path()).mkpath(QStringLiteral("Exes"));
        nginx = new NginxServer;
        python = new PythonServer;
        if (!nginx->start(site->path()))
            skipReason = nginx->error();
        else if (!python->start())
            skipReason = python->error();
    }
    static void TearDownTestSuite()
    {
        delete python;
        delete nginx;
        delete site;
    }

    void SetUp() override
    {
        if (!skipReason.isEmpty())
            GTEST_SKIP() << skipReason.toStdString();
        folder = top.filePath(QStringLiteral("Wave lark+4"));
        QDir().mkpath(folder);
        program = QDir(folder).filePath(QStringLiteral("wavelark"));
        writeFile(program, OldProgram);
        QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);
        writeFile(path("wavelark.hlp"), "old help");
        writeFile(exes("wavelark"), NewProgram);
        writeFile(exes("wavelark.hlp"), "new help");
        key = makeUpdateKeyPair();
        release.baseUrl = nginx->url(QStringLiteral("/Exes/"));
        release.version = QStringLiteral("4.45");
        release.message = QStringLiteral("Faster maps.");
        release.files = {exes("wavelark"), exes("wavelark.hlp")};

        updater.InfoFileURL = nginx->url(QStringLiteral("/Exes/wl.inf"));
        updater.VersionControl = TwlUpdaterVersionControl::byNumber;
        updater.VersionNumber = QStringLiteral("4.44");
        updater.ShowMessages = {TwlUpdaterShowMessage::mAskUpgrade,
                                TwlUpdaterShowMessage::mConnLost,
                                TwlUpdaterShowMessage::mPasswordRequest};
        updater.ProgramTitle = QStringLiteral("Wavelark");
        updater.ProgramPath = program;
        updater.ReplacerPath = QStringLiteral(WAVELARK_REPLACER);
        updater.PublicKey = key.publicKey;
        updater.Timeouts.ReceiveTimeout = 1500;
        updater.ReplacerWaitSeconds = 10;
        updater.OnNoUpdateAvailable = [this] { events << QStringLiteral("no update"); };
        updater.OnAborted = [this] { events << QStringLiteral("aborted"); };
        updater.OnUpdateRefused = [this](const QString& r) {
            events << QStringLiteral("refused: ") + r;
        };
        updater.OnFileStart = [this](const QString& url, qint64, const QDateTime&,
                                     std::atomic<bool>&) {
            events << QStringLiteral("start ") + url;
        };
        updater.OnLostFile = [this](const QString&, int code, bool& cont) {
            events << QStringLiteral("lost %1").arg(code);
            cont = false;
        };
        ui.updater = &updater;
    }

    QString path(const QString& name) const { return QDir(folder).filePath(name); }
    static QString exes(const QString& name)
    {
        return site->filePath(QStringLiteral("Exes/") + name);
    }

    void publish(const UpdateKeyPair& signer)
    {
        QString reason;
        const QByteArray text = describeRelease(release, reason);
        ASSERT_FALSE(text.isEmpty()) << reason.toStdString();
        writeFile(exes(QStringLiteral("wl.inf")), signInfoFile(text, signer.secretKey));
    }

    // Runs a check to its end, bounded in time.
    void check()
    {
        updater.CheckUpdate();
        EXPECT_TRUE(waitFor([this] { return !updater.Checking() && !updater.Busy(); }, 20000));
    }

    void expectOldProgramWhole()
    {
        EXPECT_EQ(readFile(program), OldProgram);
        EXPECT_EQ(readFile(path("wavelark.hlp")), "old help");
        EXPECT_TRUE(QDir(folder).entryList({"*.uTMP"}, QDir::Files | QDir::Hidden).isEmpty());
        EXPECT_FALSE(ui.log.contains(QStringLiteral("close")));
    }

    static inline QTemporaryDir* site = nullptr;
    static inline NginxServer* nginx = nullptr;
    static inline PythonServer* python = nullptr;
    static inline QString skipReason;
    QTemporaryDir top;
    QString folder, program;
    UpdateKeyPair key;
    ReleaseDescription release;
    FakeUpdaterUi ui;
    TwlUpdater updater{ui};
    QStringList events;
};

TEST_F(UpgradeTest, NewerVersionIsDownloadedVerifiedReplacedAndRestarted)
{
    publish(key);
    writeFile(path("stale.uTMP"), "left by an earlier run");
    QProcess closing; // the program that the replacer waits for
    closing.start(QStringLiteral("sleep"), {QStringLiteral("0.5")});
    ASSERT_TRUE(closing.waitForStarted());
    updater.ProcessId = closing.processId();

    check();
    EXPECT_TRUE(ui.errors.isEmpty()) << ui.errors.join('\n').toStdString();
    ASSERT_TRUE(ui.log.size() > 1);
    EXPECT_TRUE(ui.log.first().startsWith(
        "ask: A newer version of Wavelark was released.\n\nFaster maps.\n\n"));
    EXPECT_TRUE(ui.log.contains(QStringLiteral("final")));
    EXPECT_EQ(ui.log.mid(ui.log.size() - 2), (QStringList{"close", "quit"}));
    EXPECT_FALSE(QFile::exists(path("stale.uTMP")));

    // The restarted program creates the file before it writes its line: wait for the line.
    ASSERT_TRUE(waitFor([&] { return QFileInfo(path("started.txt")).size() > 0; }, 15000))
        << "the program was not started again";
    EXPECT_EQ(readFile(path("started.txt")), "/afterupgrade\n");
    EXPECT_EQ(readFile(program), NewProgram);
    EXPECT_EQ(readFile(path("wavelark.hlp")), "new help");
    EXPECT_TRUE(QFile::permissions(program) & QFile::ExeOwner);
}

TEST_F(UpgradeTest, EveryFaultLeavesTheOldProgramAndSaysWhy)
{
    struct Case
    {
        const char* name;
        std::function<void(UpgradeTest&)> arrange;
        QString said; // in an error box or an event
    };
    const Case cases[] = {
        {"tampered file",
         [](UpgradeTest& t) {
             t.publish(t.key);
             writeFile(exes("wavelark.hlp"), "changed after signing");
         },
         "does not match the published one"},
        {"wrong signature", [](UpgradeTest& t) { t.publish(makeUpdateKeyPair()); },
         "not signed by the maker"},
        {"older version",
         [](UpgradeTest& t) {
             t.release.version = QStringLiteral("4.40");
             t.publish(t.key);
         },
         "no update"},
        {"bad name",
         [](UpgradeTest& t) {
             writeFile(exes("larkbase.dat"), "a data file");
             t.release.files << exes("larkbase.dat");
             t.publish(t.key);
         },
         "file name that cannot be accepted"},
        {"same name twice",
         [](UpgradeTest& t) {
             t.release.files << exes("wavelark");
             t.publish(t.key);
         },
         "file name that cannot be accepted"},
        {"stalled server",
         [](UpgradeTest& t) {
             t.release.baseUrl = python->url(QStringLiteral("/stallbody/"));
             t.release.files = {exes("wavelark")};
             t.publish(t.key);
         },
         "Connection with remote server lost."},
        {"missing file",
         [](UpgradeTest& t) {
             t.publish(t.key);
             QFile::remove(exes("wavelark.hlp"));
         },
         "lost 404"},
        {"abort midway",
         [](UpgradeTest& t) {
             t.release.baseUrl = python->url(QStringLiteral("/slow/"));
             t.release.files = {exes("wavelark")};
             t.publish(t.key);
             t.updater.OnProgress = [&t](const QString&, qint64, qint64, qint64, qint64, int, int,
                                         float) { t.updater.AbortUpgrade(); };
         },
         "aborted"},
        {"program kept open for unsaved edits",
         [](UpgradeTest& t) {
             t.publish(t.key);
             t.ui.programCloses = false;
         },
         "was not closed"},
    };
    for (const Case& c : cases) {
        SetUp(); // a fresh program folder and release for each case
        c.arrange(*this);
        check();
        SCOPED_TRACE(c.name);
        const QString said = (ui.errors + events).join('\n');
        EXPECT_TRUE(said.contains(c.said)) << said.toStdString();
        EXPECT_EQ(readFile(program), OldProgram);
        EXPECT_EQ(readFile(path("wavelark.hlp")), "old help");
        EXPECT_TRUE(QDir(folder).entryList({"*.uTMP"}, QDir::Files | QDir::Hidden).isEmpty());
        EXPECT_FALSE(ui.log.contains(QStringLiteral("quit"))) << "the replacer was started";
        ui = FakeUpdaterUi();
        ui.updater = &updater;
        events.clear();
        updater.OnProgress = nullptr;
    }
}

TEST_F(UpgradeTest, ProtectedDownloadAsksForThePassword)
{
    writeFile(exes("wavelark.hlp"), "granted"); // what the protected address answers
    release.baseUrl = python->url(QStringLiteral("/auth/"));
    release.files = {exes("wavelark.hlp")};
    publish(key);
    ui.programCloses = false;
    check();
    EXPECT_TRUE(ui.log.contains(QStringLiteral("password: wavelark.hlp")));
    EXPECT_TRUE(ui.log.contains(QStringLiteral("final"))) << ui.log.join('\n').toStdString();
    EXPECT_EQ(updater.HTTPUsername, "ann");
}

TEST_F(UpgradeTest, UnwritableProgramFolderIsSaidBeforeDownloading)
{
    publish(key);
    updater.ProgramPath = QStringLiteral("/proc/wavelark"); // not writable even for root
    check();
    ASSERT_EQ(ui.errors.size(), 1);
    EXPECT_TRUE(ui.errors[0].contains(QStringLiteral("cannot be written")));
    EXPECT_FALSE(events.join(' ').contains(QStringLiteral("start ")));
}

TEST_F(UpgradeTest, RedirectMethodOpensOnlyWebAddresses)
{
    for (const QString& address : {QStringLiteral("https://www.wavelark.example/new.html"),
                                   QStringLiteral("file:///bin/sh")}) {
        SetUp();
        QString reason;
        release.method = 2;
        release.files = {exes("wavelark")};
        QByteArray text = describeRelease(release, reason);
        text.replace(nginx->url(QStringLiteral("/Exes/wavelark")).toUtf8(), address.toUtf8());
        writeFile(exes(QStringLiteral("wl.inf")), signInfoFile(text, key.secretKey));
        ui = FakeUpdaterUi();
        check();
        const bool web = address.startsWith(QStringLiteral("https:"));
        EXPECT_EQ(ui.log.contains(QStringLiteral("open: ") + address), web)
            << ui.log.join('\n').toStdString();
        EXPECT_EQ(ui.errors.isEmpty(), web);
        expectOldProgramWhole();
    }
}

TEST_F(UpgradeTest, DeclinedOfferDownloadsNothing)
{
    publish(key);
    ui.upgradeAnswer = false;
    bool later = false;
    updater.OnLaterUpgrade = [&] { later = true; };
    check();
    EXPECT_TRUE(later);
    EXPECT_FALSE(ui.log.contains(QStringLiteral("wizard")));
    expectOldProgramWhole();
}

} // namespace
