#include "AppTestSupport.h"
#include "app/HelpTopics.h"
#include "app/THelpRouter.h"
#include "app/THelpWindow.h"

#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace wl {
namespace {

TEST(HelpRouter, EveryTopicShipsWithTheProgram)
{
    for (const HelpTopic& topic : HelpTopics::all()) {
        QFile file(QStringLiteral(":/help/") + topic.file);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << topic.file.toStdString();
        EXPECT_TRUE(file.readAll().contains(topic.title.toUtf8())) << topic.file.toStdString();
    }
}

TEST(HelpRouter, ContextNumbersLeadToTheirWindowsTopics)
{
    test::ensureApplication();
    struct Case
    {
        int context;
        const char* file;
    };
    const Case cases[] = {{70, "main-browse.html"},    {120, "main-edit.html"},
                          {30, "categories.html"},     {40, "preferences.html"},
                          {60, "new-record.html"},     {80, "find.html"},
                          {95, "notes.html"},          {130, "repair.html"},
                          {110, "map.html"},           {50, "map.html"},
                          {112, "cities.html"},        {140, "export.html"},
                          {150, "print-preview.html"}, {160, "maintenance.html"},
                          {170, "internet.html"},      {4711, "index.html"}};
    THelpRouter router;
    for (const Case& c : cases) {
        router.showContext(c.context);
        ASSERT_NE(router.window(), nullptr);
        EXPECT_EQ(router.window()->currentUrl().fileName(), QString::fromLatin1(c.file))
            << c.context;
    }
    router.showContents();
    EXPECT_EQ(router.window()->currentUrl().fileName(), QStringLiteral("index.html"));
    router.quit();
    EXPECT_EQ(router.window(), nullptr);
}

TEST(HelpRouter, TheAskingWindowTellsApartTopicsThatShareANumber)
{
    // The import window and the notes viewer share 95.
    EXPECT_EQ(HelpTopics::forContext(95, {"wl::TFormImport", "wl::TFormMain"}).file,
              QStringLiteral("import.html"));
    EXPECT_EQ(HelpTopics::forContext(95, {"wl::TFormView", "wl::TFormMain"}).file,
              QStringLiteral("notes.html"));
    EXPECT_EQ(HelpTopics::forContext(95, {"wl::TFormMain"}).file, QStringLiteral("notes.html"));
    // Windows that ask for no number: their own topic, or that of the window they belong to.
    const HelpTopic* preview = HelpTopics::forWindow({"wl::TPagePreview", "wl::TFormMain"});
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->file, QStringLiteral("print-preview.html"));
    const HelpTopic* dialog = HelpTopics::forWindow({"QFileDialog", "wl::TFormMap"});
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->file, QStringLiteral("map.html"));
    EXPECT_EQ(HelpTopics::forWindow({"QDialog"}), nullptr);
}

TEST(HelpRouter, HelpOpensInFrontOfAModalWindowAndTakesKeys)
{
    test::ensureApplication();
    THelpRouter router;
    QDialog modal;
    modal.setWindowTitle(QStringLiteral("A modal window"));
    bool checked = false;
    QTimer::singleShot(0, &modal, [&] {
        // F1 pressed in a window that asks for no topic of its own.
        QTest::keyClick(&modal, Qt::Key_F1);
        THelpWindow* help = router.window();
        ASSERT_NE(help, nullptr);
        EXPECT_TRUE(help->isVisible());
        EXPECT_EQ(help->window()->parentWidget(), &modal);
        // Typing into the help window's index reaches it: the modal window does not block it.
        auto* search = help->findChild<QLineEdit*>();
        ASSERT_NE(search, nullptr);
        help->findChild<QTabWidget*>()->setCurrentIndex(1);
        help->activateWindow();
        search->setFocus();
        QTest::keyClick(help->windowHandle(), Qt::Key_M);
        QTest::keyClick(help->windowHandle(), Qt::Key_A);
        EXPECT_EQ(search->text(), QStringLiteral("ma"));
        checked = true;
        modal.reject();
    });
    modal.exec();
    EXPECT_TRUE(checked);
    // The help window went with the window it belonged to.
    router.quit();
}

} // namespace
} // namespace wl
