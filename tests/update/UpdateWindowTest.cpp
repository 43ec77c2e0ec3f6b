// The update window and the upgrade's own windows, against a loopback server, with every
// message box answered by the test doubles.

#include "app/AppTestSupport.h"
#include "app/services/ServiceDoubles.h"
#include "update/LocalServers.h"
#include "update/TFormProgress.h"
#include "update/TwlUpdater.h"
#include "update/TwlUpdaterPasswordForm.h"
#include "update/TwlUpdaterUpgradeMessageForm.h"
#include "update/TwlUpdaterWizardForm.h"
#include "update/UpdateCommands.h"
#include "update/UpdateSigning.h"

#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace wl;
using namespace wl::test;

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Presses a button of the first visible window of type W once it appears and is enabled.
template <typename W> void pressWhenShown(QPushButton* W::*button)
{
    auto* timer = new QTimer(qApp);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, button] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* form = qobject_cast<W*>(w);
                form && form->isVisible() && (form->*button)->isEnabled()) {
                timer->deleteLater();
                (form->*button)->click();
                return;
            }
        }
        if (++*tries > 500)
            timer->deleteLater();
    });
    timer->start(20);
}

// Presses a button of every visible window of type W that appears while it lives.
template <typename W> class PressWhileAlive
{
public:
    explicit PressWhileAlive(QPushButton* W::*button)
    {
        QObject::connect(&timer_, &QTimer::timeout, [button] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* form = qobject_cast<W*>(w);
                    form && form->isVisible() && (form->*button)->isEnabled())
                    (form->*button)->click();
        });
        timer_.start(20);
    }

private:
    QTimer timer_;
};

class UpdateWindowTest : public ::testing::Test
{
public:
    static void SetUpTestSuite()
    {
        ensureApplication();
        site = new QTemporaryDir;
        QDir(site->path()).mkpath(QStringLiteral("Exes"));
        certs = new TestCertificates;
        nginx = new NginxServer;
        python = new PythonServer;
        if (!certs->make(site->path(), skipReason))
            return;
        if (!nginx->start(
                site->path(), certs,
                QStringLiteral("location = /Exes/loop.inf { return 302 /Exes/loop.inf; }\n"
                               "location = /Exes/broken.inf { return 500; }"),
                QStringLiteral("location = /Exes/tohttp.inf { return 301 "
                               "http://127.0.0.1:%HTTP%/Exes/wl.inf; }")))
            skipReason = nginx->error();
        else if (!python->start())
            skipReason = python->error();
    }
    static void TearDownTestSuite()
    {
        delete python;
        delete nginx;
        delete certs;
        delete site;
    }
    void SetUp() override
    {
        if (!skipReason.isEmpty())
            GTEST_SKIP() << skipReason.toStdString();
        setup = UpdateSetup();
        program = folder.filePath(QStringLiteral("wavelark"));
        writeFile(program, "#!/bin/sh\n");
        writeFile(site->filePath(QStringLiteral("Exes/wavelark")), "#!/bin/sh\n# new\n");
        setup.infoFileUrl = nginx->url(QStringLiteral("/Exes/wl.inf"));
        setup.publicKey = key.publicKey;
        setup.programPath = program;
        setup.replacerPath = QStringLiteral(WAVELARK_REPLACER);
        setup.versionNumber = QStringLiteral("4.42");
        setup.closeProgram = [this] {
            closeAsked = true;
            return false;
        };
    }
    // Publishes the listed files of the site; moved maps a file's address on the site to the
    // address that the information file gives for it instead.
    void publish(const QString& version, const QStringList& names = {QStringLiteral("wavelark")},
                 const QMap<QString, QString>& moved = {})
    {
        ReleaseDescription release;
        release.baseUrl = nginx->url(QStringLiteral("/Exes/"));
        release.version = version;
        for (const QString& name : names)
            release.files << site->filePath(QStringLiteral("Exes/") + name);
        QString reason;
        QByteArray text = describeRelease(release, reason);
        for (auto it = moved.begin(); it != moved.end(); ++it)
            text.replace(nginx->url(QStringLiteral("/Exes/") + it.key()).toUtf8(),
                         it.value().toUtf8());
        writeFile(site->filePath(QStringLiteral("Exes/wl.inf")), signInfoFile(text, key.secretKey));
    }
    // Every entry of the program folder with a digest of its bytes.
    QMap<QString, QByteArray> programFolder() const
    {
        QMap<QString, QByteArray> hashes;
        for (const QFileInfo& info :
             QDir(folder.path())
                 .entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
            QFile f(info.filePath());
            hashes[info.fileName()] =
                f.open(QIODevice::ReadOnly)
                    ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
                    : QByteArray("(unreadable)");
        }
        return hashes;
    }
    // Clicks the window's button and waits, bounded, until the check has ended.
    void check(TFormProgress& window)
    {
        window.BtnUpdate->click();
        EXPECT_TRUE(waitFor([&] { return !window.Updater1->Checking(); }, 20000));
    }

    static inline QTemporaryDir* site = nullptr;
    static inline TestCertificates* certs = nullptr;
    static inline NginxServer* nginx = nullptr;
    static inline PythonServer* python = nullptr;
    static inline QString skipReason;
    static inline const UpdateKeyPair key = makeUpdateKeyPair();
    ServiceDoubles services;
    QTemporaryDir folder;
    QString program;
    UpdateSetup setup;
    bool closeAsked = false;
};

TEST_F(UpdateWindowTest, ServerAnswersBecomeTheWindowsMessages)
{
    struct Case
    {
        const char* name;
        std::function<void(UpdateWindowTest&)> arrange;
        QString caption, text;
        bool whole = true; // else text is how the message starts (libcurl's detail follows)
    };
    const Case cases[] = {
        // 4.5 is not newer than 4.42: the parts compare as numbers.
        {"no update", [](UpdateWindowTest& t) { t.publish(QStringLiteral("4.5")); },
         "Update Not Needed", "You are using the current version."},
        {"no information file",
         [](UpdateWindowTest&) { QFile::remove(site->filePath(QStringLiteral("Exes/wl.inf"))); },
         "Wavelark", "Information file not found."},
        {"no server",
         [](UpdateWindowTest& t) {
             t.setup.infoFileUrl =
                 QStringLiteral("http://127.0.0.1:%1/Exes/wl.inf").arg(freePort());
         },
         "Wavelark", "Unable to connect to 127.0.0.1."},
        // Answers other than "not there" say what went wrong.
        {"https to http",
         [](UpdateWindowTest& t) {
             t.setup.infoFileUrl = nginx->tlsUrl(QStringLiteral("/Exes/tohttp.inf"));
             t.setup.caFile = certs->caFile;
         },
         "Wavelark",
         QStringLiteral("The information file could not be fetched. The secure address redirects "
                        "to the insecure address http://127.0.0.1:%1/Exes/wl.inf, which is not "
                        "followed.")
             .arg(nginx->port)},
        {"redirect loop",
         [](UpdateWindowTest& t) { t.setup.infoFileUrl = nginx->url("/Exes/loop.inf"); },
         "Wavelark",
         "The information file could not be fetched. The server redirects in a loop (more than "
         "8 redirects)."},
        {"server error",
         [](UpdateWindowTest& t) { t.setup.infoFileUrl = nginx->url("/Exes/broken.inf"); },
         "Wavelark",
         "The information file could not be fetched. The server answered 500 Internal Server "
         "Error."},
        {"part of the file",
         [](UpdateWindowTest& t) { t.setup.infoFileUrl = python->url("/partial/wl.inf"); },
         "Wavelark",
         "The information file could not be fetched. The server answered 206 Partial Content: "
         "only a part of the file, where the whole file was asked for."},
        {"unknown certificate authority",
         [](UpdateWindowTest& t) {
             t.setup.infoFileUrl = nginx->tlsUrl(QStringLiteral("/Exes/wl.inf"));
         },
         "Wavelark", "Unable to connect to 127.0.0.1. The server's certificate was not accepted (",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        services.messages.shown.clear();
        SetUp();
        c.arrange(*this);
        TFormProgress window(setup);
        window.show();
        EXPECT_EQ(window.windowTitle(), "Wavelark Program Updates");
        check(window);
        ASSERT_EQ(services.messages.shown.size(), 1u);
        EXPECT_EQ(services.messages.shown[0].caption, c.caption);
        if (c.whole)
            EXPECT_EQ(services.messages.shown[0].text, c.text);
        else
            EXPECT_TRUE(services.messages.shown[0].text.startsWith(c.text))
                << services.messages.shown[0].text.toStdString();
        EXPECT_TRUE(window.isVisible()) << "the window stays open to try again";
        EXPECT_FALSE(window.LblConnect->isVisible());
    }
}

TEST_F(UpdateWindowTest, DecliningTheOfferClosesTheWindow)
{
    publish(QStringLiteral("4.43"));
    TFormProgress window(setup);
    window.show();
    pressWhenShown(&TwlUpdaterUpgradeMessageForm::LaterBtn);
    window.BtnUpdate->click();
    window.BtnUpdate->click(); // a second click while checking starts nothing
    EXPECT_TRUE(waitFor([&] { return !window.isVisible(); }, 20000));
    EXPECT_TRUE(services.messages.shown.empty());
}

TEST_F(UpdateWindowTest, ClosingTheWizardOnItsFinalPageAsksAndAborts)
{
    publish(QStringLiteral("5.0"));
    TFormProgress window(setup);
    window.show();
    pressWhenShown(&TwlUpdaterUpgradeMessageForm::YesBtn);
    window.BtnUpdate->click();
    TwlUpdaterWizardForm* wizard = nullptr;
    ASSERT_TRUE(waitFor(
        [&] {
            wizard = window.findChild<TwlUpdaterWizardForm*>();
            return wizard && wizard->FinishBtn->isEnabled();
        },
        20000));
    EXPECT_EQ(wizard->FinishBtn->text(), "&OK");
    services.messages.answers = {QMessageBox::Yes};
    wizard->close();
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].text,
              "The update is not completed.\nWould you like to abort upgrading?");
    EXPECT_TRUE(waitFor([&] { return !window.isVisible(); }, 5000));
    EXPECT_FALSE(closeAsked) << "the program was asked to close for a replacer";
    EXPECT_TRUE(QDir(folder.path()).entryList({"*.uTMP"}, QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(UpdateWindowTest, ProgramKeptOpenLeavesNoReplacerWaiting)
{
    publish(QStringLiteral("5.0"));
    TFormProgress window(setup);
    window.show();
    pressWhenShown(&TwlUpdaterUpgradeMessageForm::YesBtn);
    pressWhenShown(&TwlUpdaterWizardForm::FinishBtn);
    window.BtnUpdate->click();
    ASSERT_TRUE(waitFor([&] { return closeAsked && !window.Updater1->Checking(); }, 20000));
    ASSERT_FALSE(services.messages.shown.empty());
    EXPECT_EQ(services.messages.shown.back().text,
              "The program was not closed, so the update was not installed.");
    EXPECT_TRUE(QDir(folder.path()).entryList({"*.uTMP"}, QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(UpdateWindowTest, OlderReleaseWithALetterIsNotOffered)
{
    // Signed releases replayed from the past: 4.9b and 4.5-rc1 are older than 4.42.
    for (const QString& version : {QStringLiteral("4.9b"), QStringLiteral("4.5-rc1"),
                                   QStringLiteral("4.42-rc1"), QStringLiteral("4.42")}) {
        SCOPED_TRACE(version.toStdString());
        services.messages.shown.clear();
        SetUp();
        publish(version);
        const auto before = programFolder();
        TFormProgress window(setup);
        window.show();
        const PressWhileAlive later(&TwlUpdaterUpgradeMessageForm::LaterBtn); // when offered
        check(window);
        ASSERT_EQ(services.messages.shown.size(), 1u);
        EXPECT_EQ(services.messages.shown[0].text, "You are using the current version.");
        EXPECT_EQ(programFolder(), before);
    }
}

TEST_F(UpdateWindowTest, SideFileOfTheDataIsRefused)
{
    for (const QString& name :
         {QStringLiteral("larkbase.dat-journal"), QStringLiteral("larkbase.dat-wal")}) {
        SCOPED_TRACE(name.toStdString());
        services.messages.shown.clear();
        SetUp();
        writeFile(folder.filePath(name), "the store's own journal");
        writeFile(site->filePath(QStringLiteral("Exes/") + name), "planted");
        publish(QStringLiteral("5.0"), {QStringLiteral("wavelark"), name});
        const auto before = programFolder();
        TFormProgress window(setup);
        window.show();
        pressWhenShown(&TwlUpdaterUpgradeMessageForm::YesBtn);
        check(window);
        ASSERT_EQ(services.messages.shown.size(), 1u);
        EXPECT_TRUE(services.messages.shown[0].text.startsWith(
            "The update lists a file name that cannot be accepted"))
            << services.messages.shown[0].text.toStdString();
        EXPECT_EQ(programFolder(), before);
        EXPECT_FALSE(closeAsked);
    }
}

TEST_F(UpdateWindowTest, ClosingTheWindowMidUpdateLeavesNoDownloads)
{
    // The program is verified and stored; the help file is still coming when the user closes
    // the update window.
    writeFile(site->filePath(QStringLiteral("Exes/wavelark.hlp")), "help");
    publish(QStringLiteral("5.0"), {QStringLiteral("wavelark"), QStringLiteral("wavelark.hlp")},
            {{QStringLiteral("wavelark.hlp"),
              python->url(QStringLiteral("/slow/wavelark.hlp?len=1000&pause=1"))}});
    const auto before = programFolder();
    auto window = std::make_unique<TFormProgress>(setup);
    window->show();
    pressWhenShown(&TwlUpdaterUpgradeMessageForm::YesBtn);
    window->BtnUpdate->click();
    ASSERT_TRUE(waitFor(
        [&] {
            return QFile::exists(folder.filePath("wavelark.uTMP")) &&
                   QFile::exists(folder.filePath("wavelark.hlp.uTMP"));
        },
        20000));
    window->BtnClose->click();
    EXPECT_FALSE(window->isVisible());
    window.reset(); // what the menu command does once the window has closed
    EXPECT_EQ(programFolder(), before);
    EXPECT_FALSE(closeAsked);
}

TEST_F(UpdateWindowTest, HugeErrorPageForAFileIsNotHeldInMemory)
{
    const auto peakKb = [] {
        QFile status(QStringLiteral("/proc/self/status"));
        status.open(QIODevice::ReadOnly);
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').first().toLongLong();
        return qint64(0);
    };
    const QString page = python->url(QStringLiteral("/bigerror/wavelark?len=300000000"));
    publish(QStringLiteral("5.0"), {QStringLiteral("wavelark")},
            {{QStringLiteral("wavelark"), page}});
    const auto before = programFolder();
    const qint64 peakBefore = peakKb();
    TFormProgress window(setup);
    window.show();
    pressWhenShown(&TwlUpdaterUpgradeMessageForm::YesBtn);
    window.BtnUpdate->click();
    EXPECT_TRUE(waitFor([&] { return !window.isVisible(); }, 30000));
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].text.toStdString(),
              ("File \"" + page + "\" not found.\n\n Upgrade aborted.").toStdString());
    EXPECT_LT(peakKb() - peakBefore, 64 * 1024) << "peak memory grew by that many KB";
    EXPECT_EQ(programFolder(), before);
}

TEST_F(UpdateWindowTest, MainWindowCommandIsEnabled)
{
    TempInstall install;
    TFormMain main(install.setup());
    EXPECT_FALSE(main.action(Command::CheckUpdates)->isEnabled());
    installUpdateCommands(main);
    EXPECT_TRUE(main.action(Command::CheckUpdates)->isEnabled());
}

} // namespace
