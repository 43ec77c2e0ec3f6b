// Every file format the export writes, opened by a real office suite (LibreOffice, headless)
// and saved again as CSV: each cell must come back as the program wrote it, or differ only in
// the way its format forces, which the expectations below name cell by cell.
#include "exchange/export/ExportTestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <clocale>
#include <cmath>
#include <functional>
#include <ostream>
#include <string_view>

namespace wl {
namespace {

// A long note as users keep them: 2,000 characters over many lines, letters beyond ASCII.
QString longNote()
{
    QString note;
    for (int line = 1; note.size() < 2000; ++line)
        note += QStringLiteral("Line %1: J\u00fcrgen heard the Wereldomroep relay clearly.\n")
                    .arg(line, 2, 10, QLatin1Char('0'));
    note.truncate(2000);
    return note;
}

const QString Note = longNote();

// The awkward cells, one row each, beside a plain frequency column.
const QStringList Awkward = {
    QStringLiteral("say \"hi\""),
    QStringLiteral("a,b;c"),
    QStringLiteral("x\ty"),
    QStringLiteral("l1\nl2"),
    QStringLiteral("<b>x</b> & y"),
    QStringLiteral("M\u00fcnchen"),
    QStringLiteral("\u0141\u00f3d\u017a"),
    QStringLiteral("\u20ac 5"),
    QStringLiteral("007"),
    QStringLiteral("=1+2"),
    QStringLiteral("-12.5"),
    QStringLiteral("5/3/2026"),
    QStringLiteral("146.5201"),
    QString(),
    Note,
};

// A strict reader of the CSV that LibreOffice writes (comma, double quotes, UTF-8).
std::vector<QStringList> readCsv(const QString& text)
{
    std::vector<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"')
                field += text[++i];
            else if (c == u'"')
                quoted = false;
            else
                field += c;
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row << field;
            field.clear();
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            row << field;
            rows.push_back(row);
            row.clear();
            field.clear();
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty()) {
        row << field;
        rows.push_back(row);
    }
    return rows;
}

struct Format
{
    TExportType type;
    QString inFilter; // LibreOffice import filter and its options
    // What the reader shows for a cell the program holds; by default the cell itself.
    std::function<QString(const QString&)> expected;
    // The reader starts a new row at a line break inside a cell, so that cell is left out.
    bool breaksRows = false;
};

// Names the format in test output instead of the bytes of the parameter.
void PrintTo(const Format& format, std::ostream* out)
{
    *out << ExportTypeName(format.type).toStdString();
}

QString flattened(const QString& text)
{
    QString t = text;
    return t.replace(u'\t', u' ').replace(u'\n', u' ');
}

class ReadBackTest : public ::testing::TestWithParam<Format>
{
protected:
    void SetUp() override
    {
        test::ensureGuiApplication();
        LocaleInfo::setCurrent(LocaleInfo());
        soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (soffice.isEmpty())
            GTEST_SKIP() << "LibreOffice is not installed";
        exporter = std::make_unique<test::TableExport>(host);
        exporter->captions = {QStringLiteral("Frequency"), QStringLiteral("Cell")};
        for (int i = 0; i < Awkward.size(); ++i) {
            if (GetParam().breaksRows && Awkward[i].contains(u'\n'))
                continue;
            exporter->rows.push_back(
                {QStringLiteral("%1.000%2").arg(7 + i).arg(i % 10), Awkward[i]});
        }
        exporter->SetOptions(exporter->Options() & ~TimeStamp);
    }
    void TearDown() override { LocaleInfo::setCurrent(LocaleInfo()); }

    // Exports, lets LibreOffice convert the file to CSV and returns its rows.
    std::vector<QStringList> roundTrip(const Format& format)
    {
        exporter->ExportType = format.type;
        exporter->ViewOnly = false;
        const QString file =
            dir.filePath(QStringLiteral("grid.") + ExportTypeExtension(format.type));
        exporter->ExportFile = file;
        EXPECT_TRUE(exporter->RunExport()) << host->texts().join(u'\n').toStdString();

        // A profile of its own per format, kept between runs, so parallel tests do not meet.
        const QString profile = QDir::tempPath() + QStringLiteral("/wl-readback-") +
                                ExportTypeExtension(format.type) +
                                QString::number(int(format.type));
        const QString out = dir.filePath(QStringLiteral("out"));
        QStringList args = {QStringLiteral("-env:UserInstallation=file://") + profile,
                            QStringLiteral("--headless"), QStringLiteral("--norestore")};
        // Without a filter named, LibreOffice must recognise the file by itself.
        if (!format.inFilter.isEmpty())
            args << QStringLiteral("--infilter=") + format.inFilter;
        args << QStringLiteral("--convert-to")
             << QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,1033,true,false,false")
             << QStringLiteral("--outdir") << out << file;
        QProcess lo;
        lo.start(soffice, args);
        if (!lo.waitForFinished(180000)) {
            lo.kill();
            lo.waitForFinished();
            ADD_FAILURE() << "LibreOffice took more than three minutes";
            return {};
        }
        // LibreOffice ends with 0 even when it converted nothing: the file tells.
        const QByteArray csv = test::bytesOf(out + QStringLiteral("/grid.csv"));
        EXPECT_NE(csv, QByteArray("<missing>")) << lo.readAllStandardError().constData();
        return readCsv(QString::fromUtf8(csv));
    }

    QString soffice;
    QTemporaryDir dir;
    test::RecordingHost* host = nullptr;
    std::unique_ptr<test::TableExport> exporter;
};

bool sameNumber(const QString& a, const QString& b)
{
    bool okA = false, okB = false;
    const double x = a.toDouble(&okA), y = b.toDouble(&okB);
    return okA && okB && std::fabs(x - y) < 1e-9;
}

TEST_P(ReadBackTest, EveryCellComesBack)
{
    const Format& format = GetParam();
    const std::vector<QStringList> rows = roundTrip(format);
    ASSERT_GE(rows.size(), exporter->rows.size() + 1);
    // The captions, then the rows in order.
    EXPECT_EQ(rows[0].value(0), QStringLiteral("Item"));
    EXPECT_EQ(rows[0].value(2), QStringLiteral("Cell"));
    for (int i = 0; i < int(exporter->rows.size()); ++i) {
        const QStringList& row = rows[std::size_t(i) + 1];
        const QStringList& cells = exporter->rows[std::size_t(i)];
        EXPECT_TRUE(sameNumber(row.value(0), QString::number(i + 1))) << row.value(0).toStdString();
        EXPECT_TRUE(sameNumber(row.value(1), cells[0])) << row.value(1).toStdString();
        const QString want = format.expected ? format.expected(cells[1]) : cells[1];
        const bool number = sameNumber(want, want);
        if (number)
            EXPECT_TRUE(sameNumber(row.value(2), want))
                << ExportTypeName(format.type).toStdString() << " row " << i << ": "
                << row.value(2).toStdString();
        else
            EXPECT_EQ(QString(row.value(2)).replace(QChar(0xA0), u' '), want)
                << ExportTypeName(format.type).toStdString() << " row " << i;
    }
}

// The differences each format forces.
QString csvExpected(const QString& cell)
{
    // A text that looks like a formula keeps the apostrophe that made it open as text.
    return cell == QStringLiteral("=1+2") ? QStringLiteral("'=1+2") : cell;
}

QString tabExpected(const QString& cell)
{
    // No line breaks or tabs inside a cell, no text marker for "007".
    if (cell == QStringLiteral("007"))
        return QStringLiteral("7");
    return csvExpected(flattened(cell));
}

// Single-byte files: a letter the code page lacks shows "?" (the user is told).
QString singleByte(const QString& cell)
{
    return QString(cell).replace(QChar(0x0141), u'?').replace(QChar(0x017A), u'?');
}

QString singleLine(const QString& cell)
{
    return singleByte(flattened(cell));
}

// SYLK is UTF-8 under its ID record: Calc opens it by itself with every letter; a cell stays
// on one line.
QString sylkExpected(const QString& cell)
{
    return flattened(cell);
}

// Calc reads the cells of a rich-text table as if typed: a formula is worked out, a date shown
// in its own date form, a TAB is a blank.
QString rtfExpected(const QString& cell)
{
    if (cell == QStringLiteral("=1+2"))
        return QStringLiteral("3");
    if (cell == QStringLiteral("5/3/2026"))
        return QStringLiteral("05/03/2026");
    return QString(cell).replace(u'\t', u' ');
}

// Three non-breaking blanks for a TAB; a cell that reads as a formula stays text.
QString htmlExpected(const QString& cell)
{
    return QString(cell).replace(u'\t', QStringLiteral("   "));
}

// A line break or TAB is a blank, a cell holds 255 characters (the user is told).
QString xlsExpected(const QString& cell)
{
    return singleLine(cell).left(255);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ReadBackTest,
    ::testing::Values(
        Format{TExportType::xText_Comma_Delimited,
               QStringLiteral("Text - txt - csv (StarCalc):44,34,76,1,,1033,true,false"),
               csvExpected},
        Format{TExportType::xText_Tab_Delimited,
               QStringLiteral("Text - txt - csv (StarCalc):9,34,76,1,,1033,true,false"),
               tabExpected},
        Format{TExportType::xDIF, QStringLiteral("DIF:1"), singleLine},
        Format{TExportType::xSYLK, QString(), sylkExpected},
        Format{TExportType::xHTML, QStringLiteral("calc_HTML_WebQuery"), htmlExpected, true},
        Format{TExportType::xRichText, QStringLiteral("Rich Text Format (StarCalc)"), rtfExpected},
        Format{TExportType::xMicrosoft_Word, QStringLiteral("Rich Text Format (StarCalc)"),
               rtfExpected},
        Format{TExportType::xMicrosoft_Excel, QStringLiteral("MS Excel 95"), xlsExpected},
        Format{TExportType::xExcel_Workbook, QStringLiteral("Calc MS Excel 2007 XML"), nullptr}),
    [](const ::testing::TestParamInfo<Format>& info) {
        QString name = ExportTypeExtension(info.param.type) + ExportTypeName(info.param.type);
        name.remove(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")));
        return name.toStdString();
    });

// The same files read by Python: its csv module for the delimited text (which takes every cell
// as text, so the comparison is exact), openpyxl for the workbook.
TEST(PythonReadBackTest, DelimitedTextAndWorkbookCellForCell)
{
    test::ensureGuiApplication();
    LocaleInfo::setCurrent(LocaleInfo());
    const QString python =
        QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
    if (python.isEmpty())
        GTEST_SKIP() << "python3 is not installed";
    test::RecordingHost* host = nullptr;
    test::TableExport exporter(host);
    exporter.captions = {QStringLiteral("Frequency"), QStringLiteral("Cell")};
    for (int i = 0; i < Awkward.size(); ++i)
        exporter.rows.push_back({QStringLiteral("146.52%1").arg(i), Awkward[i]});
    exporter.SetOptions(exporter.Options() & ~TimeStamp);
    QTemporaryDir dir;
    const struct
    {
        TExportType type;
        const char* kind;
    } cases[] = {{TExportType::xText_Comma_Delimited, "csv"},
                 {TExportType::xText_Tab_Delimited, "tab"},
                 {TExportType::xExcel_Workbook, "xlsx"}};
    for (const auto& c : cases) {
        exporter.ExportType = c.type;
        exporter.ViewOnly = false;
        exporter.ExportFile = dir.filePath(QStringLiteral("grid.") + QLatin1String(c.kind));
        const QString file = exporter.ExportFile;
        ASSERT_TRUE(exporter.RunExport());
        QProcess py;
        py.start(python, {QStringLiteral(WAVELARK_READBACK_DIR "/read_cells.py"), file,
                          QString::fromLatin1(c.kind)});
        ASSERT_TRUE(py.waitForFinished(60000));
        const QJsonArray rows = QJsonDocument::fromJson(py.readAllStandardOutput()).array();
        ASSERT_EQ(rows.size(), Awkward.size() + 1)
            << c.kind << py.readAllStandardError().constData();
        for (int i = 0; i < Awkward.size(); ++i) {
            const QJsonArray row = rows[i + 1].toArray();
            QString want = Awkward[i];
            if (std::string_view(c.kind) == "tab")
                want = flattened(want);
            if (std::string_view(c.kind) != "xlsx" && want == QStringLiteral("=1+2"))
                want = QStringLiteral("'=1+2");
            const QString got = row[2].toString();
            if (std::string_view(c.kind) == "xlsx" && want == QStringLiteral("-12.5"))
                EXPECT_TRUE(sameNumber(got, want)) << got.toStdString();
            else
                EXPECT_EQ(got, want) << c.kind << " row " << i;
            EXPECT_TRUE(sameNumber(row[1].toString(), exporter.rows[std::size_t(i)][0]))
                << c.kind << " " << row[1].toString().toStdString();
        }
    }
}

// Under a decimal comma (the user's LC_NUMERIC as well as the program's locale service) the
// workbook still holds its numbers and column widths in the file format's own notation: Python
// and LibreOffice both read every frequency whole.
TEST(GermanWorkbookTest, NumbersSurviveADecimalComma)
{
    test::ensureGuiApplication();
    const QString python =
        QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (python.isEmpty() || soffice.isEmpty())
        GTEST_SKIP() << "python3 or LibreOffice is not installed";
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "the de_DE.UTF-8 locale is not generated";
    LocaleInfo::setCurrent(LocaleInfo::fromName(QStringLiteral("de_DE")));

    test::RecordingHost* host = nullptr;
    test::TableExport exporter(host);
    exporter.captions = {QStringLiteral("Frequency"), QStringLiteral("Notes")};
    exporter.rows = {{QStringLiteral("146,5201"), Note}, {QStringLiteral("0,0305"), QString()}};
    exporter.SetOptions(exporter.Options() & ~TimeStamp);
    exporter.ExportType = TExportType::xExcel_Workbook;
    exporter.ViewOnly = false;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("log.xlsx"));
    exporter.ExportFile = file;
    const bool exported = exporter.RunExport();
    std::setlocale(LC_NUMERIC, previous.c_str());
    LocaleInfo::setCurrent(LocaleInfo());
    ASSERT_TRUE(exported) << host->texts().join(u'\n').toStdString();

    QProcess py;
    py.start(python, {QStringLiteral(WAVELARK_READBACK_DIR "/read_cells.py"), file,
                      QStringLiteral("xlsx")});
    ASSERT_TRUE(py.waitForFinished(60000));
    const QJsonArray rows = QJsonDocument::fromJson(py.readAllStandardOutput()).array();
    ASSERT_EQ(rows.size(), 3) << py.readAllStandardError().constData();
    EXPECT_EQ(rows[1].toArray()[1].toString(), QStringLiteral("146.5201"));
    EXPECT_EQ(rows[1].toArray()[2].toString(), Note);
    EXPECT_EQ(rows[2].toArray()[1].toString(), QStringLiteral("0.0305"));

    const QString out = dir.filePath(QStringLiteral("out"));
    QProcess lo;
    lo.start(soffice, {QStringLiteral("-env:UserInstallation=file://") + QDir::tempPath() +
                           QStringLiteral("/wl-readback-german"),
                       QStringLiteral("--headless"), QStringLiteral("--norestore"),
                       QStringLiteral("--convert-to"),
                       QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,1033,true,"
                                      "false,false"),
                       QStringLiteral("--outdir"), out, file});
    ASSERT_TRUE(lo.waitForFinished(180000));
    const std::vector<QStringList> cells =
        readCsv(QString::fromUtf8(test::bytesOf(out + QStringLiteral("/log.csv"))));
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_TRUE(sameNumber(cells[1].value(1), QStringLiteral("146.5201")))
        << cells[1].value(1).toStdString();
    EXPECT_EQ(cells[1].value(2), Note);
    EXPECT_TRUE(sameNumber(cells[2].value(1), QStringLiteral("0.0305")))
        << cells[2].value(1).toStdString();
}

} // namespace
} // namespace wl
