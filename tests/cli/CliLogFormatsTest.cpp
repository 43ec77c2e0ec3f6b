#include "cli/CliTestSupport.h"

#include "exchange/import/formats/AdifReader.h"

#include <QProcess>

namespace wl::cli::test {
namespace {

class CliLogFormats : public CliTest
{
protected:
    void SetUp() override
    {
        CliTest::SetUp();
        // West-positive longitudes as the table keeps them: Boston is 71 W, Tokyo 139.7 E.
        makeTable(data(), {{"Police", 155.49, "BOS", 42.36, 71.06},
                           {"Short Wave", 9.58, "TOK", 35.68, -139.69},
                           {"Weather", 162.55, "NOPOS"},
                           {"Short Wave", 128.01, "SYD", -33.87, -151.21}});
        writeCategories("Police\r\nShort Wave\r\nWeather\r\n");
    }

    // Runs a Python check on a file; the script prints what it found or raises.
    QString python(const QString& script, const QString& file) const
    {
        QProcess p;
        p.start(QStringLiteral("python3"), {QStringLiteral("-c"), script, file});
        EXPECT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }
};

// name lon lat, one line per placemark, sorted, as both map files must give.
const QString Expected = QStringLiteral("BOS -71.06 42.36 155.49 Police\n"
                                        "SYD 151.21 -33.87 128.01 Short Wave\n"
                                        "TOK 139.69 35.68 9.58 Short Wave");

TEST_F(CliLogFormats, MapFilesPlaceEveryPositionedRecordEastPositive)
{
    const QString kml = path(QStringLiteral("log.kml"));
    const CliRun run = cli({QStringLiteral("export"), kml, QStringLiteral("--format=kml")});
    ASSERT_EQ(run.code, 0) << ::testing::PrintToString(run);
    EXPECT_EQ(run.out.trimmed(), QStringLiteral("3 records exported to %1. 1 records without a "
                                                "position were left out.")
                                     .arg(kml));
    EXPECT_EQ(python(QStringLiteral(R"(
import sys, xml.etree.ElementTree as ET
ns = {'k': 'http://www.opengis.net/kml/2.2'}
root = ET.parse(sys.argv[1]).getroot()
assert root.tag == '{http://www.opengis.net/kml/2.2}kml', root.tag
rows = []
for pm in root.iterfind('k:Document/k:Placemark', ns):
    lon, lat = pm.find('k:Point/k:coordinates', ns).text.split(',')
    data = {d.get('name'): d.find('k:value', ns).text for d in pm.iterfind('k:ExtendedData/k:Data', ns)}
    rows.append('%s %s %s %s %s' % (pm.find('k:name', ns).text, lon, lat, data['frequency'], data['category']))
print('\n'.join(sorted(rows)))
)"),
                     kml),
              Expected);

    const QString geo = path(QStringLiteral("log.geojson"));
    ASSERT_EQ(cli({QStringLiteral("export"), geo, QStringLiteral("--format=geojson")}).code, 0);
    EXPECT_EQ(python(QStringLiteral(R"(
import sys, json
doc = json.load(open(sys.argv[1], encoding='utf-8'))
assert doc['type'] == 'FeatureCollection'
rows = []
for f in doc['features']:
    assert f['type'] == 'Feature' and f['geometry']['type'] == 'Point'
    lon, lat = f['geometry']['coordinates']
    assert -180 <= lon <= 180 and -90 <= lat <= 90
    p = f['properties']
    rows.append('%s %r %r %r %s' % (p['name'], lon, lat, p['frequency'], p['category']))
print('\n'.join(sorted(rows)))
)"),
                     geo),
              Expected);
}

TEST_F(CliLogFormats, AdifOutAndInGivesTheSameRecords)
{
    const QString adi = path(QStringLiteral("log.adi"));
    ASSERT_EQ(cli({QStringLiteral("export"), adi, QStringLiteral("--format=adif"),
                   QStringLiteral("--category=Short Wave")})
                  .code,
              0);
    QFile file(adi);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const FormatImport back = AdifReader::read(file.readAll(), QDate(2000, 1, 1));
    ASSERT_TRUE(back.batch.problems.isEmpty()) << back.batch.problems.join(u'\n').toStdString();
    ASSERT_EQ(back.batch.records.size(), 2u);
    QStringList calls;
    for (const ImportRecord& r : back.batch.records) {
        calls << r.callsign;
        // 38313.5 days after 1899-12-30: 2004-11-22 12:00.
        EXPECT_EQ(r.rDate, QDateTime(QDate(2004, 11, 22), QTime(12, 0), Qt::UTC));
    }
    calls.sort();
    EXPECT_EQ(calls, (QStringList{"SYD", "TOK"}));
    for (const ImportRecord& r : back.batch.records) {
        const bool syd = r.callsign == u"SYD";
        EXPECT_EQ(r.hz, syd ? 128.01 : 9.58);
        // ADIF keeps thousandths of a minute: within 2 m.
        EXPECT_NEAR(*r.lat, syd ? -33.87 : 35.68, 1e-5);
        EXPECT_NEAR(*r.lon, syd ? 151.21 : 139.69, 1e-5);
    }

    // And through the import command into a category: the stored positions are the same.
    const CliRun in = cli({QStringLiteral("import"), adi, QStringLiteral("--format=adif"),
                           QStringLiteral("--category=Weather")});
    ASSERT_EQ(in.code, 0) << ::testing::PrintToString(in);
    EXPECT_EQ(in.out, QStringLiteral("2 records imported.\n"));
    EXPECT_TRUE(in.err.contains(QStringLiteral("FREQ (2 records) -> Frequency (MHz)")))
        << ::testing::PrintToString(in);
    // The grid's Position column shows the coordinates in whole minutes.
    const CliRun listed = cli({QStringLiteral("list"), QStringLiteral("--csv"),
                               QStringLiteral("--category=Weather")});
    EXPECT_TRUE(listed.out.contains(QStringLiteral(",33 52S 151 13E,")))
        << ::testing::PrintToString(listed);
    EXPECT_TRUE(listed.out.contains(QStringLiteral(",35 41N 139 41E,")))
        << ::testing::PrintToString(listed);
    const QString geo = path(QStringLiteral("weather.geojson"));
    ASSERT_EQ(cli({QStringLiteral("export"), geo, QStringLiteral("--format=geojson"),
                   QStringLiteral("--category=Weather")})
                  .code,
              0);
    EXPECT_EQ(python(QStringLiteral(R"(
import sys, json
for f in sorted(json.load(open(sys.argv[1]))['features'], key=lambda f: f['properties']['name']):
    lon, lat = f['geometry']['coordinates']
    print(f['properties']['name'], round(lon, 4), round(lat, 4))
)"),
                     geo),
              QStringLiteral("SYD 151.21 -33.87\nTOK 139.69 35.68"));
}

TEST_F(CliLogFormats, CsvListsOfOtherToolsImportThroughTheCommand)
{
    const struct
    {
        const char* format;
        QByteArray text;
        int code;
        const char* said; // on stdout when imported, on stderr when refused
        const char* listed; // a line of `list --csv` after it, or "" when nothing is stored
    } cases[] = {
        // A byte order mark, a quoted separator and a kHz-exact frequency.
        {"directory-csv",
         "\xEF\xBB\xBF"
         "Frequency Output,Frequency Input,Alpha Tag,Description,Mode,Tag,County\n"
         "154.4300,154.4300,Fire Disp,\"Dispatch, north\",FM,Fire Dispatch,Essex\n",
         0, "1 records imported.", "Weather,154.4300,,Fire Disp,,Essex,FM,,"},
        {"channel-csv",
         "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,Mode,Comment\n"
         "0,RPT1,146.940000,-,0.600000,Tone,100.0,88.5,023,FM,Club repeater\n",
         0, "1 records imported.", "Weather,146.9400,-,RPT1,,,"},
        // One bad row refuses the whole file and names the row.
        {"directory-csv",
         "Frequency Output,Alpha Tag\n155.1,Good\nabc,Bad\n", 1,
         "Row 3: the frequency \"abc\" cannot be read.", ""},
    };
    for (const auto& c : cases) {
        const QString before = cli({QStringLiteral("list"), QStringLiteral("--csv"),
                                    QStringLiteral("--category=Weather")})
                                   .out;
        const QString file = writeFile(QStringLiteral("in.csv"), c.text);
        const CliRun run = cli({QStringLiteral("import"), file,
                                QStringLiteral("--format=") + QLatin1String(c.format),
                                QStringLiteral("--category=Weather")});
        EXPECT_EQ(run.code, c.code) << ::testing::PrintToString(run);
        EXPECT_TRUE((c.code == 0 ? run.out : run.err).contains(QLatin1String(c.said)))
            << ::testing::PrintToString(run);
        const QString after = cli({QStringLiteral("list"), QStringLiteral("--csv"),
                                   QStringLiteral("--category=Weather")})
                                  .out;
        if (*c.listed)
            EXPECT_TRUE(after.contains(QLatin1String(c.listed))) << after.toStdString();
        else
            EXPECT_EQ(after, before);
    }
}

TEST_F(CliLogFormats, FormatNamesAreListedAndUnknownOnesRefused)
{
    const CliRun help = cli({QStringLiteral("import"), QStringLiteral("--help")}, false);
    for (const char* name : {"channel-csv", "directory-csv", "adif"})
        EXPECT_TRUE(help.out.contains(QLatin1String(name))) << ::testing::PrintToString(help);
    const CliRun exportHelp = cli({QStringLiteral("export"), QStringLiteral("--help")}, false);
    for (const char* name : {"kml", "geojson", "adif"})
        EXPECT_TRUE(exportHelp.out.contains(QLatin1String(name)))
            << ::testing::PrintToString(exportHelp);

    const QString file = writeFile(QStringLiteral("x.adi"), "<FREQ:3>7.1<EOR>");
    const CliRun badImport = cli({QStringLiteral("import"), file, QStringLiteral("--format=foo"),
                                  QStringLiteral("--category=Police")});
    EXPECT_EQ(badImport.code, 2);
    EXPECT_TRUE(badImport.err.contains(QStringLiteral("no import format \"foo\"")))
        << ::testing::PrintToString(badImport);
    const CliRun badExport =
        cli({QStringLiteral("export"), path(QStringLiteral("o")), QStringLiteral("--format=foo")});
    EXPECT_EQ(badExport.code, 2);

    // A faulty record stops the whole import and is named.
    const QString bad = writeFile(QStringLiteral("bad.adi"),
                                  "<CALL:3>ONE<FREQ:3>7.1<EOR><CALL:3>TWO<FREQ:x>7.2<EOR>");
    const CliRun refused = cli({QStringLiteral("import"), bad, QStringLiteral("--format=adif"),
                                QStringLiteral("--category=Police")});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("Record 2: the field <FREQ:x> has a "
                                                    "malformed length.")))
        << ::testing::PrintToString(refused);
    const CliRun list = cli({QStringLiteral("list"), QStringLiteral("--category=Police")});
    EXPECT_FALSE(list.out.contains(QStringLiteral("ONE"))) << ::testing::PrintToString(list);
}

} // namespace
} // namespace wl::cli::test
