#pragma once

#include "map/CityFiles.h"
#include "map/CityLayer.h"

#include <QWidget>

#include <optional>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace wl {

class CityListModel;
class GlobeLayer;
class GlobeObject;
class MapHost;

// The city editor panel of the map window: lists the all-cities or custom-cities layer,
// edits, adds and deletes cities and saves the city files.
//
// The list refers to cities by their index in the shown layer and every change of the layer
// refills it, so no row outlives the city it shows. The chosen city is looked up by that
// index whenever it is used.
class CityEditor : public QWidget
{
    Q_OBJECT
public:
    static constexpr int AllCitiesLayer = 4;
    static constexpr int CustomCitiesLayer = 5;
    static constexpr int HelpContext = 112;
    static constexpr int MapHelpContext = 110;

    explicit CityEditor(MapHost& host, QWidget* parent = nullptr);
    ~CityEditor() override;

    // Shows the panel with the all-cities list ("Edit Cities").
    void open();
    bool isOpen() const { return isVisible(); }
    // A city picked on the globe while the panel is open.
    void takeCity(GlobeObject& city);

    // Where saved lists go when the program folder cannot be written; by default the
    // platform's data folder.
    void setUserFolder(const QString& folder);
    const CityFiles& files() const { return m_files; }

    bool newCityPending() const { return m_newPending; }
    bool editPending() const { return m_editPending; }
    bool customListShown() const;
    // The index of the chosen city in the shown layer, -1 for none.
    int chosenIndex() const { return m_chosen; }

    // The handlers, one per control action.
    void RG1Click();
    void UpdateCityList();
    void ListLocationsClick(int row);
    void EditTitleChange();
    void EditLatChange();
    void BtnEditClick();
    void BtnNewCityClick();
    void BtnSaveEditClick();
    void BtnCancelClick();
    void BtnDelClick();
    void BtnAddCustomClick();
    void BtnCloseClick();

    QGroupBox* RG1 = nullptr;
    QRadioButton* RG1All = nullptr;
    QRadioButton* RG1Custom = nullptr;
    QListView* ListLocations = nullptr;
    QLabel* LblTotal = nullptr;
    QLineEdit* EditTitle = nullptr;
    QLineEdit* EditLat = nullptr;
    QLineEdit* EditLon = nullptr;
    QPushButton* BtnEdit = nullptr;
    QPushButton* BtnNewCity = nullptr;
    QPushButton* BtnDel = nullptr;
    QPushButton* BtnSaveEdit = nullptr;
    QToolButton* BtnCancel = nullptr;
    QPushButton* BtnAddCustom = nullptr;
    QToolButton* BtnClose = nullptr;

private:
    void build();
    void connectControls();
    GlobeLayer* cityLayer(int index) const;
    GlobeLayer* shownLayer() const;
    GlobeObject* chosenCity() const;
    const QString& shownFile() const;
    // Makes the row the chosen city and fills the boxes; selects and centres it on request.
    void choose(int row, bool centre);
    void fillBoxes(const GlobeObject& city);
    void clearChoice();
    void setEditsEnabled(bool enabled);
    void emptyEdits();
    void setPending(bool newCity, bool edit);
    void loadShownFile();
    bool saveShownLayer();
    void showListRow(int row);
    bool ask(const QString& caption, const QString& text) const;

    MapHost& m_host;
    CityFiles m_files;
    CityListModel* m_model = nullptr;
    QButtonGroup* m_listChoice = nullptr;
    bool m_newPending = false;
    bool m_editPending = false;
    int m_chosen = -1;
    // An all-cities city picked on the globe while the custom list is shown: what
    // "Add Custom City" then adds.
    std::optional<CityRecord> m_picked;
    bool m_filling = false; // the program, not the user, is moving the list selection
};

} // namespace wl
