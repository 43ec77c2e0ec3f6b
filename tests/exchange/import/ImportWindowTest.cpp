#include "app/MovablePanel.h"
#include "dialogs/DialogTestSupport.h"
#include "exchange/export/TExportStringGrid.h"
#include "exchange/import/ImportColumns.h"
#include "exchange/import/ImportCommands.h"
#include "exchange/import/ImportMessages.h"
#include "exchange/import/ImportText.h"
#include "exchange/import/ImportWriter.h"
#include "exchange/import/RowNumberHeader.h"
#include "exchange/import/TFormImport.h"
#include "exchange/import/formats/ImportFormats.h"
#include "grid/LocaleInfo.h"
#include "store/CategoryFile.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>
#include <QToolButton>

#include <atomic>
#include <cmath>
#include <functional>
#include <limits>
#include <stdexcept>

#include <sys/stat.h>

namespace wl {
namespace {

// The header line of the file the tests read: nine columns, one too many.
const QByteArray NineColumns = "146.52,-,Kxyz,W1AW,John Smith,Boston,net,11/22/2004,\"a, b\"\r\n"
                               "162.4,,NOAA,,,,,,\n";
// Eight columns: frequency in kilohertz, a modifier, the texts, a date with a time, notes.
const QByteArray EightColumns = "146520,+x,K1ABC,mary o'neil,Boston,net,3/4/2001 1:30 PM,hello\r\n"
                                "7100,,W1AW,,,,,\r\n";

class ImportWindowTest : public test::DialogTest
{
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        LocaleInfo::setCurrent(LocaleInfo());
    }

    QString file(const char* name, const QByteArray& bytes)
    {
        const QString path = install.programFolder() + QLatin1String(name);
        writeBytes(path, bytes);
        return path;
    }

    static QStringList row(const TFormImport& form, int r)
    {
        QStringList cells;
        for (int c = 0; c < form.SortableGrid2->ColCount(); ++c)
            cells << form.SortableGrid2->Cells(c, r);
        return cells;
    }

    static QStringList labels(const TFormImport& form)
    {
        return {form.Label1->text(), form.Label2->text(), form.Label3->text()};
    }

    static void choose(TFormImport& form, const char* category)
    {
        const auto items = form.ListCategory->findItems(QLatin1String(category), Qt::MatchExactly);
        ASSERT_FALSE(items.isEmpty());
        form.ListCategory->setCurrentItem(items.front());
    }

    static void press(TFormImport& form, int key)
    {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(form.SortableGrid2, &event);
    }

    // Every record of the table by record number, each as the values of the named fields.
    static std::map<qint64, QStringList> records(TFormMain& w, const QStringList& fields)
    {
        std::vector<qint64> numbers;
        store::Table& t = w.table();
        t.cancelRange();
        for (t.first(); !t.eof(); t.next())
            numbers.push_back(t.recNum());
        t.setRange(w.settings().lowFrequency, w.settings().hiFrequency);
        std::map<qint64, QStringList> result;
        for (qint64 recNum : numbers) {
            QStringList& values = result[recNum];
            for (const QString& field : fields) {
                QVariant value;
                EXPECT_TRUE(t.readField(recNum, field, value));
                values << value.toString();
            }
        }
        return result;
    }
};

TEST_F(ImportWindowTest, TheImportCommandOpensTheAssistantModally)
{
    TFormMain& w = openMain();
    EXPECT_FALSE(w.hasCommandHandler(Command::Import));
    installImportCommands(w);
    ASSERT_TRUE(w.action(Command::Import)->isEnabled());

    QString title;
    QStringList categories;
    QTimer::singleShot(0, &w, [&] {
        auto* form = qobject_cast<TFormImport*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        title = form->windowTitle();
        for (int i = 0; i < form->ListCategory->count(); ++i)
            categories << form->ListCategory->item(i)->text();
        form->BtnClose->click();
    });
    w.action(Command::Import)->trigger();
    EXPECT_EQ(title, QStringLiteral("Import Assistant"));
    EXPECT_EQ(categories, QStringList({"Police", "Short Wave", "Weather"}));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(ImportWindowTest, StartsEmptyWithTheHelpText)
{
    TFormMain& w = openMain();
    TFormImport form(w);
    EXPECT_EQ(form.SortableGrid2->ColCount(), 1);
    EXPECT_EQ(form.SortableGrid2->RowCount(), 2);
    EXPECT_EQ(form.SortableGrid2->Cells(0, 0), QStringLiteral("Frequency(MHz)"));
    EXPECT_EQ(form.EditHZ->text(), QStringLiteral("1"));
    const QString help = form.Label5->text();
    EXPECT_TRUE(help.startsWith(QStringLiteral(" \n       The above window displays data")));
    EXPECT_TRUE(help.contains(QStringLiteral(
        "\n       4  You may insert, delete or combine columns. You should end up with 8 "
        "columns. \n")));
    EXPECT_TRUE(help.contains(QStringLiteral("record.\n       \n       1. You should")));
    EXPECT_TRUE(help.endsWith(QStringLiteral("\n       8. Click F1 for more help.")));
    EXPECT_EQ(form.Label5->textFormat(), Qt::PlainText);
}

TEST_F(ImportWindowTest, ActivationRefillsTheCategoriesAndKeepsTheChoice)
{
    TFormMain& w = openMain();
    TFormImport form(w);
    choose(form, "Weather");
    w.setCategories({"Aviation", "Weather"});
    form.FormActivate();
    EXPECT_EQ(form.ListCategory->count(), 2);
    ASSERT_EQ(form.ListCategory->selectedItems().size(), 1);
    EXPECT_EQ(form.ListCategory->selectedItems().front()->text(), QStringLiteral("Weather"));
    // A category that has gone cannot stay chosen.
    w.setCategories({"Aviation"});
    form.FormActivate();
    EXPECT_TRUE(form.ListCategory->selectedItems().isEmpty());
}

TEST_F(ImportWindowTest, ReadsAFileIntoTheSpreadsheet)
{
    TFormMain& w = openMain();
    TFormImport form(w);
    services.dialogs.openFiles = {file("log.csv", NineColumns)};
    form.BtnOpen->click();

    EXPECT_EQ(form.SortableGrid2->FixedRows(), 1);
    EXPECT_EQ(row(form, 0), QStringList({"Frequency(MHz)", "  +-  ", "Callsign", "User", "Location",
                                         "Special", "Date/Time", "Notes", "Column 9"}));
    EXPECT_EQ(row(form, 1), QStringList({"146.52", "-", "Kxyz", "W1AW", "John Smith", "Boston",
                                         "net", "11/22/2004", "a, b"}));
    EXPECT_EQ(row(form, 2), QStringList({"162.4", "", "NOAA", "", "", "", "", "", ""}));
    EXPECT_EQ(labels(form), QStringList({"Rows = 2", "Columns = 9", "Selected Column = 1"}));
    EXPECT_EQ(form.SortableGrid2->Row(), 1);
    EXPECT_EQ(form.SortableGrid2->Col(), 0);

    // Cancelling the dialog, an unreadable file, an empty file, a pipe and an endless device
    // leave the spreadsheet alone; the pipe and the device are refused without being read.
    form.BtnOpen->click();
    const QString fifo = install.programFolder() + QStringLiteral("pipe.csv");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    services.dialogs.openFiles = {install.programFolder() + QStringLiteral("missing.csv"),
                                  file("empty.csv", ""), fifo, QStringLiteral("/dev/zero")};
    for (int i = 0; i < 4; ++i)
        form.BtnOpen->click();
    EXPECT_EQ(services.messages.texts(),
              QStringList({"Conversion Error.", "The file holds no lines to import.",
                           fifo + " is not a regular file (a device, pipe or socket); only a "
                                  "file can be imported.",
                           "/dev/zero is not a regular file (a device, pipe or socket); only a "
                           "file can be imported."}));
    EXPECT_EQ(row(form, 1)[2], QStringLiteral("Kxyz"));
    EXPECT_EQ(labels(form), QStringList({"Rows = 2", "Columns = 9", "Selected Column = 1"}));
}

// What the window shows for a file: the cells of the text read (cut to the spreadsheet's
// columns, the shorter rows blank to the right), the headings by column, each column as wide as
// its widest text measured as it stands plus an "x", and the counts.
TEST_F(ImportWindowTest, TheSpreadsheetShowsTheFileAsItsTextReads)
{
    TFormMain& w = openMain();
    QByteArray wide = "w";
    for (int col = 1; col < 300; ++col)
        wide += ",AV" + QByteArray::number(col);
    const QByteArray cases[] = {
        "146.52,\"Smith, John\",x\r\n7.1,\"a \"\"b\"\"\",\"\"\r\nlast,\"open",
        "a,\"l1\r\nl2\",b\nc\r\n\r\n  ,\t, x \r",
        "M\xC3\xBCnchen,\xC2\xA0To Wa\xC2\xA0\r\nZ\xFCrich,\xA0\r\n",
        "\xEF\xBB\xBFx;y;\"'=1;2\"\r\n1;2,5\r\n",
        wide + "\r\n1,2\r\n",
    };
    for (const QByteArray& bytes : cases) {
        SCOPED_TRACE(bytes.left(40).toHex().constData());
        TFormImport form(w);
        form.FillGrid(file("sheet.csv", bytes));
        const std::vector<QStringList> rows = ImportText::read(bytes).rows;
        const TSortableGrid& grid = *form.SortableGrid2;
        qsizetype columns = 1;
        for (const QStringList& cells : rows)
            columns = std::max(columns, cells.size());
        columns = std::min<qsizetype>(columns, TFormImport::MaxColumns);
        ASSERT_EQ(grid.ColCount(), columns);
        ASSERT_EQ(grid.RowCount(), int(rows.size()) + 1);
        const QFontMetrics metrics(grid.font());
        for (int col = 0; col < grid.ColCount(); ++col) {
            EXPECT_EQ(grid.Cells(col, 0), ImportColumns::heading(col));
            int widest = metrics.horizontalAdvance(ImportColumns::heading(col));
            for (int r = 1; r < grid.RowCount(); ++r) {
                const QStringList& cells = rows[std::size_t(r - 1)];
                const QString expected = col < cells.size() ? cells[col] : QString();
                EXPECT_EQ(grid.Cells(col, r), expected) << col << ' ' << r;
                widest = std::max(widest, metrics.horizontalAdvance(expected));
            }
            EXPECT_EQ(grid.ColWidths(col), widest + metrics.horizontalAdvance(QStringLiteral("x")))
                << col;
        }
        EXPECT_EQ(labels(form), QStringList({QStringLiteral("Rows = %1").arg(rows.size()),
                                             QStringLiteral("Columns = %1").arg(columns),
                                             "Selected Column = 1"}));
    }
}

// A file refused for a control character, even one far down, leaves the spreadsheet as it was.
TEST_F(ImportWindowTest, ARefusedFileLeavesTheSpreadsheetAsItWas)
{
    TFormMain& w = openMain();
    TFormImport form(w);
    form.FillGrid(file("log.csv", NineColumns));
    QByteArray refused;
    for (int i = 0; i < 5000; ++i)
        refused += "1,2,3,4,5,6,7,8,9,10,11\r\n";
    refused += "x\x1b"
               "y\r\n";
    services.messages.shown.clear();
    form.FillGrid(file("bad.csv", refused));
    EXPECT_EQ(services.messages.texts(),
              QStringList({"Row 5001 holds a control character (code 27), so the file is not a "
                           "text file this window can read. Nothing was read."}));
    EXPECT_EQ(form.SortableGrid2->ColCount(), 9);
    EXPECT_EQ(form.SortableGrid2->RowCount(), 3);
    EXPECT_EQ(row(form, 1)[2], QStringLiteral("Kxyz"));
    EXPECT_EQ(row(form, 0)[8], QStringLiteral("Column 9"));
    EXPECT_EQ(labels(form), QStringList({"Rows = 2", "Columns = 9", "Selected Column = 1"}));
}

// A line of a million columns is read at once; the spreadsheet keeps its first columns and the
// user is told how many were left out.
TEST_F(ImportWindowTest, VeryWideLineIsCutToTheSpreadsheetsColumns)
{
    TFormMain& w = openMain();
    TFormImport form(w);
    QByteArray wide = "146.52,-,K1ABC";
    for (int col = 4; col <= 1000000; ++col)
        wide += ",x";
    form.FillGrid(file("wide.csv", wide + "\r\n7100\r\n"));

    EXPECT_EQ(form.SortableGrid2->ColCount(), TFormImport::MaxColumns);
    EXPECT_EQ(labels(form), QStringList({"Rows = 2", "Columns = 256", "Selected Column = 1"}));
    EXPECT_EQ(row(form, 1).mid(0, 4), QStringList({"146.52", "-", "K1ABC", "x"}));
    EXPECT_EQ(row(form, 2).mid(0, 2), QStringList({"7100", ""}));
    EXPECT_EQ(row(form, 0).last(), QStringLiteral("Column 256"));
    EXPECT_EQ(services.messages.texts(),
              QStringList({"The widest line of the file has 1,000,000 columns. The spreadsheet "
                           "shows the first 256; the other 999,744 are left out and will not be "
                           "imported."}));
}

TEST_F(ImportWindowTest, ColumnsAreInsertedDeletedMovedAndCombined)
{
    TFormMain& w = openMain();
    TFormImport form(w);
    form.FillGrid(file("log.csv", NineColumns));
    TSortableGrid& grid = *form.SortableGrid2;

    // Insert never makes more than eight columns.
    form.BtnInsert->click();
    EXPECT_EQ(grid.ColCount(), 9);

    // Delete the modifier column, then put a blank one back in its place.
    grid.GoToCell(1, 1);
    EXPECT_EQ(form.Label3->text(), QStringLiteral("Selected Column = 2"));
    form.BtnDelete->click();
    EXPECT_EQ(row(form, 1), QStringList({"146.52", "Kxyz", "W1AW", "John Smith", "Boston", "net",
                                         "11/22/2004", "a, b"}));
    EXPECT_EQ(row(form, 0).last(), QStringLiteral("Notes"));
    EXPECT_EQ(form.Label2->text(), QStringLiteral("Columns = 8"));
    form.BtnInsert->click();
    EXPECT_EQ(grid.ColCount(), 8);
    grid.GoToCell(3, 1);
    form.BtnDelete->click();
    EXPECT_EQ(form.Label2->text(), QStringLiteral("Columns = 7"));
    form.BtnInsert->click();
    EXPECT_EQ(row(form, 1),
              QStringList({"146.52", "Kxyz", "W1AW", "", "Boston", "net", "11/22/2004", "a, b"}));
    EXPECT_EQ(form.Label2->text(), QStringLiteral("Columns = 8"));

    // The columns mode selects the current column's data rows.
    grid.GoToCell(2, 2);
    const TSortableGrid::TGridRect chosen = grid.Selection();
    EXPECT_EQ(std::vector<int>({chosen.Left, chosen.Top, chosen.Right, chosen.Bottom}),
              std::vector<int>({2, 1, 2, 2}));

    // Right arrow moves the current column and it stays current; Left at the first column and
    // Right at the last do nothing.
    grid.GoToCell(1, 1);
    press(form, Qt::Key_Right);
    EXPECT_EQ(row(form, 1).mid(0, 4), QStringList({"146.52", "W1AW", "Kxyz", ""}));
    EXPECT_EQ(grid.Col(), 2);
    EXPECT_EQ(row(form, 0)[2], QStringLiteral("Callsign"));
    grid.GoToCell(0, 1);
    press(form, Qt::Key_Left);
    EXPECT_EQ(grid.Col(), 0);
    grid.GoToCell(7, 1);
    press(form, Qt::Key_Right);
    EXPECT_EQ(grid.Col(), 7);
    EXPECT_EQ(row(form, 1),
              QStringList({"146.52", "W1AW", "Kxyz", "", "Boston", "net", "11/22/2004", "a, b"}));

    // Combine columns 2 and 3 (from 1).
    form.BtnComb1->click();
    EXPECT_FALSE(form.Panel5->isHidden());
    form.Edit1->setText(QStringLiteral("2"));
    EXPECT_EQ(form.Edit2->text(), QStringLiteral("3"));
    form.btncombine->click();
    EXPECT_EQ(row(form, 1),
              QStringList({"146.52", "W1AW Kxyz", "", "Boston", "net", "11/22/2004", "a, b"}));
    EXPECT_EQ(row(form, 2)[1], QStringLiteral("NOAA"));
    EXPECT_EQ(row(form, 0)[6], QStringLiteral("Date/Time"));
    EXPECT_EQ(form.Label2->text(), QStringLiteral("Columns = 7"));
    EXPECT_EQ(grid.Col(), 2);

    // Rows mode: Delete removes the current data row; the row count follows.
    form.RG1Rows->click();
    EXPECT_TRUE(form.CB1->isEnabled());
    grid.GoToCell(0, 2);
    EXPECT_EQ(form.Label3->text(), QStringLiteral("Selected Row = 2"));
    press(form, Qt::Key_Delete);
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Rows = 1"));
    form.RG1Columns->click();
    EXPECT_FALSE(form.CB1->isEnabled());
}

TEST_F(ImportWindowTest, CombiningOneRowAndTheDigitBox)
{
    TFormMain& w = openMain();
    TFormImport form(w);
    form.FillGrid(file("log.csv", "a,b,c\r\nd,e,f\r\n"));
    form.RG1Rows->click();
    form.SortableGrid2->GoToCell(0, 2);
    form.CB1->setChecked(true);
    form.Edit1->setText(QStringLiteral("1"));
    form.btncombine->click();
    EXPECT_EQ(row(form, 1), QStringList({"a", "b", "c"}));
    EXPECT_EQ(row(form, 2), QStringList({"d e", "f", ""}));

    // A key press replaces the digit; anything but 1 to 9 leaves the box empty.
    const auto type = [&](const QString& text) {
        QKeyEvent event(QEvent::KeyPress, 0, Qt::NoModifier, text);
        QApplication::sendEvent(form.Edit1, &event);
    };
    type(QStringLiteral("5"));
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("5"));
    EXPECT_EQ(form.Edit2->text(), QStringLiteral("6"));
    type(QStringLiteral("\t"));
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("5"));
    type(QStringLiteral("0"));
    EXPECT_EQ(form.Edit1->text(), QString());
    EXPECT_EQ(form.Edit2->text(), QStringLiteral("6"));
    // Nothing happens for a column that has no right neighbour.
    form.Edit1->setText(QStringLiteral("3"));
    form.btncombine->click();
    EXPECT_EQ(row(form, 1), QStringList({"a", "b", "c"}));
}

TEST_F(ImportWindowTest, CaseAndClear)
{
    TFormMain& w = openMain();
    TFormImport form(w);
    form.FillGrid(file("log.csv", "1,mary o'neil. dr.smith\r\n2,\r\n3,po box 12\r\n"));
    form.SortableGrid2->GoToCell(1, 1);
    form.BtnProperName->click();
    EXPECT_EQ(row(form, 0)[1], QStringLiteral("  +-  "));
    EXPECT_EQ(row(form, 1)[1], QStringLiteral("Mary O'neil. Dr.Smith"));
    EXPECT_EQ(row(form, 2)[1], QString());
    EXPECT_EQ(row(form, 3)[1], QStringLiteral("PO Box 12"));

    form.RG1Rows->click();
    form.BtnClear->click();
    EXPECT_EQ(form.SortableGrid2->ColCount(), 1);
    EXPECT_EQ(form.SortableGrid2->RowCount(), 2);
    EXPECT_EQ(form.SortableGrid2->Cells(0, 1), QString());
    EXPECT_TRUE(form.RG1Columns->isChecked());
}

TEST_F(ImportWindowTest, ConvertAppendsOneRecordPerRow)
{
    TFormMain& w = openMain();
    TFormImport form(w);
    form.FillGrid(file("log.csv", EightColumns));
    form.EditHZ->setText(QStringLiteral("0.001"));
    choose(form, "Weather");
    form.BtnConvert->click();
    EXPECT_EQ(services.messages.texts(), QStringList({"2 records imported."}));

    const QStringList fields = {"Category", "Hz",    "Modifier", "Callsign", "User", "Location",
                                "Optional", "RDate", "Notes",    "Position", "RLat", "RLon"};
    const auto stored = records(w, fields);
    ASSERT_EQ(stored.size(), 2u);
    const QStringList first = stored.begin()->second;
    const QStringList second = std::next(stored.begin())->second;
    const QString blanks(20, u' ');
    // 3/4/2001 1:30 PM is day 36954 and 13.5 / 24 of a day.
    EXPECT_EQ(first, QStringList({"Weather", "146.52", "+", "K1ABC", "mary o'neil", "Boston", "net",
                                  "36954.5625", "hello", blanks, "0", "0"}));
    // No date: today, from the clock double (22 November 2004 is day 38313).
    EXPECT_EQ(second, QStringList({"Weather", "7.1", " ", "W1AW", "", "", "", "38313", "", blanks,
                                   "0", "0"}));
    // The main window shows them.
    EXPECT_EQ(w.PnlTotal->text(), QStringLiteral("Records = 2"));
    EXPECT_EQ(w.SortableGrid1->ColCount(), ColumnCount);

    // The spreadsheet stays: converting again imports again.
    choose(form, "Police");
    form.BtnConvert->click();
    EXPECT_EQ(records(w, fields).size(), 4u);
}

TEST_F(ImportWindowTest, ConvertRefusesWithTheReasonAndStoresNothing)
{
    TFormMain& w = openMain();
    TFormImport form(w);
    form.FillGrid(file("nine.csv", NineColumns));

    form.BtnConvert->click();
    choose(form, "Police");
    form.BtnConvert->click();
    ASSERT_EQ(services.messages.shown.size(), 2u);
    const MessageRequest& columns = services.messages.shown[1];
    EXPECT_EQ(columns.caption, QStringLiteral("Incorrect Number of Columns"));
    EXPECT_EQ(columns.text, QStringLiteral("Please insert or delete columns, total must be 8."));
    EXPECT_EQ(columns.kind, MessageKind::Error);

    form.FillGrid(
        file("eight.csv", EightColumns + "abc,,,,,,,\r\n,,,,,,,\r\n9,,,,,,yesterday,\r\n"));
    choose(form, "Police");
    for (const char* bad : {"abc", "0", ""}) {
        form.EditHZ->setText(QLatin1String(bad));
        form.BtnConvert->click();
    }
    form.EditHZ->setText(QStringLiteral("1"));
    form.BtnConvert->click();
    QStringList texts = services.messages.texts();
    EXPECT_EQ(texts.mid(0, 5), QStringList({"Please select a category.",
                                            "Please insert or delete columns, total must be 8.",
                                            "Invalid Herz Multiplier", "Invalid Herz Multiplier",
                                            "Invalid Herz Multiplier"}));
    ASSERT_EQ(texts.size(), 6);
    EXPECT_EQ(texts[5], QStringLiteral("Nothing was imported: these rows cannot be read. The "
                                       "first of them is selected in the spreadsheet; press "
                                       "Delete to leave a row out, or mend the file and select "
                                       "it again.\n\n"
                                       "Row 3: the frequency \"abc\" is not a number.\n"
                                       "Row 5: \"yesterday\" is not a date."));
    EXPECT_TRUE(records(w, {"Hz"}).empty());

    // The first refused row is selected in rows mode and the side heading numbers it as the
    // message does, so Delete leaves it out at once.
    EXPECT_TRUE(form.RG1Rows->isChecked());
    EXPECT_EQ(form.SortableGrid2->Row(), 3);
    const QHeaderView& side = *form.SortableGrid2->verticalHeader();
    EXPECT_FALSE(side.isHidden());
    EXPECT_EQ(side.objectName(), QStringLiteral("RowNumbers"));
    EXPECT_EQ(RowNumberHeader::label(2), QStringLiteral("3"));
    form.BtnDelete->click();
    form.SortableGrid2->GoToCell(0, 4);
    form.BtnDelete->click();
    choose(form, "Police");
    form.BtnConvert->click();
    EXPECT_EQ(services.messages.texts().last(), QStringLiteral("2 records imported."));
    EXPECT_EQ(records(w, {"Hz"}).size(), 2u);
}

// A refused row far down the file is selected and scrolled into view, so the user sees it
// without paging down to it.
TEST_F(ImportWindowTest, AFarRefusedRowIsScrolledIntoView)
{
    TFormMain& w = openMain();
    TFormImport form(w);
    form.show();
    QByteArray text = EightColumns;
    for (int row = 3; row < 200; ++row)
        text += ",,,,,,,\r\n";
    text += "f\xc3\xbcnf,,,,,,,\r\n,,,,,,,\r\n";
    form.FillGrid(file("far.csv", text));
    choose(form, "Police");
    form.BtnConvert->click();
    ASSERT_FALSE(services.messages.texts().isEmpty());
    EXPECT_TRUE(services.messages.texts().last().contains(QStringLiteral("Row 200:")))
        << services.messages.texts().last().toStdString();
    EXPECT_TRUE(records(w, {"Hz"}).empty());

    TSortableGrid& grid = *form.SortableGrid2;
    QApplication::processEvents();
    EXPECT_EQ(grid.Row(), 200);
    const QRect shown = grid.visualRect(grid.Model().index(200 - grid.FixedRows(), 0));
    EXPECT_TRUE(grid.viewport()->rect().contains(shown.center()))
        << shown.y() << " in a viewport " << grid.viewport()->height() << " high";
    EXPECT_EQ(grid.verticalHeader()->logicalIndexAt(shown.center().y()),
              200 - grid.FixedRows());
}

// Texts too long for their fields are listed, all of them, before anything is stored; No
// stores nothing and Yes stores the records with the texts cut.
TEST_F(ImportWindowTest, TextsTooLongAreListedBeforeStoring)
{
    TFormMain& w = openMain();
    TFormImport form(w);
    QByteArray lines;
    for (int i = 1; i <= 8; ++i)
        lines += QByteArray::number(7000 + i) + ",,Call" + QByteArray(20, 'x') +
                 QByteArray::number(i) + ",,,,,\r\n";
    form.FillGrid(file("long.csv", lines + "7100,,Ü短,,,,,\r\n"));
    choose(form, "Police");

    services.messages.answers = {QMessageBox::No};
    form.BtnConvert->click();
    ASSERT_EQ(services.messages.shown.size(), 1u);
    const MessageRequest& asked = services.messages.shown[0];
    EXPECT_EQ(asked.kind, MessageKind::Confirmation);
    EXPECT_TRUE(asked.text.startsWith("8 texts are longer than their fields and will be cut"));
    EXPECT_TRUE(asked.text.endsWith("Store the records with these texts cut?"));
    const QStringList details = asked.details.split(u'\n');
    ASSERT_EQ(details.size(), 8);
    EXPECT_EQ(details[7], QStringLiteral("Row 8: Callsign \"Call") + QString(20, u'x') +
                              QStringLiteral("8\" will be cut to 20 characters."));
    EXPECT_TRUE(records(w, {"Hz"}).empty());

    form.BtnConvert->click();
    EXPECT_EQ(services.messages.texts().last(), QStringLiteral("9 records imported."));
    EXPECT_EQ(records(w, {"Hz"}).size(), 9u);
}

// Texts longer than their fields are reported by row; trailing blanks past the size are not.
TEST_F(ImportWindowTest, TextsLongerThanTheirFieldsAreReported)
{
    TFormMain& w = openMain();
    std::vector<ImportRecord> batch(2);
    batch[0].row = 4;
    batch[0].callsign = QStringLiteral("K1ABC") + QString(15, u'x') + QStringLiteral("yz");
    batch[0].location = QString(20, u'b') + QStringLiteral("   ");
    batch[1].row = 9;
    batch[1].special = QString(21, u's');
    EXPECT_EQ(ImportWriter::cuts(w.table(), batch, QStringLiteral("Police")),
              QStringList({"Row 4: Callsign \"K1ABCxxxxxxxxxxxxxxxyz\" was cut to 20 characters.",
                           "Row 9: Optional \"sssssssssssssssssssss\" was cut to 20 characters."}));
}

TEST_F(ImportWindowTest, ATableFailureLeavesNoRecordBehind)
{
    TFormMain& w = openMain();
    // In the middle of the write: the second record cannot be stored.
    std::vector<ImportRecord> batch(3);
    for (ImportRecord& r : batch) {
        r.hz = 146.52;
        r.modifier = QStringLiteral(" ");
        r.rDate = QDateTime(QDate(2004, 11, 22), QTime(0, 0), Qt::UTC);
    }
    batch[1].hz = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(ImportWriter::append(w.table(), batch, QStringLiteral("Police")));
    EXPECT_TRUE(records(w, {"Hz"}).empty());

    // Through the window: the table's reason is shown and nothing is stored.
    TFormImport form(w);
    form.FillGrid(file("eight.csv", EightColumns));
    choose(form, "Police");
    w.table().close();
    form.BtnConvert->click();
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].text,
              QStringLiteral("The records could not be stored; nothing was imported."));
    EXPECT_FALSE(services.messages.shown[0].details.isEmpty());
    ASSERT_TRUE(w.OpenTable());
    EXPECT_TRUE(records(w, {"Hz"}).empty());

    // Written in chunks: a stop after the first chunk takes that chunk back too.
    batch.assign(ImportWriter::ChunkSize + 1, batch.front());
    std::vector<int> told;
    const ImportWriter::Outcome stopped =
        ImportWriter::appendWithProgress(w.table(), batch, QStringLiteral("Police"), [&](int done) {
            told.push_back(done);
            return false;
        });
    EXPECT_FALSE(stopped);
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_EQ(told, std::vector<int>({ImportWriter::ChunkSize}));
    EXPECT_TRUE(records(w, {"Hz"}).empty());
    EXPECT_FALSE(w.table().inTransaction());

    told.clear();
    EXPECT_TRUE(
        ImportWriter::appendWithProgress(w.table(), batch, QStringLiteral("Police"), [&](int done) {
            told.push_back(done);
            return true;
        }));
    EXPECT_EQ(told, std::vector<int>({ImportWriter::ChunkSize, ImportWriter::ChunkSize + 1}));
    EXPECT_EQ(records(w, {"Hz"}).size(), batch.size());
    EXPECT_FALSE(w.table().inTransaction());
}

// The feed runs ahead of the writing on a worker thread: a stop or a refusal ends it without
// reading the rest, and a feed that throws fails the import instead of ending the program.
TEST_F(ImportWindowTest, TheWorkerStopsWithTheImport)
{
    TFormMain& w = openMain();
    ImportRecord r;
    r.hz = 146.52;
    r.modifier = QStringLiteral(" ");
    r.rDate = QDateTime(QDate(2004, 11, 22), QTime(0, 0), Qt::UTC);
    std::atomic<int> fed{0};
    using State = ImportWriter::FeedState;
    struct Case
    {
        const char* name;
        std::function<State(std::vector<ImportRecord>&, std::size_t)> feed;
        bool stopAtFirst;
        int fedAtMost;
        bool cancelled;
        bool refused;
        const char* error;
    };
    const std::vector<Case> cases = {
        {"cancelled",
         [&](std::vector<ImportRecord>& chunk, std::size_t room) {
             chunk.assign(room, r);
             return ++fed < 50 ? State::More : State::Done;
         },
         true,
         4, // the chunk written, two waiting and one being made
         true, false, "The import was stopped."},
        {"refused",
         [&](std::vector<ImportRecord>& chunk, std::size_t room) {
             if (++fed == 3)
                 return State::Refused;
             chunk.assign(room, r);
             return State::More;
         },
         false, 3, false, true, "Some rows cannot be stored."},
        {"thrown",
         [&](std::vector<ImportRecord>& chunk, std::size_t room) {
             if (++fed == 2)
                 throw std::runtime_error("out of memory");
             chunk.assign(room, r);
             return State::More;
         },
         false, 2, false, false, "out of memory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fed = 0;
        const ImportWriter::Outcome outcome = ImportWriter::appendFeed(
            w.table(), c.feed, QStringLiteral("Police"), [&](int) { return !c.stopAtFirst; });
        EXPECT_FALSE(outcome);
        EXPECT_EQ(outcome.cancelled, c.cancelled);
        EXPECT_EQ(outcome.refused, c.refused);
        EXPECT_EQ(outcome.status.error, QLatin1String(c.error));
        EXPECT_LE(fed.load(), c.fedAtMost);
        EXPECT_TRUE(records(w, {"Hz"}).empty());
        EXPECT_FALSE(w.table().inTransaction());
    }
    // The table takes the next import whole.
    std::vector<ImportRecord> two(2, r);
    EXPECT_TRUE(ImportWriter::append(w.table(), two, QStringLiteral("Police")));
    EXPECT_EQ(records(w, {"Hz"}).size(), 2u);
}

// A faulty row far down, past the first chunk of records, still leaves nothing behind: every
// faulty row is named and the first is selected.
TEST_F(ImportWindowTest, AFaultyRowAfterTheFirstChunkTakesEveryRecordBack)
{
    TFormMain& w = openMain();
    TFormImport form(w);
    QByteArray bytes;
    for (int i = 0; i < ImportWriter::ChunkSize + 10; ++i)
        bytes += "146.52,,K1ABC,,,,,\r\n";
    bytes += "x9,,,,,,,\r\n,,,,,,,\r\n7.1,,,,,,soon,\r\n";
    form.FillGrid(file("big.csv", bytes));
    ASSERT_EQ(form.SortableGrid2->RowCount(), ImportWriter::ChunkSize + 14);
    choose(form, "Police");
    form.BtnConvert->click();
    const int faulty = ImportWriter::ChunkSize + 11;
    EXPECT_EQ(services.messages.texts(),
              QStringList({ImportMessages::RowsRefused +
                           QStringLiteral("\n\nRow %1: the frequency \"x9\" is not a number.\n"
                                          "Row %2: \"soon\" is not a date.")
                               .arg(faulty)
                               .arg(faulty + 2)}));
    EXPECT_TRUE(records(w, {"Hz"}).empty());
    EXPECT_FALSE(w.table().inTransaction());
    EXPECT_EQ(form.SortableGrid2->Row(), faulty);

    // Without them every row is stored once, and the count says so.
    for (int row : {faulty + 2, faulty}) {
        form.SortableGrid2->GoToCell(0, row);
        form.BtnDelete->click();
    }
    choose(form, "Police");
    form.BtnConvert->click();
    EXPECT_EQ(services.messages.texts().last(),
              QStringLiteral("%1 records imported.").arg(ImportWriter::ChunkSize + 10));
    EXPECT_EQ(records(w, {"Hz"}).size(), std::size_t(ImportWriter::ChunkSize + 10));
}

TEST_F(ImportWindowTest, ExportsTheSpreadsheet)
{
    TFormMain& w = openMain();
    TFormImport form(w);
    EXPECT_EQ(form.ExportStringGrid1->StringGrid(), form.SortableGrid2);
}

} // namespace
} // namespace wl

namespace wl {
namespace {

TEST_F(ImportWindowTest, AnotherProgramsFileIsPreviewedThenStoredWhole)
{
    TFormMain& w = openMain();
    TFormImport form(w);
    form.ComboFormat->setCurrentIndex(form.ComboFormat->findData(int(ImportFormat::Adif)));
    choose(form, "Weather");

    // A faulty record: the report names it and nothing is stored.
    services.dialogs.openFiles = {
        file("bad.adi", "<CALL:2>K1<FREQ:6>14.070<EOR><CALL:2>K2<FREQ:y>7<EOR>")};
    form.BtnOpen->click();
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].kind, MessageKind::Warning);
    EXPECT_TRUE(services.messages.shown[0].text.contains(
        "Record 2: the field <FREQ:y> has a malformed length."));
    EXPECT_TRUE(records(w, {"Callsign"}).empty());

    // A sound log: the mapping is shown with the question, and Yes stores every record.
    services.dialogs.openFiles = {file("good.adi",
                                       "<CALL:2>K1<FREQ:7>128.010<LAT:11>S033 "
                                       "52.200<LON:11>E151 12.600<NOTES:2>hi<EOR>"
                                       "<CALL:2>K2<FREQ:5>7.040<GRIDSQUARE:4>FN42<EOR>")};
    services.messages.answers = {QMessageBox::Yes};
    form.BtnOpen->click();
    ASSERT_EQ(services.messages.shown.size(), 3u);
    const QString preview = services.messages.shown[1].text;
    EXPECT_TRUE(preview.startsWith("Import 2 records under \"Weather\"?")) << preview.toStdString();
    EXPECT_TRUE(preview.contains("FREQ (2 records) -> Frequency (MHz)"));
    EXPECT_TRUE(preview.contains("GRIDSQUARE (1 records) -> Position (when no LAT/LON)"));
    EXPECT_EQ(services.messages.shown[2].text, QStringLiteral("2 records imported."));
    const auto stored = records(w, {"Callsign", "Hz", "RLat", "RLon", "Category"});
    ASSERT_EQ(stored.size(), 2u);
    const QStringList k1 = stored.begin()->second;
    EXPECT_EQ(k1.mid(0, 2), QStringList({"K1", "128.01"}));
    // The table keeps longitudes west positive: 151.21 E is stored as -151.21.
    EXPECT_NEAR(k1[2].toDouble(), -33.87, 1e-9);
    EXPECT_NEAR(k1[3].toDouble(), -151.21, 1e-9);
    EXPECT_EQ(k1[4], QStringLiteral("Weather"));
    const QStringList k2 = std::next(stored.begin())->second;
    EXPECT_NEAR(k2[2].toDouble(), 42.5, 1e-9);
    EXPECT_NEAR(k2[3].toDouble(), 71.0, 1e-9);
}

// The program's own CSV export chosen in the window: each record keeps its row's category and
// its whole notes; the chosen category is only for rows without one. A category new to the
// list joins it (once, whatever its case in later rows) and the window offers it.
TEST_F(ImportWindowTest, OwnCsvExportKeepsItsCategoriesAndNotes)
{
    TFormMain& w = openMain();
    TFormImport form(w);
    form.ComboFormat->setCurrentIndex(form.ComboFormat->findData(int(ImportFormat::OwnCsv)));
    choose(form, "Weather");
    services.dialogs.openFiles = {
        file("own.csv", "\"Item\",\"Category\",\"Frequency(MHz)\",\"'+-\",\"Callsign\",\"User\","
                        "\"Location\",\"Special\",\"Position\",\"Date/Time\",\"Notes\"\r\n"
                        "1,\"Police\",155.4750,\"'+\",\"KOP1\",\"\",\"\",\"\",\"0 00N 122 41W\","
                        "\"11/22/2004 12:00 PM\",\"line 1\r\nline 2\"\r\n"
                        "2,\"\",7.1000,\" \",\"W1AW\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"
                        "3,\"Pirates\",6.2000,\" \",\"RFI\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"
                        "4,\"PIRATES\",6.3000,\" \",\"RFJ\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n")};
    services.messages.answers = {QMessageBox::Yes};
    form.BtnOpen->click();
    ASSERT_EQ(services.messages.texts().size(), 2)
        << services.messages.texts().join(u'\n').toStdString();
    EXPECT_EQ(services.messages.texts()[1],
              QStringLiteral("4 records imported.\n\n"
                             "The category \"Pirates\" was added to the category list."));
    EXPECT_TRUE(w.categories().contains(QStringLiteral("Pirates")));
    EXPECT_FALSE(w.categories().contains(QStringLiteral("PIRATES")));
    EXPECT_EQ(form.ListCategory->findItems(QStringLiteral("Pirates"), Qt::MatchExactly).size(), 1);
    QStringList onFile;
    ASSERT_TRUE(store::CategoryFile::inFolder(w.settings().dataBasePath).read(onFile));
    EXPECT_EQ(onFile.filter(QRegularExpression(QStringLiteral("^pirates$"),
                                               QRegularExpression::CaseInsensitiveOption))
                  .size(),
              1);
    const auto stored =
        records(w, {"Callsign", "Category", "Modifier", "Notes", "Position", "RLat"});
    ASSERT_EQ(stored.size(), 4u);
    EXPECT_EQ(stored.begin()->second.mid(0, 5),
              QStringList({"KOP1", "Police", "+", "line 1\r\nline 2", "0 00N 122 41W       "}));
    EXPECT_EQ(stored.begin()->second[5], QStringLiteral("0"));
    EXPECT_EQ(std::next(stored.begin())->second.mid(0, 2), QStringList({"W1AW", "Weather"}));
}

} // namespace
} // namespace wl
