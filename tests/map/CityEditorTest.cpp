// The city editor over a real control and real city files: what the list shows, live editing,
// New, Save, Cancel, Delete, Add Custom City, closing with pending work, and where the files go.
#include "CityTestSupport.h"

#include "globe/GlobeText.h"
#include "map/CityEditor.h"
#include "map/CityFiles.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>

namespace wl::test {
namespace {

const std::vector<City> Cities = {
    {"Paris", 48.8667, 2.34}, {"Oslo", 59.9167, 10.75}, {"Lima", -12.05, -77.05}, {"abc", 1, 1},
    {"Zurich", 47.37, 8.54},
};

class CityEditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ensureApplication();
        editor.setUserFolder(host.userFolder());
        editor.open();
    }

    GlobeLayer& all() { return host.control.layer(CityEditor::AllCitiesLayer); }
    GlobeLayer& custom() { return host.control.layer(CityEditor::CustomCitiesLayer); }

    QStringList rows() const
    {
        QStringList shown;
        QAbstractItemModel* m = editor.ListLocations->model();
        for (int r = 0; r < m->rowCount(); ++r)
            shown << m->index(r, 0).data().toString();
        return shown;
    }

    int rowOf(const char* title) const { return rows().indexOf(QString::fromLatin1(title)); }

    void choose(const char* title)
    {
        const int row = rowOf(title);
        ASSERT_GE(row, 0) << title;
        editor.ListLocations->setCurrentIndex(editor.ListLocations->model()->index(row, 0));
    }

    // As typing does: the box changes and says that the user changed it.
    static void type(QLineEdit* box, const QString& text)
    {
        box->setText(text);
        emit box->textEdited(text);
    }

    ServiceDoubles services;
    FakeMapHost host{Cities, {{"Kyiv", 50.45, 30.52}}};
    CityEditor editor{host};
};

TEST_F(CityEditorTest, OpensOnTheAllCitiesListLoadedAtOnce)
{
    // The shipped profile loads the cities only when a render comes into their zoom range;
    // the editor needs them now and must not lose them to a render out of that range.
    EXPECT_TRUE(editor.isOpen());
    EXPECT_EQ(rows(), (QStringList{"Paris", "Oslo", "Lima", "abc", "Zurich"}));
    EXPECT_EQ(editor.LblTotal->text(), "Total = 5");
    EXPECT_FALSE(all().loadOnDemand);
    EXPECT_EQ(host.helpContexts, std::vector<int>{CityEditor::HelpContext});
    EXPECT_EQ(host.cityLayer, CityEditor::AllCitiesLayer);
    for (QLineEdit* box : {editor.EditTitle, editor.EditLat, editor.EditLon})
        EXPECT_FALSE(box->isEnabled());
    EXPECT_FALSE(editor.BtnAddCustom->isEnabled());
}

TEST_F(CityEditorTest, ChoosingFillsTheBoxesAndEditingKeepsTheHemispheres)
{
    choose("Paris");
    EXPECT_EQ(editor.EditTitle->text(), "Paris");
    EXPECT_EQ(editor.EditLat->text(), "48 52 N");
    EXPECT_EQ(editor.EditLon->text(), "2 20 E");
    EXPECT_EQ(host.control.selectedObjectValue(), all().object(0));
    EXPECT_TRUE(editor.BtnAddCustom->isEnabled());

    editor.BtnEditClick();
    type(editor.EditLat, QStringLiteral("50 10 N"));
    const LLPoint moved = all().object(0)->location();
    EXPECT_EQ(moved.lat, strToGU("50 10 N", "%d %m %N"));
    EXPECT_EQ(moved.lon, strToGU("2 20 E", "%d %m %E")); // still East
    type(editor.EditLon, QStringLiteral("3 00 W"));
    EXPECT_EQ(all().object(0)->location().lon, -3 * 5400000);

    type(editor.EditTitle, QStringLiteral("Paris-Ville"));
    EXPECT_EQ(all().object(0)->title(), "Paris-Ville");
    EXPECT_EQ(rows().front(), "Paris-Ville");
}

TEST_F(CityEditorTest, TypingWithNoChosenCityChangesNothing)
{
    editor.BtnEditClick();
    EXPECT_EQ(services.messages.texts(), QStringList{"Please select city to edit."});
    type(editor.EditTitle, QStringLiteral("Nowhere"));
    type(editor.EditLat, QStringLiteral("10 00 S"));
    EXPECT_EQ(titlesOf(all()), (QStringList{"Paris", "Oslo", "Lima", "abc", "Zurich"}));
    EXPECT_EQ(all().object(0)->location().lat, degToGU(48.8667));
}

TEST_F(CityEditorTest, NewCityStandsAtHomeNamedCityName)
{
    // As the map leaves it after drawing the home marker.
    host.control.fontData = FontData{"Arial", FontBold, 0, 11, GlobeUnits::NauticalMile, 255};
    editor.BtnNewCityClick();
    ASSERT_EQ(all().objectCount(), 6);
    const GlobeObject& city = *all().object(5);
    EXPECT_EQ(dynamic_cast<const GlobeText&>(city).font,
              dynamic_cast<const GlobeText&>(*all().object(0)).font);
    EXPECT_EQ(city.title(), "City Name");
    EXPECT_EQ(city.location().lat, degToGU(27.20));
    EXPECT_EQ(city.location().lon, -degToGU(80.27)); // the home text is West positive
    EXPECT_EQ(editor.chosenIndex(), 5);
    EXPECT_EQ(editor.EditTitle->text(), "City Name");
    EXPECT_EQ(editor.EditLat->text(), "27 12 N");
    EXPECT_EQ(editor.EditLon->text(), "80 16 W");
    EXPECT_TRUE(editor.newCityPending());
    EXPECT_TRUE(editor.EditTitle->isEnabled());
    EXPECT_EQ(editor.LblTotal->text(), "Total = 6");
}

TEST_F(CityEditorTest, SaveSortsByBytesWritesTheFileAndKeepsTheChosenCity)
{
    editor.BtnNewCityClick();
    type(editor.EditTitle, QStringLiteral("Bern"));
    editor.BtnSaveEditClick();

    const QStringList sorted{"Bern", "Lima", "Oslo", "Paris", "Zurich", "abc"};
    EXPECT_EQ(titlesOf(all()), sorted);
    EXPECT_EQ(rows(), sorted);
    EXPECT_EQ(titlesInFile(host.dataFile("Cities.dat")), sorted);
    EXPECT_FALSE(editor.newCityPending());
    EXPECT_FALSE(editor.EditTitle->isEnabled());
    EXPECT_EQ(editor.chosenIndex(), 0);
    EXPECT_EQ(editor.EditTitle->text(), "Bern");
    EXPECT_EQ(host.control.selectedObjectValue(), all().object(0));
    EXPECT_TRUE(services.messages.shown.empty());
}

TEST_F(CityEditorTest, SaveCutsLongTitlesAndFindsTheCityAgain)
{
    choose("Oslo");
    editor.BtnEditClick();
    type(editor.EditTitle, QString(70, QChar(0xF8))); // ø: one byte in the file, two in UTF-8
    editor.BtnSaveEditClick();
    const QString stored = QString(64, QChar(0xF8));
    EXPECT_EQ(titlesInFile(host.dataFile("Cities.dat")).last(), stored);
    ASSERT_GE(editor.chosenIndex(), 0);
    EXPECT_EQ(QString::fromLatin1(all().object(editor.chosenIndex())->title()), stored);
    EXPECT_EQ(editor.EditTitle->text(), stored);
}

TEST_F(CityEditorTest, SaveWithAnEmptyListIsHarmless)
{
    while (all().objectCount() > 0) {
        choose(rows().front().toLatin1().constData());
        editor.BtnDelClick();
    }
    editor.BtnSaveEditClick();
    EXPECT_EQ(editor.chosenIndex(), -1);
    EXPECT_TRUE(titlesInFile(host.dataFile("Cities.dat")).isEmpty());
    EXPECT_EQ(editor.LblTotal->text(), "Total = 0");
}

TEST_F(CityEditorTest, CancelDropsUnsavedChangesAndNoRowOutlivesItsCity)
{
    choose("Lima");
    editor.BtnEditClick();
    type(editor.EditTitle, QStringLiteral("Callao"));
    editor.BtnNewCityClick();
    editor.BtnCancelClick();

    EXPECT_EQ(titlesOf(all()), (QStringList{"Paris", "Oslo", "Lima", "abc", "Zurich"}));
    EXPECT_EQ(rows(), titlesOf(all()));
    EXPECT_FALSE(editor.newCityPending());
    EXPECT_FALSE(editor.editPending());
    EXPECT_EQ(editor.chosenIndex(), -1);
    EXPECT_TRUE(editor.EditTitle->text().isEmpty());
    // The objects chosen before were freed by the reload; typing now must touch nothing.
    type(editor.EditTitle, QStringLiteral("Ghost"));
    EXPECT_EQ(titlesOf(all()), (QStringList{"Paris", "Oslo", "Lima", "abc", "Zurich"}));
}

TEST_F(CityEditorTest, DeleteAsksThenSavesAtOnce)
{
    choose("Oslo");
    services.messages.answers = {QMessageBox::No};
    editor.BtnDelClick();
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].caption, "Deleting City.");
    EXPECT_EQ(services.messages.shown[0].text, "Deleting Oslo, please confirm.");
    EXPECT_EQ(services.messages.shown[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(all().objectCount(), 5);

    services.messages.answers = {QMessageBox::Yes};
    editor.BtnDelClick();
    const QStringList left{"Paris", "Lima", "abc", "Zurich"};
    EXPECT_EQ(titlesOf(all()), left);
    EXPECT_EQ(rows(), left);
    EXPECT_EQ(titlesInFile(host.dataFile("Cities.dat")), left);
    EXPECT_EQ(editor.LblTotal->text(), "Total = 4");
    EXPECT_EQ(editor.chosenIndex(), -1);
    EXPECT_TRUE(editor.EditTitle->text().isEmpty());

    services.messages.shown.clear();
    editor.BtnDelClick(); // nothing chosen: nothing asked
    EXPECT_TRUE(services.messages.shown.empty());
}

TEST_F(CityEditorTest, AddCustomCityCopiesItIntoTheSortedCustomFile)
{
    choose("Oslo");
    editor.BtnAddCustomClick();

    EXPECT_TRUE(editor.customListShown());
    EXPECT_EQ(host.cityLayer, CityEditor::CustomCitiesLayer);
    EXPECT_EQ(titlesOf(custom()), (QStringList{"Kyiv", "Oslo"}));
    EXPECT_EQ(rows(), (QStringList{"Kyiv", "Oslo"}));
    EXPECT_EQ(titlesInFile(host.dataFile("CustomCities.dat")), (QStringList{"Kyiv", "Oslo"}));
    EXPECT_EQ(custom().object(1)->location().lon, degToGU(10.75));
    EXPECT_EQ(titlesInFile(host.dataFile("Cities.dat")),
              (QStringList{"Paris", "Oslo", "Lima", "abc", "Zurich"}));
    EXPECT_EQ(all().objectCount(), 5); // a copy: the city stays on the globe
    EXPECT_FALSE(editor.BtnAddCustom->isEnabled());
    EXPECT_FALSE(editor.BtnSaveEdit->isEnabled());
    EXPECT_FALSE(editor.BtnNewCity->isEnabled());

    // A city picked on the globe while the custom list is shown can be added too.
    editor.takeCity(*all().object(2));
    EXPECT_EQ(editor.EditTitle->text(), "Lima");
    EXPECT_EQ(editor.chosenIndex(), -1);
    ASSERT_TRUE(editor.BtnAddCustom->isEnabled());
    editor.BtnAddCustomClick();
    EXPECT_EQ(titlesInFile(host.dataFile("CustomCities.dat")),
              (QStringList{"Kyiv", "Lima", "Oslo"}));
}

TEST_F(CityEditorTest, SwitchingListsReloadsTheAllCitiesFile)
{
    choose("Paris");
    editor.BtnEditClick();
    type(editor.EditTitle, QStringLiteral("Changed"));
    editor.RG1Custom->setChecked(true);
    EXPECT_EQ(rows(), QStringList{"Kyiv"});
    EXPECT_EQ(editor.LblTotal->text(), "Total = 1");
    EXPECT_TRUE(editor.editPending()); // the change is still in memory
    editor.RG1All->setChecked(true);
    EXPECT_EQ(rows().front(), "Paris");
    EXPECT_FALSE(editor.editPending());
}

TEST_F(CityEditorTest, PickedCityBecomesTheChosenRow)
{
    editor.takeCity(*all().object(4));
    EXPECT_EQ(editor.chosenIndex(), 4);
    EXPECT_EQ(editor.ListLocations->currentIndex().row(), 4);
    EXPECT_EQ(editor.EditTitle->text(), "Zurich");
    EXPECT_TRUE(editor.BtnAddCustom->isEnabled());
}

TEST_F(CityEditorTest, ClosingWithPendingWorkAsksEachQuestion)
{
    editor.BtnNewCityClick();
    editor.BtnEditClick();
    services.messages.answers = {QMessageBox::No};
    editor.BtnCloseClick();
    EXPECT_TRUE(editor.isOpen() || !editor.isHidden());
    EXPECT_EQ(services.messages.texts(), QStringList{"New City not saved, exit anyway?"});

    services.messages.shown.clear();
    services.messages.answers = {QMessageBox::Yes, QMessageBox::No};
    editor.BtnCloseClick();
    EXPECT_EQ(services.messages.texts(), (QStringList{"New City not saved, exit anyway?",
                                                      "City Edit not saved, exit anyway?"}));
    EXPECT_EQ(services.messages.shown[1].caption, "Edit Not Saved");
    EXPECT_FALSE(editor.isHidden());

    services.messages.answers = {QMessageBox::Yes, QMessageBox::Yes};
    editor.BtnCloseClick();
    EXPECT_TRUE(editor.isHidden());
    EXPECT_EQ(host.helpContexts.back(), CityEditor::MapHelpContext);
    EXPECT_EQ(all().objectCount(), 6); // unsaved work stays in memory
}

TEST(CityEditorList, ShowsAtMostTheListBoxLimitAndCountsAll)
{
    ensureApplication();
    ServiceDoubles services;
    std::vector<City> many;
    static std::vector<std::string> names;
    names.clear();
    for (int i = 0; i < 32705; ++i)
        names.push_back("C" + std::to_string(i));
    for (const std::string& n : names)
        many.push_back({n.c_str(), 10, 10});
    FakeMapHost host(many);
    CityEditor editor(host);
    editor.setUserFolder(host.userFolder());
    editor.open();
    EXPECT_EQ(editor.ListLocations->model()->rowCount(), 32701);
    EXPECT_EQ(editor.LblTotal->text(), "Total = 32705");
}

TEST(CityFilesPlace, SavesToTheUserCopyWhenTheProgramFolderCannotBeWritten)
{
    ensureApplication();
    ServiceDoubles services;
    FakeMapHost host({{"Paris", 48.8667, 2.3333}});
    QTemporaryDir other;
    // A program folder below a plain file can be neither created nor written.
    QFile blocker(other.path() + QStringLiteral("/file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    CityFiles files(other.path() + QStringLiteral("/file/program/"), host.userFolder());
    GlobeLayer& layer = host.control.layer(CityEditor::AllCitiesLayer);
    // Loaded on demand and not rendered yet: nothing to write, and the file must survive.
    EXPECT_NE(files.save(layer, CityFiles::AllCities), QString());
    EXPECT_FALSE(QFileInfo::exists(files.userCopy(CityFiles::AllCities)));
    ASSERT_EQ(CityFiles(host.folder(), host.userFolder()).adopt(layer, CityFiles::AllCities),
              QString());
    EXPECT_EQ(files.save(layer, CityFiles::AllCities), QString());
    EXPECT_EQ(titlesInFile(files.userCopy(CityFiles::AllCities)), QStringList{"Paris"});
    EXPECT_EQ(files.readPath(CityFiles::AllCities), files.userCopy(CityFiles::AllCities));
}

TEST(CityFilesPlace, ReadsAndWritesTheUserCopyOnceItExists)
{
    ensureApplication();
    ServiceDoubles services;
    FakeMapHost host({{"Paris", 48.8667, 2.3333}});
    writeCityFile(host.userFolder() + QStringLiteral("Globe Data/Cities.dat"),
                  {{"Berlin", 52.5, 13.4}, {"Aarhus", 56.15, 10.2}});
    CityEditor editor(host);
    editor.setUserFolder(host.userFolder());
    editor.open(); // the profile loaded the program's copy; the editor takes the user's
    EXPECT_EQ(titlesOf(host.control.layer(CityEditor::AllCitiesLayer)),
              (QStringList{"Berlin", "Aarhus"}));
    editor.BtnSaveEditClick();
    EXPECT_EQ(titlesInFile(host.userFolder() + QStringLiteral("Globe Data/Cities.dat")),
              (QStringList{"Aarhus", "Berlin"}));
    EXPECT_EQ(titlesInFile(host.dataFile("Cities.dat")), QStringList{"Paris"});
}

TEST(CityFilesPlace, AReportedWriteErrorLeavesTheFileAlone)
{
    ensureApplication();
    ServiceDoubles services;
    FakeMapHost host({{"Paris", 48.8667, 2.3333}});
    CityEditor editor(host);
    QTemporaryDir other;
    QFile blocker(other.path() + QStringLiteral("/file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    editor.setUserFolder(other.path() + QStringLiteral("/file/user/"));
    editor.open();
    // Make the program copy a folder: it cannot be replaced, and the user copy cannot be made.
    const QString target = host.dataFile("Cities.dat");
    ASSERT_TRUE(QFile::remove(target));
    ASSERT_TRUE(QDir().mkpath(target + QStringLiteral("/x")));
    editor.BtnSaveEditClick();
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].text, "The city list could not be saved.");
    EXPECT_FALSE(services.messages.shown[0].details.isEmpty());
}

} // namespace
} // namespace wl::test
