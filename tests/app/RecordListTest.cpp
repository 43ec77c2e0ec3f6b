#include "app/RecordList.h"
#include "AppTestSupport.h"
#include "app/AppConstants.h"
#include "app/RecordCells.h"
#include "app/RecordDate.h"
#include "app/services/Registry.h"
#include "app/services/ServiceDoubles.h"
#include "grid/LocaleInfo.h"
#include "grid/TSortableGrid.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QStyle>
#include <QTabBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>

namespace wl {
namespace {

const QString Blanks19(19, u' ');

double storedDate(int y, int m, int d, int h, int min)
{
    return RecordDate::fromDateTime(QDateTime(QDate(y, m, d), QTime(h, min), Qt::UTC));
}

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

TEST(RecordCellsTest, EachSlotShowsItsFieldAsTheListDoes)
{
    const double pm = storedDate(2004, 11, 22, 15, 7);
    struct Case
    {
        const char* locale;
        int dateOption;
        int slot;
        QVariant value;
        QString shown;
    };
    const Case cases[] = {
        {"en_US", 0, 0, QStringLiteral("  Police \t"), QStringLiteral("Police")},
        {"en_US", 0, 1, 7.0, QStringLiteral("7.0000")},
        {"en_US", 0, 1, 1296.5, QStringLiteral("1296.5000")},
        {"en_US", 0, 1, 0.00004, QStringLiteral("0.0000")},
        {"de_DE", 0, 1, 1296.5, QStringLiteral("1296,5000")},
        {"en_US", 0, 2, QVariant(), QStringLiteral(" ")},
        {"en_US", 0, 3, QVariant(), Blanks19},
        {"en_US", 0, 8, QVariant(), Blanks19},
        {"en_US", 0, 9, QVariant(), Blanks19},
        {"en_US", 0, 9, QStringLiteral("first line\r\nsecond line"),
         QStringLiteral("first line  second line")},
        {"en_US", 0, 9, QStringLiteral("a\rb\nc"), QStringLiteral("a b c")},
        {"en_US", 0, 8, pm, QStringLiteral("11/22/2004 03:07 PM")},
        {"en_US", 0, 8, storedDate(2005, 1, 5, 0, 30), QStringLiteral("01/05/2005 12:30 AM")},
        {"en_US", 1, 8, pm, QStringLiteral("11/22/2004 15:07")},
        {"en_US", 2, 8, pm, QStringLiteral("11/22/2004")},
        // A short date format that starts with the day.
        {"de_DE", 1, 8, pm, QStringLiteral("22.11.2004 15:07")},
        {"en_GB", 0, 8, pm, QStringLiteral("22/11/2004 03:07 PM")},
        // Seconds are never shown, and 59.9 seconds are not rounded up to the next minute.
        {"en_US", 1, 8, pm + 59.9 / 86400, QStringLiteral("11/22/2004 15:07")},
        // Before the zero date the fraction still counts forward from midnight.
        {"en_US", 1, 8, -1.25, QStringLiteral("12/29/1899 06:00")},
        // Values that no four-digit year can show are treated like a missing date.
        {"en_US", 0, 8, 1e12, Blanks19},
        {"en_US", 0, 8, -1e12, Blanks19},
    };
    for (const Case& c : cases) {
        const RecordCells cells(LocaleInfo::fromName(QString::fromLatin1(c.locale)), c.dateOption);
        EXPECT_EQ(cells.text(c.slot, c.value), c.shown)
            << c.locale << " slot " << c.slot << " " << c.value.toString().toStdString();
    }
}

TEST(RecordCellsTest, LongTextsAreCutWithoutSplittingACharacter)
{
    const RecordCells cells(LocaleInfo::fromName(QStringLiteral("en_US")), 0);
    const QString longNote = QString(200, u'n');
    EXPECT_EQ(cells.text(9, longNote), QString(120, u'n'));
    EXPECT_EQ(cells.text(1, 1e150).size(), 120);
    // A character outside the basic plane that would straddle the cut is left out whole.
    const QString astral = QString(119, u'a') + QString::fromUtf8("\xF0\x9F\x93\xBB") + "zz";
    EXPECT_EQ(cells.text(5, astral), QString(119, u'a'));
    // The Category column is not cut.
    EXPECT_EQ(cells.text(0, QString(130, u'c')).size(), 130);
}

TEST(RecordCellsTest, TextsGivenAsUtf8ShowAsTheSameTextsDo)
{
    const RecordCells cells(LocaleInfo::fromName(QStringLiteral("en_US")), 0);
    const std::string astral = "\xF0\x9F\x93\xBB";
    const std::string e = "\xC3\xA9";
    struct Case
    {
        int slot;
        std::string bytes;
    };
    const Case cases[] = {
        {0, " \t Police  "},
        {0, std::string(130, 'c')},
        {3, "WXK32"},
        {3, ""},
        {5, std::string(200, 'x')},
        {5, std::string(118, 'a') + e + e + "zz"},
        // A character needing two units where the cut falls, and one just before it.
        {5, std::string(119, 'a') + astral + "zz"},
        {5, std::string(118, 'a') + astral + "zz"},
        {9, "first\r\nsecond"},
        {9, std::string(150, '\n') + "tail"},
        // Bytes that are no UTF-8, short and where the cut has to count characters.
        {3, "ab\xFF\xFE"},
        {5, std::string(100, 'a') + "\xC0\xAF\xED\xA0\x80" + std::string(50, 'b')},
        {9, std::string(60, 'a') + "\xE2\x82" + std::string(80, '\r')},
        // Text in a numeric column shows as a missing value.
        {1, "7.0"},
        {8, "yesterday"},
    };
    for (const Case& c : cases) {
        std::string out = "kept";
        cells.appendText(c.slot, c.bytes, out);
        const QString expected =
            cells.text(c.slot, QString::fromUtf8(c.bytes.data(), qsizetype(c.bytes.size())));
        EXPECT_EQ(QString::fromUtf8(out.data(), qsizetype(out.size())),
                  QStringLiteral("kept") + expected)
            << c.slot << " " << c.bytes;
    }
    // Dates: every form, the edges of the years shown, and values no year can show.
    const double dates[] = {storedDate(2004, 11, 22, 15, 7), storedDate(2005, 1, 5, 0, 30),
                            storedDate(1, 1, 1, 0, 0), storedDate(9999, 12, 31, 23, 59),
                            storedDate(2004, 11, 22, 15, 7) + 59.9 / 86400, -1.25,
                            2.0 - 1e-12, 1e12, -1e12, -693594.5, std::nan("")};
    for (const char* locale : {"en_US", "de_DE"}) {
        for (const int option : {0, 1, 2}) {
            const RecordCells dateCells(LocaleInfo::fromName(QString::fromLatin1(locale)), option);
            for (const double date : dates) {
                std::string out;
                dateCells.appendDate(date, out);
                EXPECT_EQ(QString::fromStdString(out), dateCells.text(RecordCells::DateSlot, date))
                    << locale << " " << option << " " << date;
            }
        }
    }
}

// A table of `count` Police records whose frequencies run in another order than their entry.
void addScrambled(TFormMain& w, int count)
{
    std::vector<std::vector<QVariant>> rows;
    for (int i = 1; i <= count; ++i) {
        const double hz = double((i * 7919) % count) / 10.0;
        rows.push_back({QStringLiteral("Police"), QStringLiteral("C%1").arg(i), QVariant(), 38313.5,
                        hz, QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), 0.0, 0.0});
    }
    ASSERT_TRUE(w.table().bulkAppend(rows)) << w.table().lastError().toStdString();
}

// Every row shows its own record (appended records are numbered from 1 in entry order), in
// frequency order.
void expectRowsOwnTheirRecords(const TFormMain& w, int rows)
{
    const TSortableGrid& g = *w.SortableGrid1;
    for (int r = 1; r <= rows; ++r) {
        ASSERT_EQ(g.Cells(3, r), QStringLiteral("C%1").arg(w.RecNumOfRow(r))) << r;
        ASSERT_EQ(g.Cells(1, r), LocaleInfo::current().formatFrequency((r - 1) / 10.0)) << r;
    }
}

// A main window over a data folder holding a few records.
class RecordListTest : public ::testing::Test
{
protected:
    struct Rec
    {
        const char* category;
        double hz;
        const char* callsign;
        QVariant notes;
    };

    void SetUp() override { test::ensureApplication(); }

    void addRecords(TFormMain& w, std::initializer_list<Rec> recs)
    {
        store::Table& t = w.table();
        for (const Rec& r : recs) {
            ASSERT_TRUE(t.append());
            t.setFieldValue(QStringLiteral("Category"), QString::fromUtf8(r.category));
            t.setFieldValue(QStringLiteral("Hz"), r.hz);
            t.setFieldValue(QStringLiteral("Callsign"), QString::fromUtf8(r.callsign));
            t.setFieldValue(QStringLiteral("Notes"), r.notes);
            t.setFieldValue(QStringLiteral("RDate"), storedDate(2004, 11, 22, 15, 7));
            ASSERT_TRUE(t.post()) << t.lastError().toStdString();
        }
    }
    void addSample(TFormMain& w)
    {
        addRecords(w, {{"Weather", 162.55, "WXK32", QVariant()},
                       {"Police", 7.0, "KA1AAA", QStringLiteral("first\r\nsecond")},
                       {"Police", 1296.5, "NB2BBB", QVariant()},
                       {"Short Wave", 15.0, "AC3CCC", QVariant()},
                       {"Police", 44.0, "KD4DDD", QVariant()}});
    }
    void writeSetting(const QString& key, const QString& name, const QString& value)
    {
        Registry reg(install.settingsFile());
        reg.openKey(app::SettingsKey + key, true);
        reg.writeString(name, value);
    }
    QString setting(const QString& key, const QString& name)
    {
        Registry reg(install.settingsFile());
        reg.openKey(app::SettingsKey + key, true);
        return reg.readString(name, QStringLiteral("<none>"));
    }
    static QStringList row(const TSortableGrid& g, int r)
    {
        QStringList cells;
        for (int c = 0; c < g.ColCount(); ++c)
            cells << g.Cells(c, r);
        return cells;
    }
    static QStringList column(const TSortableGrid& g, int c)
    {
        QStringList cells;
        for (int r = 1; r < g.RowCount(); ++r)
            cells << g.Cells(c, r);
        return cells;
    }

    LocaleScope us{"en_US"};
    test::ServiceDoubles services;
    test::TempInstall install;
};

TEST_F(RecordListTest, AllRecordsShowsEveryFieldInFrequencyOrderUnderTheDefaultHeadings)
{
    TFormMain w(install.setup());
    addSample(w);
    w.show();
    const TSortableGrid& g = *w.SortableGrid1;
    EXPECT_EQ(row(g, 0),
              (QStringList{" Category", " Frequency(MHz)", " +-", " Callsign", " User", " Location",
                           " Special", " Position", " Date/Time", " Notes"}));
    ASSERT_EQ(g.RowCount(), 6);
    EXPECT_EQ(row(g, 1), (QStringList{"Police", "7.0000", " ", "KA1AAA", Blanks19, Blanks19,
                                      Blanks19, Blanks19, "11/22/2004 03:07 PM", "first  second"}));
    EXPECT_EQ(column(g, 1), (QStringList{"7.0000", "15.0000", "44.0000", "162.5500", "1296.5000"}));
    // The first start widens the defaults (80, and 20 for "+-") only where texts are cut.
    EXPECT_GE(g.ColWidths(2), 20);
    EXPECT_LT(g.ColWidths(2), 40);
    EXPECT_GE(g.ColWidths(1), 80);
    EXPECT_EQ(g.FixedRows(), 1);
    EXPECT_EQ(g.FixedCols(), 0);
    EXPECT_EQ(g.DefaultRowHeight(), 18);
    EXPECT_TRUE(g.Options().testFlag(TSortableGrid::goRowSelect));
    EXPECT_EQ(w.PnlTotal->text(), QStringLiteral("Records = 5"));
    // The Category column is fitted to its widest text, heading included.
    const QFontMetrics fm(g.font());
    int widest = 0;
    for (const char* text : {" Category", "Police", "Short Wave", "Weather"})
        widest = std::max(widest, fm.horizontalAdvance(QString::fromLatin1(text)));
    EXPECT_GE(g.ColWidths(0), widest + fm.horizontalAdvance("x"));
    // ... and to its heading as the header draws it, in the header's font between its margins.
    const QHeaderView& header = *g.horizontalHeader();
    const int margins = 2 * header.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &header);
    EXPECT_GE(g.ColWidths(0),
              QFontMetrics(header.font()).horizontalAdvance(g.Cells(0, 0)) + margins);
    EXPECT_LE(g.ColWidths(0), widest + fm.horizontalAdvance("x") + margins +
                                  QFontMetrics(header.font()).horizontalAdvance("x"));
    EXPECT_TRUE(services.messages.shown.empty());
}

TEST_F(RecordListTest, ACategoryTabShowsOnlyItsRecordsWithoutTheCategoryColumn)
{
    TFormMain w(install.setup());
    addSample(w);
    w.show();
    w.button(Command::Edit)->setEnabled(true);
    w.Tab1->setCurrentIndex(w.Tab1->count() > 1 ? 1 : 0);
    ASSERT_EQ(w.Tab1->tabText(1), QStringLiteral("Police"));
    const TSortableGrid& g = *w.SortableGrid1;
    EXPECT_EQ(g.ColCount(), 9);
    EXPECT_EQ(g.Cells(0, 0), QStringLiteral(" Frequency(MHz)"));
    EXPECT_EQ(column(g, 0), (QStringList{"7.0000", "44.0000", "1296.5000"}));
    EXPECT_EQ(w.PnlTotal->text(), QStringLiteral("Records = 3"));
    EXPECT_FALSE(w.button(Command::Edit)->isEnabled());
    EXPECT_FALSE(w.button(Command::Save)->isEnabled());
    // Every row still finds its record.
    for (int r = 1; r < g.RowCount(); ++r) {
        QVariant category;
        ASSERT_TRUE(w.table().readField(w.RecNumOfRow(r), QStringLiteral("Category"), category));
        EXPECT_EQ(category.toString(), QStringLiteral("Police"));
    }
    // A category without records leaves one empty row.
    w.setCategories(w.categories() + QStringList{QStringLiteral("Zulu")});
    w.Tab1->setCurrentIndex(w.Tab1->count() - 1);
    EXPECT_EQ(w.PnlTotal->text(), QStringLiteral("Records = 0"));
    EXPECT_EQ(g.RowCount(), 2);
    EXPECT_EQ(w.RecNumOfRow(1), 0);
}

TEST_F(RecordListTest, ALargeTableFillsEveryRowWithItsOwnRecord)
{
    // Enough records for the fill to hand many blocks from its reading thread to the grid.
    constexpr int Count = 20'000;
    TFormMain w(install.setup());
    addScrambled(w, Count);
    w.show();
    ASSERT_EQ(w.SortableGrid1->RowCount(), Count + 1);
    EXPECT_EQ(w.PnlTotal->text(), QStringLiteral("Records = %1").arg(Count));
    expectRowsOwnTheirRecords(w, Count);
}

TEST_F(RecordListTest, TheFirstScreenComesFirstThenTheRestInBlocksWithTheirProgress)
{
    constexpr int Count = 20'000;
    TFormMain w(install.setup());
    addScrambled(w, Count);
    TSortableGrid& g = *w.SortableGrid1;
    std::vector<std::pair<qint64, qint64>> reports;
    const RecordList::Outcome outcome =
        RecordList::fill(g, w.table(), w.settings(), {}, [&](qint64 rows, qint64 expected) {
            // What is reported is in the grid already (a long list has its rows before they
            // are filled).
            EXPECT_LE(rows, g.RowCount() - 1);
            reports.emplace_back(rows, expected);
            return true;
        });
    EXPECT_FALSE(outcome.cancelled);
    EXPECT_EQ(outcome.records, Count);
    EXPECT_EQ(outcome.expected, Count);
    ASSERT_GE(reports.size(), 3u);
    EXPECT_LE(reports.front().first, 100); // one screen
    EXPECT_EQ(reports.back(), std::make_pair(qint64(Count), qint64(Count)));
    for (size_t i = 1; i < reports.size(); ++i)
        EXPECT_GT(reports[i].first, reports[i - 1].first);
    expectRowsOwnTheirRecords(w, Count);

    // A category is not counted ahead (that would read the table twice): until the reading
    // reaches its end the count is unknown, never a guess.
    reports.clear();
    const RecordList::Outcome tab = RecordList::fill(
        g, w.table(), w.settings(), QStringLiteral("Police"), [&](qint64 rows, qint64 expected) {
            reports.emplace_back(rows, expected);
            return true;
        });
    EXPECT_EQ(tab.expected, Count);
    ASSERT_FALSE(reports.empty());
    for (const auto& [rows, expected] : reports)
        EXPECT_TRUE(expected == -1 || expected == Count) << rows << " of " << expected;
}

TEST_F(RecordListTest, AStoppedFillKeepsTheRowsReadSoFarEachWithItsRecord)
{
    constexpr int Count = 20'000;
    TFormMain w(install.setup());
    addScrambled(w, Count);
    TSortableGrid& g = *w.SortableGrid1;
    int reports = 0;
    const RecordList::Outcome outcome = RecordList::fill(
        g, w.table(), w.settings(), {}, [&](qint64, qint64) { return ++reports < 3; });
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_TRUE(outcome.error.isEmpty());
    EXPECT_GT(outcome.records, 0);
    EXPECT_LT(outcome.records, Count);
    EXPECT_EQ(g.RowCount(), outcome.records + 1);
    expectRowsOwnTheirRecords(w, int(outcome.records));
    // The table is left usable: the next fill is complete.
    EXPECT_EQ(RecordList::fill(g, w.table(), w.settings(), {}).records, Count);
    expectRowsOwnTheirRecords(w, Count);
}

// While the list fills the window scrolls and nothing else: Esc stops the fill, the status line
// says how far it got, and a close asked for meanwhile comes once the table is free again.
TEST_F(RecordListTest, EscCancelsTheFillAndACloseWaitsForItsEnd)
{
    constexpr int Count = 20'000;
    TFormMain w(install.setup());
    addScrambled(w, Count);
    bool tabClicked = false;
    QObject::connect(w.Tab1, &QTabBar::tabBarClicked, [&] { tabClicked = true; });
    // Queued now, delivered while the first screen is drawn.
    QCoreApplication::postEvent(w.Tab1, new QMouseEvent(QEvent::MouseButtonPress, QPointF(5, 5),
                                                        QPointF(5, 5), Qt::LeftButton,
                                                        Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(w.SortableGrid1,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    QCoreApplication::postEvent(&w, new QCloseEvent);
    w.show();
    const TSortableGrid& g = *w.SortableGrid1;
    EXPECT_FALSE(tabClicked);
    ASSERT_LT(g.RowCount() - 1, Count);
    EXPECT_EQ(w.PnlTotal->text(),
              QStringLiteral("Records = %1 of %2 (cancelled)").arg(g.RowCount() - 1).arg(Count));
    expectRowsOwnTheirRecords(w, g.RowCount() - 1);
    EXPECT_TRUE(w.isVisible());
    QCoreApplication::processEvents();
    EXPECT_FALSE(w.isVisible());
}

TEST_F(RecordListTest, TheProgramFillsItsListOnceTheWindowIsOnScreen)
{
    MainWindowSetup setup = install.setup();
    setup.fillOnScreen = true;
    TFormMain w(setup);
    addSample(w);
    w.show();
    EXPECT_EQ(w.RecNumOfRow(1), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.SortableGrid1->RowCount(), 6);
    EXPECT_EQ(w.PnlTotal->text(), QStringLiteral("Records = 5"));
}

TEST_F(RecordListTest, TheRefillStartsFromTenColumnsWhateverTheGridWasLeftWith)
{
    TFormMain w(install.setup());
    addSample(w);
    w.show();
    TSortableGrid& g = *w.SortableGrid1;
    g.SetColCount(3);
    g.SetRowCount(40);
    g.SetCells(2, 30, QStringLiteral("stale"));
    w.ReadAllRecords();
    EXPECT_EQ(g.ColCount(), 10);
    EXPECT_EQ(g.RowCount(), 6);
    EXPECT_EQ(g.Cells(9, 0), QStringLiteral(" Notes"));
}

TEST_F(RecordListTest, TheLayoutDecidesColumnsCaptionsAndDateFormat)
{
    writeSetting(app::FieldDataKey, QStringLiteral("Column Number 3"), QStringLiteral("4"));
    writeSetting(app::FieldDataKey, QStringLiteral("Column Number 4"), QStringLiteral("3"));
    writeSetting(app::FieldDataKey, QStringLiteral("Column Name 4"), QStringLiteral("Operator"));
    writeSetting(app::FieldDataKey, QStringLiteral("Disp9"), QStringLiteral("0"));
    writeSetting(QString(), QStringLiteral("Date Option"), QStringLiteral("2"));
    TFormMain w(install.setup());
    addSample(w);
    w.show();
    const TSortableGrid& g = *w.SortableGrid1;
    EXPECT_EQ(row(g, 0),
              (QStringList{" Category", " Frequency(MHz)", " +-", " Operator", " Callsign",
                           " Location", " Special", " Position", " Date/Time"}));
    EXPECT_EQ(row(g, 1), (QStringList{"Police", "7.0000", " ", Blanks19, "KA1AAA", Blanks19,
                                      Blanks19, Blanks19, "11/22/2004"}));
}

TEST_F(RecordListTest, HeadingClicksAlternateDirectionPerColumnAndRowsKeepTheirRecords)
{
    TFormMain w(install.setup());
    addSample(w);
    w.show();
    TSortableGrid& g = *w.SortableGrid1;
    w.button(Command::Delete)->setEnabled(true);

    g.SortByHeaderClick(3, 0, Qt::LeftButton);
    EXPECT_EQ(column(g, 3), (QStringList{"AC3CCC", "KA1AAA", "KD4DDD", "NB2BBB", "WXK32"}));
    EXPECT_FALSE(w.button(Command::Delete)->isEnabled());
    g.SortByHeaderClick(3, 0, Qt::LeftButton);
    EXPECT_EQ(column(g, 3), (QStringList{"WXK32", "NB2BBB", "KD4DDD", "KA1AAA", "AC3CCC"}));
    // Another column keeps its own direction: its first click sorts ascending.
    g.SortByHeaderClick(1, 0, Qt::LeftButton);
    EXPECT_EQ(column(g, 1), (QStringList{"7.0000", "15.0000", "44.0000", "162.5500", "1296.5000"}));
    g.SortByHeaderClick(1, 0, Qt::LeftButton);
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("1296.5000"));

    // After the sort, row R is no longer the R-th record in frequency order: every row must
    // still reach the record it shows, or Delete and Notes would touch another record.
    for (int r = 1; r < g.RowCount(); ++r) {
        QVariant callsign;
        ASSERT_TRUE(w.table().readField(w.RecNumOfRow(r), QStringLiteral("Callsign"), callsign));
        EXPECT_EQ(callsign.toString(), g.Cells(3, r)) << r;
    }
    const int noted = g.Cells(3, 5) == QStringLiteral("KA1AAA") ? 5 : -1;
    ASSERT_EQ(noted, 5);
    QVariant notes;
    ASSERT_TRUE(w.table().readField(w.RecNumOfRow(noted), QStringLiteral("Notes"), notes));
    EXPECT_EQ(notes.toString(), QStringLiteral("first\r\nsecond"));
    const QString deleted = g.Cells(3, 2);
    ASSERT_TRUE(w.table().deleteByRecNum(w.RecNumOfRow(2)));
    w.ReadAllRecords();
    EXPECT_FALSE(column(g, 3).contains(deleted));
    EXPECT_EQ(g.RowCount(), 5);
}

TEST_F(RecordListTest, ColumnWidthsAreStoredByVisiblePosition)
{
    writeSetting(app::FieldDataKey, QStringLiteral("Disp3"), QStringLiteral("0"));
    TFormMain w(install.setup());
    addSample(w);
    w.show();
    TSortableGrid& g = *w.SortableGrid1;
    ASSERT_EQ(g.ColCount(), 9);
    g.SetColWidths(3, 150); // the User column, now at position 3
    EXPECT_EQ(setting(app::ColumnDataKey, QStringLiteral("Width 3")), QStringLiteral("150"));
    // Positions past the last column take the grid's default width.
    EXPECT_EQ(setting(app::ColumnDataKey, QStringLiteral("Width 9")), QStringLiteral("64"));

    // On a category tab grid column 0 stands for position 1.
    w.Tab1->setCurrentIndex(1);
    EXPECT_EQ(g.ColWidths(2), 150);
    g.SetColWidths(0, 90);
    EXPECT_EQ(setting(app::ColumnDataKey, QStringLiteral("Width 1")), QStringLiteral("90"));
    EXPECT_EQ(setting(app::ColumnDataKey, QStringLiteral("Width 3")), QStringLiteral("150"));

    // Edit mode's own layout is never stored.
    w.setEditing(true);
    g.SetColWidths(0, 33);
    EXPECT_EQ(setting(app::ColumnDataKey, QStringLiteral("Width 1")), QStringLiteral("90"));
}

// The list as the cursor walks it, record by record: what every fill must show, row by row.
struct WalkedList
{
    std::vector<QStringList> rows;
    std::vector<qint64> recNums;
};

WalkedList walkedList(store::Table& t, const MainSettings& layout,
                      const std::optional<QString>& category)
{
    WalkedList list;
    EXPECT_TRUE(t.setFiltered(false));
    if (category) {
        EXPECT_TRUE(t.setFilter(RecordList::categoryFilter(*category)));
        EXPECT_TRUE(t.setFiltered(true));
    }
    const RecordCells cells(LocaleInfo::current(), layout.dateOption);
    std::vector<std::pair<int, int>> shown; // slot and field of each column
    for (int col = 0; col < ColumnCount; ++col) {
        if (!layout.columnShown[size_t(col)] || (col == 0 && category))
            continue;
        const int slot = col == 0 ? RecordCells::CategorySlot : layout.columnNumbers[size_t(col)];
        shown.emplace_back(slot, t.fieldNumber(RecordCells::fieldName(slot)));
    }
    for (store::Status st = t.first(); st && !t.eof(); st = t.next()) {
        QStringList texts;
        for (const auto& [slot, field] : shown)
            texts << cells.text(slot, t.fieldValueAt(field));
        list.rows.push_back(texts);
        list.recNums.push_back(t.recNum());
    }
    return list;
}

// Records of three categories with few distinct frequencies (many equal ones, entered out of
// order), missing fields, long and non-ASCII texts and notes with line breaks.
void addMixed(store::Table& t, int first, int count)
{
    const QString categories[] = {QStringLiteral("Police"), QStringLiteral("Weather"),
                                  QStringLiteral(" Short Wave ")};
    const QString e = QString::fromUtf8("\xC3\xA9");
    const QString astral = QString::fromUtf8("\xF0\x9F\x93\xBB");
    ASSERT_TRUE(t.beginTransaction());
    for (int i = first; i < first + count; ++i) {
        ASSERT_TRUE(t.append());
        t.setFieldValue(QStringLiteral("Category"), categories[i % 3]);
        t.setFieldValue(QStringLiteral("Hz"), double((i * 37) % 50) / 4);
        t.setFieldValue(QStringLiteral("Callsign"), QStringLiteral("C%1").arg(i) + e);
        if (i % 4 != 0)
            t.setFieldValue(QStringLiteral("User"), QStringLiteral("u%1").arg(i % 7));
        t.setFieldValue(QStringLiteral("Location"), QString(118 - i % 3, u'l') + astral + e);
        if (i % 3 == 1)
            t.setFieldValue(QStringLiteral("Notes"),
                            QStringLiteral("n%1\r\nline two").arg(i) + QString(i % 200, u'x'));
        t.setFieldValue(QStringLiteral("RDate"),
                        storedDate(2004, 1 + i % 12, 1 + i % 28, i % 24, i % 60));
        ASSERT_TRUE(t.post()) << t.lastError().toStdString();
    }
    ASSERT_TRUE(t.commit());
}

TEST_F(RecordListTest, EveryFillShowsTheWalkedListCellByCellWithItsRecordNumbers)
{
    TFormMain w(install.setup());
    store::Table& t = w.table();
    addMixed(t, 1, 700);
    TSortableGrid& g = *w.SortableGrid1;
    MainSettings moved = w.settings();
    // Callsign and Location change places; User and Category are hidden, so another field's
    // column carries the record numbers.
    std::swap(moved.columnNumbers[3], moved.columnNumbers[5]);
    moved.columnShown[4] = false;
    MainSettings noCategory = moved;
    noCategory.columnShown[0] = false;
    struct Case
    {
        const char* name;
        const MainSettings& layout;
        std::optional<QString> category;
    };
    const Case cases[] = {
        {"all records", w.settings(), {}},
        {"a category tab", w.settings(), QStringLiteral("Police")},
        {"a category with padded name", w.settings(), QStringLiteral(" Short Wave ")},
        {"hidden and moved columns", moved, {}},
        {"hidden and moved columns on a tab", moved, QStringLiteral("Weather")},
        {"no category column", noCategory, {}},
        {"a category nobody has", w.settings(), QStringLiteral("Marine")},
    };
    const auto check = [&](const char* when) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(when) + ": " + c.name);
            const RecordList::Outcome outcome = RecordList::fill(g, t, c.layout, c.category);
            const WalkedList walked = walkedList(t, c.layout, c.category);
            EXPECT_TRUE(outcome.error.isEmpty());
            ASSERT_EQ(outcome.records, qint64(walked.rows.size()));
            EXPECT_EQ(outcome.expected, outcome.records);
            ASSERT_EQ(g.RowCount(), std::max(2, int(walked.rows.size()) + 1));
            for (size_t r = 0; r < walked.rows.size(); ++r) {
                ASSERT_EQ(row(g, int(r) + 1), walked.rows[r]) << r;
                ASSERT_EQ(RecordList::recNumOfRow(g, int(r) + 1), walked.recNums[r]) << r;
            }
        }
    };
    check("first fill");
    // Changed after the first fill: records gone (gaps in the numbers), changed and added.
    for (qint64 recNum = 5; recNum <= 700; recNum += 9)
        ASSERT_TRUE(t.deleteByRecNum(recNum));
    ASSERT_TRUE(t.updateByRecNum(
        10, {{QStringLiteral("Hz"), 0.0}, {QStringLiteral("Notes"), QStringLiteral("new\nnote")}}));
    ASSERT_TRUE(t.updateByRecNum(11, {{QStringLiteral("Category"), QStringLiteral("Police")},
                                      {QStringLiteral("Notes"), QVariant()}}));
    addMixed(t, 701, 150);
    check("after changes");
}

TEST_F(RecordListTest, AnEmptyTableKeepsOneBlankRow)
{
    TFormMain w(install.setup());
    TSortableGrid& g = *w.SortableGrid1;
    const RecordList::Outcome outcome = RecordList::fill(g, w.table(), w.settings(), {});
    EXPECT_EQ(outcome.records, 0);
    EXPECT_EQ(g.RowCount(), 2);
    EXPECT_EQ(RecordList::recNumOfRow(g, 1), 0);
}

} // namespace
} // namespace wl
