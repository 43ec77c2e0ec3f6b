#include "GridFixtures.h"

#include "grid/LocaleInfo.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <random>
#include <stdexcept>

using namespace wl;
using wl::test::dataTexts;
using wl::test::makeColumn;
using wl::test::makeGrid;

namespace {

// Every test sorts under a known locale and puts the process-wide one back.
class SortTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        saved_ = LocaleInfo::current();
        LocaleInfo::setCurrent(LocaleInfo::fromName(QStringLiteral("en_US")));
    }
    void TearDown() override { LocaleInfo::setCurrent(saved_); }

private:
    LocaleInfo saved_;
};

TSortOptions ascending(TSortKind kind = TSortKind::skAuto)
{
    TSortOptions options;
    options.SortKind = kind;
    return options;
}

struct AutoSortCase
{
    const char* name;
    const char* locale;
    QStringList input;
    TSortKind kind;
    QStringList sorted;
};

TEST_F(SortTest, DetectsTheKindAndSortsByIt)
{
    const AutoSortCase cases[] = {
        {"numbers", "en_US", {"10", "9.5", "100"}, TSortKind::skNumeric, {"9.5", "10", "100"}},
        {"one empty cell makes text",
         "en_US",
         {"10", "9.5", "100", ""},
         TSortKind::skText,
         {"", "10", "100", "9.5"}},
        {"the program's own date cells",
         "en_US",
         {"11/22/2004 03:07 PM", "01/05/2005 09:00 AM", "12/31/1999 11:59 PM",
          "11/22/2004 09:15 AM"},
         TSortKind::skDateTime,
         {"12/31/1999 11:59 PM", "11/22/2004 09:15 AM", "11/22/2004 03:07 PM",
          "01/05/2005 09:00 AM"}},
        {"24-hour date cells",
         "en_US",
         {"11/22/2004 15:07", "01/05/2005 09:00", "12/31/1999 23:59", "11/22/2004 09:15"},
         TSortKind::skDateTime,
         {"12/31/1999 23:59", "11/22/2004 09:15", "11/22/2004 15:07", "01/05/2005 09:00"}},
        {"day-first dates",
         "de_DE",
         {"22.11.2004 15:07", "05.01.2005 09:00", "31.12.1999 23:59"},
         TSortKind::skDateTime,
         {"31.12.1999 23:59", "22.11.2004 15:07", "05.01.2005 09:00"}},
        {"decimal comma",
         "de_DE",
         {"146,52", "7", "-1,5"},
         TSortKind::skNumeric,
         {"-1,5", "7", "146,52"}},
        {"group separators are text",
         "en_US",
         {"1,234.5", "99"},
         TSortKind::skText,
         {"1,234.5", "99"}},
        {"times",
         "en_US",
         {"3:07 PM", "9:00 AM", "11:59 PM"},
         TSortKind::skDateTime,
         {"9:00 AM", "3:07 PM", "11:59 PM"}},
    };
    for (const AutoSortCase& c : cases) {
        LocaleInfo::setCurrent(LocaleInfo::fromName(QString::fromLatin1(c.locale)));
        auto grid = makeColumn(c.input);
        EXPECT_EQ(grid->DetectSortKind(0), c.kind) << c.name;
        grid->SortColumn(0, ascending());
        EXPECT_EQ(dataTexts(*grid, 0), c.sorted) << c.name;
        EXPECT_EQ(grid->Cells(0, 0), QStringLiteral("H")) << c.name;
    }
}

TEST_F(SortTest, EqualKeysKeepTheirOrderInBothDirections)
{
    for (const TSortKind kind : {TSortKind::skText, TSortKind::skNumeric, TSortKind::skCustom}) {
        for (const bool descending : {false, true}) {
            auto grid =
                makeGrid({{"key", "id"}, {"2", "b1"}, {"1", "a2"}, {"2", "b3"}, {"1", "a4"}});
            TSortOptions options = ascending(kind);
            options.Descending = descending;
            options.CompareFunc = [](const QString& a, const QString& b) { return a.compare(b); };
            grid->SortColumn(0, options);
            const QStringList expected = descending ? QStringList{"b1", "b3", "a2", "a4"}
                                                    : QStringList{"a2", "a4", "b1", "b3"};
            EXPECT_EQ(dataTexts(*grid, 1), expected) << int(kind) << " " << descending;
        }
    }
}

TEST_F(SortTest, MatchCaseDecidesWhetherLetterCaseCounts)
{
    struct Case
    {
        bool matchCase;
        QStringList input;
        QStringList sorted;
    };
    const Case cases[] = {
        {false, {"apple", "Apple", "banana"}, {"apple", "Apple", "banana"}},
        {false, {"Apple", "apple", "banana"}, {"Apple", "apple", "banana"}},
        {true, {"apple", "Apple", "banana"}, {"Apple", "apple", "banana"}},
        {true, {"banana", "apple", "Zebra"}, {"Zebra", "apple", "banana"}},
        {false, {"banana", "apple", "Zebra"}, {"apple", "banana", "Zebra"}},
        {false, {"ab", "a", "B"}, {"a", "ab", "B"}}, // a prefix sorts first
    };
    for (const Case& c : cases) {
        auto grid = makeColumn(c.input);
        TSortOptions options = ascending(TSortKind::skText);
        options.MatchCase = c.matchCase;
        grid->SortColumn(0, options);
        EXPECT_EQ(dataTexts(*grid, 0), c.sorted)
            << c.matchCase << " " << c.input.join(u',').toStdString();
    }
}

TEST_F(SortTest, ObjectsAndTheCurrentRecordTravelWithTheirRows)
{
    // Texts; record numbers with a whole-number heading object; numbers joined later by a text,
    // which must keep every object stored before it.
    struct Case
    {
        const char* name;
        std::function<QVariant(const QString& call, int row)> object;
        bool textLast;
    };
    const std::vector<Case> cases = {
        {"texts", [](const QString& call, int) { return QVariant(call + QStringLiteral("#")); },
         false},
        {"record numbers", [](const QString&, int row) { return QVariant(qlonglong(row) << 40); },
         false},
        {"numbers, then a text",
         [](const QString&, int row) { return QVariant(qlonglong(row) << 40); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto grid = makeGrid({{"F", "Call"}, {"146.52", "W1AW"}, {"7", "K2"}, {"1296.5", "N3"}});
        grid->SetObjects(1, 0, QVariant(7));
        std::map<QString, QVariant> objectOf;
        for (int row = 1; row < 4; ++row) {
            objectOf[grid->Cells(1, row)] = c.object(grid->Cells(1, row), row);
            grid->SetObjects(1, row, objectOf[grid->Cells(1, row)]);
        }
        if (c.textLast) {
            objectOf[QStringLiteral("N3")] = QStringLiteral("late");
            grid->SetObjects(1, 3, objectOf[QStringLiteral("N3")]);
        }
        grid->GoToCell(1, 1); // the W1AW record
        grid->SortColumn(0, ascending());
        EXPECT_EQ(dataTexts(*grid, 1), (QStringList{"K2", "W1AW", "N3"}));
        for (int row = 1; row < 4; ++row)
            EXPECT_EQ(grid->Objects(1, row), objectOf[grid->Cells(1, row)]);
        EXPECT_EQ(grid->Objects(1, 0), QVariant(7));
        EXPECT_EQ(grid->Cells(1, grid->Row()), QStringLiteral("W1AW"));
        EXPECT_EQ(grid->Col(), 1);

        grid->RestoreUnsortedOrder();
        EXPECT_EQ(dataTexts(*grid, 1), (QStringList{"W1AW", "K2", "N3"}));
        EXPECT_EQ(grid->Objects(1, 2), objectOf[QStringLiteral("K2")]);
        EXPECT_EQ(grid->Row(), 1);

        grid->RelocateRow(1, 3);
        grid->InsertBlankRow(1);
        EXPECT_FALSE(grid->Objects(1, 1).isValid());
        EXPECT_EQ(grid->Objects(1, 4), objectOf[QStringLiteral("W1AW")]);
        grid->RemoveRow(2);
        EXPECT_EQ(grid->Objects(1, 2), objectOf[QStringLiteral("N3")]);
    }
}

// A column of nearly all distinct texts stops sharing them; equal texts then have entries of
// their own, and sorting, finding, fitting and editing must still treat them as equal.
TEST_F(SortTest, ColumnsOfDistinctTextsStillSortFindFitAndEditByText)
{
    const int rows = 60000;
    std::vector<QStringList> cells{{QStringLiteral("H"), QStringLiteral("Tag")}};
    for (int i = 0; i < rows; ++i) {
        // The repeats come after the pool has given up sharing, in a known order.
        const QString text = i >= rows - 3
                                 ? QStringLiteral("m-same")
                                 : QStringLiteral("t%1").arg(rows - i, 6, 10, QChar(u'0'));
        cells.push_back({text, i % 2 ? QStringLiteral("odd") : QStringLiteral("even")});
    }
    cells[1][0] = QStringLiteral("wide wide wide wide");
    auto grid = makeGrid(cells);
    const GridModel& model = grid->Model();
    ASSERT_FALSE(model.column(0).pool.interning());
    EXPECT_TRUE(model.column(1).pool.interning());

    const TextPool::Id entries = model.column(0).pool.size();
    grid->SetCells(0, 5, grid->Cells(0, 5));
    EXPECT_EQ(model.column(0).pool.size(), entries);

    int col = -1;
    int row = -1;
    ASSERT_TRUE(grid->FindCellText(QStringLiteral("M-SAME"), col, row));
    EXPECT_EQ(row, rows - 2);

    grid->FitColumnWidth(0);
    const QFontMetrics metrics(grid->font());
    EXPECT_EQ(grid->ColWidths(0), metrics.horizontalAdvance(QStringLiteral("wide wide wide wide")) +
                                      metrics.horizontalAdvance(QStringLiteral("x")));

    grid->SortColumn(0, ascending(TSortKind::skText));
    EXPECT_EQ(grid->Cells(0, 1), QStringLiteral("m-same"));
    EXPECT_EQ(grid->Cells(1, 1), QStringLiteral("odd")); // equal texts keep their order
    EXPECT_EQ(grid->Cells(1, 2), QStringLiteral("even"));
    EXPECT_EQ(grid->Cells(0, 3), QStringLiteral("m-same"));
    EXPECT_EQ(grid->Cells(0, 4), QStringLiteral("t000004"));
    EXPECT_EQ(grid->Cells(0, rows), QStringLiteral("wide wide wide wide"));
}

TEST_F(SortTest, FewerThanTwoDataRowsDoNotSort)
{
    for (const QStringList& rows : {QStringList{"only"}, QStringList{}}) {
        auto grid = makeColumn(rows);
        int events = 0;
        grid->OnBeginSort = [&](TSortableGrid&, int, TSortOptions&) { ++events; };
        grid->OnEndSort = [&](TSortableGrid&, int) { ++events; };
        grid->SortColumn(0, ascending());
        EXPECT_EQ(events, 0);
        EXPECT_EQ(grid->FixedRows(), 1);
        EXPECT_EQ(grid->RowCount(), 1 + rows.size());
    }
}

TEST_F(SortTest, EventsSeeTheDetectedKindAndMayChangeTheOptions)
{
    auto grid = makeColumn({"10", "9.5", "100"});
    QStringList log;
    grid->OnClickSort = [&](TSortableGrid&, int col, int row, TSortOptions& options) {
        log << QStringLiteral("click %1 %2 %3").arg(col).arg(row).arg(options.Descending);
        options.Descending = !options.Descending; // as the main window alternates
    };
    grid->OnBeginSort = [&](TSortableGrid&, int col, TSortOptions& options) {
        log << QStringLiteral("begin %1 %2 %3")
                   .arg(col)
                   .arg(int(options.SortKind))
                   .arg(options.Descending);
    };
    grid->OnEndSort = [&](TSortableGrid&, int col) { log << QStringLiteral("end %1").arg(col); };
    grid->SortByHeaderClick(0, 0, Qt::RightButton);
    EXPECT_EQ(log, (QStringList{"click 0 0 1", "begin 0 2 0", "end 0"}));
    EXPECT_EQ(dataTexts(*grid, 0), (QStringList{"9.5", "10", "100"}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(SortTest, TheHourglassGoesEvenWhenTheSortThrows)
{
    auto grid = makeColumn({"b", "a"});
    grid->OnBeginSort = [](TSortableGrid&, int, TSortOptions&) {
        throw std::runtime_error("handler failed");
    };
    EXPECT_THROW(grid->SortByHeaderClick(0, 0, Qt::LeftButton), std::runtime_error);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(SortTest, StructuralChangesForgetTheLastSort)
{
    const std::vector<std::function<void(TSortableGrid&)>> changes = {
        [](TSortableGrid& g) { g.InsertBlankRow(2); },
        [](TSortableGrid& g) { g.RemoveRow(2); },
        [](TSortableGrid& g) { g.RelocateRow(1, 3); },
        [](TSortableGrid& g) { g.ExchangeRows(1, 2); },
        [](TSortableGrid& g) { g.ClearCells(); },
        [](TSortableGrid& g) { g.SetRowCount(g.RowCount() + 1); },
    };
    for (std::size_t i = 0; i < changes.size(); ++i) {
        auto grid = makeColumn({"c", "a", "b"});
        grid->SortColumn(0, ascending());
        changes[i](*grid);
        const QStringList before = dataTexts(*grid, 0);
        grid->RestoreUnsortedOrder();
        EXPECT_EQ(dataTexts(*grid, 0), before) << "change " << i;
    }
}

// A forced kind over texts that do not all convert, and a compare function that is no
// ordering at all, must still give a permutation of the rows (and no out-of-bounds access,
// which the sanitizer build would report).
TEST_F(SortTest, InconsistentComparisonsStillGiveAPermutation)
{
    std::mt19937 random(42);
    const int rows = 50000;
    std::vector<QStringList> cells{{"key", "id"}};
    for (int i = 0; i < rows; ++i) {
        const QString key = random() % 3 == 0 ? QStringLiteral("n/a %1").arg(i % 7)
                                              : QString::number(double(random() % 1000) / 8);
        cells.push_back({key, QString::number(i)});
    }
    static std::mt19937* signs = nullptr;
    std::mt19937 signSource(7);
    signs = &signSource;
    const TSortCompareFunc randomSign = [](const QString&, const QString&) {
        return int((*signs)() % 3) - 1;
    };
    struct Forced
    {
        TSortKind kind;
        bool descending;
    };
    for (const Forced f : {Forced{TSortKind::skNumeric, false}, Forced{TSortKind::skNumeric, true},
                           Forced{TSortKind::skDateTime, false}, Forced{TSortKind::skTime, true},
                           Forced{TSortKind::skCustom, false}}) {
        auto grid = makeGrid(cells);
        TSortOptions options = ascending(f.kind);
        options.Descending = f.descending;
        options.CompareFunc = randomSign;
        grid->SortColumn(0, options);
        std::vector<char> seen(rows, 0);
        for (const QString& id : dataTexts(*grid, 1))
            seen[std::size_t(id.toInt())]++;
        EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), rows) << int(f.kind);
        if (f.kind != TSortKind::skNumeric)
            continue;
        // Numbers first, in order; then the rest in their former order.
        const QStringList keys = dataTexts(*grid, 0);
        const QStringList ids = dataTexts(*grid, 1);
        int firstText = int(keys.size());
        for (int i = 0; i < keys.size(); ++i) {
            if (keys[i].startsWith(u'n')) {
                firstText = i;
                break;
            }
        }
        for (int i = 1; i < firstText; ++i) {
            const double a = keys[i - 1].toDouble();
            const double b = keys[i].toDouble();
            EXPECT_TRUE(f.descending ? a >= b : a <= b) << i;
        }
        for (int i = firstText; i < keys.size(); ++i) {
            ASSERT_TRUE(keys[i].startsWith(u'n')) << i;
            if (i > firstText) {
                EXPECT_LT(ids[i - 1].toInt(), ids[i].toInt()) << i;
            }
        }
    }
    // A custom kind without a function sorts as text instead of failing.
    auto grid = makeColumn({"b", "c", "a"});
    grid->SortColumn(0, ascending(TSortKind::skCustom));
    EXPECT_EQ(dataTexts(*grid, 0), (QStringList{"a", "b", "c"}));
}

} // namespace
