// wavelark-cli where things around the table go wrong: settings that cannot be read, a data
// folder that cannot be written, two commands at once, leftovers of an interrupted backup, a
// runaway path.
#include "CliTestSupport.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>

#include <unistd.h>

namespace wl::cli::test {
namespace {

namespace Files = store::FrequencyRecord;

std::string told(const CliRun& run)
{
    return QStringLiteral("exit %1, stdout \"%2\", stderr \"%3\"")
        .arg(run.code)
        .arg(run.out.left(400), run.err.left(400))
        .toStdString();
}

class CliSafety : public CliTest
{
protected:
    // A digest of every file under folder, names and bytes.
    static QByteArray digest(const QString& folder)
    {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        QStringList files;
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next();
        files.sort();
        for (const QString& f : files) {
            QFile file(f);
            hash.addData(f.toUtf8());
            if (file.open(QIODevice::ReadOnly))
                hash.addData(file.readAll());
        }
        return hash.result();
    }

    static qint64 records(const QString& folder)
    {
        store::Table t;
        t.setDatabaseName(folder);
        t.setTableName(Files::TableFile);
        if (!t.openForReading())
            return -1;
        return t.recordCount();
    }

    // Runs wavelark-cli as a user who may not write the data folder; root writes anywhere,
    // so it runs as nobody then.
    CliRun cliWithoutWriteAccess(QStringList args) const
    {
        if (geteuid() != 0)
            return cli(args);
        // startCli's environment, with the program started through setpriv.
        QProcess probe;
        startCli(probe, {QStringLiteral("--version")});
        finished(probe);
        QProcess asNobody;
        asNobody.setProcessEnvironment(probe.processEnvironment());
        args.prepend(QStringLiteral("--data=") + data());
        args = QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                           QStringLiteral("--clear-groups"), QStringLiteral(WAVELARK_CLI)} +
               args;
        asNobody.start(QStringLiteral("setpriv"), args);
        return finished(asNobody);
    }
};

// The settings name the data folder; when they cannot be read, no command guesses another.
TEST_F(CliSafety, UnreadableSettingsStopEveryCommandAndTouchNothing)
{
    makeTable(data(), {{"Police", 146.52, "KOP1"}});
    const QByteArray broken = "[Software\\Brevant\\Wavelark\\4.3\nDataBasePath=" + data().toUtf8() +
                              "\nLow Frequency=100\n";
    writeFile(QStringLiteral("settings.ini"), broken);
    const QString csv = writeFile(QStringLiteral("in.csv"), "146.52,,NEW1,,,,,\r\n");
    const QByteArray before = digest(dir.path());

    for (const QStringList& args :
         {QStringList{QStringLiteral("import"), csv, QStringLiteral("--category"),
                      QStringLiteral("Police")},
          QStringList{QStringLiteral("list")}, QStringList{QStringLiteral("repair")}}) {
        SCOPED_TRACE(args.front().toStdString());
        const CliRun run = cli(args, false);
        EXPECT_EQ(run.code, 3) << told(run);
        EXPECT_TRUE(run.err.contains(QStringLiteral("settings file"))) << told(run);
        EXPECT_TRUE(run.out.isEmpty()) << told(run);
    }
    EXPECT_EQ(digest(dir.path()), before);
}

// Reading commands and backup need no write access; a writing one says it lacks it.
TEST_F(CliSafety, AReadOnlyDataFolderIsListedAndBackedUp)
{
    makeTable(data(), {{"Police", 146.52, "KOP1"}, {"Weather", 162.55, "WX1"}});
    writeCategories("Police\r\nWeather\r\n");
    const QString backup = path(QStringLiteral("backup"));
    QDir().mkpath(backup);
    const auto all = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                     QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    const auto readOnly = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther |
                          QFileDevice::ExeOther;
    QFile::setPermissions(dir.path(), readOnly);
    QFile::setPermissions(backup, all);
    QFile::setPermissions(path(QStringLiteral("run")), all);
    QFile::setPermissions(data(), readOnly);
    for (const QString& f : QDir(data()).entryList(QDir::Files))
        QFile::setPermissions(QDir(data()).filePath(f),
                              QFileDevice::ReadOwner | QFileDevice::ReadOther);
    const QByteArray before = digest(data());

    const CliRun list = cliWithoutWriteAccess({QStringLiteral("list"), QStringLiteral("--csv")});
    EXPECT_EQ(list.code, 0) << told(list);
    EXPECT_TRUE(list.out.contains(QStringLiteral("KOP1")) && list.out.contains("WX1"))
        << told(list);

    const CliRun copy = cliWithoutWriteAccess({QStringLiteral("backup"), backup});
    EXPECT_EQ(copy.code, 0) << told(copy);
    for (const QString& f :
         {Files::TableFile, Files::IndexFile, Files::MemoFile, Files::CategoryFileName}) {
        QFile a(QDir(data()).filePath(f));
        QFile b(QDir(backup).filePath(f));
        ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly)) << f.toStdString();
        EXPECT_EQ(a.readAll(), b.readAll()) << f.toStdString();
    }
    EXPECT_EQ(records(backup), 2);

    const QString png = QDir(backup).filePath(QStringLiteral("map.png"));
    const CliRun map = cliWithoutWriteAccess({QStringLiteral("map"), QStringLiteral("--out"), png,
                                              QStringLiteral("--width"), QStringLiteral("160"),
                                              QStringLiteral("--height"), QStringLiteral("100")});
    EXPECT_EQ(map.code, 0) << told(map);
    EXPECT_FALSE(QImage(png).isNull()) << told(map);

    const QString csv = writeFile(QStringLiteral("backup/in.csv"), "146.52,,NEW1,,,,,\r\n");
    const CliRun import = cliWithoutWriteAccess(
        {QStringLiteral("import"), csv, QStringLiteral("--category"), QStringLiteral("Police")});
    EXPECT_EQ(import.code, 1) << told(import);
    EXPECT_TRUE(import.err.contains(QStringLiteral("writing"))) << told(import);
    EXPECT_EQ(digest(data()), before);
    QFile::setPermissions(dir.path(), all);
    QFile::setPermissions(data(), all);
}

// Two imports started together: each one either imports or is told the table is in use, at
// least one imports, and every record a success announced is there.
TEST_F(CliSafety, TwoImportsStartedTogetherLetOneProceed)
{
    makeTable(data(), {});
    writeCategories("Police\r\n");
    QByteArray lines;
    for (int i = 0; i < 200; ++i)
        lines += QByteArray::number(140 + i * 0.01) + ",,C" + QByteArray::number(i) + ",,,,,\r\n";
    const QString csv = writeFile(QStringLiteral("in.csv"), lines);
    qint64 expected = 0;
    for (int trial = 0; trial < 4; ++trial) {
        SCOPED_TRACE(trial);
        QProcess a;
        QProcess b;
        const QStringList args{QStringLiteral("import"), csv, QStringLiteral("--category"),
                               QStringLiteral("Police")};
        startCli(a, args);
        startCli(b, args);
        const CliRun runs[] = {finished(a), finished(b)};
        int done = 0;
        for (const CliRun& run : runs) {
            EXPECT_TRUE(run.code == 0 || run.code == 4) << told(run);
            done += run.code == 0 ? 1 : 0;
        }
        EXPECT_GE(done, 1);
        expected += 200 * done;
        EXPECT_EQ(records(data()), expected);
    }
}

// A backup killed half-way leaves files under temporary names; the next backup clears them
// and leaves the four files only.
TEST_F(CliSafety, ABackupClearsWhatAnInterruptedOneLeft)
{
    makeTable(data(), {{"Police", 146.52, "KOP1"}});
    writeCategories("Police\r\n");
    const QString backup = path(QStringLiteral("backup"));
    QDir().mkpath(backup);
    for (const char* name : {"larkbase.dat.copying", "larkbase.idx.copying2",
                             "larkbase.cat.previous", "larkbase.cat", "larkbase.blb.previous"})
        writeFile(QStringLiteral("backup/") + QLatin1String(name), "left by a killed backup");

    const CliRun run = cli({QStringLiteral("backup"), backup});
    ASSERT_EQ(run.code, 0) << told(run);
    QStringList left = QDir(backup).entryList(QDir::Files);
    left.sort();
    EXPECT_EQ(left, (QStringList{"larkbase.blb", "larkbase.cat", "larkbase.dat", "larkbase.idx"}));
    EXPECT_EQ(records(backup), 1);
}

// A path tens of thousands of characters long is shown cut, so the message stays readable.
TEST_F(CliSafety, ARunawayDataPathIsShownShort)
{
    const QString folder = path(QStringLiteral("x")) + QStringLiteral("/y").repeated(20000);
    const CliRun run = cli({QStringLiteral("--data=") + folder, QStringLiteral("list")}, false);
    EXPECT_EQ(run.code, 3) << run.err.left(300).toStdString();
    EXPECT_LT(run.err.size(), 600) << run.err.left(300).toStdString();
    EXPECT_TRUE(run.err.contains(QChar(0x2026)));
}

} // namespace
} // namespace wl::cli::test
