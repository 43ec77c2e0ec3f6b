#include "map/CityEditor.h"

#include "app/Glyphs.h"
#include "app/WaitCursor.h"
#include "app/services/CaptionedMessage.h"
#include "globe/AngleText.h"
#include "globe/GlobeControl.h"
#include "globe/GlobeLayer.h"
#include "globe/GlobePointText.h"
#include "grid/LocaleInfo.h"
#include "map/CityListModel.h"
#include "map/CityText.h"
#include "map/MapHost.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace wl {

namespace {

constexpr int PanelWidth = 176;
constexpr int PanelHeight = 375;
constexpr int ItemHeight = 16;
constexpr int GlyphSize = 16;
// Close enough to read the street names around the city.
constexpr long double CityScale = 0.00005L;
constexpr GlobeColor Black = 0;

const QString NewCityTitle = QStringLiteral("City Name");

QFont arial11()
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(11);
    return f;
}

void setCaptionRed(QPushButton* button, bool red)
{
    // The disabled look stays the style's own.
    QPalette p = button->palette();
    const QColor colour = red ? QColor(Qt::red) : QColor(Qt::black);
    p.setColor(QPalette::Active, QPalette::ButtonText, colour);
    p.setColor(QPalette::Inactive, QPalette::ButtonText, colour);
    button->setPalette(p);
}

QPushButton* textButton(const QString& caption, const QString& hint, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setToolTip(hint);
    return b;
}

QToolButton* glyphButton(Glyph glyph, const QString& hint, QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setIcon(Glyphs::icon(glyph));
    b->setIconSize(QSize(GlyphSize, GlyphSize));
    b->setToolTip(hint);
    b->setAutoRaise(false);
    return b;
}

// A home text that does not read as a number places the new city at 0.
std::int32_t homeGU(const QString& degrees)
{
    return degToGU(LocaleInfo::current().parseNumber(degrees).value_or(0.0));
}

} // namespace

CityEditor::CityEditor(MapHost& host, QWidget* parent)
    : QWidget(parent), m_host(host), m_files(host.programFolder())
{
    build();
    connectControls();
    hide();
}

CityEditor::~CityEditor() = default;

void CityEditor::build()
{
    setObjectName(QStringLiteral("PanelEdit"));
    setFixedSize(PanelWidth, PanelHeight);
    setAutoFillBackground(true);
    setFont(arial11());

    RG1 = new QGroupBox(QStringLiteral("City List"), this);
    RG1All = new QRadioButton(QStringLiteral("All Cities"), RG1);
    RG1Custom = new QRadioButton(QStringLiteral("Custom Cities"), RG1);
    RG1All->setChecked(true);
    m_listChoice = new QButtonGroup(this);
    m_listChoice->addButton(RG1All, 0);
    m_listChoice->addButton(RG1Custom, 1);
    auto* choices = new QVBoxLayout(RG1);
    choices->setContentsMargins(6, 2, 6, 2);
    choices->setSpacing(0);
    choices->addWidget(RG1All);
    choices->addWidget(RG1Custom);

    m_model = new CityListModel(this);
    ListLocations = new QListView(this);
    ListLocations->setModel(m_model);
    ListLocations->setUniformItemSizes(true);
    ListLocations->setSelectionMode(QAbstractItemView::SingleSelection);
    ListLocations->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListLocations->setStyleSheet(
        QStringLiteral("QListView::item { height: %1px; }").arg(ItemHeight));

    LblTotal = new QLabel(QStringLiteral("Total = "), this);
    LblTotal->setAlignment(Qt::AlignCenter);

    EditTitle = new QLineEdit(this);
    EditTitle->setMaxLength(CityText::MaxTitleLength);
    EditLat = new QLineEdit(this);
    EditLon = new QLineEdit(this);
    EditLat->setFont(arial11());
    EditLon->setFont(arial11());
    setEditsEnabled(false);

    BtnEdit = textButton(QStringLiteral("Edit"), QStringLiteral("Edit Selected Location"), this);
    BtnNewCity = textButton(QStringLiteral("New"), QStringLiteral("Add New Globe Location"), this);
    BtnDel = textButton(QStringLiteral("Delete"), QStringLiteral("Delete Selected Location"), this);
    BtnSaveEdit = textButton(QStringLiteral("Save"), QStringLiteral("Save Changes"), this);
    BtnCancel = glyphButton(Glyph::Cancel, QStringLiteral("Cancel Changes"), this);
    BtnClose = glyphButton(Glyph::Exit, QStringLiteral("Close"), this);
    BtnAddCustom = textButton(QStringLiteral("Add Custom City"),
                              QStringLiteral("Add Selected City To Custom City List"), this);
    BtnAddCustom->setEnabled(false);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(3);
    column->addWidget(RG1);
    column->addWidget(ListLocations, 1);
    column->addWidget(LblTotal);
    // Each box says what it holds.
    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(4);
    fields->setVerticalSpacing(2);
    auto* nameLabel = new QLabel(QStringLiteral("&Name"), this);
    nameLabel->setBuddy(EditTitle);
    auto* latLabel = new QLabel(QStringLiteral("L&at"), this);
    latLabel->setBuddy(EditLat);
    auto* lonLabel = new QLabel(QStringLiteral("L&on"), this);
    lonLabel->setBuddy(EditLon);
    fields->addWidget(nameLabel, 0, 0);
    fields->addWidget(EditTitle, 0, 1, 1, 3);
    fields->addWidget(latLabel, 1, 0);
    fields->addWidget(EditLat, 1, 1);
    fields->addWidget(lonLabel, 1, 2);
    fields->addWidget(EditLon, 1, 3);
    column->addLayout(fields);
    auto* editing = new QHBoxLayout;
    editing->addWidget(BtnEdit);
    editing->addWidget(BtnNewCity);
    editing->addWidget(BtnDel);
    column->addLayout(editing);
    auto* saving = new QHBoxLayout;
    saving->addWidget(BtnSaveEdit, 1);
    saving->addWidget(BtnCancel);
    saving->addWidget(BtnClose);
    column->addLayout(saving);
    column->addWidget(BtnAddCustom);
}

void CityEditor::connectControls()
{
    connect(m_listChoice, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            RG1Click();
    });
    connect(ListLocations->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!m_filling && current.isValid())
                    ListLocationsClick(current.row());
            });
    // A click on the row already chosen centres it again.
    connect(ListLocations, &QListView::clicked, this, [this](const QModelIndex& index) {
        if (index.row() == m_chosen)
            ListLocationsClick(index.row());
    });
    connect(EditTitle, &QLineEdit::textEdited, this, [this] { EditTitleChange(); });
    connect(EditLat, &QLineEdit::textEdited, this, [this] { EditLatChange(); });
    connect(EditLon, &QLineEdit::textEdited, this, [this] { EditLatChange(); });
    connect(BtnEdit, &QPushButton::clicked, this, [this] { BtnEditClick(); });
    connect(BtnNewCity, &QPushButton::clicked, this, [this] { BtnNewCityClick(); });
    connect(BtnDel, &QPushButton::clicked, this, [this] { BtnDelClick(); });
    connect(BtnSaveEdit, &QPushButton::clicked, this, [this] { BtnSaveEditClick(); });
    connect(BtnCancel, &QToolButton::clicked, this, [this] { BtnCancelClick(); });
    connect(BtnAddCustom, &QPushButton::clicked, this, [this] { BtnAddCustomClick(); });
    connect(BtnClose, &QToolButton::clicked, this, [this] { BtnCloseClick(); });
}

void CityEditor::setUserFolder(const QString& folder)
{
    m_files = CityFiles(m_host.programFolder(), folder);
}

// --- state helpers -------------------------------------------------------------------------

GlobeLayer* CityEditor::cityLayer(int index) const
{
    return m_host.globe().layers().layer(index);
}

GlobeLayer* CityEditor::shownLayer() const
{
    return cityLayer(customListShown() ? CustomCitiesLayer : AllCitiesLayer);
}

bool CityEditor::customListShown() const
{
    return RG1Custom->isChecked();
}

GlobeObject* CityEditor::chosenCity() const
{
    GlobeLayer* layer = shownLayer();
    return layer && m_chosen >= 0 ? layer->object(m_chosen) : nullptr;
}

const QString& CityEditor::shownFile() const
{
    return customListShown() ? CityFiles::CustomCities : CityFiles::AllCities;
}

void CityEditor::setEditsEnabled(bool enabled)
{
    for (QLineEdit* box : {EditTitle, EditLat, EditLon})
        box->setEnabled(enabled);
}

void CityEditor::emptyEdits()
{
    for (QLineEdit* box : {EditTitle, EditLat, EditLon})
        box->clear();
}

void CityEditor::setPending(bool newCity, bool edit)
{
    m_newPending = newCity;
    m_editPending = edit;
    setCaptionRed(BtnNewCity, newCity);
    setCaptionRed(BtnEdit, edit);
}

void CityEditor::clearChoice()
{
    m_chosen = -1;
    m_picked.reset();
    showListRow(-1);
}

void CityEditor::showListRow(int row)
{
    m_filling = true;
    if (row >= 0 && row < m_model->rowCount()) {
        const QModelIndex index = m_model->index(row);
        ListLocations->setCurrentIndex(index);
        ListLocations->scrollTo(index);
    } else {
        ListLocations->setCurrentIndex(QModelIndex());
        ListLocations->clearSelection();
    }
    m_filling = false;
}

void CityEditor::fillBoxes(const GlobeObject& city)
{
    EditTitle->setText(CityText::titleText(city.title()));
    EditLat->setText(CityText::latitudeText(city.location().lat));
    EditLon->setText(CityText::longitudeText(city.location().lon));
}

void CityEditor::choose(int row, bool centre)
{
    m_picked.reset();
    m_chosen = row;
    GlobeObject* city = chosenCity();
    if (!city) {
        m_chosen = -1;
        return;
    }
    showListRow(row);
    GlobeControl& globe = m_host.globe();
    globe.setSelectedObject(city);
    if (centre)
        globe.centreOnObject(city);
    fillBoxes(*city);
}

bool CityEditor::ask(const QString& caption, const QString& text) const
{
    return CaptionedMessage(caption, text, MessageKind::Confirmation, 0,
                            QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void CityEditor::loadShownFile()
{
    if (GlobeLayer* layer = shownLayer()) {
        if (const QString error = m_files.load(*layer, shownFile()); !error.isEmpty())
            ShowMessage(error);
    }
}

bool CityEditor::saveShownLayer()
{
    GlobeLayer* layer = shownLayer();
    if (!layer)
        return false;
    const QString error = m_files.save(*layer, shownFile());
    if (error.isEmpty())
        return true;
    ShowMessage(QStringLiteral("The city list could not be saved."), error);
    return false;
}

// --- opening and the two lists -------------------------------------------------------------

void CityEditor::open()
{
    if (customListShown()) {
        RG1All->setChecked(true); // runs the list switch, which reloads the all-cities file
    } else if (GlobeLayer* layer = cityLayer(AllCitiesLayer)) {
        if (const QString error = m_files.adopt(*layer, CityFiles::AllCities); !error.isEmpty())
            ShowMessage(error);
    }
    if (GlobeLayer* custom = cityLayer(CustomCitiesLayer)) {
        if (const QString error = m_files.adopt(*custom, CityFiles::CustomCities); !error.isEmpty())
            ShowMessage(error);
    }
    m_host.setHelpContext(HelpContext);
    setPending(false, false);
    show();
    setEditsEnabled(false);
    UpdateCityList();
}

void CityEditor::RG1Click()
{
    const bool custom = customListShown();
    m_host.setCurrentCityLayer(custom ? CustomCitiesLayer : AllCitiesLayer);
    for (QWidget* w : std::initializer_list<QWidget*>{BtnSaveEdit, BtnEdit, BtnNewCity, BtnCancel})
        w->setEnabled(!custom);
    BtnAddCustom->setEnabled(false);
    m_model->setLayer(nullptr);
    clearChoice();
    emptyEdits();
    setEditsEnabled(false);
    if (!custom) {
        loadShownFile();
        // The reload dropped whatever was pending in the all-cities list.
        setPending(false, false);
    }
    UpdateCityList();
    m_host.globe().redraw();
}

void CityEditor::UpdateCityList()
{
    WaitCursor wait;
    GlobeLayer* layer = shownLayer();
    m_model->setLayer(layer);
    showListRow(m_chosen);
    if (!layer)
        return;
    layer->enabled = true; // so its cities can be picked on the globe
    LblTotal->setText(QStringLiteral("Total = ") + QString::number(layer->objectCount()));
}

void CityEditor::ListLocationsClick(int row)
{
    choose(row, true);
    if (!chosenCity())
        return;
    m_host.globe().setScaleFactor(CityScale);
    if (!customListShown())
        BtnAddCustom->setEnabled(true);
}

void CityEditor::takeCity(GlobeObject& city)
{
    if (!isOpen())
        return;
    GlobeLayer* shown = shownLayer();
    if (shown && &city.layer() == shown) {
        choose(city.index(), false);
        BtnAddCustom->setEnabled(!customListShown());
        return;
    }
    // A city of the all-cities layer picked while the custom list is shown: it can be added
    // to the custom list, but it is no row of the list shown.
    if (customListShown() && &city.layer() == cityLayer(AllCitiesLayer)) {
        clearChoice();
        m_picked = CityRecord::of(city);
        fillBoxes(city);
        BtnAddCustom->setEnabled(true);
    }
}

// --- live editing ----------------------------------------------------------------------------

void CityEditor::EditTitleChange()
{
    GlobeObject* city = chosenCity();
    if (!city)
        return;
    city->setTitle(CityText::titleBytes(EditTitle->text()));
    city->changed();
    const QModelIndex row = m_model->index(m_chosen);
    emit m_model->dataChanged(row, row, {Qt::DisplayRole});
}

void CityEditor::EditLatChange()
{
    GlobeObject* city = chosenCity();
    if (!city)
        return;
    // The object keeps the latitude within the poles and the longitude within (-180, 180].
    city->moveTo(makeLLPoint(CityText::readLongitude(EditLon->text()),
                             CityText::readLatitude(EditLat->text())));
}

// --- commands --------------------------------------------------------------------------------

void CityEditor::BtnEditClick()
{
    setPending(m_newPending, true);
    setEditsEnabled(true);
    if (EditTitle->text().isEmpty())
        ShowMessage(QStringLiteral("Please select city to edit."));
}

void CityEditor::BtnNewCityClick()
{
    GlobeLayer* layer = shownLayer();
    if (!layer)
        return;
    setPending(true, m_editPending);
    setEditsEnabled(true);
    GlobeControl& globe = m_host.globe();
    globe.setSelectedObject(nullptr);
    globe.fontData.color = Black;
    globe.fontData.styles = 0;
    // The control's font is whatever the map last drew with (the labels' font, in its units);
    // a new city looks like the cities around it.
    const auto* neighbour = dynamic_cast<const GlobeText*>(layer->object(0));
    GlobePointText& city = GlobePointText::create(*layer, homeGU(m_host.homeLatitudeText()),
                                                  -homeGU(m_host.homeLongitudeText()),
                                                  CityText::titleBytes(NewCityTitle));
    if (neighbour && neighbour->font)
        city.font = neighbour->font;
    UpdateCityList();
    choose(city.index(), true);
}

void CityEditor::BtnSaveEditClick()
{
    GlobeLayer* layer = shownLayer();
    if (!layer || customListShown())
        return;
    const std::string title = CityText::titleBytes(EditTitle->text());
    setPending(false, false);
    setEditsEnabled(false);
    {
        WaitCursor wait;
        CityLayer::sortByTitle(*layer);
        m_chosen = -1;
        UpdateCityList();
        m_host.globe().redraw();
        saveShownLayer();
    }
    const int found = EditTitle->text().isEmpty() ? -1 : CityLayer::indexOfTitle(*layer, title);
    if (found < 0) {
        clearChoice();
        emptyEdits();
        BtnAddCustom->setEnabled(false);
        return;
    }
    choose(found, true);
    BtnAddCustom->setEnabled(true);
}

void CityEditor::BtnCancelClick()
{
    if (customListShown())
        return;
    setPending(false, false);
    emptyEdits();
    setEditsEnabled(false);
    BtnAddCustom->setEnabled(false);
    m_model->setLayer(nullptr);
    clearChoice();
    loadShownFile();
    UpdateCityList();
    m_host.globe().redraw();
}

void CityEditor::BtnDelClick()
{
    GlobeObject* city = chosenCity();
    if (!city)
        return;
    if (!ask(QStringLiteral("Deleting City."), QStringLiteral("Deleting ") +
                                                   CityText::titleText(city->title()) +
                                                   QStringLiteral(", please confirm.")))
        return;
    WaitCursor wait;
    m_model->setLayer(nullptr);
    clearChoice();
    city->remove();
    UpdateCityList();
    // The whole layer is written, so whatever was pending in it is saved too.
    if (saveShownLayer() && !customListShown()) {
        setPending(false, false);
        setEditsEnabled(false);
    }
    emptyEdits();
    BtnAddCustom->setEnabled(false);
    m_host.globe().redraw();
}

void CityEditor::BtnAddCustomClick()
{
    std::optional<CityRecord> city = m_picked;
    if (!customListShown()) {
        if (GlobeObject* chosen = chosenCity())
            city = CityRecord::of(*chosen);
    }
    if (!city)
        return;
    RG1Custom->setChecked(true); // runs the list switch
    GlobeLayer* custom = shownLayer();
    if (!custom)
        return;
    {
        WaitCursor wait;
        m_model->setLayer(nullptr);
        CityLayer::add(*custom, *city);
        CityLayer::sortByTitle(*custom);
        UpdateCityList();
        saveShownLayer();
    }
    BtnAddCustom->setEnabled(false);
}

void CityEditor::BtnCloseClick()
{
    if (m_newPending && !ask(QStringLiteral("New City Not Saved"),
                             QStringLiteral("New City not saved, exit anyway?")))
        return;
    if (m_editPending &&
        !ask(QStringLiteral("Edit Not Saved"), QStringLiteral("City Edit not saved, exit anyway?")))
        return;
    hide();
    emptyEdits();
    m_host.setHelpContext(MapHelpContext);
    BtnAddCustom->setEnabled(false);
}

} // namespace wl
