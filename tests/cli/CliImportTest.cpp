#include "CliTestSupport.h"

#include "store/CategoryFile.h"
#include "store/PositionText.h"

#include <QElapsedTimer>
#include <QStringEncoder>

#include <sys/stat.h>

#include <cmath>

namespace wl::cli::test {
namespace {

// One record written straight into a fixture table, every field given.
struct FullRecord
{
    QString category;
    double hz;
    QString modifier;
    QString callsign;
    QString user;
    QString location;
    QString special;
    double rDate;
    QString notes;
    std::optional<std::pair<double, double>> position; // north, west positive
};

class CliImport : public CliTest
{
protected:
    static void writeRecords(const QString& folder, const std::vector<FullRecord>& records)
    {
        makeTable(folder, {});
        store::Table t;
        t.setDatabaseName(folder);
        t.setTableName(store::FrequencyRecord::TableFile);
        store::FrequencyRecord::define(t);
        ASSERT_TRUE(t.open());
        for (const FullRecord& r : records) {
            ASSERT_TRUE(t.append());
            t.setFieldValue(QStringLiteral("Category"), r.category);
            t.setFieldValue(QStringLiteral("Hz"), r.hz);
            t.setFieldValue(QStringLiteral("Modifier"), r.modifier);
            t.setFieldValue(QStringLiteral("Callsign"), r.callsign);
            t.setFieldValue(QStringLiteral("User"), r.user);
            t.setFieldValue(QStringLiteral("Location"), r.location);
            t.setFieldValue(QStringLiteral("Optional"), r.special);
            t.setFieldValue(QStringLiteral("RDate"), r.rDate);
            t.setFieldValue(QStringLiteral("Notes"), r.notes);
            if (r.position) {
                t.setFieldValue(QStringLiteral("Position"),
                                store::positionText(r.position->first, r.position->second));
                t.setFieldValue(QStringLiteral("RLat"), r.position->first);
                t.setFieldValue(QStringLiteral("RLon"), r.position->second);
            }
            ASSERT_TRUE(t.post()) << t.lastError().toStdString();
        }
    }

    // Every stored field of every record, in frequency order, as comparable text: texts as
    // stored, numbers to the last bit, positions as "none" or their two numbers.
    static QStringList storedFields(const QString& folder, bool withNotes = true)
    {
        store::Table t;
        t.setDatabaseName(folder);
        t.setTableName(store::FrequencyRecord::TableFile);
        store::FrequencyRecord::define(t);
        EXPECT_TRUE(t.open());
        QStringList rows;
        for (store::Status st = t.first(); st && !t.eof(); st = t.next()) {
            QStringList f;
            for (const char* name :
                 {"Category", "Modifier", "Callsign", "User", "Location", "Optional"})
                f << t.fieldValue(QLatin1String(name)).toString();
            if (withNotes)
                f << t.fieldValue(QStringLiteral("Notes")).toString();
            f << QString::number(t.fieldValue(QStringLiteral("Hz")).toDouble(), 'g', 17);
            f << QString::number(t.fieldValue(QStringLiteral("RDate")).toDouble(), 'g', 17);
            f << t.fieldValue(QStringLiteral("Position")).toString().trimmed();
            const bool positioned = !f.back().isEmpty();
            f << (positioned
                      ? QString::number(t.fieldValue(QStringLiteral("RLat")).toDouble(), 'g', 12) +
                            u' ' +
                            QString::number(t.fieldValue(QStringLiteral("RLon")).toDouble(), 'g',
                                            12)
                      : QStringLiteral("none"));
            rows << f.join(QStringLiteral(" | "));
        }
        rows.sort();
        return rows;
    }

    // wavelark-cli run in a locale of its own (the fixture's runs use C).
    CliRun cliIn(const QString& locale, QStringList args, const QString& folder) const
    {
        args.prepend(QStringLiteral("--data=") + folder);
        QProcess process;
        QProcessEnvironment env = cliEnvironment(locale);
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(WAVELARK_CLI), args);
        return finished(process);
    }
};

QString longNote()
{
    QString note;
    for (int i = 0; note.size() < 2000; ++i)
        note += QStringLiteral("Line %1: \"quoted\", a; b – Zoë, Łódź, 東京 heard 9,58 MHz\r\n")
                    .arg(i);
    return note + QStringLiteral("end");
}

// The program's own CSV export imported into an empty folder gives the same records, field by
// field: categories from the file (a new one joins the category list), whole notes with their
// line breaks, dates, positions on the equator and the prime meridian, in both locales.
TEST_F(CliImport, OwnCsvExportComesBackFieldForField)
{
    const double minutes41 = 122 + 41 / 60.0;
    const std::vector<FullRecord> records = {
        {"Short Wave", 9.58, " ", "TOK", QString::fromUtf8("Jürg Müller"), "Tokyo", "USB",
         45000.5625, longNote(), std::make_pair(0.0, minutes41)},
        {"Police", 155.475, "+", "KOP1", "City", QString::fromUtf8("São Paulo"), "=1+2", 45001.0,
         "one", std::make_pair(45 + 38 / 60.0, 0.0)},
        {"Pirates", 6.2, "-", "", "", "", "", 44000.25, "", std::nullopt},
    };
    for (const QString& locale : {QStringLiteral("en_US.UTF-8"), QStringLiteral("de_DE.UTF-8")}) {
        SCOPED_TRACE(locale.toStdString());
        const QString from = path(QStringLiteral("from-") + locale);
        const QString to = path(QStringLiteral("to-") + locale);
        writeRecords(from, records);
        QDir().mkpath(to);
        const QString csv = path(locale + QStringLiteral(".csv"));
        const CliRun out =
            cliIn(locale, {QStringLiteral("export"), QStringLiteral("--format=csv"), csv}, from);
        ASSERT_EQ(out.code, 0) << ::testing::PrintToString(out);
        const CliRun in = cliIn(locale, {QStringLiteral("import"), csv}, to);
        ASSERT_EQ(in.code, 0) << ::testing::PrintToString(in);
        EXPECT_EQ(in.out, QStringLiteral("3 records imported.\n"));
        EXPECT_TRUE(in.err.contains(QStringLiteral("\"Pirates\" was added to the category list")))
            << ::testing::PrintToString(in);
        // Every field, the whole notes with their line breaks included.
        EXPECT_EQ(storedFields(to), storedFields(from));
        QStringList categories;
        ASSERT_TRUE(store::CategoryFile::inFolder(to).read(categories));
        EXPECT_TRUE(categories.contains(QStringLiteral("Pirates")));
        EXPECT_TRUE(categories.contains(QStringLiteral("Weather")));
    }
}

// Coordinates of a directory download reach the table, 0 included; a row out of range stores
// nothing at all.
TEST_F(CliImport, DirectoryCoordinatesAreStoredAndRangeChecked)
{
    makeTable(data(), {});
    writeCategories("Police\r\nWeather\r\n");
    const QString bad =
        writeFile(QStringLiteral("bad.csv"), "Frequency,License,Latitude,Longitude\n"
                                             "162.550,WXJ41,0,-0.1278\n"
                                             "162.400,KEC49,95,10\n");
    const QStringList args = {QStringLiteral("import"), QStringLiteral("--format=directory-csv"),
                              QStringLiteral("--category=Weather")};
    const CliRun refused = cli(args + QStringList{bad});
    EXPECT_EQ(refused.code, 1) << ::testing::PrintToString(refused);
    EXPECT_TRUE(refused.err.contains(
        QStringLiteral("Row 3: the latitude \"95\" is not a number of degrees from -90 to 90.")))
        << ::testing::PrintToString(refused);
    EXPECT_TRUE(storedFields(data()).isEmpty());

    const QString good =
        writeFile(QStringLiteral("good.csv"), "Frequency,License,Latitude,Longitude\n"
                                              "162.550,WXJ41,0,-0.1278\n"
                                              "162.475,KEC50,51.5,0\n"
                                              "162.400,KEC49,,\n");
    const CliRun run = cli(args + QStringList{good});
    ASSERT_EQ(run.code, 0) << ::testing::PrintToString(run);
    // Table order is by frequency; longitudes are kept west positive.
    const QStringList stored = storedFields(data());
    ASSERT_EQ(stored.size(), 3);
    EXPECT_TRUE(stored[0].endsWith(QStringLiteral(" | none"))) << stored[0].toStdString();
    EXPECT_TRUE(stored[1].endsWith(QStringLiteral("| 51.5 0"))) << stored[1].toStdString();
    EXPECT_TRUE(stored[2].endsWith(QStringLiteral("0 00N 0 08W | 0 0.1278")))
        << stored[2].toStdString();
}

// Texts longer than their fields are stored cut, and the command says which, as the window does.
TEST_F(CliImport, CutTextsAreListed)
{
    makeTable(data(), {});
    writeCategories("Police\r\nWeather\r\n");
    const QString callsign = QStringLiteral("K").repeated(300);
    const QString file = writeFile(
        QStringLiteral("long.csv"),
        ("146.52,," + callsign + ",Radio Nederland Wereldomroep,,,,\r\n7.1,,SHORT,,,,,\r\n")
            .toUtf8());
    const CliRun run = cli(
        {QStringLiteral("import"), file, QStringLiteral("--category"), QStringLiteral("Police")});
    ASSERT_EQ(run.code, 0) << ::testing::PrintToString(run);
    EXPECT_TRUE(run.err.contains(QStringLiteral("longer than their fields and were cut")));
    EXPECT_TRUE(run.err.contains(QStringLiteral("Row 1: Callsign \"") + QString(40, u'K') +
                                 QChar(0x2026) + QStringLiteral("\" was cut to 20 characters.")))
        << ::testing::PrintToString(run);
    EXPECT_TRUE(run.err.contains(
        QStringLiteral("Row 1: User \"Radio Nederland Wereldomroep\" was cut to 20 characters.")));
    EXPECT_FALSE(run.err.contains(QStringLiteral("Row 2")));
    EXPECT_EQ(run.out, QStringLiteral("2 records imported.\n"));
}

// A pipe, an endless device and a file saved as two-byte text without a byte-order mark.
TEST_F(CliImport, OnlyRegularFilesAreReadAndTwoByteTextReads)
{
    makeTable(data(), {});
    writeCategories("Police\r\nWeather\r\n");
    const QString fifo = path(QStringLiteral("pipe.csv"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& source : {fifo, QStringLiteral("/dev/zero")}) {
        QElapsedTimer timer;
        timer.start();
        const CliRun run = cli({QStringLiteral("import"), source, QStringLiteral("--category"),
                                QStringLiteral("Police")});
        // The program's start-up under the sanitizers counts too: far below a hang.
        EXPECT_LT(timer.elapsed(), 10000);
        EXPECT_EQ(run.code, 1) << ::testing::PrintToString(run);
        EXPECT_TRUE(run.err.contains(QStringLiteral("is not a regular file")))
            << ::testing::PrintToString(run);
    }
    QStringEncoder utf16(QStringEncoder::Utf16LE);
    const QByteArray bytes = utf16.encode(QString::fromUtf8("146.52,,ZOË,,,,,\r\n"));
    const CliRun run = cli({QStringLiteral("import"), writeFile(QStringLiteral("u16.csv"), bytes),
                            QStringLiteral("--category"), QStringLiteral("Police")});
    ASSERT_EQ(run.code, 0) << ::testing::PrintToString(run);
    EXPECT_EQ(callsigns({}), QStringList{QString::fromUtf8("ZOË")});
}

} // namespace
} // namespace wl::cli::test
