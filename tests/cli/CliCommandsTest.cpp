#include "cli/CliTestSupport.h"

#include "cli/ExportFormats.h"
#include "exchange/export/ExportTypes.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>

namespace wl::cli::test {
namespace {

class CliCommands : public CliTest
{
protected:
    void SetUp() override
    {
        CliTest::SetUp();
        makeTable(data(), {{"Police", 155.49, "KOP1"},
                           {"Weather", 162.55, "WX1"},
                           {"Police", 460.1, "KOP2"},
                           {"Short Wave", 9.58, "RA"}});
        writeCategories("Police\r\nShort Wave\r\nWeather\r\n");
    }

    QByteArray bytesOf(const QString& file) const
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // The text a file carries: a zip container (the workbook) is opened and its parts joined.
    QByteArray textOf(const QString& file) const
    {
        const QByteArray bytes = bytesOf(file);
        if (!bytes.startsWith("PK\x03\x04"))
            return bytes;
        QProcess unzip;
        unzip.start(QStringLiteral("python3"),
                    {QStringLiteral("-c"),
                     QStringLiteral("import sys, zipfile\n"
                                    "z = zipfile.ZipFile(sys.argv[1])\n"
                                    "sys.stdout.buffer.write(b''.join(z.read(n) for n in "
                                    "z.namelist()))"),
                     file});
        unzip.waitForFinished(60000);
        return unzip.readAllStandardOutput();
    }
};

TEST_F(CliCommands, EveryCommandHasItsHelpAndUnknownOnesAreRefused)
{
    for (const char* name : {"list", "import", "export", "backup", "restore", "repair", "merge",
                             "map", "schedule", "onair", "rig"}) {
        const CliRun run = cli({QLatin1String(name), QStringLiteral("--help")}, false);
        EXPECT_EQ(run.code, 0) << name;
        EXPECT_TRUE(
            run.out.startsWith(QStringLiteral("Usage: wavelark-cli ") + QLatin1String(name)))
            << run.out.toStdString();
    }
    const CliRun unknown = cli({QStringLiteral("frobnicate")});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("unknown command \"frobnicate\"")));
    EXPECT_TRUE(unknown.out.isEmpty());
}

TEST_F(CliCommands, ListSelectsByCategoryRangeAndFilterInFrequencyOrder)
{
    const struct
    {
        QStringList args;
        QStringList expected;
    } cases[] = {
        {{}, {"RA", "KOP1", "WX1", "KOP2"}},
        {{"--category", "police"}, {}}, // categories are matched as written
        {{"--category", "Police"}, {"KOP1", "KOP2"}},
        {{"--low", "155.49", "--high", "162.55"}, {"KOP1", "WX1"}},
        {{"--low", "100"}, {"KOP1", "WX1", "KOP2"}},
        {{"--filter", "Callsign = 'WX1' or Hz < 10"}, {"RA", "WX1"}},
        {{"--category", "Police", "--filter", "Hz > 400"}, {"KOP2"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(callsigns(c.args), c.expected) << c.args.join(u' ').toStdString();
}

TEST_F(CliCommands, ListWritesAlignedTextAndCsvWithHeadings)
{
    const CliRun text =
        cli({QStringLiteral("list"), QStringLiteral("--high"), QStringLiteral("10")});
    ASSERT_EQ(text.code, 0) << text.err.toStdString();
    const QStringList lines = text.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Category      Frequency(MHz)  +-  Callsign")));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Short Wave    9.5800              RA")));
    // Each column starts where its heading does.
    EXPECT_EQ(lines[1].indexOf(QStringLiteral("11/22/2004")),
              lines[0].indexOf(QStringLiteral("Date/Time")));

    const CliRun csv = cli({QStringLiteral("list"), QStringLiteral("--csv"),
                            QStringLiteral("--category"), QStringLiteral("Weather")});
    ASSERT_EQ(csv.code, 0);
    EXPECT_EQ(csv.out, QStringLiteral("Category,Frequency(MHz),+-,Callsign,User,Location,Special,"
                                      "Position,Date/Time,Notes\r\n"
                                      "Weather,162.5500,,WX1,,,,,11/22/2004 12:00 PM,\r\n"));
}

TEST_F(CliCommands, ListTakesTheDataFolderFromTheSettingsAndRefusesWrongOptions)
{
    writeSetting(QStringLiteral("DataBasePath"), data());
    const CliRun fromSettings = cli({QStringLiteral("list"), QStringLiteral("--csv")}, false);
    EXPECT_EQ(fromSettings.code, 0) << fromSettings.err.toStdString();
    EXPECT_EQ(fromSettings.out.count(QStringLiteral("\r\n")), 5);

    const struct
    {
        QStringList args;
        int code;
        const char* message;
    } wrong[] = {
        {{"list", "--filter", "Hz >"}, 2, "the filter cannot be used"},
        {{"list", "--low", "1,5"}, 2, "--low needs a number"},
        {{"list", "--colour"}, 2, "Unknown option 'colour'"},
        {{"--data", "/nonexistent/folder", "list"}, 3, "does not exist"},
    };
    for (const auto& w : wrong) {
        const CliRun run = cli(w.args, false);
        EXPECT_EQ(run.code, w.code) << w.args.join(u' ').toStdString();
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("wavelark-cli list: ")));
        EXPECT_TRUE(run.err.contains(QLatin1String(w.message))) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
}

TEST_F(CliCommands, ImportStoresEveryRowUnderTheCategory)
{
    const QString file =
        writeFile(QStringLiteral("in.csv"), "146520,+,NEW1,Ann,Dale,x,1/2/2024 13:30,first\r\n"
                                            "147.1,,NEW2,,,,,\"a, b\"\r\n");
    const CliRun run =
        cli({QStringLiteral("import"), file, QStringLiteral("--category"),
             QStringLiteral("weather"), QStringLiteral("--multiplier"), QStringLiteral("0.001")});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("2 records imported.\n"));
    EXPECT_EQ(callsigns({QStringLiteral("--category"), QStringLiteral("Weather")}),
              (QStringList{"NEW2", "NEW1", "WX1"}));
    const CliRun csv = cli({QStringLiteral("list"), QStringLiteral("--csv"),
                            QStringLiteral("--filter"), QStringLiteral("Callsign = 'NEW1'")});
    EXPECT_TRUE(csv.out.contains(
        QStringLiteral("Weather,146.5200,+,NEW1,Ann,Dale,x,,01/02/2024 01:30 PM,first")))
        << csv.out.toStdString();
    const CliRun second = cli({QStringLiteral("list"), QStringLiteral("--csv"),
                               QStringLiteral("--filter"), QStringLiteral("Callsign = 'NEW2'")});
    EXPECT_TRUE(second.out.contains(QStringLiteral("Weather,0.1471,,NEW2,,,,,")))
        << second.out.toStdString();
    EXPECT_TRUE(second.out.contains(QStringLiteral(",\"a, b\"\r\n"))) << second.out.toStdString();
}

TEST_F(CliCommands, AFailedImportStoresNothingAndNamesEveryFaultyRow)
{
    const QString file =
        writeFile(QStringLiteral("bad.csv"),
                  "146.52,,OK1,,,,,\r\nabc,,BAD1,,,,,\r\n147.1,,OK2,,,,31/31/2024,\r\n");
    const CliRun run = cli(
        {QStringLiteral("import"), file, QStringLiteral("--category"), QStringLiteral("Police")});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Nothing was imported")));
    EXPECT_TRUE(run.err.contains(QStringLiteral("Row 2"))) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("Row 3"))) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains(QStringLiteral("Row 1")));
    EXPECT_EQ(callsigns({}), (QStringList{"RA", "KOP1", "WX1", "KOP2"}));

    const struct
    {
        QStringList args;
        int code;
        const char* message;
    } wrong[] = {
        {{"import", path("missing.csv"), "--category", "Police"}, 3, "does not exist"},
        {{"import", file, "--category", "Pirates"},
         2,
         "no category \"Pirates\"; the categories are: Police, Short Wave, Weather"},
        {{"import", file}, 2, "--category is required"},
        {{"import", file, "--category", "Police", "--multiplier", "0"},
         2,
         "Invalid Herz Multiplier"},
    };
    for (const auto& w : wrong) {
        const CliRun r = cli(w.args);
        EXPECT_EQ(r.code, w.code) << w.args.join(u' ').toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String(w.message))) << r.err.toStdString();
    }
    EXPECT_EQ(callsigns({}).size(), 4);
}

TEST_F(CliCommands, ExportWritesEveryFileFormatAndRefusesUnknownOnes)
{
    const QList<TExportType> types = ExportFormats::fileTypes();
    ASSERT_FALSE(types.isEmpty());
    for (TExportType type : types) {
        const QString name = ExportFormats::shortName(type);
        const QString file =
            path(QStringLiteral("out-") + name + QLatin1Char('.') + ExportTypeExtension(type));
        const CliRun run = cli({QStringLiteral("export"), QStringLiteral("--format"), name, file,
                                QStringLiteral("--category"), QStringLiteral("Police")});
        EXPECT_EQ(run.code, 0) << name.toStdString() << ": " << run.err.toStdString();
        EXPECT_EQ(run.out, QStringLiteral("2 records exported to ") +
                               QDir::toNativeSeparators(file) + u'\n');
        const QByteArray bytes = textOf(file);
        EXPECT_TRUE(bytes.contains("KOP1") && bytes.contains("KOP2")) << name.toStdString();
        EXPECT_FALSE(bytes.contains("WX1")) << name.toStdString();
    }

    // The CSV cell by cell: the item number, then the main window's columns.
    const QString csv = path(QStringLiteral("cells.csv"));
    ASSERT_EQ(cli({QStringLiteral("export"), QStringLiteral("--format=csv"), csv,
                   QStringLiteral("--high=10")})
                  .code,
              0);
    const QList<QByteArray> lines = bytesOf(csv).split('\n');
    ASSERT_GE(lines.size(), 2);
    const QList<QByteArray> cells = lines[1].trimmed().split(',');
    ASSERT_GE(cells.size(), 5);
    EXPECT_EQ(cells[0], "1");
    EXPECT_EQ(cells[1], "\"Short Wave\"");
    EXPECT_EQ(cells[2], "9.5800");
    EXPECT_EQ(cells[4], "\"RA\"");

    const CliRun bad = cli({QStringLiteral("export"), QStringLiteral("--format"),
                            QStringLiteral("pdf"), path(QStringLiteral("x.pdf"))});
    EXPECT_EQ(bad.code, 2);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("there is no export format \"pdf\"")));
    EXPECT_TRUE(bad.err.contains(QStringLiteral("comma-delimited-text (csv)")));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("x.pdf"))));

    const CliRun noFolder = cli({QStringLiteral("export"), QStringLiteral("--format=csv"),
                                 path(QStringLiteral("no/such/folder/x.csv"))});
    EXPECT_EQ(noFolder.code, 3);
    const CliRun nothing =
        cli({QStringLiteral("export"), QStringLiteral("--format=csv"),
             path(QStringLiteral("none.csv")), QStringLiteral("--category=Nobody")});
    EXPECT_EQ(nothing.code, 1);
    EXPECT_TRUE(nothing.err.contains(QStringLiteral("There is no Data to Export.")));
}

// A log large enough that its export is read in many chunks and written in many blocks: every
// record comes out once, in frequency order, and a letter the code page lacks near the end
// still turns the whole file into UTF-8. Stopped half-way (Ctrl+C or a terminate request), the
// export leaves the earlier file and the folder as they were.
TEST_F(CliCommands, ExportOfManyRecordsIsCompleteOrLeavesTheOldFile)
{
    constexpr int Records = 30000;
    const QString folder = path(QStringLiteral("big"));
    makeTable(folder, {});
    {
        store::Table t;
        t.setDatabaseName(folder);
        t.setTableName(store::FrequencyRecord::TableFile);
        ASSERT_TRUE(t.open());
        // Stored from the highest frequency down, so frequency order is not storage order; the
        // highest frequency has the callsign outside the code page.
        std::vector<std::vector<QVariant>> rows;
        for (int i = 0; i < Records; ++i) {
            const QString callsign =
                i == 0 ? QStringLiteral("\u0141\u00f3d\u017a") : QStringLiteral("C%1").arg(i);
            rows.push_back({QStringLiteral("Police"), callsign, QVariant(), 38313.5,
                            1.0 + (Records - i) * 0.001, QVariant(), QVariant(), QVariant(),
                            QVariant(), QVariant(), QVariant(), QVariant()});
        }
        ASSERT_TRUE(t.bulkAppend(rows)) << t.lastError().toStdString();
    }
    // A folder of its own, so the only file the program opens there is the export.
    const QString out = path(QStringLiteral("out"));
    QDir().mkpath(out);
    const QString target = QDir(out).filePath(QStringLiteral("big.csv"));
    const CliRun run = cli({QStringLiteral("--data=") + folder, QStringLiteral("export"),
                            QStringLiteral("--format=csv"), target},
                           false);
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    const QByteArray bytes = bytesOf(target);
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const QList<QByteArray> lines = bytes.mid(3).split('\n');
    ASSERT_EQ(lines.size(), Records + 2); // the captions and the empty rest after the last
    for (int item = 1; item <= Records; ++item) {
        const QList<QByteArray> cells = lines[item].trimmed().split(',');
        ASSERT_GE(cells.size(), 5) << item;
        ASSERT_EQ(cells[0].toInt(), item);
        const QByteArray callsign = item == Records
                                        ? QStringLiteral("\"\u0141\u00f3d\u017a\"").toUtf8()
                                        : "\"C" + QByteArray::number(Records - item) + '"';
        ASSERT_EQ(cells[4], callsign) << item;
    }

    // Stopped once the file is being written: the old file stays, no other file is left.
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly | QIODevice::Truncate));
    old.write("old");
    old.close();
    const QStringList before = QDir(out).entryList(QDir::Files | QDir::Hidden);
    QProcess process;
    startCli(process,
             {QStringLiteral("--data=") + folder, QStringLiteral("export"),
              QStringLiteral("--format=csv"), target},
             false);
    QElapsedTimer waited;
    waited.start();
    // The file being written may have no name until it is complete: the running program's
    // open files show it.
    const auto writing = [&] {
        const QDir open(QStringLiteral("/proc/%1/fd").arg(process.processId()));
        for (const QFileInfo& fd : open.entryInfoList(QDir::Files | QDir::System)) {
            const QString opened = fd.symLinkTarget();
            if (QFileInfo(opened).absolutePath() == QDir(out).absolutePath())
                return true;
        }
        return false;
    };
    while (!writing() && process.state() != QProcess::NotRunning && waited.elapsed() < 60000)
        process.waitForFinished(1);
    ASSERT_TRUE(writing()) << "the export ended before it could be stopped";
    process.terminate();
    const CliRun stopped = finished(process);
    EXPECT_EQ(stopped.code, 1);
    EXPECT_TRUE(stopped.err.contains(QStringLiteral("stopped before the end")))
        << stopped.err.toStdString();
    EXPECT_EQ(bytesOf(target), QByteArray("old"));
    EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden), before);
}

TEST_F(CliCommands, BackupCopiesEveryDataFileAndNeedsAnExistingFolder)
{
    const QString target = path(QStringLiteral("backup"));
    QDir().mkpath(target);
    const CliRun run = cli({QStringLiteral("backup"), target});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    for (const QString& name :
         {store::FrequencyRecord::TableFile, store::FrequencyRecord::IndexFile,
          store::FrequencyRecord::MemoFile, store::FrequencyRecord::CategoryFileName}) {
        const QByteArray copy = bytesOf(QDir(target).filePath(name));
        EXPECT_FALSE(copy.isEmpty()) << name.toStdString();
        EXPECT_EQ(copy, bytesOf(QDir(data()).filePath(name))) << name.toStdString();
    }
    const CliRun missing = cli({QStringLiteral("backup"), path(QStringLiteral("nowhere"))});
    EXPECT_EQ(missing.code, 3);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("does not exist")));
    const CliRun itself = cli({QStringLiteral("backup"), data()});
    EXPECT_EQ(itself.code, 3);
    EXPECT_TRUE(itself.err.contains(QStringLiteral("is the data folder itself")));
}

// Back up, change, restore: the backed-up records are back and the changed table is kept
// aside, so restoring that undoes the restore. A spoilt backup is refused and changes nothing.
TEST_F(CliCommands, RestorePutsABackupBackAndCanBeUndone)
{
    const QString backup = path(QStringLiteral("backup"));
    QDir().mkpath(backup);
    ASSERT_EQ(cli({QStringLiteral("backup"), backup}).code, 0);
    const QStringList original = callsigns({});
    const QString file = writeFile(QStringLiteral("in.csv"), "146.52,,NEW1,,,,,\r\n");
    ASSERT_EQ(cli({QStringLiteral("import"), file, QStringLiteral("--category"),
                   QStringLiteral("Police")})
                  .code,
              0);
    const QStringList changed = callsigns({});
    ASSERT_NE(changed, original);

    const CliRun restored = cli({QStringLiteral("restore"), backup});
    ASSERT_EQ(restored.code, 0) << restored.err.toStdString();
    EXPECT_TRUE(restored.out.startsWith(QStringLiteral("Restored 4 records saved ")))
        << restored.out.toStdString();
    EXPECT_TRUE(restored.out.contains(QStringLiteral("kept aside as .old;")));
    EXPECT_EQ(callsigns({}), original);

    const CliRun listed = cli({QStringLiteral("restore"), QStringLiteral("--list"), backup});
    ASSERT_EQ(listed.code, 0) << listed.err.toStdString();
    EXPECT_TRUE(listed.out.contains(QStringLiteral("\t5\tkept aside as .old\n")))
        << listed.out.toStdString();
    EXPECT_TRUE(listed.out.contains(QStringLiteral("\t4\t") + QDir::toNativeSeparators(backup)));

    const CliRun undone =
        cli({QStringLiteral("restore"), QStringLiteral("--aside"), QStringLiteral(".old")});
    ASSERT_EQ(undone.code, 0) << undone.err.toStdString();
    EXPECT_EQ(callsigns({}), changed);

    QFile::remove(QDir(backup).filePath(store::FrequencyRecord::MemoFile));
    const CliRun refused = cli({QStringLiteral("restore"), backup});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("is incomplete: larkbase.blb is missing. "
                                                    "Nothing was replaced.")))
        << refused.err.toStdString();
    EXPECT_EQ(callsigns({}), changed);
    EXPECT_FALSE(QFileInfo::exists(QDir(data()).filePath(QStringLiteral("larkbase.dat.old3"))));
}

TEST_F(CliCommands, RepairRebuildsTheTableAndKeepsItsRecords)
{
    const CliRun run = cli({QStringLiteral("repair")});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("The database was repaired: 4 records kept.\n"));
    EXPECT_EQ(callsigns({}), (QStringList{"RA", "KOP1", "WX1", "KOP2"}));

    // A table too damaged to open is what repair is for: no complaint that it cannot open.
    QFile index(QDir(data()).filePath(store::FrequencyRecord::IndexFile));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write(QByteArray(4096, 'x'));
    index.close();
    ASSERT_NE(cli({QStringLiteral("list")}).code, 0);
    const CliRun damaged = cli({QStringLiteral("repair")});
    EXPECT_EQ(damaged.code, 0) << damaged.err.toStdString();
    EXPECT_TRUE(damaged.err.isEmpty()) << damaged.err.toStdString();
    EXPECT_TRUE(damaged.out.contains(QStringLiteral("4 records kept")))
        << damaged.out.toStdString();
    EXPECT_EQ(callsigns({}), (QStringList{"RA", "KOP1", "WX1", "KOP2"}));

    QFile::remove(QDir(data()).filePath(store::FrequencyRecord::TableFile));
    const CliRun missing = cli({QStringLiteral("repair")});
    EXPECT_EQ(missing.code, 3);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("there is no frequency table")));
}

TEST_F(CliCommands, MergeAddsEveryRecordOfAnotherFolder)
{
    const QString other = path(QStringLiteral("other"));
    makeTable(other, {{"Police", 151.0, "M1"}, {"Weather", 500.0, "M2"}});
    const CliRun run = cli({QStringLiteral("merge"), other});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith(QStringLiteral("2 records merged from ")));
    EXPECT_EQ(callsigns({}), (QStringList{"RA", "M1", "KOP1", "WX1", "KOP2", "M2"}));

    EXPECT_EQ(cli({QStringLiteral("merge"), data()}).code, 2);
    EXPECT_EQ(cli({QStringLiteral("merge"), path(QStringLiteral("empty"))}).code, 3);
    EXPECT_EQ(callsigns({}).size(), 6);
}

TEST_F(CliCommands, EveryCommandRefusesATableTheProgramHasOpen)
{
    const QString file = writeFile(QStringLiteral("in.csv"), "146.52,,NEW1,,,,,\r\n");
    const QString other = path(QStringLiteral("other"));
    makeTable(other, {{"Police", 151.0, "M1"}});
    QDir().mkpath(path(QStringLiteral("backup")));
    {
        // The program holds its table as this handle does.
        store::Table held;
        held.setDatabaseName(data());
        held.setTableName(store::FrequencyRecord::TableFile);
        ASSERT_TRUE(held.open());
        const QList<QStringList> commands = {
            {"list"},
            {"import", file, "--category", "Police"},
            {"export", "--format=csv", path(QStringLiteral("x.csv"))},
            {"backup", path(QStringLiteral("backup"))},
            {"restore", path(QStringLiteral("other"))},
            {"repair"},
            {"merge", other},
            {"map", "--out", path(QStringLiteral("x.png"))},
        };
        for (const QStringList& command : commands) {
            const CliRun run = cli(command);
            EXPECT_EQ(run.code, 4) << command.join(u' ').toStdString();
            EXPECT_TRUE(run.err.contains(QStringLiteral("is open in another program, probably "
                                                        "Wavelark itself; close it there")))
                << run.err.toStdString();
        }
    }
    EXPECT_EQ(callsigns({}), (QStringList{"RA", "KOP1", "WX1", "KOP2"}));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("x.csv"))));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("backup/larkbase.dat"))));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("x.png"))));
}

TEST_F(CliCommands, MapWritesThePictureAndRefusesWrongOptions)
{
    {
        store::Table t;
        t.setDatabaseName(data());
        t.setTableName(store::FrequencyRecord::TableFile);
        ASSERT_TRUE(t.open());
        ASSERT_TRUE(append(t, {"Short Wave", 6.07, "CFRX", 43.65, 79.38}));
        ASSERT_TRUE(append(t, {"Short Wave", 9.42, "SVA", 37.98, -23.73}));
    }
    // Only the records with a position are plotted; the size and format are as asked.
    const QString jpeg = path(QStringLiteral("globe.JPG"));
    const CliRun run = cli({QStringLiteral("map"), QStringLiteral("--out"), jpeg,
                            QStringLiteral("--width=320"), QStringLiteral("--height"),
                            QStringLiteral("200"), QStringLiteral("--center=40.5,-30")});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("2 records plotted on a map of 320 x 200 pixels in ") +
                           QDir::toNativeSeparators(jpeg) + u'\n');
    QImageReader reader(jpeg);
    EXPECT_EQ(reader.format(), QByteArray("jpeg"));
    EXPECT_EQ(reader.size(), QSize(320, 200));

    // Without --center the centre of the map window's last view is taken (its longitude
    // stored west positive). Without the night shadow, equal views give equal files.
    writeSetting(QStringLiteral("Lat"), QStringLiteral("50"));
    writeSetting(QStringLiteral("Lon"), QStringLiteral("-10"));
    writeSetting(QStringLiteral("Shadow"), QStringLiteral("0"));
    QByteArray pictures[3];
    const char* centres[] = {nullptr, "50,10", "50,-10"};
    for (int i = 0; i < 3; ++i) {
        const QString file = path(QStringLiteral("view%1.png").arg(i));
        QStringList args{QStringLiteral("map"), QStringLiteral("--out"), file,
                         QStringLiteral("--width=64"), QStringLiteral("--height=48")};
        if (centres[i])
            args << QStringLiteral("--center") << QLatin1String(centres[i]);
        ASSERT_EQ(cli(args).code, 0);
        pictures[i] = bytesOf(file);
    }
    EXPECT_EQ(pictures[0], pictures[1]);
    EXPECT_NE(pictures[0], pictures[2]);

    const QString taken = path(QStringLiteral("taken.png"));
    QDir().mkpath(taken);
    const QString png = path(QStringLiteral("m.png"));
    const struct
    {
        QStringList args;
        int code;
        const char* message;
    } wrong[] = {
        {{"map"}, 2, "--out FILE is required"},
        {{"map", "--out", path(QStringLiteral("m.gif"))}, 2, "end it in .png, .jpg, .jpeg or .bmp"},
        {{"map", "--out", png, "--center", "91,0"}, 2, "--center needs LAT,LON"},
        {{"map", "--out", png, "--center", "50;10"}, 2, "--center needs LAT,LON"},
        {{"map", "--out", png, "--center", "50,10,3"}, 2, "--center needs LAT,LON"},
        {{"map", "--out", png, "--center", "50,1O"}, 2, "--center needs LAT,LON"},
        {{"map", "--out", png, "--center", "50,181"}, 2, "--center needs LAT,LON"},
        {{"map", "--out", png, "--width", "15"}, 2, "--width needs a whole number of pixels"},
        {{"map", "--out", png, "--height", "8193"}, 2, "--height needs a whole number"},
        {{"map", "--out", png, "--width", "100.5"}, 2, "--width needs a whole number"},
        {{"map", "--out", png, "extra"}, 2, "unexpected argument \"extra\""},
        {{"map", "--out", path(QStringLiteral("no/such/m.png"))}, 3, "does not exist"},
        {{"--data", path(QStringLiteral("nowhere")), "map", "--out", png}, 3, "does not exist"},
        {{"map", "--out", taken}, 1, "cannot write"},
    };
    for (const auto& w : wrong) {
        const CliRun r = cli(w.args);
        EXPECT_EQ(r.code, w.code) << w.args.join(u' ').toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String(w.message))) << r.err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(png));
    EXPECT_TRUE(QFileInfo(taken).isDir());
}

} // namespace
} // namespace wl::cli::test
