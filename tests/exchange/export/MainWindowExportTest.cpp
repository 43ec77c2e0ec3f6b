// The main window's Export command on real records: files carry whole fields read from the
// table, and the log formats for other programs are offered beside the grid's formats.
#include "ExportTestSupport.h"

#include "app/AppTestSupport.h"
#include "app/RecordCells.h"
#include "app/RecordList.h"
#include "app/TFormMain.h"
#include "app/services/ServiceDoubles.h"
#include "exchange/export/ExportCommands.h"
#include "exchange/export/TExportChoiceForm.h"
#include "grid/TSortableGrid.h"
#include "store/PositionText.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTimer>

namespace wl {
namespace {

QString longNote()
{
    QString note;
    for (int line = 1; note.size() < 2000; ++line)
        note += QStringLiteral("Line %1: \u00c5se heard the relay.\n").arg(line);
    note.truncate(2000);
    return note;
}

// Picks a format in the next choice dialog and saves to a file.
void chooseFile(const QString& format, QStringList* offered = nullptr, bool* viewEnabled = nullptr)
{
    QTimer::singleShot(0, [=] {
        auto* form = qobject_cast<TExportChoiceForm*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        if (offered) {
            for (int i = 0; i < form->ExportTypeComboBox->count(); ++i)
                *offered << form->ExportTypeComboBox->itemText(i);
        }
        form->ExportTypeComboBox->setCurrentText(format);
        if (viewEnabled)
            *viewEnabled = form->ViewRadioButton->isEnabled();
        form->FileRadioButton->click();
        form->OKBtn->click();
    });
}

class MainWindowExportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::ensureApplication();
        LocaleInfo::setCurrent(LocaleInfo());
    }

    // Appends a record; west-positive longitude, the position text only with a position.
    static void append(store::Table& table, const QString& callsign, double hz,
                       const QString& notes, std::optional<std::pair<double, double>> position)
    {
        ASSERT_TRUE(table.append());
        table.setFieldValue(QStringLiteral("Category"), QStringLiteral("Short Wave"));
        table.setFieldValue(QStringLiteral("Hz"), hz);
        table.setFieldValue(QStringLiteral("Callsign"), callsign);
        table.setFieldValue(QStringLiteral("Notes"), notes);
        table.setFieldValue(QStringLiteral("RDate"), 46000.5);
        const auto [lat, lon] = position.value_or(std::pair{0.0, 0.0});
        table.setFieldValue(QStringLiteral("RLat"), lat);
        table.setFieldValue(QStringLiteral("RLon"), lon);
        if (position)
            table.setFieldValue(QStringLiteral("Position"), store::positionText(lat, lon));
        ASSERT_TRUE(table.post()) << table.lastError().toStdString();
    }

    test::ServiceDoubles services;
};

TEST_F(MainWindowExportTest, FilesCarryWholeNotesAndTheLogFormatsAreOffered)
{
    test::TempInstall install;
    TFormMain main(install.setup());
    main.show();
    installExportCommands(main);
    const QString note = longNote();
    append(main.table(), QStringLiteral("LONG"), 9.58, note, std::pair{0.0, 78.5});
    append(main.table(), QStringLiteral("EDITED"), 14.2, QStringLiteral("as stored"), std::nullopt);
    main.ReadAllRecords();
    TSortableGrid& grid = *main.SortableGrid1;
    ASSERT_EQ(grid.RowCount(), 3);
    const int notesColumn = RecordList::columnOfSlot(grid, RecordCells::NotesSlot);
    ASSERT_GE(notesColumn, 0);
    // The grid shows the first characters on one line; a cell changed in the grid and not
    // saved is exported as it stands.
    EXPECT_EQ(grid.Cells(notesColumn, 1).size(), RecordCells::LongestText);
    grid.SetCells(notesColumn, 2, QStringLiteral("typed in the grid"));

    const QString csv = install.programFolder() + QStringLiteral("log.csv");
    services.dialogs.saveFiles = {csv};
    QStringList offered;
    chooseFile(QStringLiteral("Comma-Delimited Text (CSV)"), &offered);
    main.action(Command::Export)->trigger();
    // Single-byte text, as every letter here is in the code page.
    const QString text = QString::fromLatin1(test::bytesOf(csv));
    QString quoted = note;
    EXPECT_TRUE(text.contains(u'"' + quoted.replace(u'\n', QStringLiteral("\r\n")) + u'"') ||
                text.contains(u'"' + note + u'"'))
        << text.mid(200, 400).toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\"typed in the grid\"")));
    EXPECT_FALSE(text.contains(QStringLiteral("as stored")));

    // The log for other programs, saved to a file only, from the grid's records.
    for (const QString& name : {QStringLiteral("ADIF listening log (.adi)"),
                                QStringLiteral("Plotted records as KML placemarks (.kml)"),
                                QStringLiteral("Plotted records as GeoJSON points (.geojson)")})
        EXPECT_TRUE(offered.contains(name)) << name.toStdString();
    const QString adi = install.programFolder() + QStringLiteral("log.adi");
    services.dialogs.saveFiles = {adi};
    services.messages.shown.clear();
    bool viewEnabled = true;
    chooseFile(QStringLiteral("ADIF listening log (.adi)"), nullptr, &viewEnabled);
    main.action(Command::Export)->trigger();
    EXPECT_FALSE(viewEnabled);
    const QByteArray adif = test::bytesOf(adi);
    EXPECT_TRUE(adif.contains("<CALL:4>LONG ")) << adif.constData();
    EXPECT_TRUE(adif.contains("<LAT:11>N000 00.000 <LON:11>W078 30.000 "));
    EXPECT_TRUE(
        adif.contains("<NOTES:" + QByteArray::number(note.toUtf8().size()) + '>' + note.toUtf8()));
    EXPECT_TRUE(
        services.messages.texts().join(u'\n').contains(QStringLiteral("2 records exported")))
        << services.messages.texts().join(u'\n').toStdString();
}

// A format that cannot hold line breaks in a cell writes blanks and tells the user once, with
// the number of cells, through the program's message service; a format that holds them is
// silent.
TEST_F(MainWindowExportTest, BlankedLineBreaksAreToldOnce)
{
    test::TempInstall install;
    TFormMain main(install.setup());
    main.show();
    installExportCommands(main);
    append(main.table(), QStringLiteral("TWO"), 9.58, QStringLiteral("first\nsecond"),
           std::nullopt);
    append(main.table(), QStringLiteral("ONE"), 14.2, QStringLiteral("a\r\nb\nc"), std::nullopt);
    append(main.table(), QStringLiteral("NONE"), 15.1, QStringLiteral("plain"), std::nullopt);
    main.ReadAllRecords();

    const QString tab = install.programFolder() + QStringLiteral("log.txt");
    services.dialogs.saveFiles = {tab};
    chooseFile(QStringLiteral("Tab-Delimited Text"));
    main.action(Command::Export)->trigger();
    const QString blanked = QStringLiteral(
        "Line breaks in 2 cells were written as blanks: this format cannot hold them.");
    EXPECT_EQ(services.messages.texts().count(blanked), 1)
        << services.messages.texts().join(u'\n').toStdString();
    const QByteArray bytes = test::bytesOf(tab);
    EXPECT_TRUE(bytes.contains("first second")) << bytes.constData();
    EXPECT_TRUE(bytes.contains("a b c")) << bytes.constData();

    services.messages.shown.clear();
    services.dialogs.saveFiles = {install.programFolder() + QStringLiteral("log.csv")};
    chooseFile(QStringLiteral("Comma-Delimited Text (CSV)"));
    main.action(Command::Export)->trigger();
    EXPECT_FALSE(services.messages.texts().join(u'\n').contains(QStringLiteral("as blanks")));
}

// The HTML page's title names the log and the category shown; its "Created:" line uses the
// clock chosen in the preferences, against what the system's locale would give.
TEST_F(MainWindowExportTest, HtmlPageNamesTheLogAndFollowsTheChosenClock)
{
    test::TempInstall install;
    TFormMain main(install.setup());
    main.show();
    installExportCommands(main);
    append(main.table(), QStringLiteral("R\u00e5dio \u041c\u0438\u0440"), 9.58,
           QStringLiteral("note"), std::nullopt);
    main.ReadAllRecords();
    const QString category = main.Tab1->tabText(main.Tab1->currentIndex());
    ASSERT_FALSE(category.isEmpty());

    struct Case
    {
        int dateOption;
        bool system24Hour;
        bool expect24Hour;
    };
    // A "Created: <date> hh:mm:ss" line with the hour in two digits and no AM/PM mark.
    const QRegularExpression clock24(QStringLiteral("Created: \\S+ \\d\\d:\\d\\d:\\d\\d<br>"));
    const QRegularExpression clock12(
        QStringLiteral("Created: \\S+ \\d{1,2}:\\d\\d:\\d\\d (AM|PM)<br>"));
    for (const Case& c : {Case{1, false, true}, Case{0, true, false}, Case{2, true, false}}) {
        LocaleInfo locale;
        locale.time24Hour = c.system24Hour;
        LocaleInfo::setCurrent(locale);
        main.settings().dateOption = quint8(c.dateOption);
        const QString file =
            install.programFolder() + QStringLiteral("log%1.html").arg(c.dateOption);
        services.dialogs.saveFiles = {file};
        chooseFile(QStringLiteral("HTML"));
        main.action(Command::Export)->trigger();
        const QString page = QString::fromUtf8(test::bytesOf(file));
        const QString title = page.section(QStringLiteral("<title>"), 1, 1)
                                  .section(QStringLiteral("</title>"), 0, 0);
        EXPECT_TRUE(title.contains(QStringLiteral("larkbase.dat"))) << title.toStdString();
        EXPECT_TRUE(title.endsWith(QStringLiteral(" - ") + category)) << title.toStdString();
        EXPECT_TRUE((c.expect24Hour ? clock24 : clock12).match(page).hasMatch())
            << "option " << c.dateOption << ": " << page.left(600).toStdString();
    }
}

} // namespace
} // namespace wl
