#include "app/EditMode.h"
#include "AppTestSupport.h"
#include "app/CategoryPanel.h"
#include "app/EditSaver.h"
#include "app/PositionPanel.h"
#include "app/RecordCells.h"
#include "app/RecordDate.h"
#include "app/RecordList.h"
#include "app/services/ServiceDoubles.h"
#include "grid/LocaleInfo.h"
#include "grid/TSortableGrid.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTabBar>
#include <QToolButton>

#include <gtest/gtest.h>

namespace wl {
namespace {

const QString Blanks20(20, u' ');

class LocaleScope
{
public:
    explicit LocaleScope(const char* name) : saved_(LocaleInfo::current())
    {
        LocaleInfo::setCurrent(LocaleInfo::fromName(QString::fromLatin1(name)));
    }
    ~LocaleScope() { LocaleInfo::setCurrent(saved_); }

private:
    LocaleInfo saved_;
};

using Fields = std::vector<std::pair<const char*, QVariant>>;

class EditModeTest : public ::testing::Test
{
protected:
    void SetUp() override { test::ensureApplication(); }

    qint64 add(TFormMain& w, const Fields& fields)
    {
        store::Table& t = w.table();
        EXPECT_TRUE(t.append());
        t.setFieldValue(QStringLiteral("Category"), QStringLiteral("Police"));
        t.setFieldValue(QStringLiteral("RDate"),
                        RecordDate::fromDateTime(QDateTime(QDate(2004, 11, 22), QTime(15, 7))));
        for (const auto& [name, value] : fields)
            t.setFieldValue(QString::fromLatin1(name), value);
        EXPECT_TRUE(t.post()) << t.lastError().toStdString();
        return t.recNum();
    }
    QVariant field(TFormMain& w, qint64 recNum, const char* name)
    {
        QVariant value;
        EXPECT_TRUE(w.table().readField(recNum, QString::fromLatin1(name), value));
        return value;
    }
    // The grid column that shows a field slot in edit mode.
    int col(TFormMain& w, int slot)
    {
        for (int c = 1; c < 10; ++c)
            if (w.settings().columnNumbers[size_t(c)] == slot)
                return c;
        return 0;
    }
    void editRows(TFormMain& w, QStringList rows)
    {
        w.editMode().edit();
        ASSERT_TRUE(w.editing());
        w.editedRows() = rows;
    }

    LocaleScope us{"en_US"};
    test::ServiceDoubles services;
    test::TempInstall install;
};

// Edit mode's columns show their whole headings and texts, in both locales' date forms, and
// leaving it brings back the user's widths.
TEST_F(EditModeTest, ColumnsFitTheirHeadingsAndTexts)
{
    for (const char* locale : {"en_US", "de_DE"}) {
        LocaleScope scope{locale};
        TFormMain w(install.setup());
        add(w, {{"Hz", 15.575},
                {"Callsign", "BBC World Service"},
                {"Location", "Łódź Ústí Ærøskøbing"},
                {"RDate", RecordDate::fromDateTime(QDateTime(QDate(2026, 12, 11), QTime(11, 5)))},
                {"Position", "45 38N 122 41W"}});
        w.show();
        const std::vector<int> browse = [&] {
            std::vector<int> widths;
            for (int c = 0; c < w.SortableGrid1->ColCount(); ++c)
                widths.push_back(w.SortableGrid1->ColWidths(c));
            return widths;
        }();
        editRows(w, {});
        const TSortableGrid& g = *w.SortableGrid1;
        const QFontMetrics cells(g.font());
        const QFontMetrics headings(g.horizontalHeader()->font());
        for (int c = 0; c < g.ColCount(); ++c) {
            EXPECT_GE(g.ColWidths(c), headings.horizontalAdvance(g.Cells(c, 0)))
                << locale << " heading " << g.Cells(c, 0).toStdString();
            EXPECT_GE(g.ColWidths(c), cells.horizontalAdvance(g.Cells(c, 1)))
                << locale << " cell " << g.Cells(c, 1).toStdString();
        }
        w.editMode().cancel();
        // Column 0 (Category) is fitted to its names on every fill; the others are the user's.
        for (int c = 1; c < w.SortableGrid1->ColCount(); ++c)
            EXPECT_EQ(w.SortableGrid1->ColWidths(c), browse[size_t(c)]) << locale << " " << c;
    }
}

TEST_F(EditModeTest, SaveWritesEachRowToTheRecordItShowed)
{
    TFormMain w(install.setup());
    const qint64 low = add(w, {{"Hz", 100.0}, {"Callsign", "LOW"}});
    const qint64 high = add(w, {{"Hz", 200.0}, {"Callsign", "HIGH"}});
    w.show();
    editRows(w, {"1", "2", "1"});
    TSortableGrid& g = *w.SortableGrid1;
    EXPECT_EQ(g.ColCount(), 10);
    EXPECT_GE(g.ColWidths(2), 20);
    EXPECT_GE(g.ColWidths(9), 120);
    EXPECT_FALSE(w.button(Command::Delete)->isEnabled());
    EXPECT_TRUE(w.button(Command::Save)->isEnabled());
    // Row 1 moves above row 2 in frequency order once written.
    g.SetCells(col(w, 1), 1, QStringLiteral("300"));
    g.SetCells(col(w, 3), 2, QStringLiteral("X"));
    w.button(Command::Save)->click();

    EXPECT_TRUE(services.messages.shown.empty())
        << services.messages.texts().join(";").toStdString();
    EXPECT_FALSE(w.editing());
    EXPECT_EQ(field(w, low, "Hz").toDouble(), 300.0);
    EXPECT_EQ(field(w, low, "Callsign").toString(), QStringLiteral("LOW"));
    EXPECT_EQ(field(w, high, "Hz").toDouble(), 200.0);
    EXPECT_EQ(field(w, high, "Callsign").toString(), QStringLiteral("X"));
    EXPECT_TRUE(w.button(Command::Delete)->isEnabled());
    EXPECT_TRUE(g.Options().testFlag(TSortableGrid::goRowSelect));
    EXPECT_EQ(g.Cells(col(w, 1), 2), QStringLiteral("300.0000"));
}

TEST_F(EditModeTest, RowsSavedWithoutTypingKeepEveryStoredValue)
{
    TFormMain w(install.setup());
    const double when =
        RecordDate::fromDateTime(QDateTime(QDate(2010, 3, 4), QTime(13, 14, 15, 678)));
    const qint64 rec = add(w, {{"Hz", 146.52125},
                               {"RDate", when},
                               {"RLat", 45.5},
                               {"RLon", 0.0},
                               {"Position", QVariant()},
                               {"User", QVariant()},
                               {"Modifier", QVariant()}});
    w.settings().dateOption = 2;
    w.show();
    std::vector<QVariant> before;
    const char* names[] = {"Category", "Hz",       "Modifier", "Callsign", "User", "Location",
                           "Optional", "Position", "RDate",    "Notes",    "RLat", "RLon"};
    for (const char* name : names)
        before.push_back(field(w, rec, name));
    editRows(w, {"1", "1"});
    w.editMode().save();
    EXPECT_TRUE(services.messages.shown.empty());
    EXPECT_FALSE(w.editing());
    for (size_t i = 0; i < std::size(names); ++i)
        EXPECT_EQ(field(w, rec, names[i]), before[i]) << names[i];
}

TEST_F(EditModeTest, ABadCellStopsTheSaveAfterTheRowsBeforeIt)
{
    TFormMain w(install.setup());
    const qint64 a = add(w, {{"Hz", 1.0}});
    const qint64 b = add(w, {{"Hz", 2.0}});
    add(w, {{"Hz", 3.0}});
    w.show();
    editRows(w, {"1", "2", "3"});
    TSortableGrid& g = *w.SortableGrid1;
    g.SetCells(col(w, 3), 1, QStringLiteral("A"));
    g.SetCells(col(w, 7), 2, QStringLiteral("5 03N 12 07E"));
    g.SetCells(col(w, 1), 3, QStringLiteral("abc"));
    w.editMode().save();
    ASSERT_EQ(services.messages.texts(), QStringList{"Invalid frequency data entered."});
    EXPECT_TRUE(w.editing());
    EXPECT_EQ(g.Cells(col(w, 1), 3), QStringLiteral("abc"));
    EXPECT_EQ(field(w, a, "Callsign").toString(), QStringLiteral("A"));
    EXPECT_DOUBLE_EQ(field(w, b, "RLat").toDouble(), 5.05);
    EXPECT_DOUBLE_EQ(field(w, b, "RLon").toDouble(), -(12 + 7 / 60.0));

    // Numbers go through the strict parser: a group separator is no decimal point.
    services.messages.shown.clear();
    g.SetCells(col(w, 1), 3, QStringLiteral("1,465"));
    w.editMode().save();
    EXPECT_EQ(services.messages.texts(), QStringList{"Invalid frequency data entered."});
    services.messages.shown.clear();
    g.SetCells(col(w, 1), 3, QStringLiteral("4.5"));
    g.SetCells(col(w, 8), 3, QStringLiteral("13/45/2004"));
    w.editMode().save();
    EXPECT_EQ(services.messages.texts(), QStringList{"Invalid date/time data entered at row 3."});
}

TEST_F(EditModeTest, PositionCellsAreReadWithinTheEarthsLimits)
{
    struct Case
    {
        const char* cell;
        double lat;
        double lon;
        const char* error;
    };
    const Case cases[] = {
        {"5 03N 12 07E", 5.05, -(12 + 7 / 60.0), ""},
        {"45 08S 122 00W                    ", -(45 + 8 / 60.0), 122, ""},
        {"90 00N 180 00E", 90, -180, ""},
        {"   ", 0, 0, ""},
        {"91 00N 10 00W", 0, 0, "Invalid latitude data entered at row 4."},
        {"45 60N 10 00W", 0, 0, "Invalid latitude data entered at row 4."},
        {"90 30N 10 00W", 0, 0, "Invalid latitude data entered at row 4."},
        {"4x 00N 10 00W", 0, 0, "Invalid latitude data entered at row 4."},
        {"45 08N 181 00W", 0, 0, "Invalid longitude data entered at row 4."},
        {"45 08N", 0, 0, "Invalid longitude data entered at row 4."},
    };
    for (const Case& c : cases) {
        const EditSaver::Position p = EditSaver::parsePosition(QString::fromLatin1(c.cell), 4);
        EXPECT_EQ(p.error, QString::fromLatin1(c.error)) << c.cell;
        EXPECT_DOUBLE_EQ(p.lat, c.lat) << c.cell;
        EXPECT_DOUBLE_EQ(p.lon, c.lon) << c.cell;
    }
}

TEST_F(EditModeTest, EditWithoutRecordsAndCancel)
{
    TFormMain w(install.setup());
    w.show();
    w.button(Command::Edit)->click();
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].caption, QStringLiteral("Wavelark "));
    EXPECT_EQ(services.messages.shown[0].text, QStringLiteral("No records to edit."));
    EXPECT_FALSE(w.editing());

    add(w, {{"Hz", 7.0}, {"Callsign", "OLD"}});
    w.settings().columnShown[3] = false; // as a saved layout would
    w.ReadReg(false);
    w.ReadAllRecords();
    const int browseCols = w.SortableGrid1->ColCount();
    w.button(Command::Edit)->click();
    EXPECT_EQ(w.SortableGrid1->ColCount(), 10);
    w.SortableGrid1->SetCells(3, 1, QStringLiteral("NEW"));
    w.button(Command::Cancel)->click();
    EXPECT_FALSE(w.editing());
    EXPECT_TRUE(w.editedRows().isEmpty());
    EXPECT_EQ(w.SortableGrid1->ColCount(), browseCols);
    EXPECT_EQ(field(w, w.RecNumOfRow(1), "Callsign").toString(), QStringLiteral("OLD"));
}

TEST_F(EditModeTest, RefillingCommandsAskWhileEditing)
{
    TFormMain w(install.setup());
    add(w, {{"Hz", 7.0}});
    w.show();
    int runs = 0;
    w.setCommandHandler(Command::Preferences, [&runs] { ++runs; });
    w.editMode().edit();
    services.messages.answers = {QMessageBox::Yes};
    w.action(Command::Preferences)->trigger();
    EXPECT_EQ(runs, 0);
    EXPECT_TRUE(w.editing());
    services.messages.answers = {QMessageBox::No};
    w.action(Command::Preferences)->trigger();
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(w.editing());
    EXPECT_EQ(services.messages.shown.back().text,
              QStringLiteral("Do you wish to complete your edit?"));
}

TEST_F(EditModeTest, DeleteRemovesTheRecordOfTheSelectedRow)
{
    TFormMain w(install.setup());
    const qint64 only = add(w, {{"Hz", 7.0}, {"Callsign", "Radio Łódź"}});
    w.show();
    TSortableGrid& g = *w.SortableGrid1;
    g.GoToCell(0, 1);
    services.messages.answers = {QMessageBox::No};
    w.button(Command::Delete)->click();
    EXPECT_EQ(w.table().recordCount(), 1);
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].caption, QStringLiteral("Confirmation Request"));
    // The confirmation names the record that will go.
    EXPECT_EQ(services.messages.shown[0].text,
              QStringLiteral("Deleting record 7.0000 MHz, Radio Łódź, 11/22/2004 03:07 PM, "
                             "please confirm."));

    services.messages.answers = {QMessageBox::Yes};
    w.button(Command::Delete)->click();
    EXPECT_EQ(w.table().recordCount(), 0);
    EXPECT_FALSE(w.table().locate(only));
    EXPECT_EQ(g.RowCount(), 2);
    EXPECT_EQ(g.FixedRows(), 1);
    EXPECT_EQ(w.RecNumOfRow(1), 0);
    EXPECT_EQ(w.PnlTotal->text(), QStringLiteral("Records = 0"));
}

TEST_F(EditModeTest, AFailedDeleteIsReportedAndTheListRefilled)
{
    TFormMain w(install.setup());
    const qint64 gone = add(w, {{"Hz", 1.0}, {"Callsign", "A"}});
    add(w, {{"Hz", 2.0}, {"Callsign", "B"}});
    w.show();
    // Another window removed the record while the grid still shows it.
    ASSERT_TRUE(w.table().deleteByRecNum(gone));
    w.SortableGrid1->GoToCell(0, 1);
    services.messages.answers = {QMessageBox::Yes};
    w.editMode().deleteSelected();
    ASSERT_EQ(services.messages.shown.size(), 2u);
    EXPECT_EQ(services.messages.shown[1].text, QStringLiteral("The record could not be deleted."));
    EXPECT_EQ(w.table().recordCount(), 1);
    EXPECT_EQ(w.SortableGrid1->Cells(3, 1), QStringLiteral("B"));
    EXPECT_EQ(w.PnlTotal->text(), QStringLiteral("Records = 1"));
}

TEST_F(EditModeTest, DeleteAfterASortTakesTheRecordTheRowShows)
{
    TFormMain w(install.setup());
    add(w, {{"Hz", 1.0}, {"Callsign", "A"}});
    add(w, {{"Hz", 2.0}, {"Callsign", "B"}});
    w.show();
    TSortableGrid& g = *w.SortableGrid1;
    g.SortByHeaderClick(1, 0, Qt::LeftButton);
    g.SortByHeaderClick(1, 0, Qt::LeftButton); // descending: row 1 shows 2 MHz
    g.GoToCell(0, 1);
    services.messages.answers = {QMessageBox::Yes};
    w.editMode().deleteSelected();
    EXPECT_EQ(w.table().recordCount(), 1);
    EXPECT_EQ(field(w, w.RecNumOfRow(1), "Callsign").toString(), QStringLiteral("A"));

    // Cancel brings a sorted list back to frequency order, and Delete with it.
    add(w, {{"Hz", 3.0}, {"Callsign", "C"}});
    w.ReadAllRecords();
    g.SortByHeaderClick(3, 0, Qt::LeftButton);
    g.SortByHeaderClick(3, 0, Qt::LeftButton);
    EXPECT_EQ(g.Cells(3, 1), QStringLiteral("C"));
    EXPECT_FALSE(w.button(Command::Delete)->isEnabled());
    w.button(Command::Cancel)->click();
    EXPECT_TRUE(w.button(Command::Delete)->isEnabled());
    EXPECT_EQ(g.Cells(3, 1), QStringLiteral("A"));
}

TEST_F(EditModeTest, PickPanelsWriteTheCurrentRow)
{
    TFormMain w(install.setup());
    add(w, {{"Hz", 1.0}});
    w.show();
    w.editMode().edit();
    TSortableGrid& g = *w.SortableGrid1;
    g.GoToCell(0, 1);

    // A click on a cell opens the editor of its column: notes, category, position.
    int notesRow = 0;
    w.setNotesEditorHandler([&notesRow](int row) { notesRow = row; });
    const auto click = [&g](int col) {
        g.GoToCell(col, 1);
        emit g.clicked(g.model()->index(0, col));
    };
    click(col(w, 9));
    EXPECT_EQ(notesRow, 1);
    click(0);
    CategoryPanel& cats = *w.editMode().categoryPanel();
    EXPECT_FALSE(cats.isHidden());
    EXPECT_FALSE(g.isEnabled());
    ASSERT_NE(cats.list()->currentItem(), nullptr);
    EXPECT_EQ(cats.list()->currentItem()->text(), QStringLiteral("Police"));
    cats.OnPicked(QStringLiteral("Weather"));
    EXPECT_EQ(g.Cells(0, 1), QStringLiteral("Weather"));
    EXPECT_TRUE(g.isEnabled());
    click(col(w, 7));
    EXPECT_FALSE(w.editMode().positionPanel()->isHidden());

    PositionPanel& pos = *w.editMode().positionPanel();
    pos.pick(QStringLiteral("12 34S 56 07E"));
    EXPECT_EQ(pos.latDegrees->text(), QStringLiteral("12"));
    EXPECT_EQ(pos.latMinutes->text(), QStringLiteral("34"));
    EXPECT_TRUE(pos.south->isChecked());
    EXPECT_EQ(pos.lonDegrees->text(), QStringLiteral("56"));
    EXPECT_TRUE(pos.east->isChecked());

    pos.pick(Blanks20);
    EXPECT_TRUE(pos.latDegrees->text().isEmpty());
    EXPECT_TRUE(pos.north->isChecked());
    EXPECT_TRUE(pos.west->isChecked());
    // Only digits get in, pasted or typed.
    pos.latDegrees->insert(QStringLiteral("4a"));
    EXPECT_TRUE(pos.latDegrees->text().isEmpty());
    pos.latDegrees->insert(QStringLiteral("91"));
    EXPECT_TRUE(pos.latDegrees->text().isEmpty());
    pos.latMinutes->insert(QStringLiteral("60"));
    EXPECT_TRUE(pos.latMinutes->text().isEmpty());
    pos.latMinutes->insert(QStringLiteral("30"));
    pos.latDegrees->insert(QStringLiteral("90"));
    EXPECT_FALSE(pos.latMinutes->isEnabled());
    EXPECT_TRUE(pos.latMinutes->text().isEmpty());
    pos.lonDegrees->insert(QStringLiteral("122"));
    EXPECT_EQ(pos.positionText(), QStringLiteral("90 00N 122 00W") + Blanks20);
    pos.latDegrees->setText(QStringLiteral("45"));
    EXPECT_TRUE(pos.latMinutes->isEnabled());
    pos.latMinutes->insert(QStringLiteral("8"));
    pos.OnAccepted(pos.positionText());
    EXPECT_EQ(g.Cells(col(w, 7), 1), QStringLiteral("45 08N 122 00W") + Blanks20);

    pos.lonDegrees->clear();
    EXPECT_EQ(pos.positionText(), Blanks20);
}

TEST_F(EditModeTest, EditBelongsToAllRecordsOnly)
{
    TFormMain w(install.setup());
    add(w, {{"Hz", 1.0}, {"Callsign", "A"}});
    add(w, {{"Hz", 2.0}, {"Callsign", "B"}});
    w.show();
    QToolButton& edit = *w.button(Command::Edit);
    w.Tab1->setCurrentIndex(1); // "Police"
    EXPECT_FALSE(edit.isEnabled());

    // Everything that ends in browse mode on a category tab: a window's refill (Add, Save,
    // Done), and Cancel after a heading sort.
    w.SetBrowseMode();
    EXPECT_FALSE(edit.isEnabled());
    w.SortableGrid1->SortByHeaderClick(1, 0, Qt::LeftButton);
    w.button(Command::Cancel)->click();
    EXPECT_FALSE(edit.isEnabled());
    EXPECT_TRUE(w.button(Command::Delete)->isEnabled());
    w.editMode().edit();
    EXPECT_FALSE(w.editing());

    w.Tab1->setCurrentIndex(0);
    EXPECT_TRUE(edit.isEnabled());
    edit.click();
    EXPECT_TRUE(w.editing());
}

TEST_F(EditModeTest, ColumnsAreFoundByWhatTheyShow)
{
    TFormMain w(install.setup());
    const qint64 rec = add(w, {{"Hz", 146.52}, {"Callsign", "OLD"}});
    w.show();
    // Every field shown, in another order, and the Category column gone as on a category tab.
    MainSettings layout = w.settings();
    layout.columnShown.fill(true);
    std::swap(layout.columnNumbers[1], layout.columnNumbers[3]);
    TSortableGrid& g = *w.SortableGrid1;
    RecordList::fill(g, w.table(), layout, QStringLiteral("Police"));
    ASSERT_EQ(g.ColCount(), 9);
    EXPECT_EQ(RecordList::columnOfSlot(g, RecordCells::CategorySlot), -1);
    const int callsign = RecordList::columnOfSlot(g, 3);
    ASSERT_EQ(callsign, 0);
    EXPECT_EQ(g.Cells(callsign, 0), QStringLiteral(" Callsign"));
    EXPECT_EQ(RecordList::slotOfColumn(g, 2), RecordCells::FrequencySlot);
    EXPECT_EQ(g.Cells(2, 1), QStringLiteral("146.5200"));

    g.SetCells(callsign, 1, QStringLiteral("NEW"));
    EditSaver saver(g, w.table(), layout, LocaleInfo::current());
    const EditSaver::Outcome outcome =
        saver.save({QStringLiteral("1")}, [&w](int row) { return w.RecNumOfRow(row); });
    EXPECT_TRUE(outcome.message.isEmpty()) << outcome.message.toStdString();
    EXPECT_EQ(field(w, rec, "Callsign").toString(), QStringLiteral("NEW"));
    EXPECT_EQ(field(w, rec, "Category").toString(), QStringLiteral("Police"));
    EXPECT_EQ(field(w, rec, "Hz").toDouble(), 146.52);
}

} // namespace
} // namespace wl
