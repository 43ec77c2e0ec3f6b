#include "DialogTestSupport.h"
#include "dialogs/DialogCommands.h"
#include "dialogs/TFormFind.h"

#include <QAction>
#include <QToolButton>

namespace wl {
namespace {

class DialogCommandsTest : public test::DialogTest
{
};

TEST_F(DialogCommandsTest, CommandsOpenTheirWindows)
{
    TFormMain& w = openMain();
    installDialogCommands(w);
    EXPECT_TRUE(w.action(Command::EditCategories)->isEnabled());
    EXPECT_TRUE(w.action(Command::Preferences)->isEnabled());
    EXPECT_TRUE(w.button(Command::Find)->isEnabled());
    EXPECT_TRUE(w.button(Command::Notes)->isEnabled());

    // Pressing Find twice keeps one find window.
    w.button(Command::Find)->click();
    w.button(Command::Find)->click();
    EXPECT_EQ(w.findChildren<TFormFind*>().size(), 1);

    // Notes on an empty grid only says so.
    services.messages.shown.clear();
    w.button(Command::Notes)->click();
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown.back().text, QStringLiteral("Selected record has no notes."));
}

} // namespace
} // namespace wl
