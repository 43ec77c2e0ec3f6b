#include "app/AppConstants.h"
#include "app/BackupRestore.h"
#include "app/DatabaseMaintenance.h"
#include "app/MaintenanceCommands.h"
#include "app/TFormRestore.h"
#include "app/TableMerge.h"
#include "app/services/Registry.h"
#include "dialogs/DialogTestSupport.h"
#include "store/FrequencyRecord.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>

#include <set>

namespace wl {
namespace {

namespace FR = store::FrequencyRecord;

const QString OverwriteText = QStringLiteral("Overwrite database files?       ");

// The main window with the maintenance commands installed, and other data folders beside it.
class MaintenanceTest : public test::DialogTest
{
protected:
    TFormMain& openWithCommands(std::initializer_list<test::Rec> records = {})
    {
        TFormMain& w = openMain();
        installMaintenanceCommands(w);
        addRecords(w, records);
        services.messages.shown.clear();
        return w;
    }

    static void run(TFormMain& w, Command command) { w.action(command)->trigger(); }

    // A folder of its own with a table of the given records and, when given, a category file.
    QString makeFolder(const char* name, std::initializer_list<test::Rec> records,
                       const QByteArray& categories = {})
    {
        const QString folder = others.path() + QLatin1Char('/') + QLatin1String(name);
        QDir().mkpath(folder);
        store::Table t;
        t.setDatabaseName(folder);
        t.setTableName(FR::TableFile);
        FR::define(t);
        EXPECT_TRUE(t.createTable());
        EXPECT_TRUE(t.open());
        for (const test::Rec& r : records)
            EXPECT_TRUE(test::appendRec(t, r)) << t.lastError().toStdString();
        t.close();
        if (!categories.isEmpty())
            writeBytes(folder + QStringLiteral("/larkbase.cat"), categories);
        return folder;
    }

    // Every record of a closed table in a folder: callsign and notes, in stored order.
    static QStringList recordsIn(const QString& folder)
    {
        store::Table t;
        t.setDatabaseName(folder);
        t.setTableName(FR::TableFile);
        if (!t.open())
            return {QStringLiteral("<cannot open: ") + t.lastError() + QLatin1Char('>')};
        QStringList rows;
        for (t.first(); !t.eof(); t.next())
            rows << t.fieldValue(QStringLiteral("Callsign")).toString() + QLatin1Char('|') +
                        t.fieldValue(QStringLiteral("Notes")).toString();
        return rows;
    }

    static QString copiedTo(const QString& folder)
    {
        return QStringLiteral("The data files were copied to %1.")
            .arg(QDir::toNativeSeparators(folder));
    }

    void setBackupDirectory(const QString& folder)
    {
        Registry reg(install.settingsFile());
        reg.openKey(app::SettingsKey, true);
        reg.writeString(QStringLiteral("Backup Directory"), folder);
        reg.flush();
    }

    QString backupSetting() const
    {
        Registry reg(install.settingsFile());
        if (!reg.openKey(app::SettingsKey, false))
            return QStringLiteral("<none>");
        return reg.readString(QStringLiteral("Backup Directory"), QStringLiteral("<none>"));
    }

    // The bytes of the four data files of a folder, to compare a backup with its source.
    static QList<QByteArray> dataSet(const QString& folder)
    {
        QList<QByteArray> files;
        for (const QString& name : DatabaseMaintenance::dataFileNames())
            files << bytesOf(QDir(folder).filePath(name));
        return files;
    }

    static QString caption(const QString& folder)
    {
        return QStringLiteral("Wavelark - ") + QDir::toNativeSeparators(folder) +
               QStringLiteral("/larkbase.dat   0 - 9999 MHz");
    }

    QTemporaryDir others;
};

TEST_F(MaintenanceTest, CommandsAreEnabledOnceInstalled)
{
    TFormMain& w = openWithCommands();
    for (Command c : {Command::NewDatabase, Command::SelectDatabase, Command::MergeData,
                      Command::RepairDatabase, Command::DataBackup, Command::BackupFolder})
        EXPECT_TRUE(w.action(c)->isEnabled()) << int(c);
}

// ----------------------------------------------------------------------------------------
// New Database

TEST_F(MaintenanceTest, NewDatabaseInAnEmptyFolderSwitchesToAnEmptyTable)
{
    TFormMain& w = openWithCommands({{"Police", 155.1, "KOP1"}});
    writeBytes(dataFile("larkbase.cat"), "Police\r\nZoo\r\n");
    const QString folder = others.path() + QStringLiteral("/fresh");
    QDir().mkpath(folder);
    services.dialogs.folders = {folder};

    run(w, Command::NewDatabase);

    EXPECT_EQ(services.dialogs.captions.last(),
              QStringLiteral("Select new database folder and click OK"));
    EXPECT_TRUE(services.messages.shown.empty())
        << services.messages.texts().join("; ").toStdString();
    EXPECT_EQ(w.settings().dataBasePath, folder);
    EXPECT_TRUE(w.table().isOpen());
    EXPECT_EQ(w.PnlTotal->text(), QStringLiteral("Records = 0"));
    EXPECT_EQ(w.windowTitle(), caption(folder));
    // The category file travels as it is; the tabs stay as they were.
    EXPECT_EQ(bytesOf(folder + QStringLiteral("/larkbase.cat")), QByteArray("Police\r\nZoo\r\n"));
    EXPECT_EQ(tabs(w), (QStringList{"All Records", "Police", "Short Wave", "Weather"}));
    // The old table is left as it was.
    EXPECT_EQ(recordsIn(install.programFolder()), QStringList{"KOP1|"});
}

TEST_F(MaintenanceTest, NewDatabaseOverAnExistingTableAsksAndKeepsTheOldFilesAside)
{
    TFormMain& w = openWithCommands({{"Police", 155.1, "KOP1"}});
    const QString folder =
        makeFolder("old", {{"Weather", 162.4, "WX1", "storm log"}}, "Weather\r\n");

    // Cancel at the chooser, then Cancel at the question: nothing changes.
    run(w, Command::NewDatabase);
    services.dialogs.folders = {folder};
    services.messages.answers = {QMessageBox::Cancel};
    run(w, Command::NewDatabase);
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].caption, QStringLiteral("Existing Database Selected"));
    EXPECT_EQ(services.messages.shown[0].text, OverwriteText);
    EXPECT_EQ(services.messages.shown[0].kind, MessageKind::Warning);
    EXPECT_EQ(services.messages.shown[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(w.settings().dataBasePath, install.programFolder());
    EXPECT_TRUE(w.table().isOpen());
    EXPECT_EQ(recordsIn(folder), QStringList{"WX1|storm log"});

    // OK: an empty table takes the folder, and the old set can still be brought back.
    services.messages.shown.clear();
    services.dialogs.folders = {folder};
    run(w, Command::NewDatabase);
    EXPECT_EQ(services.messages.texts(),
              (QStringList{OverwriteText, "The database files that were in this folder have been "
                                          "kept aside under new names."}));
    EXPECT_EQ(w.settings().dataBasePath, folder);
    EXPECT_EQ(w.PnlTotal->text(), QStringLiteral("Records = 0"));
    w.table().close();
    EXPECT_EQ(recordsIn(folder), QStringList{});
    const QString restored = others.path() + QStringLiteral("/restored");
    QDir().mkpath(restored);
    for (const QString& name : DatabaseMaintenance::dataFileNames())
        ASSERT_TRUE(QFile::copy(folder + QLatin1Char('/') + name + QStringLiteral(".old"),
                                restored + QLatin1Char('/') + name))
            << name.toStdString();
    EXPECT_EQ(recordsIn(restored), QStringList{"WX1|storm log"});
    EXPECT_EQ(bytesOf(restored + QStringLiteral("/larkbase.cat")), QByteArray("Weather\r\n"));
}

TEST_F(MaintenanceTest, NewDatabaseInTheOpenFolderReplacesItsTableButKeepsItsCategories)
{
    TFormMain& w = openWithCommands({{"Police", 155.1, "KOP1"}});
    writeBytes(dataFile("larkbase.cat"), "Police\r\nZoo\r\n");
    QString folder = install.programFolder();
    folder.chop(1);
    services.dialogs.folders = {folder};

    run(w, Command::NewDatabase);

    EXPECT_EQ(w.PnlTotal->text(), QStringLiteral("Records = 0"));
    EXPECT_EQ(bytesOf(dataFile("larkbase.cat")), QByteArray("Police\r\nZoo\r\n"));
    EXPECT_EQ(bytesOf(dataFile("larkbase.cat.old")), QByteArray("Police\r\nZoo\r\n"));
    EXPECT_TRUE(QFile::exists(dataFile("larkbase.dat.old")));
}

// ----------------------------------------------------------------------------------------
// Select Database

TEST_F(MaintenanceTest, SelectDatabaseSwitchesTablesAndCategories)
{
    TFormMain& w = openWithCommands({{"Police", 155.1, "KOP1"}});
    const QString withCategories =
        makeFolder("air", {{"Air", 120.1, "TWR"}, {"Air", 121.5, "GND"}}, "Tower\r\nAir\r\n");
    const QString without = makeFolder("bare", {{"Misc", 30.0, "M1"}});
    w.Tab1->setCurrentIndex(1);

    services.dialogs.openFiles = {withCategories + QStringLiteral("/larkbase.dat")};
    run(w, Command::SelectDatabase);
    EXPECT_EQ(services.dialogs.captions.last(), QStringLiteral("Select Frequency Database"));
    EXPECT_EQ(w.settings().dataBasePath, withCategories);
    EXPECT_EQ(tabs(w), (QStringList{"All Records", "Air", "Tower"}));
    EXPECT_EQ(w.Tab1->currentIndex(), 0);
    EXPECT_EQ(w.PnlTotal->text(), QStringLiteral("Records = 2"));
    EXPECT_EQ(gridColumn(w, 1), (QStringList{"120.1000", "121.5000"}));
    EXPECT_EQ(w.windowTitle(), caption(withCategories));
    // Chosen from a category tab, the new list is on "All Records", where editing belongs.
    EXPECT_TRUE(w.button(Command::Edit)->isEnabled());

    // A folder without a category file keeps the categories shown.
    services.dialogs.openFiles = {without + QStringLiteral("/larkbase.dat")};
    run(w, Command::SelectDatabase);
    EXPECT_EQ(tabs(w), (QStringList{"All Records", "Air", "Tower"}));
    EXPECT_EQ(w.PnlTotal->text(), QStringLiteral("Records = 1"));
    EXPECT_TRUE(services.messages.shown.empty())
        << services.messages.texts().join("; ").toStdString();
}

TEST_F(MaintenanceTest, SelectAndMergeIgnoreOtherFilesAndCancel)
{
    TFormMain& w = openWithCommands({{"Police", 155.1, "KOP1"}});
    const QString folder = makeFolder("other", {{"Air", 120.1, "TWR"}});
    const QString empty = others.path() + QStringLiteral("/empty");
    QDir().mkpath(empty);
    for (Command command : {Command::SelectDatabase, Command::MergeData}) {
        for (const QString& chosen : {QString(), folder + QStringLiteral("/larkbase.cat"),
                                      empty + QStringLiteral("/larkbase.dat")}) {
            services.messages.shown.clear();
            services.dialogs.openFiles = {chosen};
            run(w, command);
            // Select says why nothing changed when a file was chosen; Merge of a folder
            // without a table offers to make one, and is cancelled here.
            if (command == Command::SelectDatabase && !chosen.isEmpty()) {
                ASSERT_EQ(services.messages.shown.size(), 1u) << chosen.toStdString();
                EXPECT_TRUE(services.messages.shown[0].text.startsWith(
                    QStringLiteral("There is no database here")));
            } else if (!chosen.endsWith(QStringLiteral(".dat"))) {
                EXPECT_TRUE(services.messages.shown.empty()) << int(command);
            }
            EXPECT_EQ(w.settings().dataBasePath, install.programFolder());
            EXPECT_TRUE(w.table().isOpen());
            EXPECT_EQ(column(w, "Callsign"), QStringList{"KOP1"});
        }
    }
}

TEST_F(MaintenanceTest, SelectingATableThatCannotBeOpenedSaysSoAndShowsNothing)
{
    TFormMain& w = openWithCommands({{"Police", 155.1, "KOP1"}});
    const QString folder = makeFolder("broken", {{"Air", 120.1, "TWR"}});
    QFile::remove(folder + QStringLiteral("/larkbase.idx"));
    services.dialogs.openFiles = {folder + QStringLiteral("/larkbase.dat")};

    run(w, Command::SelectDatabase);

    ASSERT_FALSE(services.messages.shown.empty());
    EXPECT_EQ(services.messages.shown[0].text, QStringLiteral("Database read failure"));
    EXPECT_EQ(w.settings().dataBasePath, folder);
    EXPECT_EQ(w.PnlTotal->text(), QStringLiteral("Records = 0"));

    // Repair is how the user gets it back, and the grid then shows its records.
    services.messages.shown.clear();
    run(w, Command::RepairDatabase);
    EXPECT_EQ(services.messages.texts(),
              (QStringList{"Repairing database, please confirm.",
                           "The database was checked and repaired; no record was lost."}));
    EXPECT_TRUE(w.table().isOpen());
    EXPECT_EQ(w.PnlTotal->text(), QStringLiteral("Records = 1"));
}

// ----------------------------------------------------------------------------------------
// Merge Data

TEST_F(MaintenanceTest, MergeAppendsEveryRecordWithItsNotesUnderNewNumbers)
{
    TFormMain& w = openWithCommands({{"Police", 155.1, "A1"},
                                     {"Police", 155.2, "A2"},
                                     {"Police", 155.3, "A3"},
                                     {"Police", 155.4, "A4"},
                                     {"Police", 155.5, "A5"}});
    const QString folder = makeFolder("source",
                                      {{"Air", 120.1, "B1", "first\r\nline two"},
                                       {"Air", 120.2, "B2"},
                                       {"Air", 120.3, "B3"},
                                       {"Air", 120.4, "B4"},
                                       {"Air", 120.5, "B5"},
                                       {"Air", 120.6, "B6"},
                                       {"Air", 120.7, "B7"},
                                       {"Air", 120.8, "B8"},
                                       {"Air", 120.9, "B9"},
                                       {"Air", 121.0, "B10", "last"}},
                                      "Air\r\n");
    const QString file = folder + QStringLiteral("/larkbase.dat");

    services.dialogs.openFiles = {file};
    run(w, Command::MergeData);
    EXPECT_EQ(services.dialogs.captions.last(),
              QStringLiteral("Select Database To Merge With Current Database"));
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].caption, QStringLiteral("Merging Data"));
    EXPECT_EQ(services.messages.shown[0].text, QStringLiteral("Adding data from  ") +
                                                   QDir::toNativeSeparators(file) +
                                                   QStringLiteral(" current database."));
    EXPECT_EQ(services.messages.shown[0].kind, MessageKind::Confirmation);
    EXPECT_EQ(w.PnlTotal->text(), QStringLiteral("Records = 15"));
    EXPECT_EQ(w.windowTitle(), caption(install.programFolder().chopped(1)));

    // Merging again doubles the merged records; every record keeps a number of its own.
    services.dialogs.openFiles = {file};
    run(w, Command::MergeData);
    EXPECT_EQ(w.PnlTotal->text(), QStringLiteral("Records = 25"));
    const QStringList numbers = column(w, "RecNum");
    EXPECT_EQ(std::set<QString>(numbers.begin(), numbers.end()).size(), 25u);
    const QStringList notes = column(w, "Notes");
    EXPECT_EQ(notes.count(QStringLiteral("first\r\nline two")), 2);
    EXPECT_EQ(notes.count(QStringLiteral("last")), 2);
    // The source and the category list are untouched.
    EXPECT_EQ(recordsIn(folder).size(), 10);
    EXPECT_EQ(tabs(w), (QStringList{"All Records", "Police", "Short Wave", "Weather"}));
}

TEST_F(MaintenanceTest, MergeCancelledOrOfTheOpenTableAddsNothing)
{
    TFormMain& w = openWithCommands({{"Police", 155.1, "A1"}});
    const QString folder = makeFolder("source", {{"Air", 120.1, "B1"}});

    services.dialogs.openFiles = {folder + QStringLiteral("/larkbase.dat")};
    services.messages.answers = {QMessageBox::Cancel};
    run(w, Command::MergeData);
    EXPECT_EQ(column(w, "Callsign"), QStringList{"A1"});

    services.messages.shown.clear();
    services.dialogs.openFiles = {dataFile("larkbase.dat")};
    run(w, Command::MergeData);
    EXPECT_EQ(services.messages.texts(),
              QStringList{"The database to merge is the one in use. Choose the database of "
                          "another folder."});
    EXPECT_EQ(column(w, "Callsign"), QStringList{"A1"});
    EXPECT_TRUE(w.table().isOpen());
}

TEST_F(MaintenanceTest, AMergeThatFailsPartWayAddsNothing)
{
    TFormMain& w = openWithCommands({{"Police", 155.1, "A1"}});
    // A source whose later records cannot go into the target: more than one batch is taken
    // before the failure, and all of it must be undone.
    const QString folder = others.path() + QStringLiteral("/foreign");
    QDir().mkpath(folder);
    store::Table source;
    source.setDatabaseName(folder);
    source.setTableName(FR::TableFile);
    FR::define(source);
    std::vector<store::FieldDef> fields = source.fieldDefs();
    for (store::FieldDef& f : fields) {
        if (f.name == QLatin1String("Callsign"))
            f = {f.name, store::FieldType::Double, 0, false};
    }
    const std::vector<store::IndexDef> indexes = source.indexDefs();
    source.clearDefinitions();
    for (const auto& f : fields)
        source.addFieldDef(f);
    for (const auto& i : indexes)
        source.addIndexDef(i);
    ASSERT_TRUE(source.createTable());
    ASSERT_TRUE(source.open());
    std::vector<std::vector<QVariant>> rows;
    for (int i = 0; i < 1200; ++i) {
        std::vector<QVariant> row(fields.size() - 1);
        row[0] = QStringLiteral("Air"); // Category
        row[3] = 38313.5;               // RDate
        row[4] = 100.0 + i;             // Hz
        if (i == 1100)
            row[1] = 7.0; // Callsign: a number the target cannot take as text
        rows.push_back(row);
    }
    ASSERT_TRUE(source.bulkAppend(rows)) << source.lastError().toStdString();
    source.close();

    services.dialogs.openFiles = {folder + QStringLiteral("/larkbase.dat")};
    run(w, Command::MergeData);

    ASSERT_EQ(services.messages.shown.size(), 2u);
    EXPECT_EQ(services.messages.shown[1].text,
              QStringLiteral("The records could not be merged. Nothing was added."));
    EXPECT_FALSE(services.messages.shown[1].details.isEmpty());
    EXPECT_EQ(column(w, "Callsign"), QStringList{"A1"});
    EXPECT_EQ(w.PnlTotal->text(), QStringLiteral("Records = 1"));
    EXPECT_FALSE(w.table().inTransaction());
    // The table takes writes again afterwards.
    addRecords(w, {{"Police", 156.0, "A2"}});
    EXPECT_EQ(column(w, "Callsign"), (QStringList{"A1", "A2"}));
}

// ----------------------------------------------------------------------------------------
// Repair Database

TEST_F(MaintenanceTest, RepairAsksThenRebuildsAndReportsWhatWasLost)
{
    TFormMain& w = openWithCommands({{"Police", 155.1, "A1"}, {"Police", 155.2, "A2"}});

    services.messages.answers = {QMessageBox::No};
    run(w, Command::RepairDatabase);
    ASSERT_EQ(services.messages.shown.size(), 1u);
    const MessageRequest& ask = services.messages.shown[0];
    EXPECT_EQ(ask.caption, QStringLiteral("Confirmation Request"));
    EXPECT_EQ(ask.text, QStringLiteral("Repairing database, please confirm."));
    EXPECT_EQ(ask.helpContext, 130);
    EXPECT_EQ(ask.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Help);
    EXPECT_TRUE(w.table().isOpen());

    // A sound table: the user is told that nothing needed repair.
    services.messages.shown.clear();
    run(w, Command::RepairDatabase);
    ASSERT_EQ(services.messages.shown.size(), 2u);
    EXPECT_EQ(services.messages.shown[1].text,
              QStringLiteral("The database was checked and repaired; no record was lost."));
    EXPECT_EQ(column(w, "Callsign"), (QStringList{"A1", "A2"}));

    // A table file without its header loses its records, and the user is told.
    w.table().close();
    QFile dat(dataFile("larkbase.dat"));
    ASSERT_TRUE(dat.open(QIODevice::ReadWrite));
    dat.write(QByteArray(100, 'x'));
    dat.close();
    services.messages.shown.clear();
    run(w, Command::RepairDatabase);
    ASSERT_EQ(services.messages.shown.size(), 2u);
    EXPECT_EQ(services.messages.shown[1].text,
              QStringLiteral("The database was repaired: 0 records kept, 2 records lost. The "
                             "damaged files were kept aside."));
    EXPECT_TRUE(w.table().isOpen());
    EXPECT_EQ(w.PnlTotal->text(), QStringLiteral("Records = 0"));
}

// ----------------------------------------------------------------------------------------
// Data Backup

TEST_F(MaintenanceTest, BackupCopiesTheFourFilesAndReplacesAnOlderBackupOnlyWhenAllowed)
{
    TFormMain& w = openWithCommands({{"Police", 155.1, "A1", "a note"}});
    const QString backup = others.path() + QStringLiteral("/backup");
    QDir().mkpath(backup);
    setBackupDirectory(backup);

    // The message names the folder, and Open shows it.
    services.messages.answers = {QMessageBox::Open};
    run(w, Command::DataBackup);
    EXPECT_EQ(services.messages.texts(), QStringList{copiedTo(backup)});
    EXPECT_EQ(services.messages.shown[0].buttons, QMessageBox::Ok | QMessageBox::Open);
    ASSERT_EQ(services.desktop.opened.size(), 1u);
    EXPECT_EQ(services.desktop.opened[0], QUrl::fromLocalFile(backup));
    EXPECT_TRUE(w.table().isOpen());
    EXPECT_EQ(recordsIn(backup), QStringList{"A1|a note"});
    w.table().close();
    EXPECT_EQ(dataSet(backup), dataSet(install.programFolder()));
    w.OpenTable();

    // A later backup asks before it replaces the earlier one; No keeps it.
    addRecords(w, {{"Police", 156.0, "A2"}});
    const QList<QByteArray> first = dataSet(backup);
    services.messages.shown.clear();
    services.messages.answers = {QMessageBox::No};
    run(w, Command::DataBackup);
    ASSERT_EQ(services.messages.shown.size(), 2u);
    EXPECT_EQ(services.messages.shown[0].caption, QStringLiteral("Confirm File Replace"));
    EXPECT_EQ(services.messages.shown[1].text, QStringLiteral("Operation Aborted"));
    EXPECT_EQ(dataSet(backup), first);
    EXPECT_TRUE(w.table().isOpen());

    services.messages.shown.clear();
    run(w, Command::DataBackup);
    EXPECT_EQ(services.messages.shown.back().text, copiedTo(backup));
    EXPECT_EQ(recordsIn(backup), (QStringList{"A1|a note", "A2|"}));
    EXPECT_EQ(QDir(backup).entryList(QDir::Files).size(), 4);
}

TEST_F(MaintenanceTest, AFailedBackupSaysWhyAndLeavesTheEarlierBackupWhole)
{
    TFormMain& w = openWithCommands({{"Police", 155.1, "A1"}});
    const QString backup = others.path() + QStringLiteral("/backup");
    QDir().mkpath(backup);
    setBackupDirectory(backup);
    run(w, Command::DataBackup);
    const QList<QByteArray> earlier = dataSet(backup);
    addRecords(w, {{"Police", 156.0, "A2"}});

    struct Case
    {
        const char* what;
        std::function<void()> arrange;
        QString setting;
        QString message;
    };
    const QString missingCat = dataFile("larkbase.cat");
    const Case cases[] = {
        {"category file missing", [&] { QFile::rename(missingCat, missingCat + ".x"); }, backup,
         QStringLiteral("The file %1 does not exist.").arg(QDir::toNativeSeparators(missingCat))},
        {"chosen folder gone", [] {}, others.path() + QStringLiteral("/gone"),
         QStringLiteral("The backup folder %1 does not exist.")
             .arg(QDir::toNativeSeparators(others.path() + QStringLiteral("/gone")))},
        {"data folder itself", [] {}, install.programFolder(),
         QStringLiteral("The backup folder %1 is the data folder itself; choose another backup "
                        "folder.")
             .arg(QDir::toNativeSeparators(install.programFolder()))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.arrange();
        setBackupDirectory(c.setting);
        services.messages.shown.clear();
        run(w, Command::DataBackup);
        EXPECT_EQ(services.messages.shown.back().text, c.message);
        EXPECT_TRUE(w.table().isOpen());
        EXPECT_EQ(dataSet(backup), earlier);
        EXPECT_EQ(QDir(backup).entryList(QDir::Files).size(), 4);
        QFile::rename(missingCat + ".x", missingCat);
    }
    EXPECT_EQ(column(w, "Callsign"), (QStringList{"A1", "A2"}));
}

// Where nobody chose a folder, or the old floppy default is stored, the backup goes to a
// folder of its own in the user's documents, made when it is missing.
TEST_F(MaintenanceTest, BackupWithoutAChosenFolderGoesToTheDocumentsFolder)
{
    const QByteArray home = qgetenv("HOME");
    const QByteArray documents = qgetenv("XDG_DOCUMENTS_DIR");
    qputenv("HOME", others.path().toUtf8());
    qputenv("XDG_DOCUMENTS_DIR", (others.path() + QStringLiteral("/Documents")).toUtf8());
    TFormMain& w = openWithCommands({{"Police", 155.1, "A1", "a note"}});
    const QString folder = DatabaseMaintenance::defaultBackupDirectory();
    EXPECT_EQ(QDir::fromNativeSeparators(folder),
              others.path() + QStringLiteral("/Documents/Wavelark Backup"));
    for (const char* stored : {"", "A:\\"}) {
        SCOPED_TRACE(stored);
        QDir(folder).removeRecursively();
        if (*stored)
            setBackupDirectory(QString::fromLatin1(stored));
        services.messages.shown.clear();
        run(w, Command::DataBackup);
        EXPECT_EQ(services.messages.texts(), QStringList{copiedTo(folder)});
        EXPECT_EQ(recordsIn(folder), QStringList{"A1|a note"});
    }
    qputenv("HOME", home);
    if (documents.isNull())
        qunsetenv("XDG_DOCUMENTS_DIR");
    else
        qputenv("XDG_DOCUMENTS_DIR", documents);
}

// ----------------------------------------------------------------------------------------
// Restore From Backup

// Back up, change the table, restore: the backed-up records are back. The changed table was
// kept aside and is listed, so restoring it undoes the restore.
TEST_F(MaintenanceTest, RestoreBringsTheBackupBackAndCanItselfBeUndone)
{
    TFormMain& w = openWithCommands(
        {{"Police", 155.1, "A1", "first\r\nline two"}, {"Police", 156.0, "Ωmega"}});
    const QString backup = others.path() + QStringLiteral("/backup");
    QDir().mkpath(backup);
    setBackupDirectory(backup);
    run(w, Command::DataBackup);
    addRecords(w, {{"Police", 157.0, "LATER"}});
    const QStringList changed = column(w, "Callsign");
    ASSERT_EQ(changed, (QStringList{"A1", "Ωmega", "LATER"}));

    services.messages.shown.clear();
    services.messages.answers = {QMessageBox::Yes};
    {
        TFormRestore form(w, backup);
        ASSERT_EQ(form.sources().size(), 1u);
        EXPECT_EQ(form.sources()[0].records, 2);
        EXPECT_EQ(form.ListBackups->topLevelItem(0)->text(1), QStringLiteral("2"));
        form.BtnRestoreClick();
    }
    ASSERT_EQ(services.messages.shown.size(), 2u)
        << services.messages.texts().join('|').toStdString();
    EXPECT_EQ(services.messages.shown[0].kind, MessageKind::Confirmation);
    EXPECT_TRUE(services.messages.shown[1].text.contains("2 records"));
    EXPECT_TRUE(services.messages.shown[1].text.contains("(.old)"));
    EXPECT_TRUE(w.table().isOpen());
    EXPECT_EQ(column(w, "Callsign"), (QStringList{"A1", "Ωmega"}));
    EXPECT_EQ(column(w, "Notes").value(0), QStringLiteral("first\r\nline two"));

    // The table the restore replaced is listed beside the backup; restoring it undoes it.
    services.messages.shown.clear();
    services.messages.answers = {QMessageBox::Yes};
    {
        TFormRestore form(w, backup);
        ASSERT_EQ(form.sources().size(), 2u);
        int aside = -1;
        for (int i = 0; i < 2; ++i)
            if (form.sources()[size_t(i)].suffix == QStringLiteral(".old"))
                aside = i;
        ASSERT_GE(aside, 0);
        EXPECT_EQ(form.sources()[size_t(aside)].records, 3);
        form.ListBackups->setCurrentItem(form.ListBackups->topLevelItem(aside));
        form.BtnRestoreClick();
    }
    EXPECT_EQ(column(w, "Callsign"), changed);
    // Nothing was ever deleted: both earlier tables are still kept aside.
    EXPECT_TRUE(QFileInfo::exists(dataFile("larkbase.dat.old")));
    EXPECT_TRUE(QFileInfo::exists(dataFile("larkbase.dat.old2")));
}

// A backup with a file missing, or whose table is damaged, is refused with the reason, and
// the table in use stays as it was.
TEST_F(MaintenanceTest, AnIncompleteOrDamagedBackupIsRefusedAndNothingReplaced)
{
    TFormMain& w = openWithCommands({{"Police", 155.1, "A1"}});
    const struct
    {
        const char* what;
        std::function<void(const QString&)> spoil;
        QString reason;
    } cases[] = {
        {"index missing", [](const QString& f) { QFile::remove(f + "/larkbase.idx"); },
         QStringLiteral("is incomplete: larkbase.idx is missing.")},
        {"categories and memo missing",
         [](const QString& f) {
             QFile::remove(f + "/larkbase.cat");
             QFile::remove(f + "/larkbase.blb");
         },
         QStringLiteral("is incomplete: larkbase.blb, larkbase.cat are missing.")},
        {"table overwritten",
         [](const QString& f) { writeBytes(f + "/larkbase.dat", "not a table"); },
         QStringLiteral("is damaged")},
        {"table cut short",
         [](const QString& f) {
             QFile file(f + "/larkbase.dat");
             ASSERT_TRUE(file.resize(100));
         },
         QStringLiteral("is damaged")},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString folder =
            makeFolder((QByteArray("spoilt") + QByteArray::number(++n)).constData(),
                       {{"Police", 1.0, "OLD"}}, "Police\r\n");
        c.spoil(folder);
        const BackupRestore::Source source = BackupRestore::inspect(folder);
        EXPECT_FALSE(source.usable());
        EXPECT_TRUE(source.problem.contains(c.reason)) << source.problem.toStdString();
        const QStringList before = QDir(folder).entryList(QDir::Files);

        services.messages.shown.clear();
        TFormRestore form(w, folder);
        ASSERT_EQ(form.sources().size(), 1u);
        EXPECT_FALSE(form.ListBackups->topLevelItem(0)->flags() & Qt::ItemIsEnabled);
        EXPECT_EQ(form.ListBackups->topLevelItem(0)->text(2), source.problem);
        form.BtnRestoreClick();
        EXPECT_EQ(services.messages.texts(),
                  QStringList{QStringLiteral("Please choose a backup to restore.")});

        // The engine refuses it too, even when asked directly.
        w.table().close();
        const BackupRestore::Outcome done = BackupRestore::restore(install.programFolder(), source);
        w.OpenTable();
        EXPECT_FALSE(done.status);
        EXPECT_EQ(done.status.error, source.problem);
        EXPECT_EQ(column(w, "Callsign"), QStringList{"A1"});
        EXPECT_FALSE(QFileInfo::exists(dataFile("larkbase.dat.old")));
        EXPECT_EQ(QDir(folder).entryList(QDir::Files), before);
    }
}

TEST_F(MaintenanceTest, SetDataBackupFolder)
{
    TFormMain& w = openWithCommands();
    const QString chosen = others.path();
    struct Case
    {
        const char* stored; // nullptr: never set
        QMessageBox::StandardButton answer;
        QString folder; // empty: the chooser is cancelled
        QString message;
        QString after;
    };
    const QString byDefault = QStringLiteral("The default databack destination is ") +
                              DatabaseMaintenance::defaultBackupDirectory() +
                              QStringLiteral(". To change this click OK.");
    const Case cases[] = {
        {nullptr, QMessageBox::Ok, chosen, byDefault, chosen},
        {"A:\\", QMessageBox::Cancel, chosen, byDefault, "A:\\"},
        {"D:\\Backup", QMessageBox::Ok, QString(),
         "Databack destination is D:\\Backup. To change this click OK.", "D:\\Backup"},
        {"D:\\Backup", QMessageBox::Ok, chosen,
         "Databack destination is D:\\Backup. To change this click OK.", chosen},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.toStdString() + " / " + c.after.toStdString());
        if (c.stored)
            setBackupDirectory(QString::fromUtf8(c.stored));
        services.messages.shown.clear();
        services.messages.answers = {c.answer};
        services.dialogs.captions.clear();
        services.dialogs.folders = {c.folder};
        run(w, Command::BackupFolder);
        ASSERT_EQ(services.messages.shown.size(), 1u);
        EXPECT_EQ(services.messages.shown[0].caption, QStringLiteral("Changing Databackup Drive"));
        EXPECT_EQ(services.messages.shown[0].text, c.message);
        EXPECT_EQ(services.dialogs.captions.isEmpty(), c.answer != QMessageBox::Ok);
        if (c.answer == QMessageBox::Ok) {
            EXPECT_EQ(services.dialogs.captions[0],
                      QStringLiteral("Select Data Backup Drive/Folder and click OK"));
        }
        EXPECT_EQ(backupSetting(), c.after);
        services.dialogs.folders.clear();
    }
}

// The chooser remembers the folder it last chose, and a cancelled choice changes nothing.
class StartRecordingDialogs : public test::FakeDialogs
{
public:
    QStringList starts;
    QString folder(QWidget* parent, const QString& caption, const QString& start) override
    {
        starts << start;
        return FakeDialogs::folder(parent, caption, start);
    }
};

TEST_F(MaintenanceTest, TheFolderChooserStartsWhereItLastEnded)
{
    StartRecordingDialogs dialogs;
    UiServices::setDialogs(&dialogs);
    TFormMain& w = openWithCommands();
    const QString fresh = others.path() + QStringLiteral("/fresh");
    QDir().mkpath(fresh);

    dialogs.folders = {fresh};
    run(w, Command::NewDatabase);
    run(w, Command::BackupFolder); // chooser cancelled
    run(w, Command::BackupFolder);
    UiServices::setDialogs(&services.dialogs);

    EXPECT_EQ(dialogs.starts, (QStringList{install.programFolder().chopped(1), fresh, fresh}));
    EXPECT_EQ(backupSetting(), QStringLiteral("<none>"));
}

} // namespace
} // namespace wl
