#include "ExportTestSupport.h"

#include "exchange/export/TBIFFExport.h"

#include <QDir>
#include <QProcess>
#include <QtEndian>

#include <map>

namespace wl {
namespace {

struct Record
{
    int number;
    QByteArray data;
    int u16(int at) const { return qFromLittleEndian<quint16>(data.constData() + at); }
};

std::vector<Record> recordsOf(const QByteArray& bytes)
{
    std::vector<Record> records;
    for (qsizetype at = 0; at + 4 <= bytes.size();) {
        const int number = qFromLittleEndian<quint16>(bytes.constData() + at);
        const int length = qFromLittleEndian<quint16>(bytes.constData() + at + 2);
        records.push_back({number, bytes.mid(at + 4, length)});
        at += 4 + length;
    }
    return records;
}

// The cells of a sheet by (row, column): text, or the number as text.
struct Sheet
{
    std::map<std::pair<int, int>, QString> cells;
    std::map<std::pair<int, int>, int> formats;
    std::vector<Record> records;

    explicit Sheet(const QByteArray& bytes) : records(recordsOf(bytes))
    {
        for (const Record& r : records) {
            if (r.number != 0x0004 && r.number != 0x0003)
                continue;
            const std::pair<int, int> at{r.u16(0), r.u16(2)};
            if (r.number == 0x0004) {
                cells[at] = QString::fromLatin1(r.data.mid(8, quint8(r.data[7])));
                formats[at] = quint8(r.data[4]) - 0x40;
            } else if (r.number == 0x0003) {
                cells[at] = QString::number(qFromLittleEndian<double>(r.data.constData() + 7));
                formats[at] = quint8(r.data[4]) - 0x40;
            }
        }
    }
    const Record* first(int number) const
    {
        for (const Record& r : records) {
            if (r.number == number)
                return &r;
        }
        return nullptr;
    }
    int count(int number) const
    {
        int n = 0;
        for (const Record& r : records)
            n += r.number == number;
        return n;
    }
};

class SpreadsheetWritersTest : public test::WriterTest
{
protected:
    void SetUp() override
    {
        WriterTest::SetUp();
        exporter->captions = {QStringLiteral("Frequency"), QStringLiteral("Callsign"),
                              QStringLiteral("Notes")};
        for (int i = 0; i < 10; ++i)
            exporter->rows.push_back({QStringLiteral("14.%1").arg(i), QStringLiteral("007"),
                                      QStringLiteral("n%1").arg(i)});
    }
};

TEST_F(SpreadsheetWritersTest, FirstRecordFollowsTheLocale)
{
    EXPECT_TRUE(exportAs(TExportType::xMicrosoft_Excel)
                    .startsWith(QByteArray::fromHex("0900040000001000")));
    LocaleInfo::setCurrent(LocaleInfo::fromName(QStringLiteral("de_DE")));
    const QByteArray german = exportAs(TExportType::xMicrosoft_Excel);
    EXPECT_TRUE(german.startsWith(QByteArray::fromHex("09080600000010000000")));
    EXPECT_EQ(Sheet(german).first(0x0200)->data.size(), 10);
}

// The program's settings: time stamp in row 0, captions in row 2 with the bordered bold format,
// items from row 3; numbers as numbers, "007" as text.
TEST_F(SpreadsheetWritersTest, SheetLayoutAndDimensions)
{
    const Sheet sheet(exportAs(TExportType::xMicrosoft_Excel));
    EXPECT_EQ(sheet.cells.at({0, 0}), QStringLiteral("Created: 5/3/26 10:15:02 PM"));
    EXPECT_EQ(sheet.cells.count({1, 0}), 0u);
    EXPECT_EQ(sheet.cells.at({2, 0}), QStringLiteral("Item"));
    EXPECT_EQ(sheet.formats.at({2, 0}), 8);
    EXPECT_EQ(sheet.cells.at({3, 0}), QStringLiteral("1"));
    EXPECT_EQ(sheet.cells.at({12, 1}), QStringLiteral("14.9"));
    EXPECT_EQ(sheet.cells.at({12, 2}), QStringLiteral("007"));
    EXPECT_EQ(sheet.formats.at({12, 2}), 1);
    EXPECT_EQ(sheet.count(0x0024), 4);
    EXPECT_EQ(sheet.count(0x0031), 8);
    EXPECT_EQ(sheet.count(0x0043), 9);
    // The dimensions give the row and column after the last used ones.
    const Record* dimensions = sheet.first(0x0000);
    ASSERT_NE(dimensions, nullptr);
    EXPECT_EQ(dimensions->u16(2), 13);
    EXPECT_EQ(dimensions->u16(6), 4);
    EXPECT_EQ(sheet.records.back().number, 0x000A);
}

TEST_F(SpreadsheetWritersTest, PreambleAndFooterRows)
{
    exporter->SetFooter({QStringLiteral("%.0f items"), QStringLiteral("end")});
    Sheet footed(exportAs(TExportType::xMicrosoft_Excel));
    EXPECT_EQ(footed.cells.at({14, 0}), QStringLiteral("10 items"));
    EXPECT_EQ(footed.formats.at({14, 0}), 7);
    EXPECT_EQ(footed.cells.at({15, 0}), QStringLiteral("end"));
    EXPECT_EQ(footed.formats.at({15, 0}), 1);

    exporter->SetFooter({});
    exporter->SetHeader({QStringLiteral("one"), QStringLiteral("two")});
    Sheet headed(exportAs(TExportType::xMicrosoft_Excel, {}, TimeStamp));
    EXPECT_EQ(headed.cells.at({0, 0}), QStringLiteral("one"));
    EXPECT_EQ(headed.cells.at({1, 0}), QStringLiteral("two"));
    EXPECT_EQ(headed.cells.count({2, 0}), 0u);
    EXPECT_EQ(headed.cells.at({3, 0}), QStringLiteral("Item"));
}

// Nothing is cut or replaced without the user being told, and how many rows fit is said before
// the export.
TEST_F(SpreadsheetWritersTest, LimitsOfTheOlderFormatAreTold)
{
    exporter->rows.resize(2);
    exporter->rows[0][2] = QString(300, u'w');
    exporter->rows[1][2] = QStringLiteral("\u0141\u00f3d\u017a");
    const Sheet sheet(exportAs(TExportType::xMicrosoft_Excel));
    const Record* label = nullptr;
    for (const Record& r : sheet.records) {
        if (r.number == 0x0004 && r.u16(0) == 3 && r.u16(2) == 3)
            label = &r;
    }
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->data.size(), 263);
    EXPECT_EQ(sheet.cells.at({4, 3}), QStringLiteral("?\u00f3d?"));
    ASSERT_EQ(host->messages.size(), 1u);
    EXPECT_TRUE(host->messages[0].text.contains(QStringLiteral("1 cell texts were longer")));
    EXPECT_TRUE(host->messages[0].text.contains(QStringLiteral("Excel Workbook (xlsx)")));

    host->messages.clear();
    exporter->rows.assign(TBIFFExport::LastRow, {QStringLiteral("1"), QStringLiteral("x"), {}});
    const Sheet full(exportAs(TExportType::xMicrosoft_Excel));
    ASSERT_EQ(host->messages.size(), 1u);
    EXPECT_TRUE(host->messages[0].text.contains(QStringLiteral("only the first 65,532 of the "
                                                               "65,534 items")))
        << host->messages[0].text.toStdString();
    EXPECT_EQ(full.first(0x0000)->u16(2), 65535);
    EXPECT_EQ(full.cells.at({65534, 0}), QStringLiteral("65532"));
}

} // namespace
} // namespace wl

namespace wl {
namespace {

// Cancel on the row-limit notice stops the export before anything is written: no file is made,
// and a file already there keeps its bytes.
TEST_F(SpreadsheetWritersTest, CancelOnTheRowLimitWritesNothing)
{
    struct Case
    {
        TExportType type;
        int rows;
    };
    const Case cases[] = {{TExportType::xMicrosoft_Excel, TBIFFExport::LastRow},
                          {TExportType::xExcel_Workbook, 1048577}};
    for (const Case& c : cases) {
        SCOPED_TRACE(ExportTypeName(c.type).toStdString());
        // Copies of one row share their data, so a long table costs little here.
        exporter->rows.assign(std::size_t(c.rows), exporter->rows.front());
        host->messages.clear();
        host->confirmAnswer = false;
        const QString target = dir.filePath(QStringLiteral("old.") + ExportTypeExtension(c.type));
        for (bool existing : {false, true}) {
            QFile::remove(target);
            if (existing) {
                QFile old(target);
                ASSERT_TRUE(old.open(QIODevice::WriteOnly));
                old.write("old bytes");
            }
            exporter->ExportType = c.type;
            exporter->ViewOnly = false;
            exporter->ExportFile = target;
            EXPECT_FALSE(exporter->RunExport());
            EXPECT_EQ(test::bytesOf(target),
                      existing ? QByteArray("old bytes") : QByteArray("<missing>"));
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
                      existing ? QStringList{QFileInfo(target).fileName()} : QStringList{});
        }
        QFile::remove(target);
        ASSERT_EQ(host->messages.size(), 2u); // the notice each time, and no failure after it
        EXPECT_TRUE(host->messages[0].text.contains(QStringLiteral("only the first")));
        EXPECT_TRUE(host->steps.empty());
    }
}

// The cells of a workbook's first sheet, read by Python's own zip and XML readers: one entry per
// row, the cells of a row joined by "|", numbers as the reader gives them.
QStringList workbookRows(const QString& path)
{
    QProcess reader;
    reader.start(
        QStringLiteral("python3"),
        {QStringLiteral("-c"),
         QStringLiteral("import sys, zipfile, xml.etree.ElementTree as ET\n"
                        "ns = {'m': 'http://schemas.openxmlformats.org/spreadsheetml/2006/main'}\n"
                        "sheet = ET.fromstring(zipfile.ZipFile(sys.argv[1]).read("
                        "'xl/worksheets/sheet1.xml'))\n"
                        "for row in sheet.iterfind('.//m:row', ns):\n"
                        "    cells = []\n"
                        "    for c in row.iterfind('m:c', ns):\n"
                        "        v = c.find('m:v', ns)\n"
                        "        cells.append(v.text if v is not None else "
                        "''.join(c.find('m:is', ns).itertext()))\n"
                        "    sys.stdout.buffer.write(('|'.join(cells) + '\\x1e').encode())\n"),
         path});
    EXPECT_TRUE(reader.waitForFinished(120000));
    EXPECT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().toStdString();
    return QString::fromUtf8(reader.readAllStandardOutput()).split(u'\x1e', Qt::SkipEmptyParts);
}

// Enough rows that the cells go to the library in many batches: every row arrives, in order,
// with numbers as numbers and texts as they stand. Stopped part-way, the workbook leaves the
// earlier file and the folder as they were.
TEST_F(SpreadsheetWritersTest, LargeWorkbookIsCompleteOrNotWrittenAtAll)
{
    constexpr int Rows = 20000;
    exporter->rows.clear();
    for (int i = 0; i < Rows; ++i)
        exporter->rows.push_back({QStringLiteral("%1.5").arg(i),
                                  QStringLiteral("\u0141\u00f3d\u017a <%1> & \"x\"").arg(i),
                                  i % 2 ? QString() : QStringLiteral("line1\nline2")});
    exportAs(TExportType::xExcel_Workbook, {}, NumberRows);
    const QStringList rows = workbookRows(dir.filePath(QStringLiteral("out.xlsx")));
    ASSERT_EQ(rows.size(), Rows + 1);
    EXPECT_EQ(rows[0], QStringLiteral("Frequency|Callsign|Notes"));
    for (int i = 0; i < Rows; ++i) {
        const QString expected = QStringLiteral("%1.5|\u0141\u00f3d\u017a <%1> & \"x\"").arg(i) +
                                 (i % 2 ? QString() : QStringLiteral("|line1\nline2"));
        ASSERT_EQ(rows[i + 1], expected) << i;
    }

    const QString path = dir.filePath(QStringLiteral("out.xlsx"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly | QIODevice::Truncate));
    old.write("old");
    old.close();
    const QStringList before = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    host->stopAtStep = Rows / 2;
    exporter->ExportFile = path;
    EXPECT_FALSE(exporter->RunExport());
    EXPECT_EQ(test::bytesOf(path), QByteArray("old"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), before);
}

} // namespace
} // namespace wl
