// Files written by `wavelark-cli export`, read back the way a user's other programs read them
// (Python's csv, json and XML readers, openpyxl), in the US and the German locale.
#include "cli/CliTestSupport.h"

#include "cli/ExportFormats.h"
#include "store/PositionText.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include <unistd.h>

namespace wl::cli::test {
namespace {

// A note as users keep them: 2,000 characters over many lines, letters beyond ASCII.
QString longNote()
{
    QString note;
    for (int line = 1; note.size() < 2000; ++line)
        note += QStringLiteral("Line %1: J\u00fcrgen heard \u00c5se on the relay, 5/9.\n")
                    .arg(line, 2, 10, QLatin1Char('0'));
    note.truncate(2000);
    return note;
}

QByteArray readAll(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// One record with the fields the exports must carry whole; west-positive longitude.
struct Full
{
    QString callsign;
    double hz = 0;
    QString special;
    QString notes;
    std::optional<std::pair<double, double>> position; // latitude north, longitude west
};

class CliExportFidelity : public CliTest
{
protected:
    void makeFullTable(const std::vector<Full>& records) const
    {
        store::Table t;
        t.setDatabaseName(data());
        t.setTableName(store::FrequencyRecord::TableFile);
        store::FrequencyRecord::define(t);
        ASSERT_TRUE(t.createTable());
        ASSERT_TRUE(t.open());
        for (const Full& r : records) {
            ASSERT_TRUE(t.append());
            t.setFieldValue(QStringLiteral("Category"), QStringLiteral("Short Wave"));
            t.setFieldValue(QStringLiteral("Hz"), r.hz);
            t.setFieldValue(QStringLiteral("Callsign"), r.callsign);
            t.setFieldValue(QStringLiteral("Optional"), r.special);
            t.setFieldValue(QStringLiteral("Notes"), r.notes);
            t.setFieldValue(QStringLiteral("RDate"), 46000.5);
            // As the entry dialog keeps it: the text tells whether there is a position.
            const auto [lat, lon] = r.position.value_or(std::pair{0.0, 0.0});
            t.setFieldValue(QStringLiteral("RLat"), lat);
            t.setFieldValue(QStringLiteral("RLon"), lon);
            t.setFieldValue(QStringLiteral("Position"),
                            r.position ? store::positionText(lat, lon) : QString(20, u' '));
            ASSERT_TRUE(t.post()) << t.lastError().toStdString();
        }
        writeCategories("Short Wave\r\n");
    }

    // Runs wavelark-cli under a locale (LC_ALL); asUser runs it as an ordinary user, for whom
    // file permissions hold (they do not for root).
    CliRun cliIn(const QString& locale, QStringList args, bool asUser = false) const
    {
        args.prepend(QStringLiteral("--data=") + data());
        QProcessEnvironment env = cliEnvironment(locale);
        QProcess process;
        process.setProcessEnvironment(env);
        if (asUser) {
            args.prepend(QStringLiteral(WAVELARK_CLI));
            args = QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                               QStringLiteral("--clear-groups")} +
                   args;
            process.start(QStringLiteral("setpriv"), args);
        } else {
            process.start(QStringLiteral(WAVELARK_CLI), args);
        }
        return finished(process);
    }

    // Runs a Python script on a file and returns what it prints; the system's Python, which
    // has openpyxl.
    static QString python(const QString& script, const QString& file)
    {
        QProcess p;
        const QString python =
            QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
        p.start(python.isEmpty() ? QStringLiteral("python3") : python,
                {QStringLiteral("-c"), script, file});
        EXPECT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        return QString::fromUtf8(p.readAllStandardOutput());
    }
};

// The cells of a delimited file or a workbook as JSON rows; numbers of a workbook as repr.
const QString ReadCells = QStringLiteral(R"(
import csv, json, sys
path = sys.argv[1]
if path.endswith('.xlsx'):
    import openpyxl
    sheet = openpyxl.load_workbook(path).active
    rows = [['' if v is None else repr(v) if isinstance(v, (int, float)) else str(v)
             for v in row] for row in sheet.iter_rows(values_only=True)]
else:
    # Single-byte text unless a byte-order mark says UTF-8, as the program writes it.
    data = open(path, 'rb').read()
    text = data[3:].decode('utf-8') if data.startswith(b'\xef\xbb\xbf') else data.decode('cp1252')
    delimiter = ';' if text.split('\n', 1)[0].count(';') > text.split('\n', 1)[0].count(',') else ','
    rows = list(csv.reader(text.splitlines(True), delimiter=delimiter))
json.dump(rows, sys.stdout)
)");

// A note longer than the grid shows, with its line breaks, comes back whole from the formats
// that hold line breaks, under a decimal point and a decimal comma; the workbook's numbers
// stay numbers whatever the C library's numeric locale.
TEST_F(CliExportFidelity, WholeNotesAndNumbersInBothLocales)
{
    const QString note = longNote();
    makeFullTable({{QStringLiteral("NOTE"), 146.5201, QString(), note, std::nullopt}});
    for (const char* locale : {"en_US.UTF-8", "de_DE.UTF-8"}) {
        const bool german = QByteArray(locale).startsWith("de");
        for (const char* format : {"csv", "xlsx"}) {
            SCOPED_TRACE(std::string(locale) + " " + format);
            const QString file = path(QStringLiteral("log.") + QLatin1String(format));
            const CliRun run =
                cliIn(QLatin1String(locale), {QStringLiteral("export"), file,
                                              QStringLiteral("--format=") + QLatin1String(format)});
            ASSERT_EQ(run.code, 0) << ::testing::PrintToString(run);
            const QJsonArray rows =
                QJsonDocument::fromJson(python(ReadCells, file).toUtf8()).array();
            ASSERT_EQ(rows.size(), 2);
            const QJsonArray header = rows[0].toArray();
            const QJsonArray record = rows[1].toArray();
            int notesColumn = -1, hzColumn = -1;
            for (int i = 0; i < header.size(); ++i) {
                if (header[i].toString().trimmed() == QStringLiteral("Notes"))
                    notesColumn = i;
                if (header[i].toString().trimmed() == QStringLiteral("Frequency(MHz)"))
                    hzColumn = i;
            }
            ASSERT_GE(notesColumn, 0);
            ASSERT_GE(hzColumn, 0);
            EXPECT_EQ(record[notesColumn].toString(), note);
            const QString hz = record[hzColumn].toString();
            if (QLatin1String(format) == QLatin1String("xlsx"))
                EXPECT_EQ(hz, QStringLiteral("146.5201"));
            else
                EXPECT_EQ(hz, german ? QStringLiteral("146,5201") : QStringLiteral("146.5201"));
        }
    }
}

// Positions on the equator and the prime meridian are positions: every map and log format
// places them; a record without a position is left out of the maps and counted.
TEST_F(CliExportFidelity, ZeroLatitudeAndLongitudeArePlaced)
{
    makeFullTable({{QStringLiteral("EQUATOR"), 9.5, QString(), QString(), std::pair{0.0, 78.5}},
                   {QStringLiteral("GREENWICH"), 5.0, QString(), QString(), std::pair{51.48, 0.0}},
                   {QStringLiteral("NOWHERE"), 7.2, QString(), QString(), std::nullopt}});
    const QString kml = path(QStringLiteral("log.kml"));
    CliRun run =
        cliIn(QStringLiteral("C"), {QStringLiteral("export"), kml, QStringLiteral("--format=kml")});
    ASSERT_EQ(run.code, 0) << ::testing::PrintToString(run);
    EXPECT_TRUE(run.out.contains(QStringLiteral("1 records without a position")));
    EXPECT_EQ(python(QStringLiteral(R"(
import sys, xml.etree.ElementTree as ET
ns = {'k': 'http://www.opengis.net/kml/2.2'}
for pm in ET.parse(sys.argv[1]).getroot().iterfind('k:Document/k:Placemark', ns):
    print(pm.find('k:name', ns).text, pm.find('k:Point/k:coordinates', ns).text)
)"),
                     kml),
              QStringLiteral("GREENWICH 0,51.48\nEQUATOR -78.5,0\n"));

    const QString geo = path(QStringLiteral("log.geojson"));
    run = cliIn(QStringLiteral("C"),
                {QStringLiteral("export"), geo, QStringLiteral("--format=geojson")});
    ASSERT_EQ(run.code, 0) << ::testing::PrintToString(run);
    EXPECT_EQ(python(QStringLiteral(R"(
import json, sys
for f in json.load(open(sys.argv[1]))['features']:
    print(f['properties']['callsign'], f['geometry']['coordinates'])
)"),
                     geo),
              QStringLiteral("GREENWICH [0, 51.48]\nEQUATOR [-78.5, 0]\n"));

    const QString adi = path(QStringLiteral("log.adi"));
    run = cliIn(QStringLiteral("C"),
                {QStringLiteral("export"), adi, QStringLiteral("--format=adif")});
    ASSERT_EQ(run.code, 0) << ::testing::PrintToString(run);
    const QByteArray adif = readAll(adi);
    EXPECT_TRUE(adif.contains("<LAT:11>N000 00.000 <LON:11>W078 30.000 "));
    EXPECT_TRUE(adif.contains("<LAT:11>N051 28.800 <LON:11>E000 00.000 "));
    EXPECT_EQ(adif.count("<LAT:"), 2);
}

// The free Special field goes out as an ADIF mode, and a submode with its mode, only when it
// names one of ADIF's; it always travels whole in the program's own field.
TEST_F(CliExportFidelity, AdifModesFollowTheEnumeration)
{
    const struct
    {
        const char* special;
        const char* expected; // the MODE and SUBMODE fields, or "" for none
    } cases[] = {
        {"FT8", "<MODE:3>FT8 "},
        {"usb", "<MODE:3>SSB <SUBMODE:3>USB "},
        {"FT4", "<MODE:4>MFSK <SUBMODE:3>FT4 "},
        {"PSK31", "<MODE:3>PSK <SUBMODE:5>PSK31 "},
        {"AM", "<MODE:2>AM "},
        {"Weather", ""},
    };
    std::vector<Full> records;
    for (const auto& c : cases)
        records.push_back({QString::fromLatin1(c.special), 14.074 + records.size(),
                           QString::fromLatin1(c.special), QString(), std::nullopt});
    makeFullTable(records);
    const QString adi = path(QStringLiteral("log.adi"));
    const CliRun run = cliIn(QStringLiteral("C"),
                             {QStringLiteral("export"), adi, QStringLiteral("--format=adif")});
    ASSERT_EQ(run.code, 0) << ::testing::PrintToString(run);
    const QList<QByteArray> lines = readAll(adi).split('\n');
    for (const auto& c : cases) {
        const QByteArray call = "<CALL:" + QByteArray::number(qstrlen(c.special)) + '>' + c.special;
        const auto line = std::find_if(lines.begin(), lines.end(),
                                       [&](const QByteArray& l) { return l.startsWith(call); });
        ASSERT_NE(line, lines.end()) << c.special;
        if (*c.expected)
            EXPECT_TRUE(line->contains(c.expected)) << line->constData();
        else
            EXPECT_FALSE(line->contains("<MODE:")) << line->constData();
        EXPECT_TRUE(line->contains(
            "<APP_WAVELARK_OPTIONAL:" + QByteArray::number(qstrlen(c.special)) + '>' + c.special))
            << line->constData();
    }
}

// A read-only file is refused by every format: exit 1, the file as it was. Permissions do not
// bind root, so the command runs as an ordinary user.
TEST_F(CliExportFidelity, ReadOnlyTargetsAreLeftAsTheyWere)
{
    if (::geteuid() == 0 && QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
        GTEST_SKIP() << "running as root without setpriv";
    makeFullTable({{QStringLiteral("W1AW"), 14.2, QString(), QStringLiteral("x"), std::nullopt}});
    // The ordinary user reaches the test's folders.
    for (const QString& folder :
         {dir.path(), data(), path(QStringLiteral("home")), path(QStringLiteral("run"))})
        QFile(folder).setPermissions(QFile::Permissions(0x7777));
    for (const QString& file : QDir(data()).entryList(QDir::Files))
        QFile(QDir(data()).filePath(file)).setPermissions(QFile::Permissions(0x6666));
    QFile(path(QStringLiteral("settings.ini"))).setPermissions(QFile::Permissions(0x6666));

    QStringList formats = {QStringLiteral("kml"), QStringLiteral("geojson"),
                           QStringLiteral("adif")};
    for (const TExportType type : ExportFormats::fileTypes())
        formats << ExportFormats::shortName(type);
    const QByteArray old = "an earlier file the user protected\n";
    for (const QString& format : formats) {
        SCOPED_TRACE(format.toStdString());
        const QString file = path(QStringLiteral("protected-") + format);
        QFile::remove(file);
        writeFile(QStringLiteral("protected-") + format, old);
        const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        QFile(file).setPermissions(readOnly);
        const CliRun run =
            cliIn(QStringLiteral("C"),
                  {QStringLiteral("export"), file, QStringLiteral("--format=") + format},
                  ::geteuid() == 0);
        EXPECT_EQ(run.code, 1) << ::testing::PrintToString(run);
        EXPECT_EQ(readAll(file), old);
        EXPECT_EQ(QFile::permissions(file) & 0x7077, readOnly);
    }
}

// A file written in full with warnings (letters the format cannot hold) is done: exit 0, the
// warning on stderr. An earlier run's unfinished workbook beside the target is cleaned up.
TEST_F(CliExportFidelity, WarningsDoNotFailAndStaleWorkbookPartsGo)
{
    makeFullTable(
        {{QStringLiteral("\u0141\u00f3d\u017a"), 14.2, QString(), QString(), std::nullopt}});
    const QString xls = path(QStringLiteral("log.xls"));
    CliRun run =
        cliIn(QStringLiteral("C"), {QStringLiteral("export"), xls, QStringLiteral("--format=xls")});
    EXPECT_EQ(run.code, 0) << ::testing::PrintToString(run);
    EXPECT_TRUE(run.err.contains(QStringLiteral("warning: "))) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("1 records exported")));
    EXPECT_GT(QFileInfo(xls).size(), 0);

    const QString stale = writeFile(QStringLiteral(".log-a1B2c3.xlsx.part"), "PK half");
    const QString other = writeFile(QStringLiteral(".other-a1B2c3.xlsx.part"), "PK half");
    run = cliIn(QStringLiteral("C"), {QStringLiteral("export"), path(QStringLiteral("log.xlsx")),
                                      QStringLiteral("--format=xlsx")});
    ASSERT_EQ(run.code, 0) << ::testing::PrintToString(run);
    EXPECT_FALSE(QFileInfo::exists(stale));
    EXPECT_TRUE(QFileInfo::exists(other)); // another target's
}

// A format that cannot hold a line break or a TAB in a cell writes a blank and says so once,
// with the number of cells; the file is still written in full (exit 0). Formats that hold them
// say nothing.
TEST_F(CliExportFidelity, BlankedLineBreaksAndTabsAreTold)
{
    makeFullTable({{QStringLiteral("TWO"), 7.2, QStringLiteral("a\tb"),
                    QStringLiteral("first\r\nsecond\nthird"), std::nullopt},
                   {QStringLiteral("ONE"), 9.5, QString(), QStringLiteral("a\nb"), std::nullopt},
                   {QStringLiteral("NONE"), 11.0, QString(), QStringLiteral("plain"),
                    std::nullopt}});
    const QString breaks = QStringLiteral(
        "warning: Line breaks in 2 cells were written as blanks; Tabs in 1 cell were written as "
        "blanks: this format cannot hold them.");
    const QString tabs = QStringLiteral(
        "warning: Tabs in 1 cell were written as blanks: this format cannot hold them.");
    const struct
    {
        TExportType type;
        QString told; // empty: nothing to tell
    } cases[] = {
        {TExportType::xText_Tab_Delimited, breaks}, {TExportType::xText, breaks},
        {TExportType::xDIF, breaks},                {TExportType::xSYLK, breaks},
        {TExportType::xMicrosoft_Excel, breaks},    {TExportType::xHTML, tabs},
        {TExportType::xText_Comma_Delimited, {}},   {TExportType::xExcel_Workbook, {}},
        {TExportType::xRichText, {}},
    };
    for (const auto& c : cases) {
        const QString format = ExportFormats::shortName(c.type);
        SCOPED_TRACE(format.toStdString());
        const QString file = path(QStringLiteral("log.") + ExportTypeExtension(c.type));
        const CliRun run = cliIn(QStringLiteral("en_US.UTF-8"),
                                 {QStringLiteral("export"), file, QStringLiteral("--format=") + format});
        EXPECT_EQ(run.code, 0) << ::testing::PrintToString(run);
        EXPECT_GT(QFileInfo(file).size(), 0);
        if (c.told.isEmpty()) {
            EXPECT_FALSE(run.err.contains(QStringLiteral("written as blanks"))) << run.err.toStdString();
        } else {
            EXPECT_EQ(run.err.count(QStringLiteral("written as blanks")), c.told.count(QStringLiteral("written as blanks")));
            EXPECT_TRUE(run.err.contains(c.told)) << run.err.toStdString();
        }
    }
}

} // namespace
} // namespace wl::cli::test
