#include "GridFixtures.h"

#include "grid/LocaleInfo.h"

#include <QFile>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QScrollBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace wl;
using wl::test::dataTexts;
using wl::test::makeColumn;
using wl::test::makeGrid;

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(SortableGridTest, RowAndColumnMoves)
{
    auto grid = makeColumn({"r1", "r2", "r3", "r4", "r5", "r6"});
    grid->ExchangeRows(2, 5);
    EXPECT_EQ(dataTexts(*grid, 0), (QStringList{"r1", "r5", "r3", "r4", "r2", "r6"}));
    grid->ExchangeRows(5, 2);
    grid->ExchangeRows(3, 3);
    EXPECT_EQ(dataTexts(*grid, 0), (QStringList{"r1", "r2", "r3", "r4", "r5", "r6"}));

    auto cols = makeGrid({{"a", "b", "c", "d"}, {"1", "2", "3", "4"}});
    for (int col = 0; col < 4; ++col)
        cols->SetColWidths(col, 10 * (col + 1));
    cols->ExchangeColumns(0, 3);
    cols->RelocateColumn(1, 2);
    EXPECT_EQ(cols->Cells(0, 0) + cols->Cells(1, 0) + cols->Cells(2, 0) + cols->Cells(3, 0),
              QStringLiteral("dcba"));
    EXPECT_EQ(cols->Cells(0, 1), QStringLiteral("4"));
    // Widths go with their columns.
    EXPECT_EQ(cols->ColWidths(0), 40);
    EXPECT_EQ(cols->ColWidths(3), 10);
    EXPECT_EQ(cols->horizontalHeader()->sectionSize(0), 40);
}

TEST(SortableGridTest, InsertAndRemoveFireTheirEvents)
{
    auto grid = makeGrid({{"h1", "h2"}, {"a", "x"}, {"b", "y"}});
    QStringList log;
    grid->OnRowInsert = [&](TSortableGrid&, int i) { log << QStringLiteral("row+ %1").arg(i); };
    grid->OnRowDelete = [&](TSortableGrid&, int i) { log << QStringLiteral("row- %1").arg(i); };
    grid->OnColumnInsert = [&](TSortableGrid&, int i) { log << QStringLiteral("col+ %1").arg(i); };
    grid->OnColumnDelete = [&](TSortableGrid&, int i) { log << QStringLiteral("col- %1").arg(i); };
    grid->OnSizeChanged = [&](TSortableGrid&, int c, int r) {
        log << QStringLiteral("size %1 %2").arg(c).arg(r);
    };
    grid->InsertBlankRow(2);
    EXPECT_EQ(dataTexts(*grid, 0), (QStringList{"a", "", "b"}));
    EXPECT_EQ(grid->Row(), 2);
    grid->RemoveRow(1);
    grid->InsertBlankColumn(1);
    EXPECT_EQ(grid->Cells(2, 0), QStringLiteral("h2"));
    grid->RemoveColumn(0);
    EXPECT_EQ(grid->ColCount(), 2);
    EXPECT_EQ(log, (QStringList{"size 2 3", "row+ 2", "size 2 4", "row- 1", "size 2 3", "col+ 1",
                                "size 3 3", "col- 0"}));

    // The last column and the heading row cannot be removed out from under the grid.
    auto single = makeColumn({});
    single->RemoveColumn(0);
    single->RemoveRow(0);
    single->SetRowCount(0);
    EXPECT_EQ(single->ColCount(), 1);
    EXPECT_EQ(single->RowCount(), 1);
    EXPECT_EQ(single->FixedRows(), 1);
}

TEST(SortableGridTest, GoToCellClampsToTheGrid)
{
    auto grid = makeGrid({{"h1", "h2", "h3"}, {"a"}, {"b"}, {"c"}});
    struct Case
    {
        int col, row, expectCol, expectRow;
    };
    for (const Case c :
         {Case{99, 999, 2, 3}, Case{-5, -5, 0, 1}, Case{1, 0, 1, 1}, Case{2, 2, 2, 2}}) {
        grid->GoToCell(c.col, c.row);
        EXPECT_EQ(grid->Col(), c.expectCol) << c.col << "," << c.row;
        EXPECT_EQ(grid->Row(), c.expectRow) << c.col << "," << c.row;
    }
    bool asked = false;
    grid->OnSelectCell = [&](TSortableGrid&, int, int, bool& can) {
        asked = true;
        can = false;
    };
    grid->GoToCell(0, 1);
    EXPECT_TRUE(asked);
    EXPECT_EQ(grid->Row(), 2); // refused: the cursor stays
}

// Exposes the grid's own validation steps, which normally run on focus changes, clicks and
// Enter.
class ValidatingGrid : public TSortableGrid
{
public:
    using TSortableGrid::RememberCell;
    using TSortableGrid::ValidateCell;
};

TEST(SortableGridTest, ValidationKeepsRestoresOrReplacesTheEdit)
{
    struct Case
    {
        const char* name;
        bool valid;
        const char* replacement; // nullptr: the handler leaves Value alone
        const char* shown;
        bool edited;
    };
    const Case cases[] = {
        {"accepted", true, nullptr, "new", true},
        {"rejected", false, nullptr, "old", false},
        {"rejected with a replacement", false, "fixed", "fixed", false},
        {"accepted with a replacement", true, "fixed", "fixed", true},
    };
    wl::test::application();
    for (const Case& c : cases) {
        ValidatingGrid grid;
        grid.SetColCount(1);
        grid.SetRowCount(2);
        grid.SetCells(0, 1, QStringLiteral("old"));
        grid.GoToCell(0, 1);
        grid.RememberCell();
        int calls = 0;
        grid.OnCellValidate = [&](TSortableGrid&, int col, int row, QString& value, bool& valid) {
            ++calls;
            EXPECT_EQ(col, 0);
            EXPECT_EQ(row, 1);
            EXPECT_EQ(value, QStringLiteral("new"));
            valid = c.valid;
            if (c.replacement)
                value = QString::fromLatin1(c.replacement);
        };
        // What the in-place editor does when it hands its text over.
        grid.Model().setData(grid.Model().index(0, 0), QStringLiteral("new"), Qt::EditRole);
        EXPECT_TRUE(grid.Edited());
        grid.ValidateCell();
        EXPECT_EQ(calls, 1) << c.name;
        EXPECT_EQ(grid.Cells(0, 1), QString::fromLatin1(c.shown)) << c.name;
        EXPECT_EQ(grid.Edited(), c.edited) << c.name;
        grid.ValidateCell(); // nothing changed since: no second call
        EXPECT_EQ(calls, 1) << c.name;
    }
}

TEST(SortableGridTest, DelimitedFilesLoadAndSaveExactly)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case
    {
        const char* name;
        QByteArray input;
        int rows;
        int cols;
        QByteArray saved;
    };
    const Case cases[] = {
        {"mixed line ends", "a,b,,c\r\nd\ne\rf\r\n", 4, 4, "a,b,,c\r\nd,,,\r\ne,,,\r\nf,,,\r\n"},
        {"no final break", "x;y\nz", 2, 2, "x;y\r\nz;\r\n"},
        {"empty lines are rows", "a\n\n\nb\n", 4, 1, "a\r\n\r\n\r\nb\r\n"},
        {"no quoting", "\"a,b\",c\r\n", 1, 3, "\"a,b\",c\r\n"},
        {"UTF-8 text",
         "Gr\xc3\xbc\xc3\x9f"
         ",\xe2\x82\xac\r\n",
         1, 2,
         "Gr\xc3\xbc\xc3\x9f"
         ",\xe2\x82\xac\r\n"},
    };
    for (const Case& c : cases) {
        const QChar separator = c.input.contains(';') ? u';' : u',';
        const QString in = dir.filePath(QStringLiteral("in.txt"));
        const QString out = dir.filePath(QStringLiteral("out.txt"));
        writeAll(in, c.input);
        auto grid = makeColumn({"old", "rows"});
        ASSERT_TRUE(grid->LoadDelimitedFile(in, separator)) << c.name;
        EXPECT_EQ(grid->RowCount(), c.rows) << c.name;
        EXPECT_EQ(grid->ColCount(), c.cols) << c.name;
        ASSERT_TRUE(grid->SaveDelimitedFile(out, separator)) << c.name;
        EXPECT_EQ(readAll(out), c.saved) << c.name;
    }

    auto grid = makeColumn({"kept"});
    QString error;
    EXPECT_FALSE(grid->LoadDelimitedFile(dir.filePath(QStringLiteral("missing")), u',', &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(grid->Cells(0, 1), QString()); // the grid was cleared first
    error.clear();
    EXPECT_FALSE(
        grid->SaveDelimitedFile(dir.filePath(QStringLiteral("no/such/dir/f")), u',', &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(SortableGridTest, FindCellTextSearchesColumnsIncludingHeadings)
{
    auto grid =
        makeGrid({{"Category", "Call"}, {"Air", "w1aw"}, {"Marine", "K2X"}, {"air", "W1AW"}});
    int col = -1;
    int row = -1;
    EXPECT_TRUE(grid->FindCellText(QStringLiteral("AIR"), col, row));
    EXPECT_EQ(col, 0);
    EXPECT_EQ(row, 1);
    EXPECT_TRUE(grid->FindCellText(QStringLiteral("call"), col, row));
    EXPECT_EQ(col, 1);
    EXPECT_EQ(row, 0);
    EXPECT_TRUE(grid->FindCellText(QStringLiteral("W1aw"), col, row));
    EXPECT_EQ(row, 1);
    col = row = 42;
    EXPECT_FALSE(grid->FindCellText(QStringLiteral("nothing"), col, row));
    EXPECT_EQ(col, 42);
    EXPECT_EQ(row, 42);
}

TEST(SortableGridTest, FitColumnWidthMeasuresEveryRowPlusAnX)
{
    auto grid = makeGrid({{"Frequency(MHz)"}, {"7.0000"}, {"1296.5000"}});
    const QFontMetrics metrics(grid->font());
    const int x = metrics.horizontalAdvance(QStringLiteral("x"));
    int changes = 0;
    grid->OnColumnWidthsChanged = [&](TSortableGrid&) { ++changes; };
    grid->FitColumnWidth(0);
    EXPECT_EQ(grid->ColWidths(0), metrics.horizontalAdvance(QStringLiteral("Frequency(MHz)")) + x);
    EXPECT_EQ(changes, 1);
    grid->SetCells(0, 2, QStringLiteral("a much longer text than the heading"));
    grid->FitColumnWidth(0);
    EXPECT_EQ(grid->ColWidths(0),
              metrics.horizontalAdvance(QStringLiteral("a much longer text than the heading")) + x);

    // A format handler's font is the one measured.
    QFont big = grid->font();
    big.setPointSize(big.pointSize() * 3);
    grid->OnGetCellFormat = [&](TSortableGrid&, int, int, const TGridDrawState&,
                                TFormatOptions& f) { f.CellFont = big; };
    grid->FitColumnWidth(0);
    const QFontMetrics bigMetrics(big);
    EXPECT_EQ(grid->ColWidths(0),
              bigMetrics.horizontalAdvance(QStringLiteral("a much longer text than the heading")) +
                  bigMetrics.horizontalAdvance(QStringLiteral("x")));
}

TEST(SortableGridTest, WidthsSurviveABatchFillAndAnnounceItOnce)
{
    auto grid = makeGrid({{"a", "b", "c"}, {"1", "2", "3"}});
    int changes = 0;
    grid->OnColumnWidthsChanged = [&](TSortableGrid&) { ++changes; };
    grid->BeginUpdate();
    grid->ClearCells();
    grid->SetRowCount(1001);
    grid->SetCells(1, 0, QStringLiteral("Call"));
    for (int row = 1; row < 1001; ++row)
        grid->SetCells(1, row, QString::number(row));
    grid->SetColWidths(0, 80);
    grid->SetColWidths(1, 20);
    grid->SetColWidths(2, 33);
    grid->RemoveColumn(0);
    grid->EndUpdate();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(grid->ColCount(), 2);
    EXPECT_EQ(grid->ColWidths(0), 20);
    EXPECT_EQ(grid->horizontalHeader()->sectionSize(0), 20);
    EXPECT_EQ(grid->horizontalHeader()->sectionSize(1), 33);
    EXPECT_EQ(grid->Model().rowCount(), 1000); // views see the data rows only
    EXPECT_EQ(grid->Model().headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Call"));
    EXPECT_EQ(grid->Model().data(grid->Model().index(999, 0), Qt::DisplayRole).toString(),
              QStringLiteral("1000"));
}

TEST(SortableGridTest, AppendedRowsArriveAsOneInsertionAndTheViewKeepsItsPlace)
{
    QStringList texts;
    for (int i = 1; i <= 200; ++i)
        texts << QString::number(i);
    auto grid = makeColumn(texts);
    grid->resize(200, 300);
    grid->scrollTo(grid->Model().index(150, 0), QAbstractItemView::PositionAtTop);
    const int scrolled = grid->verticalScrollBar()->value();
    ASSERT_GT(scrolled, 0);
    int resets = 0;
    int sizeChanges = 0;
    std::vector<std::pair<int, int>> inserted;
    QObject::connect(&grid->Model(), &QAbstractItemModel::modelReset, [&] { ++resets; });
    QObject::connect(
        &grid->Model(), &QAbstractItemModel::rowsInserted,
        [&](const QModelIndex&, int first, int last) { inserted.emplace_back(first, last); });
    grid->OnSizeChanged = [&](TSortableGrid&, int, int) { ++sizeChanges; };
    grid->AppendRows(3, [&](int firstRow) {
        EXPECT_EQ(firstRow, 201);
        for (int i = 0; i < 3; ++i) {
            grid->SetCells(0, firstRow + i, QStringLiteral("new %1").arg(i));
            grid->SetObjects(0, firstRow + i, 1000 + i);
        }
    });
    EXPECT_EQ(resets, 0);
    EXPECT_EQ(inserted, (std::vector<std::pair<int, int>>{{200, 202}}));
    EXPECT_EQ(sizeChanges, 1);
    EXPECT_EQ(grid->RowCount(), 204);
    EXPECT_EQ(grid->Cells(0, 203), QStringLiteral("new 2"));
    EXPECT_EQ(grid->Objects(0, 202), QVariant(1001));
    EXPECT_FALSE(grid->Objects(0, 200).isValid());
    EXPECT_EQ(grid->Model().data(grid->Model().index(202, 0), Qt::DisplayRole).toString(),
              QStringLiteral("new 2"));
    EXPECT_EQ(grid->verticalScrollBar()->value(), scrolled);
}

// Real mouse releases on the heading: left sorts ascending, right descending, a release that
// ends a column-border drag or comes with Ctrl does not sort.
TEST(SortableGridTest, HeadingReleasesSort)
{
    auto grid = makeGrid({{"n", "id"}, {"10", "a"}, {"9.5", "b"}, {"100", "c"}});
    grid->SetOptions(grid->Options() | TSortableGrid::goColSizing);
    grid->resize(400, 300);
    grid->show();
    QApplication::setActiveWindow(grid.get());
    grid->setFocus();
    QHeaderView* header = grid->horizontalHeader();
    QWidget* target = header->viewport();
    const QPoint middle(header->sectionViewportPosition(0) + header->sectionSize(0) / 2,
                        header->height() / 2);
    // A mouse of the test's own: the platform's shared fallback device would outlive the
    // application object and fail at exit.
    const QPointingDevice mouse(QStringLiteral("test mouse"), 4242, QInputDevice::DeviceType::Mouse,
                                QPointingDevice::PointerType::Generic,
                                QInputDevice::Capability::Position, 1, 3);
    const auto release = [&](Qt::MouseButton button, Qt::KeyboardModifiers mods,
                             bool resizeBetween) {
        QMouseEvent press(QEvent::MouseButtonPress, middle, middle, target->mapToGlobal(middle),
                          button, button, mods, &mouse);
        QApplication::sendEvent(target, &press);
        if (resizeBetween)
            header->resizeSection(0, header->sectionSize(0) + 5);
        QMouseEvent up(QEvent::MouseButtonRelease, middle, middle, target->mapToGlobal(middle),
                       button, Qt::NoButton, mods, &mouse);
        QApplication::sendEvent(target, &up);
    };
    struct Case
    {
        const char* name;
        Qt::MouseButton button;
        Qt::KeyboardModifiers mods;
        bool resize;
        QStringList order;
    };
    const Case cases[] = {
        {"left", Qt::LeftButton, Qt::NoModifier, false, {"b", "a", "c"}},
        {"right", Qt::RightButton, Qt::NoModifier, false, {"c", "a", "b"}},
        {"after a border drag", Qt::LeftButton, Qt::NoModifier, true, {"c", "a", "b"}},
        {"with Ctrl", Qt::LeftButton, Qt::ControlModifier, false, {"c", "a", "b"}},
    };
    for (const Case& c : cases) {
        if (!grid->hasFocus())
            GTEST_SKIP() << "the platform gives no focus";
        release(c.button, c.mods, c.resize);
        EXPECT_EQ(dataTexts(*grid, 1), c.order) << c.name;
    }
    grid->SetClickSorting(false);
    release(Qt::LeftButton, Qt::NoModifier, false);
    EXPECT_EQ(dataTexts(*grid, 1), (QStringList{"c", "a", "b"}));
}

} // namespace

// The horizontal scroll bar follows the columns: at the left end while the first column is
// the first one shown, further right as the view moves right. Going to a cell leaves the
// first visible column's left edge at the grid's left edge, whatever the column widths.
TEST(SortableGridTest, HorizontalScrollBarFollowsTheFirstVisibleColumn)
{
    QStringList headings;
    QStringList cells;
    for (int col = 0; col < 12; ++col) {
        headings << QStringLiteral("Heading %1").arg(col);
        cells << QStringLiteral("Short Wave %1").arg(col);
    }
    auto grid = makeGrid({headings, cells, cells});
    for (int col = 0; col < 12; ++col)
        grid->SetColWidths(col, col == 3 ? 0 : 93 + 7 * (col % 3));
    using G = TSortableGrid;
    grid->SetOptions(G::goFixedVertLine | G::goFixedHorzLine | G::goVertLine | G::goHorzLine |
                    G::goColSizing | G::goRowSelect);
    grid->resize(400, 200);
    grid->show();
    QApplication::processEvents();
    QScrollBar* bar = grid->horizontalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->minimum());
    EXPECT_EQ(grid->columnAt(0), 0);

    struct Step
    {
        int col;
    };
    for (const int col : {11, 0, 6, 2, 9, 1}) {
        grid->GoToCell(col, 1);
        QApplication::processEvents();
        const int first = grid->columnAt(0);
        const int right = grid->columnAt(grid->viewport()->width() - 1);
        EXPECT_LE(first, col) << "target " << col;
        EXPECT_TRUE(right == -1 || right >= col) << "target " << col;
        EXPECT_EQ(grid->columnViewportPosition(first), 0) << "target " << col;
        // The thumb's place grows with the first visible column.
        EXPECT_EQ(grid->horizontalHeader()->offset(),
                  grid->horizontalHeader()->sectionPosition(first))
            << "target " << col;
        if (first == 0)
            EXPECT_EQ(bar->value(), bar->minimum()) << "target " << col;
        else
            EXPECT_GT(bar->value(), bar->minimum()) << "target " << col;
    }
}
