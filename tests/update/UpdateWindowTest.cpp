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
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

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

class UpdateWindowTest : public ::testing::Test
{
public:
    static void SetUpTestSuite()
    {
        ensureApplication();
        site = new QTemporaryDir;
        QDir(site->path()).mkpath(QStringLiteral("Exes"));
        nginx = new NginxServer;
        if (!nginx->start(site->path()))
            skipReason = nginx->error();
    }
    static void TearDownTestSuite()
    {
        delete nginx;
        delete site;
    }
    void SetUp() override
    {
        if (!skipReason.isEmpty())
            GTEST_SKIP() << skipReason.toStdString();
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
    void publish(const QString& version)
    {
        ReleaseDescription release;
        release.baseUrl = nginx->url(QStringLiteral("/Exes/"));
        release.version = version;
        release.files = {site->filePath(QStringLiteral("Exes/wavelark"))};
        QString reason;
        writeFile(site->filePath(QStringLiteral("Exes/wl.inf")),
                  signInfoFile(describeRelease(release, reason), key.secretKey));
    }
    // Clicks the window's button and waits, bounded, until the check has ended.
    void check(TFormProgress& window)
    {
        window.BtnUpdate->click();
        EXPECT_TRUE(waitFor([&] { return !window.Updater1->Checking(); }, 20000));
    }

    static inline QTemporaryDir* site = nullptr;
    static inline NginxServer* nginx = nullptr;
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
        EXPECT_EQ(services.messages.shown[0].text, c.text);
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

TEST_F(UpdateWindowTest, MainWindowCommandIsEnabled)
{
    TempInstall install;
    TFormMain main(install.setup());
    EXPECT_FALSE(main.action(Command::CheckUpdates)->isEnabled());
    installUpdateCommands(main);
    EXPECT_TRUE(main.action(Command::CheckUpdates)->isEnabled());
}

} // namespace
