#include "AppTestSupport.h"
#include "app/HelpTopics.h"
#include "app/THelpRouter.h"
#include "app/THelpWindow.h"

#include <QFile>

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
    const Case cases[] = {
        {70, "main-browse.html"}, {120, "main-edit.html"}, {30, "categories.html"},
        {40, "preferences.html"}, {60, "new-record.html"}, {80, "find.html"},
        {95, "notes.html"},       {130, "repair.html"},    {4711, "index.html"}};
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

} // namespace
} // namespace wl
