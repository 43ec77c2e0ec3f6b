#include "map/TFormMap.h"

#include "app/AppConstants.h"
#include "app/Glyphs.h"
#include "app/ProgramFolders.h"
#include "app/TFormMain.h"
#include "app/WaitCursor.h"
#include "app/WindowFit.h"
#include "app/services/CaptionedMessage.h"
#include "app/services/Registry.h"
#include "app/services/UiServices.h"
#include "exchange/export/LogFileExport.h"
#include "globe/AngleText.h"
#include "globe/GlobeControl.h"
#include "globe/GlobeLayer.h"
#include "globe/GlobeObject.h"
#include "grid/LocaleInfo.h"
#include "map/CityEditor.h"
#include "map/MapImageFile.h"
#include "map/MapMeasure.h"
#include "map/MapScene.h"
#include "map/OnAirSites.h"
#include "map/TFormHome.h"
#include "store/Table.h"

#include <QActionGroup>
#include <QCompleter>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QSaveFile>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSlider>
#include <QStringListModel>
#include <QTimeZone>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace wl {

namespace {

constexpr long double ScaleUnit = 100000000.0L; // the settings keep the scale times this
constexpr int XDegrees = MapScene::XDegrees;
constexpr int YDegrees = MapScene::YDegrees;
const QString CustomViewKey = QStringLiteral("\\Custom View");

// Counts the renders of every map window of the run, so that only the very first render
// after the program started is left out of the history.
quint16 renderCount = 0;

GlobeColor toGlobeColor(const QColor& c)
{
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

QColor toQColor(GlobeColor c)
{
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// 1 regular, 2 exactly italic, 3 exactly bold, 4 any other set of styles.
int styleCode(const QFont& f)
{
    const bool other = f.underline() || f.strikeOut();
    if (!f.bold() && !f.italic() && !other)
        return 1;
    if (f.italic() && !f.bold() && !other)
        return 2;
    if (f.bold() && !f.italic() && !other)
        return 3;
    return 4;
}

QFont labelQFont(const LabelFont& font)
{
    QFont f(font.name);
    f.setPointSize(std::max(1, font.size));
    f.setItalic(font.style == 2 || font.style == 4);
    f.setBold(font.style == 3 || font.style == 4);
    return f;
}

QString menuText(const QString& caption)
{
    QString text = caption;
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// Checkable items of which exactly one is chosen, shown as radio items.
void exclusive(QObject* parent, std::initializer_list<QAction*> actions)
{
    auto* group = new QActionGroup(parent);
    group->setExclusive(true);
    for (QAction* a : actions) {
        a->setCheckable(true);
        group->addAction(a);
    }
}

GlobeEngine::Projection projectionKind(int code)
{
    switch (code) {
    case 1:
        return GlobeEngine::Projection::Cartesian;
    case 2:
        return GlobeEngine::Projection::Mercator;
    default:
        return GlobeEngine::Projection::Spherical;
    }
}

void reportSettingsWrite(Registry& registry)
{
    if (!registry.flush())
        ShowMessage(QStringLiteral("The map settings could not be saved."), registry.errorString());
}

} // namespace

TFormMap::TFormMap(TFormMain& main, QWidget* parent)
    : QDialog(parent ? parent : &main), m_main(main),
      m_history(defaultDataFolder(main.programFolder()) + QStringLiteral("view.dt"))
{
    setObjectName(QStringLiteral("FormMap"));
    setWindowTitle(QStringLiteral("Wavelark 4.4"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(11);
    setFont(f);
    m_settings = MapSettings::defaults();
    buildControls();
    configureGlobe();

    // Creation: the profile's layers, the whole globe in view, an empty history.
    m_scene->openProfile(programFolder(), main.settings().dataBasePath);
    QDir().mkpath(QFileInfo(m_history.path()).path());
    m_history.reset();
}

TFormMap::~TFormMap()
{
    // The globe's handlers reach into this window, which is mostly gone by the time the
    // globe, a child, is destroyed.
    Globe->onRender = nullptr;
    Globe->onRenderUnderLabels = nullptr;
    Globe->onZoomed = nullptr;
    Globe->onLayerWarning = nullptr;
    Globe->onRenderUnderLabels = nullptr;
    Globe->removeEventFilter(this);
    EditFind->removeEventFilter(this);
    // The city editor reaches back through MapHost; it goes while this window is whole.
    delete PanelEdit;
}

QString TFormMap::settingsFile() const
{
    return m_main.settingsFile();
}

QString TFormMap::programFolder() const
{
    return m_main.programFolder();
}

// --- building the window ---------------------------------------------------------------

void TFormMap::buildControls()
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    buildMenus();

    auto* panel1 = new QWidget(this);
    panel1->setObjectName(QStringLiteral("Panel1"));
    panel1->setFixedHeight(40);
    auto* panel3 = new QWidget(panel1);
    panel3->setObjectName(QStringLiteral("Panel3"));
    auto* panel1Row = new QHBoxLayout(panel1);
    panel1Row->setContentsMargins(2, 2, 2, 2);
    panel1Row->addWidget(panel3);
    buildToolBar(panel3);
    buildFindBox(panel1);
    buildTimeControl(panel1);
    panel1Row->addStretch(1);
    column->addWidget(panel1);

    Globe = new GlobeControl(this);
    Globe->setObjectName(QStringLiteral("Globe"));
    column->addWidget(Globe, 1);
    // The city editor floats near the map's top left corner, so opening it leaves the view
    // where it is.
    PanelEdit = new CityEditor(*this, Globe);
    PanelEdit->setObjectName(QStringLiteral("PanelEdit"));
    PanelEdit->move(8, 8);
    PanelEdit->hide();
    PanelEdit->installEventFilter(this);

    PanelHint = new QLabel(this);
    PanelHint->setObjectName(QStringLiteral("PanelHint"));
    PanelHint->setTextFormat(Qt::PlainText);
    PanelHint->setFixedHeight(18);
    PanelHint->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QFont hintFont(QStringLiteral("Arial"));
    hintFont.setPixelSize(12);
    PanelHint->setFont(hintFont);
    column->addWidget(PanelHint);

    // Covers the globe until the saved view has been applied, so the fitted start-up view
    // never flashes.
    Panel2 = new QWidget(Globe);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setAutoFillBackground(true);
    Panel2->setGeometry(Globe->rect());

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1);
    connect(Timer1, &QTimer::timeout, this, &TFormMap::Timer1Timer);

    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this,
            [this] { UiServices::help().showContext(m_helpContext); });
}

void TFormMap::buildMenus()
{
    auto* bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("MainMenu1"));
    layout()->setMenuBar(bar);

    QMenu* file = bar->addMenu(QStringLiteral("File"));
    SaveAsBitmap1 =
        file->addAction(QStringLiteral("Save As Graphic"), this, &TFormMap::SaveAsBitmap1Click);
    Print1 = file->addAction(QStringLiteral("Print"), this, &TFormMap::Print1Click);
    file->addSeparator();
    file->addAction(QStringLiteral("Export Placemarks as KML..."), this,
                    [this] { exportPlacemarks(LogFormat::Kml); });
    file->addAction(QStringLiteral("Export Placemarks as GeoJSON..."), this,
                    [this] { exportPlacemarks(LogFormat::GeoJson); });

    QMenu* options = bar->addMenu(QStringLiteral("Map Options"));
    CustomView1 =
        options->addAction(QStringLiteral("Set User View"), this, &TFormMap::CustomView1Click);
    // The check is the setting: the zoom handler reads it, closing stores it.
    AutoViewCentering1 = options->addAction(QStringLiteral("Auto View Centering"));
    AutoViewCentering1->setCheckable(true);
    AutoViewCentering1->setChecked(true);
    ShowNightShadow1 = options->addAction(QStringLiteral("Show Night Shadow"), this,
                                          &TFormMap::ShowNightShadow1Click);
    ShowNightShadow1->setCheckable(true);
    ShowNightShadow1->setChecked(true);
    QMenu* night = options->addMenu(QStringLiteral("Night Shadow Style"));
    NightShaded1 = night->addAction(QStringLiteral("Translucent with Twilight"), this,
                                    [this] { setNightStyle(0); });
    NightHatched1 = night->addAction(QStringLiteral("Hatched"), this, [this] { setNightStyle(1); });
    exclusive(night, {NightShaded1, NightHatched1});
    HomeTown1 = options->addAction(QStringLiteral("Home Town"), this, &TFormMap::HomeTown1Click);
    PlotOnAirSites1 = options->addAction(QStringLiteral("Plot On-Air Sites"), this,
                                         &TFormMap::PlotOnAirSites1Click);

    QMenu* projection = options->addMenu(QStringLiteral("Projection"));
    Spherical1 =
        projection->addAction(QStringLiteral("Spherical"), this, [this] { setProjection(0); });
    PlateCarree1 = projection->addAction(QStringLiteral("Plate Carr\u00e9e"), this,
                                         [this] { setProjection(1); });
    Mercator1 =
        projection->addAction(QStringLiteral("Mercator"), this, [this] { setProjection(2); });
    exclusive(projection, {Spherical1, PlateCarree1, Mercator1});

    QMenu* units = options->addMenu(QStringLiteral("Map Units"));
    StatuteMiles1 =
        units->addAction(QStringLiteral("&Statute Miles"), this, [this] { setDistanceUnit(0); });
    NauticalMiles1 =
        units->addAction(QStringLiteral("&Nautical Miles"), this, [this] { setDistanceUnit(1); });
    Kilometers1 =
        units->addAction(QStringLiteral("&Kilometers"), this, [this] { setDistanceUnit(2); });
    exclusive(units, {StatuteMiles1, NauticalMiles1, Kilometers1});

    FieldDisplay1 = options->addMenu(QStringLiteral("Field Display"));
    connect(FieldDisplay1, &QMenu::aboutToShow, this, &TFormMap::FieldDisplay1Click);
    Frequency1 =
        FieldDisplay1->addAction(QStringLiteral("Frequency"), this, &TFormMap::Frequency1Click);
    Frequency1->setCheckable(true);
    Frequency1->setChecked(true);
    FieldDisplay1->addSeparator();
    call1 = FieldDisplay1->addAction(QStringLiteral("call"), this, [this] { setLabelField(1); });
    user1 = FieldDisplay1->addAction(QStringLiteral("user"), this, [this] { setLabelField(2); });
    loc1 = FieldDisplay1->addAction(QStringLiteral("loc"), this, [this] { setLabelField(3); });
    spec1 = FieldDisplay1->addAction(QStringLiteral("spec"), this, [this] { setLabelField(4); });
    for (QAction* a : {call1, user1, loc1, spec1})
        a->setCheckable(true);
    Font1 = options->addAction(QStringLiteral("Font"), this, &TFormMap::Font1Click);

    Edit1 = bar->addAction(QStringLiteral("Edit Cities"));
    connect(Edit1, &QAction::triggered, this, [this] { PanelEdit->open(); });
}

QToolButton* TFormMap::addButton(QWidget* panel, const QString& name, Glyph glyph,
                                 const QString& caption, const QString& hint,
                                 void (TFormMap::*handler)())
{
    auto* btn = new QToolButton(panel);
    btn->setObjectName(name);
    btn->setText(caption);
    btn->setIcon(Glyphs::icon(glyph));
    btn->setIconSize(QSize(18, 18));
    btn->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    btn->setAutoRaise(true);
    // Flat speed buttons: a click never takes the keyboard focus from the map.
    btn->setFocusPolicy(Qt::NoFocus);
    btn->setFixedSize(36, 36);
    QFont small(QStringLiteral("Arial"));
    small.setPixelSize(9);
    btn->setFont(small);
    btn->setToolTip(hint);
    connect(btn, &QToolButton::clicked, this, handler);
    panel->layout()->addWidget(btn);
    return btn;
}

void TFormMap::buildToolBar(QWidget* panel)
{
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    BtnPrev = addButton(panel, QStringLiteral("BtnPrev"), Glyph::Back, QStringLiteral("Back"),
                        QStringLiteral("Back"), &TFormMap::BtnPrevClick);
    BtnNext = addButton(panel, QStringLiteral("BtnNext"), Glyph::Forward, QStringLiteral("Forward"),
                        QStringLiteral("Forward"), &TFormMap::BtnNextClick);
    BtnPrev->setEnabled(false);
    BtnNext->setEnabled(false);
    BtnLon1 = addButton(panel, QStringLiteral("BtnLon1"), Glyph::LonPlus, QStringLiteral("+Lon"),
                        QStringLiteral("+Lon"), &TFormMap::Btlon1Click);
    BtnLon2 = addButton(panel, QStringLiteral("BtnLon2"), Glyph::LonMinus, QStringLiteral("-Lon"),
                        QStringLiteral("-Lon"), &TFormMap::BtnLon2Click);
    BtnLat1 = addButton(panel, QStringLiteral("BtnLat1"), Glyph::LatPlus, QStringLiteral("+Lat"),
                        QStringLiteral("+Lat"), &TFormMap::BtnLat1Click);
    BtnLat2 = addButton(panel, QStringLiteral("BtnLat2"), Glyph::LatMinus, QStringLiteral("-Lat"),
                        QStringLiteral("-Lat"), &TFormMap::BtnLat2Click);
    BtnZoomOut =
        addButton(panel, QStringLiteral("BtnZoomOut"), Glyph::ZoomOut, QStringLiteral("-Zoom"),
                  QStringLiteral("-Zoom"), &TFormMap::BtnZoomOutClick);
    BtnZoomIn =
        addButton(panel, QStringLiteral("BtnZoomIn"), Glyph::ZoomIn, QStringLiteral("+Zoom"),
                  QStringLiteral("+Zoom"), &TFormMap::BtnZoomInClick);
    BtnUserView =
        addButton(panel, QStringLiteral("BtnUserView"), Glyph::UserView, QStringLiteral("User"),
                  QStringLiteral("Display Custom User View"), &TFormMap::BtnUserViewClick);
    BtnDefault = addButton(panel, QStringLiteral("BtnDefault"), Glyph::DefaultView,
                           QStringLiteral("Default"), QStringLiteral("Display Default View"),
                           &TFormMap::BtnDefaultClick);
    BtnExit = addButton(panel, QStringLiteral("BtnExit"), Glyph::Close, QStringLiteral("Close"),
                        QStringLiteral("Close"), &TFormMap::BtnExitClick);
}

void TFormMap::buildFindBox(QWidget* panel)
{
    EditFind = new QLineEdit(panel);
    EditFind->setObjectName(QStringLiteral("EditFind"));
    EditFind->setPlaceholderText(QStringLiteral("Go to a place"));
    EditFind->setToolTip(QStringLiteral(
        "A city, country, callsign or frequency on the map, or a position \"lat, lon\" in "
        "degrees (north and east positive, or with N, S, E, W); Enter goes there"));
    EditFind->setClearButtonEnabled(true);
    EditFind->setFixedWidth(200);
    m_suggestions = new QStringListModel(this);
    auto* completer = new QCompleter(m_suggestions, EditFind);
    // The finder has ranked the names already: the list shows them as they are.
    completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    EditFind->setCompleter(completer);
    EditFind->installEventFilter(this);
    connect(EditFind, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_suggestions->setStringList(placeSuggestions(text)); });
    connect(EditFind, &QLineEdit::returnPressed, this, [this] { goToPlace(EditFind->text()); });
    // Choosing a suggestion goes there at once.
    connect(completer, qOverload<const QString&>(&QCompleter::activated), this,
            [this](const QString& name) { goToPlace(name); });
    panel->layout()->addWidget(EditFind);
}

QStringList TFormMap::placeSuggestions(const QString& text)
{
    if (m_placesStale) {
        // Cities first, then capitals and countries, then the records and the home town.
        m_places.clear();
        for (const int i : {4, 5, 2, 3, MapScene::ProfileLayers, MapScene::ProfileLayers + 1})
            if (i < Globe->layerCount())
                m_places.addLayer(Globe->layer(i));
        m_placesStale = false;
    }
    return m_places.suggestions(text);
}

bool TFormMap::goToPlace(const QString& text)
{
    placeSuggestions(QString()); // gathers the names when they changed
    const std::optional<PlaceFinder::Place> place = m_places.find(text, LocaleInfo::current());
    if (!place) {
        PanelHint->setText(
            QStringLiteral("Nothing on the map is called \"%1\", and it is no position.")
                .arg(text.simplified()));
        return false;
    }
    // Close enough to see the place among its neighbours: about 1,500 nautical miles across
    // the smaller side, or closer when the view already is.
    const long double near =
        std::min(Globe->surfaceWidth(), Globe->surfaceHeight()) / (1500.0L * GUPerMinute);
    if (Globe->scaleFactor() < near)
        Globe->setScaleFactor(near);
    Globe->centreOnLL(place->point.lon, place->point.lat);
    m_scene->mark = place->point;
    Globe->redraw();
    PanelHint->setText(place->name + QLatin1Char(' ') + MapMeasure::positionText(place->point));
    return true;
}

void TFormMap::buildTimeControl(QWidget* panel)
{
    // The night shadow at another moment of the day, to see when the greyline will cross a
    // station.
    auto* caption = new QLabel(QStringLiteral("Time"), panel);
    TimeSlider = new QSlider(Qt::Horizontal, panel);
    TimeSlider->setObjectName(QStringLiteral("TimeSlider"));
    TimeSlider->setRange(0, 24 * 60 - 1);
    TimeSlider->setSingleStep(15);
    TimeSlider->setPageStep(60);
    TimeSlider->setFixedWidth(180);
    TimeSlider->setToolTip(QStringLiteral("The moment the night shadow shows (UTC)"));
    TimeLabel = new QLabel(panel);
    TimeLabel->setObjectName(QStringLiteral("TimeLabel"));
    TimeLabel->setTextFormat(Qt::PlainText);
    TimeLabel->setMinimumWidth(64);
    BtnNow = new QToolButton(panel);
    BtnNow->setObjectName(QStringLiteral("BtnNow"));
    BtnNow->setText(QStringLiteral("Now"));
    BtnNow->setToolTip(QStringLiteral("The night shadow of the present moment"));
    BtnNow->setFocusPolicy(Qt::NoFocus);
    for (QWidget* w : std::initializer_list<QWidget*>{caption, TimeSlider, TimeLabel, BtnNow})
        panel->layout()->addWidget(w);
    connect(TimeSlider, &QSlider::valueChanged, this, &TFormMap::TimeSliderChanged);
    connect(BtnNow, &QToolButton::clicked, this, &TFormMap::BtnNowClick);
}

void TFormMap::configureGlobe()
{
    GlobeControl& g = *Globe;
    m_scene = std::make_unique<MapScene>(g);
    m_scene->configure();
    BtnNowClick();
    g.mouseZoomButton = GlobeControl::MouseButton::Left;
    g.mouseRotateButton = GlobeControl::MouseButton::None;
    // A press selects only cities of the all-cities layer, which the press handler does
    // itself; the globe's own selection would pick any label first.
    g.mouseSelectButton = GlobeControl::MouseButton::None;
    g.multiSelect = false;
    g.periodicUpdateEnabled = false;
    g.setScrollBars(GlobeControl::ScrollBars::None);
    g.onRender = [this] { GlobeRender(); };
    g.onRenderUnderLabels = [this] { GlobeRenderUnderLabels(); };
    g.onZoomed = [this] { GlobeZoomed(); };
    g.setMouseTracking(true);
    // Turning by hand and zooming about the pointer, never deeper than 8 times per step nor
    // to a view narrower than 5 nautical miles.
    g.handTurning = true;
    g.wheelZooms = true;
    g.maxZoomStep = 8;
    g.minViewAcross = 5 * GUPerMinute;
    g.setFocusPolicy(Qt::StrongFocus);
    g.installEventFilter(this);
}

// --- set-up and closing ------------------------------------------------------------------

void TFormMap::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormActivate();
}

// Runs once, on the first showing: activations after the window's own dialogs would
// otherwise add the layers, the home marker and every label again.
void TFormMap::FormActivate()
{
    if (m_setUpDone)
        return;
    m_setUpDone = true;
    placeWindow();
    ReadGlobeReg();
    m_scene->addMapLayers();
    m_points = &m_scene->pointsLayer();
    m_home = &m_scene->homeLayer();
    m_onAir = &Globe->addLayer("OnAirSites");
    m_onAir->setLayerFlag(GlobeLayer::FlagScaleFont, false);
    m_scene->setHome(m_settings);
    plotHome();
    PlotData();
    Timer1->start();
    const QStringList warnings = m_scene->takeWarnings();
    if (!warnings.isEmpty())
        QTimer::singleShot(0, this, [warnings] {
            for (const QString& w : warnings)
                UiServices::messages().show(MessageRequest{
                    app::ProductName, w, MessageKind::Warning, QMessageBox::Ok, HelpContext, {}});
        });
}

void TFormMap::placeWindow()
{
    // The frame counts: the status line at the bottom must stay on the screen.
    const QSize screen = UiServices::screen().screenSize();
    const QRect work = UiServices::screen().workArea();
    WindowFit::fit(*this, QRect(0, 0, screen.width(), std::max(200, work.bottom() + 1)));
}

void TFormMap::ReadGlobeReg()
{
    Registry registry(m_main.settingsFile());
    m_settings = MapSettings::read(registry);
    ShowNightShadow1->setChecked(m_settings.shadow);
    AutoViewCentering1->setChecked(m_settings.autoCenter);
    setUnitChecks();
    setFieldChecks();
    setNightChecks();
    Frequency1->setChecked(m_settings.freq);
    Globe->setProjection(projectionKind(m_settings.projection));
}

void TFormMap::Timer1Timer()
{
    Registry registry(m_main.settingsFile());
    const QSize screen = UiServices::screen().screenSize();
    applyStoredView(
        StoredView::read(registry, app::SettingsKey, false, StoredView::lastViewDefaults(screen)));
    Panel2->hide();
    Timer1->stop();
}

void TFormMap::applyStoredView(const StoredView& view)
{
    m_scene->applyStoredView(view, UiServices::screen().screenSize().width());
}

void TFormMap::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TFormMap::FormClose()
{
    if (m_closed)
        return;
    m_closed = true;
    Timer1->stop();
    Registry registry(m_main.settingsFile());
    m_settings.autoCenter = AutoViewCentering1->isChecked();
    m_settings.write(registry);
    const ScreenPoint origin = Globe->screenOrigin();
    StoredView view;
    view.ctrX = origin.x;
    view.ctrY = origin.y;
    view.lat = Globe->rotation(XDegrees);
    view.lon = -Globe->rotation(YDegrees);
    view.scale = static_cast<int>(std::trunc(Globe->scaleFactor() * ScaleUnit));
    view.write(registry, app::SettingsKey);
    reportSettingsWrite(registry);
}

// --- records and home ------------------------------------------------------------------

void TFormMap::PlotData()
{
    // Shown only when plotting takes a while (a log of many records); Cancel leaves the map
    // without records rather than with some of them.
    QProgressDialog progress(QStringLiteral("Plotting records..."), QStringLiteral("Cancel"), 0, 0,
                             this);
    progress.setWindowTitle(windowTitle());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(1000);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    const WaitCursor wait;
    // A table that cannot be read leaves the map without records; the main window, which
    // reads the same table, reports what is wrong with it.
    m_scene->plotRecords(m_main.table(),
                         {m_main.settings().lowFrequency, m_main.settings().hiFrequency},
                         m_settings, [&](qint64 done, qint64 total) {
                             if (total > 0 && progress.maximum() != total)
                                 progress.setRange(0, static_cast<int>(total));
                             progress.setValue(static_cast<int>(done));
                             return !progress.wasCanceled();
                         });
    m_placesStale = true;
    Globe->redraw();
}

void TFormMap::Updatedata()
{
    m_points->reset();
    m_points->setLayerFlag(GlobeLayer::FlagScaleFont, false);
    PlotData();
}

void TFormMap::plotHome()
{
    m_scene->plotHome(m_settings.homeName);
}

// After the home-town dialog: its name comes from the settings it wrote, the position from
// the texts it handed over.
void TFormMap::refreshHome()
{
    Registry registry(m_main.settingsFile());
    m_settings.homeName = MapSettings::read(registry).homeName;
    LLPoint p;
    if (MapMeasure::homePoint(m_settings.homeLat, m_settings.homeLon, LocaleInfo::current(), p))
        m_scene->setHomePoint(p);
    m_home->reset();
    m_home->setLayerFlag(GlobeLayer::FlagScaleFont, false);
    plotHome();
    m_placesStale = true;
    Globe->redraw();
}

void TFormMap::PlotOnAirSites1Click()
{
    const LLPoint home = m_scene->homePoint();
    std::vector<schedule::OnAirHit> hits;
    int selected = -1;
    QString error;
    auto* window = m_main.findChild<QWidget*>(QStringLiteral("FormOnAir"));
    if (const auto* source = dynamic_cast<const OnAirSource*>(window)) {
        hits = source->onAirHits();
        selected = source->selectedHit();
    } else {
        hits = OnAirSites::onAirAt(m_main.settings().dataBasePath, Globe->utcNow(), home, &error);
    }
    const int sites = OnAirSites::plot(*Globe, *m_onAir, hits, home, selected);
    PanelHint->setText(
        !error.isEmpty() ? error : QStringLiteral("%1 transmitter sites on the air").arg(sites));
    Globe->redraw();
}

void TFormMap::setHomeTexts(const QString& latitude, const QString& longitude)
{
    m_settings.homeLat = latitude;
    m_settings.homeLon = longitude;
}

GlobeLayer& TFormMap::currentCityLayer()
{
    return Globe->layer(m_cityLayer);
}

void TFormMap::setCurrentCityLayer(int index)
{
    if (index == 4 || index == 5)
        m_cityLayer = index;
}

void TFormMap::HomeTown1Click()
{
    TFormHome dialog(*this, this);
    const bool saved = dialog.exec() == QDialog::Accepted;
    refreshHome();
    if (saved)
        tellHome();
}

void TFormMap::tellHome()
{
    PanelHint->setText(
        QStringLiteral("Home town: %1 %2")
            .arg(m_settings.homeName, MapMeasure::positionText(m_scene->homePoint())));
}

// --- label content and font ------------------------------------------------------------

void TFormMap::FieldDisplay1Click()
{
    const auto& names = m_main.settings().columnNames;
    call1->setText(menuText(names[3]));
    user1->setText(menuText(names[4]));
    loc1->setText(menuText(names[5]));
    spec1->setText(menuText(names[6]));
    Frequency1->setChecked(m_settings.freq);
}

void TFormMap::setFieldChecks()
{
    call1->setChecked(m_settings.fieldDisplay == 1);
    user1->setChecked(m_settings.fieldDisplay == 2);
    loc1->setChecked(m_settings.fieldDisplay == 3);
    spec1->setChecked(m_settings.fieldDisplay == 4);
}

void TFormMap::setLabelField(int code)
{
    m_settings.fieldDisplay = code;
    setFieldChecks();
    Updatedata();
}

void TFormMap::Frequency1Click()
{
    m_settings.freq = !m_settings.freq;
    Frequency1->setChecked(m_settings.freq);
    Updatedata();
}

void TFormMap::Font1Click()
{
    const std::optional<QFont> chosen =
        UiServices::dialogs().font(this, labelQFont(m_settings.font), QStringLiteral("Font"));
    if (!chosen)
        return;
    const std::optional<QColor> color = UiServices::dialogs().color(
        this, toQColor(m_settings.font.color), QStringLiteral("Font Color"));
    if (color)
        m_settings.font.color = toGlobeColor(*color);
    m_settings.font.size = chosen->pointSize() > 0 ? chosen->pointSize() : chosen->pixelSize();
    m_settings.font.name = chosen->family();
    m_settings.font.style = styleCode(*chosen);
    Updatedata();
}

// --- moving the view -------------------------------------------------------------------

int TFormMap::rotationStep(long double scale)
{
    const long double v = std::trunc(scale * ScaleUnit);
    if (v >= 1 && v <= 99)
        return 10;
    if (v >= 100 && v <= 149)
        return 5;
    if (v >= 150 && v <= 249)
        return 4;
    if (v >= 250 && v <= 349)
        return 3;
    if (v >= 350 && v <= 449)
        return 2;
    return 1;
}

void TFormMap::rotate(int xSteps, int ySteps)
{
    const int step = rotationStep(Globe->scaleFactor());
    if (xSteps)
        Globe->setRotation(XDegrees, Globe->rotation(XDegrees) + xSteps * step);
    if (ySteps)
        Globe->setRotation(YDegrees, Globe->rotation(YDegrees) + ySteps * step);
}

void TFormMap::Btlon1Click()
{
    rotate(0, -1);
}

void TFormMap::BtnLon2Click()
{
    rotate(0, 1);
}

void TFormMap::BtnLat1Click()
{
    rotate(1, 0);
}

void TFormMap::BtnLat2Click()
{
    rotate(-1, 0);
}

void TFormMap::BtnZoomInClick()
{
    Globe->setScaleFactor(Globe->scaleFactor() * 1.2L);
}

void TFormMap::BtnZoomOutClick()
{
    Globe->setScaleFactor(Globe->scaleFactor() / 1.2L);
}

void TFormMap::centreOnMiddle()
{
    LLPoint p;
    if (Globe->screenToLL(Globe->surfaceWidth() / 2, Globe->surfaceHeight() / 2, p))
        Globe->centreOnLL(p.lon, p.lat);
}

void TFormMap::BtnDefaultClick()
{
    Globe->zoomToRect(GURect{});
    // The whole globe stays in view in a window smaller than the screen.
    const long double fit = Globe->scaleFactor();
    Globe->setScaleFactor(
        std::min(fit, UiServices::screen().screenSize().width() * 0.000001L / 640));
    Globe->setRotation(XDegrees, 40);
    Globe->setRotation(YDegrees, -100);
    centreOnMiddle();
}

void TFormMap::BtnUserViewClick()
{
    Registry registry(m_main.settingsFile());
    const QSize screen = UiServices::screen().screenSize();
    applyStoredView(StoredView::read(registry, app::SettingsKey + CustomViewKey, true,
                                     StoredView::userViewDefaults(screen)));
}

void TFormMap::CustomView1Click()
{
    if (CaptionedMessage(QStringLiteral("Confirmation Request"),
                         QStringLiteral("Saving current view as user view."),
                         MessageKind::Confirmation, 0,
                         QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    const ScreenPoint origin = Globe->screenOrigin();
    StoredView view;
    view.ctrX = origin.x;
    view.ctrY = origin.y;
    view.lat = Globe->rotation(XDegrees);
    view.lon = -Globe->rotation(YDegrees);
    view.scale =
        static_cast<int>(std::lround(static_cast<double>(Globe->scaleFactor() * ScaleUnit)));
    Registry registry(m_main.settingsFile());
    view.write(registry, app::SettingsKey + CustomViewKey);
    reportSettingsWrite(registry);
}

void TFormMap::GlobeZoomed()
{
    if (AutoViewCentering1->isChecked())
        centreOnMiddle();
}

// --- history -----------------------------------------------------------------------------

void TFormMap::BtnPrevClick()
{
    if (m_history.position() < 2)
        return;
    showHistoryPage(m_history.back());
}

void TFormMap::BtnNextClick()
{
    if (m_history.position() >= m_history.count())
        return;
    showHistoryPage(m_history.forward());
}

void TFormMap::showHistoryPage(const std::optional<GlobeView>& view)
{
    updateHistoryButtons();
    if (view)
        Globe->restoreView(*view);
}

void TFormMap::updateHistoryButtons()
{
    BtnPrev->setEnabled(m_history.canGoBack());
    BtnNext->setEnabled(m_history.canGoForward());
}

void TFormMap::reportHistoryError()
{
    // Told once per window: every render would tell it again. The map itself goes on.
    if (m_historyErrorShown)
        return;
    m_historyErrorShown = true;
    const QString text =
        QStringLiteral("The view history \"%1\" could not be kept.").arg(m_history.path());
    const QString reason = m_history.errorString();
    QTimer::singleShot(0, this, [text, reason] { ShowMessage(text, reason); });
}

// --- rendering and the mouse -------------------------------------------------------------

void TFormMap::GlobeRender()
{
    // Renders under the cover panel, before the saved view is applied, show nobody anything
    // and are no views of the user's.
    if (Panel2->isVisible()) {
        m_history.skipRender();
        return;
    }
    ++renderCount;
    if (renderCount > 1) {
        if (!m_history.recordRender(Globe->saveView()))
            reportHistoryError();
    } else {
        m_history.skipRender();
    }
    updateHistoryButtons();
    // Records the map could neither name nor count beside another record are told here.
    if (const int leftOut = Globe->labelsLeftOut())
        PanelHint->setText(
            leftOut == 1
                ? QStringLiteral("1 record has no room for a label in this view.")
                : QStringLiteral("%1 records have no room for a label in this view.").arg(leftOut));
    m_scene->drawOverlays(m_settings);
}

void TFormMap::GlobeRenderUnderLabels()
{
    m_scene->drawUnderLabels(m_settings);
    // The city editor floats over the map: no label is placed under it in the window's
    // picture (a printed page has other pixels and no editor over it).
    if (PanelEdit && PanelEdit->isVisible() && Globe->surfaceWidth() == Globe->width() &&
        Globe->surfaceHeight() == Globe->height())
        Globe->labelKeepOut.push_back(PanelEdit->geometry());
}

QImage TFormMap::renderMap()
{
    return Globe->renderToImage();
}

bool TFormMap::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == PanelEdit && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        Globe->redraw(); // labels make way for the city editor, or take its place back
    if (watched == EditFind && event->type() == QEvent::FocusIn)
        m_placesStale = true; // cities may have been edited since the last search
    if (watched != Globe)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseMove:
        GlobeMouseMove(static_cast<QMouseEvent*>(event)->position().toPoint());
        break;
    case QEvent::MouseButtonPress: {
        // A press that turns the globe by hand neither measures nor opens the home dialog.
        const auto* e = static_cast<QMouseEvent*>(event);
        if (!Globe->isTurnPress(e->button(), e->modifiers()))
            GlobeMouseDown(e->button(), e->position().toPoint());
        break;
    }
    case QEvent::KeyPress:
        if (handleKey(*static_cast<QKeyEvent*>(event)))
            return true;
        break;
    case QEvent::MouseButtonRelease:
        GlobeMouseUp();
        break;
    case QEvent::Resize:
        Panel2->setGeometry(Globe->rect());
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

bool TFormMap::handleKey(const QKeyEvent& e)
{
    if (e.modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    switch (e.key()) {
    case Qt::Key_Left: // further west, as "+Lon"
        Btlon1Click();
        return true;
    case Qt::Key_Right:
        BtnLon2Click();
        return true;
    case Qt::Key_Up:
        BtnLat1Click();
        return true;
    case Qt::Key_Down:
        BtnLat2Click();
        return true;
    case Qt::Key_PageUp:
        BtnZoomInClick();
        return true;
    case Qt::Key_PageDown:
        BtnZoomOutClick();
        return true;
    default:
        return false;
    }
}

void TFormMap::GlobeMouseMove(QPoint pos)
{
    LLPoint p;
    if (!Globe->screenToLL(pos.x(), pos.y(), p)) {
        // Off the globe there is no position to tell.
        PanelHint->clear();
        return;
    }
    QString text = MapMeasure::positionText(p);
    if (GlobeObject* o = Globe->selectableObjectAt(pos.x(), pos.y()))
        text += QLatin1Char(' ') + QString::fromLatin1(o->title());
    PanelHint->setText(text);
}

void TFormMap::GlobeMouseDown(Qt::MouseButton button, QPoint pos)
{
    Globe->refresh();
    LLPoint p;
    const bool onGlobe = Globe->screenToLL(pos.x(), pos.y(), p);
    if (button == Qt::RightButton) {
        TFormHome dialog(*this, this);
        if (onGlobe)
            dialog.setPoint(QString::fromLatin1(guToStr(p.lat, "%d")),
                            QString::fromLatin1(guToStr(p.lat, "%m")),
                            p.lat<0, QString::fromLatin1(guToStr(p.lon, "%d")),
                                  QString::fromLatin1(guToStr(p.lon, "%m")), p.lon> 0);
        const bool saved = dialog.exec() == QDialog::Accepted;
        refreshHome();
        if (saved)
            tellHome();
        return;
    }
    GlobeObject* city =
        Globe->layerCount() > 4 ? Globe->layer(4).selectableObjectAt(pos.x(), pos.y()) : nullptr;
    Globe->setSelectedObject(city);
    if (city && PanelEdit->isOpen()) {
        PanelEdit->takeCity(*city);
        return;
    }
    if (!onGlobe) {
        PanelHint->clear();
        return;
    }
    Globe->drawGreatCircle(m_scene->homePoint(), p, 0);
    PanelHint->setText(MapMeasure::bearingText(m_scene->homePoint(), p, m_settings.knots,
                                               m_settings.homeName, LocaleInfo::current()));
}

void TFormMap::GlobeMouseUp()
{
    Globe->refresh();
}

// --- units and shadow --------------------------------------------------------------------

void TFormMap::setUnitChecks()
{
    StatuteMiles1->setChecked(m_settings.knots == 0);
    NauticalMiles1->setChecked(m_settings.knots == 1);
    Kilometers1->setChecked(m_settings.knots == 2);
}

void TFormMap::setDistanceUnit(int code)
{
    m_settings.knots = code;
    setUnitChecks();
    Globe->redraw();
}

void TFormMap::ShowNightShadow1Click()
{
    m_settings.shadow = !m_settings.shadow;
    ShowNightShadow1->setChecked(m_settings.shadow);
    Globe->redraw();
}

void TFormMap::setNightChecks()
{
    NightShaded1->setChecked(m_settings.nightStyle == 0);
    NightHatched1->setChecked(m_settings.nightStyle == 1);
    Spherical1->setChecked(m_settings.projection == 0);
    PlateCarree1->setChecked(m_settings.projection == 1);
    Mercator1->setChecked(m_settings.projection == 2);
}

void TFormMap::setNightStyle(int style)
{
    m_settings.nightStyle = style;
    setNightChecks();
    Globe->redraw();
}

void TFormMap::setProjection(int projection)
{
    m_settings.projection = projection;
    setNightChecks();
    Globe->setProjection(projectionKind(projection));
    // A flat map starts whole in the window, centred; the globe keeps the point in the middle.
    if (projection != 0)
        Globe->zoomToRect(GURect{});
    Globe->redraw();
}

void TFormMap::TimeSliderChanged(int minute)
{
    const QDate today = Globe->utcNow().date();
    m_scene->nightMoment = QDateTime(today, QTime(0, 0).addSecs(minute * 60), QTimeZone::utc());
    TimeLabel->setText(m_scene->nightMoment->toString(QStringLiteral("HH:mm 'UTC'")));
    Globe->redraw();
}

void TFormMap::BtnNowClick()
{
    m_scene->nightMoment.reset();
    const QTime now = Globe->utcNow().time();
    const QSignalBlocker block(TimeSlider);
    TimeSlider->setValue(now.hour() * 60 + now.minute());
    TimeLabel->setText(QStringLiteral("Now"));
    Globe->redraw();
}

// --- output ------------------------------------------------------------------------------

void TFormMap::SaveAsBitmap1Click()
{
    QString filter;
    QString path = UiServices::dialogs().saveFileNameAndFilter(
        this, QStringLiteral("Select Folder and Enter Filename"), m_main.settings().dataBasePath,
        QStringLiteral("JPEG File (*.jpg);;Bitmap File (*.bmp)"), filter);
    if (path.isEmpty())
        return;
    // A name's own ending decides the format; a bare name takes the type chosen in the dialog
    // and its ending.
    const bool bare = QFileInfo(path).suffix().isEmpty();
    const MapImageFile::Format format = MapImageFile::formatFor(bare ? filter : QString(), path);
    if (bare)
        path += format == MapImageFile::Format::Bitmap ? QStringLiteral(".bmp")
                                                       : QStringLiteral(".jpg");
    QString error;
    bool saved = false;
    {
        WaitCursor wait;
        saved = MapImageFile::save(renderMap(), format, path, error);
    }
    if (!saved)
        ShowMessage(QStringLiteral("The map could not be saved as \"%1\".")
                        .arg(QDir::toNativeSeparators(path)),
                    error);
}

void TFormMap::exportPlacemarks(LogFormat format)
{
    QString path = UiServices::dialogs().saveFileName(this, QStringLiteral("Export Placemarks"),
                                                      m_main.settings().dataBasePath,
                                                      LogFileExport::filter(format));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + LogFileExport::extension(format);
    std::vector<LoggedRecord> records;
    LogExportResult result;
    {
        WaitCursor wait;
        // The records the globe plots: the main window's range, whatever its filter; those
        // without a position are counted, not placed.
        store::Table& table = m_main.table();
        const bool wasFiltered = table.filtered();
        table.setFiltered(false);
        const store::Status st = LoggedRecords::read(table, records);
        table.setFiltered(wasFiltered);
        if (!st)
            result.error = st.error;
        else
            result = LogFileExport::write(format, records, path);
    }
    ShowMessage(result.message(path));
}

void TFormMap::BtnExitClick()
{
    close();
}

void TFormMap::Print1Click()
{
    printMap();
    Globe->update();
}

bool TFormMap::printMap()
{
    const QString date = LocaleInfo::current().formatShortDate(UiServices::clock().now().date());
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        // No printer: the page goes to a PDF file, written in one step.
        const QString path = UiServices::dialogs().saveFileName(
            this, QStringLiteral("Print Map To PDF"), QDir::homePath(),
            QStringLiteral("PDF files (*.pdf)"));
        if (path.isEmpty())
            return false;
        WaitCursor wait;
        QSaveFile file(path);
        bool ok = file.open(QIODevice::WriteOnly);
        if (ok) {
            QPdfWriter writer(&file);
            writer.setResolution(300);
            writer.setPageMargins(QMarginsF());
            ok = MapImageFile::print(writer, renderMap(), date);
        }
        if (!ok || !file.commit()) {
            ShowMessage(QStringLiteral("The map could not be printed."), file.errorString());
            return false;
        }
        return true;
    }
    QPrinter printer(QPrinter::HighResolution);
    if (!UiServices::dialogs().print(this, printer))
        return false;
    WaitCursor wait;
    if (!MapImageFile::print(printer, renderMap(), date)) {
        ShowMessage(QStringLiteral("The map could not be printed."));
        return false;
    }
    return true;
}

} // namespace wl
