#include "app/services/CaptionedMessage.h"
#include "app/services/ServiceDoubles.h"

#include <gtest/gtest.h>

namespace wl {
namespace {

TEST(UiServices, HelpShowsTheTopicAndAsksAgain)
{
    test::ServiceDoubles doubles;
    doubles.messages.answers = {QMessageBox::Help, QMessageBox::Help, QMessageBox::No};
    const auto answer = CaptionedMessage(
        QStringLiteral("Repair"), QStringLiteral("Repair the table?"), MessageKind::Confirmation,
        130, QMessageBox::Yes | QMessageBox::No | QMessageBox::Help);
    EXPECT_EQ(answer, QMessageBox::No);
    ASSERT_EQ(doubles.messages.shown.size(), 3u);
    EXPECT_EQ(doubles.help.contexts, (std::vector<int>{130, 130}));
    const MessageRequest& r = doubles.messages.shown.front();
    EXPECT_EQ(r.caption, QStringLiteral("Repair"));
    EXPECT_EQ(r.kind, MessageKind::Confirmation);
    EXPECT_EQ(r.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Help);
}

TEST(UiServices, DoublesAreRemovedWithTheirOwner)
{
    {
        test::ServiceDoubles doubles;
        EXPECT_EQ(&UiServices::messages(), &doubles.messages);
        EXPECT_EQ(UiServices::screen().screenSize(), QSize(1280, 1024));
    }
    EXPECT_EQ(dynamic_cast<test::FakeMessages*>(&UiServices::messages()), nullptr);
}

} // namespace
} // namespace wl
