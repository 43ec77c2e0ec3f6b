#include "AppTestSupport.h"
#include "app/AppConstants.h"
#include "app/RecordCells.h"
#include "app/RecordDate.h"
#include "app/services/Registry.h"
#include "app/services/ServiceDoubles.h"
#include "grid/LocaleInfo.h"
#include "grid/TSortableGrid.h"
#include "store/FrequencyRecord.h"

#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QStatusBar>
#include <QTabBar>
#include <QToolButton>

#include <set>

#include <gtest/gtest.h>

namespace wl {
namespace {

const QString ResolutionMessage =
    QStringLiteral("A screen resolution of 800x600 or higher is required by this program.");

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override { test::ensureApplication(); }

    QStringList tabs(const TFormMain& w) const
    {
        QStringList result;
        for (int i = 0; i < w.Tab1->count(); ++i)
            result << w.Tab1->tabText(i);
        return result;
    }
    QString setting(const QString& name) const
    {
        Registry reg(install.settingsFile());
        if (!reg.openKey(app::SettingsKey, false))
            return QStringLiteral("<no key>");
        return reg.readString(name, QStringLiteral("<none>"));
    }

    test::ServiceDoubles services;
    test::TempInstall install;
};

TEST_F(MainWindowTest, FirstRunOnACleanMachine)
{
    {
        TFormMain w(install.setup());
        w.show();
        EXPECT_TRUE(services.messages.shown.empty())
            << services.messages.texts().join("; ").toStdString();
        EXPECT_EQ(tabs(w), (QStringList{"All Records", "Police", "Short Wave", "Weather"}));
        EXPECT_EQ(w.Tab1->currentIndex(), 0);
        EXPECT_EQ(w.PnlTotal->text(), QStringLiteral("Records = 0"));
        EXPECT_EQ(w.pos(), QPoint(0, 0));
        EXPECT_EQ(w.size(), QSize(800, 600));
        EXPECT_FALSE(w.PnlEditing->isVisible());
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Wavelark - ") +
                                       QDir::toNativeSeparators(install.programFolder()) +
                                       QStringLiteral("larkbase.dat   0 - 9999 MHz"));
        for (const char* name : {"larkbase.dat", "larkbase.cat"})
            EXPECT_TRUE(QFile::exists(install.programFolder() + name)) << name;
        EXPECT_EQ(setting(QStringLiteral("Left")), QStringLiteral("<none>"));
        w.close();
    }
    EXPECT_EQ(setting(QStringLiteral("Left")), QStringLiteral("0"));
    EXPECT_EQ(setting(QStringLiteral("Width")), QStringLiteral("800"));
    EXPECT_EQ(setting(QStringLiteral("Window")), QStringLiteral("0"));
    EXPECT_EQ(setting(QStringLiteral("DataBasePath")), install.programFolder());
    EXPECT_EQ(services.help.quits, 1);
}

TEST_F(MainWindowTest, TheFirstStartFitsTheColumnsToTheirTexts)
{
    const auto widths = [](const TFormMain& w) {
        std::vector<int> result;
        for (int col = 0; col < w.SortableGrid1->ColCount(); ++col)
            result.push_back(w.SortableGrid1->ColWidths(col));
        return result;
    };
    std::vector<int> first;
    {
        TFormMain w(install.setup());
        w.show();
        const TSortableGrid& g = *w.SortableGrid1;
        const QFontMetrics metrics(g.font());
        for (int col = 0; col < g.ColCount(); ++col)
            EXPECT_GE(g.ColWidths(col), metrics.horizontalAdvance(g.Cells(col, 0)))
                << g.Cells(col, 0).toStdString();
        // A date with its time and a position of two hemispheres fit before any record is in.
        const QString date =
            RecordCells(LocaleInfo::current(), 0)
                .text(RecordCells::DateSlot,
                      RecordDate::fromDateTime(QDateTime(QDate(2004, 12, 22), QTime(23, 59))));
        EXPECT_GE(g.ColWidths(8), metrics.horizontalAdvance(date)) << date.toStdString();
        EXPECT_GE(g.ColWidths(7), metrics.horizontalAdvance(QStringLiteral("45 38N 122 41W")));
        EXPECT_EQ(g.ColWidths(4), 80); // wide enough already
        // The fitted widths are stored at once, not only when the window closes.
        {
            Registry reg(install.settingsFile());
            ASSERT_TRUE(reg.openKey(app::SettingsKey + app::ColumnDataKey, false));
            EXPECT_EQ(reg.readInteger(QStringLiteral("Width 7"), -1), g.ColWidths(7));
        }
        first = widths(w);
        w.close();
    }
    // Widths the user has are kept from then on.
    {
        Registry reg(install.settingsFile());
        reg.openKey(app::SettingsKey + app::ColumnDataKey, true);
        reg.writeInteger(QStringLiteral("Width 8"), 70);
    }
    TFormMain w(install.setup());
    w.show();
    EXPECT_EQ(w.SortableGrid1->ColWidths(8), 70);
    EXPECT_EQ(w.SortableGrid1->ColWidths(7), first[7]);
}

TEST_F(MainWindowTest, SettingsReadBackKeepAMaximizedWindowMaximized)
{
    TFormMain w(install.setup());
    w.showMaximized();
    ASSERT_TRUE(w.isMaximized());
    // As saving the preferences does.
    w.ReadReg(true);
    EXPECT_TRUE(w.isMaximized());
}

TEST_F(MainWindowTest, SmallScreens)
{
    struct Case
    {
        int width;
        bool warned;
        bool maximized;
        bool placed; // at (0, 0), 800 wide and as high as the work area
    };
    const Case cases[] = {{1024, false, false, false},
                          {800, false, false, true},
                          {700, true, false, false},
                          {640, true, true, false}};
    for (const Case& c : cases) {
        test::TempInstall own;
        services.messages.shown.clear();
        services.screen.size = QSize(c.width, 600);
        {
            Registry reg(own.settingsFile());
            reg.openKey(app::SettingsKey, true);
            reg.writeInteger(QStringLiteral("Left"), 50);
            reg.writeInteger(QStringLiteral("Top"), 40);
        }
        TFormMain w(own.setup());
        w.show();
        EXPECT_EQ(services.messages.texts().contains(ResolutionMessage), c.warned) << c.width;
        if (c.warned) {
            EXPECT_EQ(services.messages.shown.front().kind, MessageKind::Error);
            EXPECT_EQ(services.messages.shown.front().buttons, QMessageBox::Ok);
        }
        EXPECT_EQ(w.isMaximized(), c.maximized) << c.width;
        if (c.placed) {
            // The frame is part of the window: all of it is on the screen.
            EXPECT_EQ(w.frameGeometry(), QRect(0, 0, 800, 560)) << c.width;
        } else if (!c.maximized) {
            EXPECT_EQ(w.pos(), QPoint(50, 40)) << c.width;
        }
    }
}

TEST_F(MainWindowTest, AWindowClosedMaximizedStartsMaximizedOverItsNormalPlace)
{
    {
        Registry reg(install.settingsFile());
        reg.openKey(app::SettingsKey, true);
        reg.writeInteger(QStringLiteral("Left"), 10);
        reg.writeInteger(QStringLiteral("Top"), 20);
        reg.writeInteger(QStringLiteral("Width"), 700);
        reg.writeInteger(QStringLiteral("Height"), 500);
        reg.writeBool(QStringLiteral("Window"), true);
    }
    TFormMain w(install.setup());
    w.show();
    EXPECT_TRUE(w.isMaximized());
    EXPECT_EQ(w.normalGeometry().size(), QSize(700, 500));
    EXPECT_TRUE(w.close());
    EXPECT_EQ(setting(QStringLiteral("Window")), QStringLiteral("1"));
    EXPECT_EQ(setting(QStringLiteral("Width")), QStringLiteral("700"));
}

TEST_F(MainWindowTest, ClosingInEditModeAsksFirst)
{
    TFormMain w(install.setup());
    w.show();
    w.setEditing(true);
    w.editedRows() << QStringLiteral("3");

    services.messages.answers = {QMessageBox::No};
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.editing());
    EXPECT_EQ(setting(QStringLiteral("Window")), QStringLiteral("<none>"));
    ASSERT_EQ(services.messages.shown.size(), 1u);
    const MessageRequest& asked = services.messages.shown.front();
    EXPECT_EQ(asked.text, QStringLiteral("Exit without saving changes?"));
    EXPECT_EQ(asked.kind, MessageKind::Confirmation);
    EXPECT_EQ(asked.buttons, QMessageBox::Yes | QMessageBox::No);

    services.messages.answers = {QMessageBox::Yes};
    EXPECT_TRUE(w.close());
    EXPECT_FALSE(w.editing());
    EXPECT_TRUE(w.editedRows().isEmpty());
    EXPECT_EQ(setting(QStringLiteral("Window")), QStringLiteral("0"));
}

TEST_F(MainWindowTest, ChangingTheTabInEditModeAsksFirst)
{
    TFormMain w(install.setup());
    w.show();
    w.setEditing(true);

    // Yes means "go on editing": the tab stays on "All Records".
    services.messages.answers = {QMessageBox::Yes};
    w.Tab1->setCurrentIndex(2);
    EXPECT_EQ(w.Tab1->currentIndex(), 0);
    EXPECT_TRUE(w.editing());
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].caption, QStringLiteral("Edit Not Saved"));
    EXPECT_EQ(services.messages.shown[0].text,
              QStringLiteral("Do you wish to complete your edit?"));

    services.messages.answers = {QMessageBox::No};
    w.Tab1->setCurrentIndex(2);
    EXPECT_EQ(w.Tab1->currentIndex(), 2);
    EXPECT_FALSE(w.editing());
    EXPECT_FALSE(w.PnlEditing->isVisible());
    EXPECT_FALSE(w.button(Command::Edit)->isEnabled());
}

TEST_F(MainWindowTest, CategoryTabsFilterByTheirExactName)
{
    {
        QFile cat(install.programFolder() + QStringLiteral("larkbase.cat"));
        ASSERT_TRUE(cat.open(QIODevice::WriteOnly));
        cat.write("x' OR '1'='1\r\nR&D\r\nPolice\r\nO'Brien\r\n");
        cat.close();
        TFormMain w(install.setup());
        store::Table& t = w.table();
        const std::pair<const char*, double> rows[] = {{"O'Brien", 146.52},    {"O'Brien", 9999.0},
                                                       {"x' OR '1'='1", 10.0}, {"R&D", 20.0},
                                                       {"Police", 9999.5},     {"Police", 155.0}};
        for (const auto& [category, hz] : rows) {
            ASSERT_TRUE(t.append());
            t.setFieldValue(QStringLiteral("Category"), QString::fromUtf8(category));
            t.setFieldValue(QStringLiteral("RDate"), 38313.5);
            t.setFieldValue(QStringLiteral("Hz"), hz);
            ASSERT_TRUE(t.post()) << t.lastError().toStdString();
        }
        w.show();
        struct Case
        {
            int tab;
            const char* total;
        };
        // 9999.5 MHz lies outside the default range of 0 to 9999.
        const Case cases[] = {{0, "Records = 5"}, {1, "Records = 2"}, {2, "Records = 1"},
                              {3, "Records = 1"}, {4, "Records = 1"}, {0, "Records = 5"}};
        for (const Case& c : cases) {
            w.Tab1->setCurrentIndex(c.tab);
            EXPECT_EQ(w.PnlTotal->text(), QString::fromLatin1(c.total)) << c.tab;
        }
        EXPECT_EQ(w.Tab1->tabText(3), QStringLiteral("R&&D"));
        w.Tab1->setCurrentIndex(2);
        const int categoryRows = w.SortableGrid1->RowCount();
        w.close();
        // Closing goes back to "All Records" and drops the filter, but reads no record into a
        // grid nobody will see again.
        EXPECT_EQ(w.Tab1->currentIndex(), 0);
        EXPECT_EQ(w.SortableGrid1->RowCount(), categoryRows);
        EXPECT_EQ(w.PnlTotal->text(), QStringLiteral("Records = 1"));
    }
    EXPECT_EQ(TFormMain::CategoryFilter(QStringLiteral("O'Brien")),
              QStringLiteral("Category = 'O''Brien'"));
}

// A table whose folder cannot be written is listed from a read-only open; the user is told
// once, every command that would change records refuses, reading commands run.
TEST_F(MainWindowTest, ATableThatCannotBeWrittenIsListedReadOnly)
{
    {
        TFormMain w(install.setup());
        store::Table& t = w.table();
        for (const double hz : {146.52, 162.55}) {
            ASSERT_TRUE(t.append());
            t.setFieldValue(QStringLiteral("Category"), QStringLiteral("Police"));
            t.setFieldValue(QStringLiteral("RDate"), 38313.5);
            t.setFieldValue(QStringLiteral("Hz"), hz);
            ASSERT_TRUE(t.post()) << t.lastError().toStdString();
        }
    }
    const QString refusal =
        QStringLiteral("The table cannot be opened for writing: attempt to write a readonly "
                       "database");
    MainWindowSetup setup = install.setup();
    setup.openForWriting = [&refusal](store::Table&) { return store::Status::failure(refusal); };
    TFormMain w(setup);
    w.show();
    ASSERT_TRUE(w.readOnly());
    EXPECT_EQ(w.PnlTotal->text(), QStringLiteral("Records = 2"));
    ASSERT_EQ(services.messages.shown.size(), 1u)
        << services.messages.texts().join("; ").toStdString();
    EXPECT_TRUE(services.messages.texts().front().contains(QStringLiteral("read-only")));
    EXPECT_EQ(services.messages.shown.front().details, refusal);

    // Opened again, as after a backup: no second message.
    ASSERT_TRUE(w.OpenTable());
    EXPECT_EQ(services.messages.shown.size(), 1u);

    std::set<Command> ran;
    for (Command c : {Command::Add, Command::Import, Command::MergeData, Command::RepairDatabase,
                      Command::EditCategories, Command::RestoreBackup, Command::Export,
                      Command::DataBackup, Command::Print})
        w.setCommandHandler(c, [&ran, c] { ran.insert(c); });
    for (Command c : {Command::Add, Command::Import, Command::MergeData, Command::RepairDatabase,
                      Command::EditCategories, Command::RestoreBackup}) {
        const size_t before = services.messages.shown.size();
        w.action(c) ? w.action(c)->trigger() : w.button(c)->click();
        EXPECT_FALSE(ran.contains(c)) << int(c);
        ASSERT_EQ(services.messages.shown.size(), before + 1) << int(c);
        EXPECT_TRUE(
            services.messages.shown.back().text.contains(QStringLiteral("cannot be changed")))
            << int(c);
    }
    w.button(Command::Edit)->click();
    EXPECT_FALSE(w.editing());
    for (Command c : {Command::Export, Command::DataBackup, Command::Print}) {
        w.action(c) ? w.action(c)->trigger() : w.button(c)->click();
        EXPECT_TRUE(ran.contains(c)) << int(c);
    }
    w.close();
}

// Only a table that cannot be written falls back to reading: one in use stays closed.
TEST_F(MainWindowTest, ATableInUseIsNotOpenedForReadingInstead)
{
    MainWindowSetup setup = install.setup();
    setup.openForWriting = [](store::Table&) {
        return store::Status::failure(QStringLiteral("The table is in use by another program."));
    };
    TFormMain w(setup);
    w.show();
    EXPECT_FALSE(w.readOnly());
    EXPECT_FALSE(w.table().isOpen());
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_TRUE(services.messages.shown.front().details.contains(QStringLiteral("in use")));
    w.close();
}

TEST_F(MainWindowTest, StartUpGoesOnWhenTheDataFolderIsUnusable)
{
    {
        Registry reg(install.settingsFile());
        reg.openKey(app::SettingsKey, true);
        reg.writeString(QStringLiteral("DataBasePath"), install.dir.path() + "/gone/away/");
    }
    TFormMain w(install.setup());
    w.show();
    const QStringList texts = services.messages.texts();
    ASSERT_GE(texts.size(), 2);
    EXPECT_EQ(texts[0], QStringLiteral("Table create failure"));
    EXPECT_EQ(texts[1], QStringLiteral("Database read failure"));
    EXPECT_EQ(services.messages.shown[0].caption, QStringLiteral("Wavelark"));
    EXPECT_FALSE(w.table().isOpen());
    EXPECT_EQ(w.PnlTotal->text(), QStringLiteral("Records = 0"));
    EXPECT_EQ(w.Tab1->tabText(0), QStringLiteral("All Records"));
    EXPECT_TRUE(w.close());
}

TEST_F(MainWindowTest, ColumnsTakeTheWidthOfTheirVisiblePosition)
{
    {
        Registry reg(install.settingsFile());
        reg.openKey(app::SettingsKey + app::ColumnDataKey, true);
        for (int k = 0; k < 10; ++k)
            reg.writeInteger(QStringLiteral("Width ") + QString::number(k), 100 + k);
        reg.openKey(app::SettingsKey + app::FieldDataKey, true);
        reg.writeBool(QStringLiteral("Disp3"), false);
    }
    TFormMain w(install.setup());
    w.show();
    for (int tab : {1, 0}) {
        w.Tab1->setCurrentIndex(tab);
        // Column 3 is removed, so the column that was 4 takes the width of the fourth visible
        // position; a category tab drops the Category column after the widths are given out.
        const int first = tab > 0 ? 1 : 0;
        EXPECT_EQ(w.SortableGrid1->ColCount(), 9 - first) << tab;
        EXPECT_EQ(w.SortableGrid1->Cells(3 - first, 0), QStringLiteral(" User")) << tab;
        EXPECT_EQ(w.SortableGrid1->ColWidths(3 - first), 103) << tab;
        EXPECT_EQ(w.SortableGrid1->ColWidths(1 - first), 101) << tab;
        EXPECT_EQ(w.SortableGrid1->Cells(0, 0) == QStringLiteral(" Category"), tab == 0);
    }
}

TEST_F(MainWindowTest, HintsHelpAndInternetGoThroughTheServices)
{
    TFormMain w(install.setup());
    w.show();
    w.DisplayHint(QStringLiteral("Short|The long hint"));
    EXPECT_EQ(w.statusBar()->currentMessage(), QStringLiteral("The long hint"));
    w.DisplayHint(QStringLiteral("Add New Record"));
    EXPECT_EQ(w.statusBar()->currentMessage(), QStringLiteral("Add New Record"));

    w.action(Command::HomePage)->trigger();
    w.action(Command::MailHelp)->trigger();
    ASSERT_EQ(services.desktop.opened.size(), 2u);
    EXPECT_EQ(services.desktop.opened[0].toString(), app::HomePageUrl);
    EXPECT_EQ(services.desktop.opened[1].toString(),
              QStringLiteral("mailto:") + app::SupportMailAddress + "?subject=Wavelark");

    EXPECT_TRUE(services.messages.shown.empty());
    // Without a browser or mail program the user is told, with the address to use instead.
    services.desktop.succeeds = false;
    w.action(Command::HomePage)->trigger();
    w.action(Command::MailHelp)->trigger();
    ASSERT_EQ(services.messages.shown.size(), 2u);
    EXPECT_TRUE(services.messages.shown[0].text.contains(app::HomePageUrl));
    EXPECT_TRUE(services.messages.shown[1].text.startsWith(QStringLiteral("No mail program")));
    EXPECT_TRUE(services.messages.shown[1].text.contains(app::SupportMailAddress));
    EXPECT_EQ(services.messages.shown[1].helpContext, app::HelpContext::Internet);

    w.action(Command::HelpContents)->trigger();
    EXPECT_EQ(services.help.contentsShown, 1);
    EXPECT_EQ(w.helpContext(), 70);
    w.setEditing(true);
    EXPECT_EQ(w.helpContext(), 120);
    EXPECT_TRUE(w.PnlEditing->isVisible());
    w.setEditing(false);

    // The commands of later work are there, with their captions, but cannot be used yet.
    EXPECT_EQ(w.action(Command::NewDatabase)->text(), QStringLiteral("&New Database "));
    EXPECT_FALSE(w.action(Command::Preferences)->isEnabled());
    EXPECT_EQ(w.button(Command::Notes)->statusTip(), QStringLiteral("View Note Field"));
    EXPECT_FALSE(w.button(Command::Add)->isEnabled());
    EXPECT_TRUE(w.button(Command::Exit)->isEnabled());
}

} // namespace
} // namespace wl
