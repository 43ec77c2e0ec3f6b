#include "ExportTestSupport.h"

#include "exchange/export/ExportMessages.h"
#include "exchange/export/ExportText.h"

#include <QClipboard>

namespace wl {
namespace {

using test::crlf;

// A small grid with the awkward cells: a comma, quotes, a line break, a non-ASCII letter and
// an empty cell; the first column holds numbers.
class FormatWritersTest : public test::WriterTest
{
protected:
    void SetUp() override
    {
        WriterTest::SetUp();
        exporter->captions = {QStringLiteral(" Frequency"), QStringLiteral(" Callsign"),
                              QStringLiteral(" Notes")};
        exporter->rows = {
            {QStringLiteral("146.5200"), QStringLiteral("W1AW, Inc"), QStringLiteral("say \"hi\"")},
            {QStringLiteral("7.0350"), QStringLiteral("Zo\u00eb"), QStringLiteral("line1\nline2")},
            {QStringLiteral("14.2000"), QString(), QStringLiteral("x")}};
    }
};

TEST_F(FormatWritersTest, FixedWidthTextWithTheProgramsSettings)
{
    EXPECT_EQ(exportAs(TExportType::xText), crlf("Created: 5/3/26 10:15:02 PM||"
                                                 "Item  Frequency   Callsign   Notes |"
                                                 "-----------------------------------|"
                                                 "   1    146.5200 W1AW, Inc  say \"h-|"
                                                 "   2      7.0350 Zo\xeb        line1 -|"
                                                 "   3     14.2000            x      |"));
}

TEST_F(FormatWritersTest, FixedWidthOptionsChangeTheLayout)
{
    // Without captions, number column and time stamp the file starts with the first item.
    EXPECT_EQ(exportAs(TExportType::xText, {}, ShowColHeaders | NumberRows | TimeStamp),
              crlf("   146.5200 W1AW, Inc  say \"h-|"
                   "     7.0350 Zo\xeb        line1 -|"
                   "    14.2000            x      |"));

    // Title, header and a footer counting the items; set widths and a truncation mark.
    exporter->SetTitle(QStringLiteral("Log\tbook"));
    exporter->SetHeader({QStringLiteral("Club\tlist"), QString(), QStringLiteral("  ")});
    exporter->SetFooter({QStringLiteral("%.0f items, 100%% done")});
    exporter->SetColWidths({QStringLiteral("6"), QString(), QStringLiteral(" 3 ")});
    exporter->SetTruncateSymbol(QStringLiteral("  ~~~  "));
    int footerCount = -1;
    exporter->OnWriteFooter = [&](TExportComponent&, int items) { footerCount = items; };
    const QByteArray dashes(26, '-');
    EXPECT_EQ(exportAs(TExportType::xText, ShowColHeaders | NumberRows, TimeStamp),
              crlf("Logbook|-------||"
                   "Club\tlist||"
                   "Item  Fr~~~  Callsign   No|") +
                  dashes +
                  crlf("|   1 146~~~ W1AW, Inc  say|"
                       "   2 7.0350 Zo\xeb        lin|"
                       "   3 14.~~~            x  |") +
                  dashes + crlf("||3 items, 100% done||"));
    EXPECT_EQ(footerCount, 3);
}

TEST_F(FormatWritersTest, NumberColumnWidensAtFiveDigits)
{
    exporter->captions = {QStringLiteral("A")};
    for (int rows : {1234, 12345}) {
        exporter->rows.assign(std::size_t(rows), {QStringLiteral("x")});
        const QByteArray text = exportAs(TExportType::xText, {}, TimeStamp);
        const QByteArray last = QByteArray::number(rows) + " x \r\n";
        if (rows < 10000)
            EXPECT_TRUE(text.startsWith("Item A \r\n-------\r\n   1 x \r\n")) << rows;
        else
            EXPECT_TRUE(text.startsWith("Item  A \r\n--------\r\n    1 x \r\n")) << rows;
        EXPECT_TRUE(text.endsWith(last)) << rows;
    }
}

TEST_F(FormatWritersTest, DetailedTextHasOneCellPerLine)
{
    exporter->rows.pop_back();
    EXPECT_EQ(exportAs(TExportType::xText, DetailedMode), crlf("Created: 5/3/26 10:15:02 PM||"
                                                               "Item      : 1|"
                                                               " Frequency: 146.5200|"
                                                               " Callsign : W1AW, Inc|"
                                                               " Notes    : say \"hi\"|"
                                                               "|"
                                                               "Item      : 2|"
                                                               " Frequency: 7.0350|"
                                                               " Callsign : Zo\xeb|"
                                                               " Notes    : line1 line2|"
                                                               "|"));
}

TEST_F(FormatWritersTest, CommaDelimitedQuotesTextAndLeavesNumbers)
{
    EXPECT_EQ(exportAs(TExportType::xText_Comma_Delimited),
              crlf("\"Item\",\" Frequency\",\" Callsign\",\" Notes\"|"
                   "1,146.5200,\"W1AW, Inc\",\"say \"\"hi\"\"\"|"
                   "2,7.0350,\"Zo\xeb\",\"line1\nline2\"|"
                   "3,14.2000,\"\",\"x\"|"));
}

TEST_F(FormatWritersTest, CommaDelimitedFollowsTheLocaleSeparators)
{
    struct Case
    {
        const char* locale;
        QChar listSeparator;
        const char* expected;
    };
    const Case cases[] = {
        // Decimal comma: the list separator becomes ";" and 146,52 is a number.
        {"de_DE", u'\0', "1;146,52;\"x\"|"},
        // Dot-decimal: 146,52 is text and is quoted.
        {"en_US", u'\0', "1,\"146,52\",\"x\"|"},
        // A comma list separator with a decimal comma must not split the number.
        {"de_DE", u',', "1,\"146,52\",\"x\"|"},
    };
    for (const Case& c : cases) {
        LocaleInfo locale = LocaleInfo::fromName(QString::fromLatin1(c.locale));
        if (!c.listSeparator.isNull())
            locale.listSeparator = c.listSeparator;
        LocaleInfo::setCurrent(locale);
        exporter->captions = {QStringLiteral("F"), QStringLiteral("N")};
        exporter->rows = {{QStringLiteral("146,52"), QStringLiteral("x")}};
        EXPECT_EQ(exportAs(TExportType::xText_Comma_Delimited, {}, ShowColHeaders),
                  crlf(c.expected))
            << c.locale;
    }
}

// Cells a spreadsheet would change or run: formulas open as text behind an apostrophe, numbers
// with leading zeros stay text, line breaks stay inside quoted fields.
TEST_F(FormatWritersTest, DelimitedCellsOpenAsTheTextTheyHold)
{
    exporter->captions = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                          QStringLiteral("D"), QStringLiteral("E")};
    exporter->rows = {{QStringLiteral("=1+2"), QStringLiteral("007"), QStringLiteral("-12.5"),
                       QStringLiteral("- note"), QStringLiteral("'@x")},
                      {QStringLiteral("+x"), QStringLiteral("0.5"), QStringLiteral("a\r\nb"),
                       QStringLiteral("'x"), QStringLiteral("nul\x01")}};
    EXPECT_EQ(exportAs(TExportType::xText_Comma_Delimited, {}, ShowColHeaders | NumberRows),
              crlf("\"'=1+2\",\"007\",-12.5,\"'- note\",\"''@x\"|"
                   "\"'+x\",0.5,\"a\r\nb\",\"'x\",\"nul\"|"));
    EXPECT_EQ(exportAs(TExportType::xText_Tab_Delimited, {}, ShowColHeaders | NumberRows),
              crlf("'=1+2\t007\t-12.5\t'- note\t''@x|"
                   "'+x\t0.5\ta b\t'x\tnul|"));
    // The import takes the guard off again, and only the guard.
    for (const QString& text : {QStringLiteral("=1+2"), QStringLiteral("'@x"), QStringLiteral("'x"),
                                QStringLiteral("''"), QString()})
        EXPECT_EQ(ExportText::RemoveFormulaGuard(ExportText::GuardFormula(text)), text);
}

// Text the code page cannot hold turns the whole file into UTF-8 with a byte-order mark; text
// it can hold keeps the single-byte file older readers know.
TEST_F(FormatWritersTest, TextBeyondTheCodePageMakesAUtf8File)
{
    exporter->captions = {QStringLiteral("City of the listener")};
    const QString lodz = QStringLiteral("\u0141\u00f3d\u017a");
    for (TExportType type : {TExportType::xText, TExportType::xText_Comma_Delimited,
                             TExportType::xText_Tab_Delimited, TExportType::xHTML}) {
        exporter->rows = {{QStringLiteral("M\u00fcnchen \u20ac")}};
        const QByteArray single = exportAs(type, {}, TimeStamp);
        EXPECT_TRUE(single.contains("M\xfcnchen \x80")) << ExportTypeName(type).toStdString();
        EXPECT_FALSE(single.startsWith("\xEF\xBB\xBF"));

        exporter->rows = {{QStringLiteral("M\u00fcnchen")}, {lodz}};
        const QByteArray unicode = exportAs(type, {}, TimeStamp);
        EXPECT_TRUE(unicode.startsWith("\xEF\xBB\xBF")) << ExportTypeName(type).toStdString();
        EXPECT_EQ(unicode.count("\xEF\xBB\xBF"), 1);
        EXPECT_TRUE(unicode.contains(lodz.toUtf8()));
        EXPECT_TRUE(unicode.contains(QStringLiteral("M\u00fcnchen").toUtf8()));
        if (type == TExportType::xHTML) {
            EXPECT_TRUE(unicode.contains("charset=utf-8"));
        }
    }
}

// Spreadsheet readers take DIF files in the single-byte code page only: the file stays so, and
// the user is told how many texts lost characters. SYLK is recognised by its ID record, which
// lets LibreOffice read it as UTF-8: every letter is kept, without a byte-order mark in front.
TEST_F(FormatWritersTest, SingleByteFormatsTellWhatTheyCouldNotHold)
{
    exporter->captions = {QStringLiteral("City")};
    exporter->rows = {{QStringLiteral("\u0141\u00f3d\u017a")}, {QStringLiteral("M\u00fcnchen")}};
    host->messages.clear();
    const QByteArray dif = exportAs(TExportType::xDIF);
    EXPECT_TRUE(dif.contains("?\xf3"
                             "d?"));
    EXPECT_TRUE(dif.contains("M\xfcnchen"));
    ASSERT_EQ(host->messages.size(), 1u);
    EXPECT_TRUE(host->messages[0].text.startsWith(QStringLiteral("1 cell texts held")));

    host->messages.clear();
    const QByteArray sylk = exportAs(TExportType::xSYLK);
    EXPECT_TRUE(sylk.startsWith("ID;PWXL;N;E\r\n"));
    EXPECT_TRUE(sylk.contains(QStringLiteral("\u0141\u00f3d\u017a").toUtf8()));
    EXPECT_TRUE(sylk.contains(QStringLiteral("M\u00fcnchen").toUtf8()));
    EXPECT_TRUE(host->messages.empty());
}

TEST_F(FormatWritersTest, DifNumbersUseADotInEveryLocale)
{
    LocaleInfo::setCurrent(LocaleInfo::fromName(QStringLiteral("de_DE")));
    exporter->captions = {QStringLiteral("F")};
    exporter->rows = {{QStringLiteral("146,52")}, {QStringLiteral("-0,0001")}};
    const QByteArray dif = exportAs(TExportType::xDIF, {}, ShowColHeaders | NumberRows);
    EXPECT_TRUE(dif.contains(crlf("0,146.52|V|"))) << dif.constData();
    EXPECT_TRUE(dif.contains(crlf("0,-0.0001|V|"))) << dif.constData();
}

TEST_F(FormatWritersTest, TabDelimitedCaptionLineEndsWithATab)
{
    exporter->captions[1] = QStringLiteral(" Call\tsign");
    EXPECT_EQ(exportAs(TExportType::xText_Tab_Delimited),
              crlf("Item\t Frequency\t Call sign\t Notes\t|"
                   "1\t146.5200\tW1AW, Inc\tsay \"hi\"|"
                   "2\t7.0350\tZo\xeb\tline1 line2|"
                   "3\t14.2000\t\tx|"));
}

TEST_F(FormatWritersTest, DifCountsItsTuplesAndDoublesQuotes)
{
    exporter->SetTitle(QStringLiteral("The \"log\""));
    EXPECT_EQ(exportAs(TExportType::xDIF),
              crlf("TABLE|0,1|\"The \"\"log\"\"\"|VECTORS|0,4|\"\"|TUPLES|0,4|\"\"|DATA|0,0|\"\"|"
                   "-1,0|BOT|1,0|\"Item\"|1,0|\" Frequency\"|1,0|\" Callsign\"|1,0|\" Notes\"|"
                   "-1,0|BOT|0,1|V|0,146.5200|V|1,0|\"W1AW, Inc\"|1,0|\"say \"\"hi\"\"\"|"
                   "-1,0|BOT|0,2|V|0,7.0350|V|1,0|\"Zo\xeb\"|1,0|\"line1 line2\"|"
                   "-1,0|BOT|0,3|V|0,14.2000|V|1,0|\"\"|1,0|\"x\"|"
                   "-1,0|EOD|"));
    // Without captions the count is the items alone.
    const QByteArray bare = exportAs(TExportType::xDIF, {}, ShowColHeaders);
    EXPECT_TRUE(bare.contains("TUPLES\r\n0,3\r\n")) << bare.constData();
}

TEST_F(FormatWritersTest, SylkWritesCellRecordsAndWidths)
{
    exporter->rows[2][2] = QString(300, u'w');
    exporter->rows[0][1] = QStringLiteral("A;B");
    const QByteArray expected =
        crlf("ID;PWXL;N;E|P;Pm/d/yy|P;Ph:mm\\ AM/PM|P;Pm/d/yy h:mm\\ AM/PM|"
             "P;P\"$\"#,##0.00_);;[Red]\\(\"$\"#,##0.00\\)|"
             "C;X1;Y1;K\"Item\"|C;X2;Y1;K\" Frequency\"|C;X3;Y1;K\" Callsign\"|C;X4;Y1;K\" Notes\"|"
             "C;X1;Y2;K1|C;X2;Y2;K146.5200|C;X3;Y2;K\"A;;B\"|C;X4;Y2;K\"say \"hi\"\"|"
             "C;X1;Y3;K2|C;X2;Y3;K7.0350|C;X3;Y3;K\"Zo\xc3\xab\"|C;X4;Y3;K\"line1 line2\"|"
             "C;X1;Y4;K3|C;X2;Y4;K14.2000|C;X3;Y4;K\"\"|C;X4;Y4;K\"") +
        QByteArray(300, 'w') + crlf("\"|F;W1 1 4|F;W2 2 10|F;W3 3 9|F;W4 4 255|E|");
    EXPECT_EQ(exportAs(TExportType::xSYLK), expected);
}

TEST_F(FormatWritersTest, ClipboardHoldsTheTextLayouts)
{
    struct Case
    {
        TExportOptions extra;
        const char* expected;
    };
    const Case cases[] = {
        {{},
         "Item  Frequency   Callsign   Notes |-----------------------------------|"
         "   1    146.5200 W1AW, Inc  say \"h-|"},
        {DetailedMode,
         "Item      : 1| Frequency: 146.5200| Callsign : W1AW, Inc| Notes    : say \"hi\"||"},
    };
    exporter->rows.resize(1);
    for (const Case& c : cases) {
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        host->messages.clear();
        exporter->SetOptions((exporter->Options() | c.extra) & ~TimeStamp);
        exporter->ExportType = TExportType::xClipboard;
        ASSERT_TRUE(exporter->RunExport());
        EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromLatin1(crlf(c.expected)));
        ASSERT_EQ(host->messages.size(), 1u);
        EXPECT_EQ(host->messages[0].text, QStringLiteral("Successfully Exported to Clipboard"));
        EXPECT_TRUE(host->opened.isEmpty());
    }
}

TEST_F(FormatWritersTest, StoppedExportLeavesFileAndClipboardAlone)
{
    const QString path = dir.filePath(QStringLiteral("kept.csv"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    host->stopAtStep = 2;
    exporter->ExportType = TExportType::xText_Comma_Delimited;
    exporter->ViewOnly = false;
    exporter->ExportFile = path;
    bool failedFired = false;
    exporter->OnExportFailed = [&](TExportComponent&) { failedFired = true; };
    EXPECT_FALSE(exporter->RunExport());
    EXPECT_TRUE(failedFired);
    EXPECT_EQ(test::bytesOf(path), QByteArray("old"));
    EXPECT_TRUE(host->messages.empty());

    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    exporter->ExportType = TExportType::xClipboard;
    EXPECT_FALSE(exporter->RunExport());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
    EXPECT_TRUE(host->messages.empty());
}

TEST_F(FormatWritersTest, WriteFailureIsReportedNotSuccess)
{
    // A folder that cannot exist: its parent is a file.
    QFile blocker(dir.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    for (TExportType type : AllExportTypes) {
        if (type == TExportType::xClipboard)
            continue;
        host->messages.clear();
        bool finished = false;
        exporter->OnExportFinished = [&](TExportComponent&) { finished = true; };
        exporter->ExportType = type;
        exporter->ViewOnly = false;
        exporter->ExportFile = blocker.fileName() + QStringLiteral("/out.txt");
        EXPECT_FALSE(exporter->RunExport()) << ExportTypeName(type).toStdString();
        EXPECT_FALSE(finished);
        ASSERT_EQ(host->messages.size(), 1u);
        EXPECT_EQ(host->messages[0].kind, ExportMessageKind::Error);
        EXPECT_EQ(host->messages[0].text, ExportMessages::FailureFor(type));
        EXPECT_TRUE(exporter->ExportFile.isEmpty());
    }
}

TEST_F(FormatWritersTest, ViewedExportGoesToATemporaryFileThatIsOpened)
{
    exporter->ExportType = TExportType::xText_Comma_Delimited;
    exporter->ViewOnly = true;
    ASSERT_TRUE(exporter->RunExport());
    ASSERT_EQ(host->opened.size(), 1);
    const QFileInfo temp(host->opened[0]);
    EXPECT_EQ(temp.absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
    EXPECT_TRUE(temp.fileName().startsWith(QStringLiteral("exp")));
    EXPECT_EQ(temp.suffix(), QStringLiteral("csv"));
    EXPECT_TRUE(test::bytesOf(temp.filePath()).startsWith("\"Item\""));
    EXPECT_TRUE(host->saveTitles.isEmpty());

    // A viewer that does not start is named in an error; the file stays made.
    host->openSucceeds = false;
    ASSERT_TRUE(exporter->RunExport());
    ASSERT_EQ(host->messages.size(), 1u);
    EXPECT_EQ(host->messages[0].text,
              QStringLiteral("Error occured while trying to view data exported to the "
                             "Comma-Delimited Text (CSV) format.\r\n\r\nIf this problem "
                             "persists, you may want to consider re-installing the "
                             "Comma-Delimited Text (CSV) Viewer Application."));

    // The temporary files go with the component.
    const QStringList made = exporter->TempFiles().made();
    exporter.reset();
    for (const QString& path : made)
        EXPECT_FALSE(QFile::exists(path)) << path.toStdString();
}

TEST_F(FormatWritersTest, UnviewableTypeAsksForAFileEveryTime)
{
    host->viewable = false;
    exporter->ExportType = TExportType::xSYLK;
    exporter->ViewOnly = true;
    exporter->ExportFile = dir.filePath(QStringLiteral("ignored.slk"));
    host->saveAnswers = {dir.filePath(QStringLiteral("a.slk"))};
    ASSERT_TRUE(exporter->RunExport());
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("a.slk"))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("ignored.slk"))));
    EXPECT_FALSE(exporter->RunExport()); // cancelled the second time
    EXPECT_EQ(host->saveTitles, QStringList({QStringLiteral("Export to SYLK Format File"),
                                             QStringLiteral("Export to SYLK Format File")}));
    EXPECT_EQ(host->saveFilters[0],
              QStringLiteral("SYLK Format files (*.slk)|*.slk|All Files (*.*)|*.*"));
    EXPECT_TRUE(host->opened.isEmpty());
    // Only the fixture's two-line cell is told of: SYLK writes it on one line.
    ASSERT_EQ(host->messages.size(), 1u);
    EXPECT_EQ(host->messages[0].text,
              QStringLiteral("Line breaks in 1 cell were written as blanks: this format cannot "
                             "hold them."));
}

TEST_F(FormatWritersTest, ProgressStepsOverEveryItem)
{
    exportAs(TExportType::xText_Comma_Delimited);
    EXPECT_EQ(host->steps, std::vector<int>({1, 2, 3}));
    EXPECT_EQ(host->progressShown, 1);
    // The fixed-width writer has a progress window but never shows it.
    host->steps.clear();
    host->progressShown = 0;
    exportAs(TExportType::xText);
    EXPECT_EQ(host->steps, std::vector<int>({1, 2, 3}));
    EXPECT_EQ(host->progressShown, 0);
    host->progressCreated = 0;
    exportAs(TExportType::xText, {}, ShowProgress);
    EXPECT_EQ(host->progressCreated, 0);
}

TEST_F(FormatWritersTest, EveryTypeIsOfferedInTheListOrder)
{
    EXPECT_EQ(exporter->OfferedTypes(),
              QList<TExportType>(AllExportTypes.begin(), AllExportTypes.end()));
    EXPECT_EQ(ExportTypeOfName(QStringLiteral("Excel Workbook (xlsx)")),
              TExportType::xExcel_Workbook);
    EXPECT_EQ(ExportTypeExtension(TExportType::xExcel_Workbook), QStringLiteral("xlsx"));
}

TEST_F(FormatWritersTest, CaptionsReplaceTheSourceCaptions)
{
    exporter->SetCaptions({QStringLiteral("MHz"), QStringLiteral("Call"), QString(), QString()});
    EXPECT_EQ(exporter->Captions(), QStringList({QStringLiteral("MHz"), QStringLiteral("Call")}));
    exporter->rows.resize(1);
    EXPECT_EQ(
        exportAs(TExportType::xText_Comma_Delimited),
        crlf("\"Item\",\"MHz\",\"Call\",\" Notes\"|1,146.5200,\"W1AW, Inc\",\"say \"\"hi\"\"\"|"));
}

} // namespace
} // namespace wl
