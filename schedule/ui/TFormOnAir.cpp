#include "schedule/ui/TFormOnAir.h"

#include "app/TFormMain.h"
#include "app/services/Registry.h"
#include "app/services/UiServices.h"
#include "dialogs/GridRecord.h"
#include "dialogs/RadioCommands.h"
#include "dialogs/TFormNew.h"
#include "grid/LocaleInfo.h"
#include "map/MapMeasure.h"
#include "map/MapSettings.h"
#include "rig/RigControl.h"
#include "schedule/BroadcastBand.h"
#include "schedule/OnAirText.h"
#include "schedule/ui/BandStrip.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimeZone>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace wl::schedule {

namespace {

constexpr int ClockRefreshMs = 30000;

// Degrees and whole minutes of an angle, the minutes rounded without reaching 60.
std::pair<int, int> degreesMinutes(double angle)
{
    int degrees = int(std::floor(std::abs(angle)));
    int minutes = int(std::lround((std::abs(angle) - degrees) * 60));
    if (minutes == 60) {
        ++degrees;
        minutes = 0;
    }
    return {degrees, minutes};
}

} // namespace

TFormOnAir::TFormOnAir(TFormMain& main) : QWidget(&main, Qt::Window), main_(main)
{
    setObjectName(QStringLiteral("FormOnAir"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("On Air"));
    buildControls();
    resize(860, 560);
    clock_ = new QTimer(this);
    clock_->setInterval(ClockRefreshMs);
    connect(clock_, &QTimer::timeout, this, [this] {
        if (RadioNow->isChecked())
            refresh();
    });
    clock_->start();
    linkRadio();
    if (const store::Status s = store_.open(main_.settings().dataBasePath); !s)
        storeError_ = s.error;
    reload();
}

void TFormOnAir::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildQuery());
    LabelStatus = new QLabel(this);
    LabelStatus->setObjectName(QStringLiteral("LabelStatus"));
    LabelStatus->setTextFormat(Qt::PlainText);
    layout->addWidget(LabelStatus);
    GridOnAir = new QTableWidget(0, int(OnAirText::headings().size()), this);
    GridOnAir->setObjectName(QStringLiteral("GridOnAir"));
    GridOnAir->setHorizontalHeaderLabels(OnAirText::headings());
    GridOnAir->setSelectionBehavior(QAbstractItemView::SelectRows);
    GridOnAir->setSelectionMode(QAbstractItemView::SingleSelection);
    GridOnAir->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridOnAir->verticalHeader()->hide();
    GridOnAir->horizontalHeader()->setStretchLastSection(true);
    connect(GridOnAir, &QTableWidget::itemSelectionChanged, this,
            [this] { BtnLogThis->setEnabled(!GridOnAir->selectedItems().isEmpty()); });
    connect(GridOnAir, &QTableWidget::cellDoubleClicked, this, [this] { BtnLogThisClick(); });
    layout->addWidget(GridOnAir, 1);
    layout->addWidget(buildBand());
    auto* buttons = new QHBoxLayout;
    BtnLogThis = new QPushButton(QStringLiteral("Log This"), this);
    BtnLogThis->setObjectName(QStringLiteral("BtnLogThis"));
    BtnLogThis->setEnabled(false);
    connect(BtnLogThis, &QPushButton::clicked, this, &TFormOnAir::BtnLogThisClick);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    buttons->addStretch();
    buttons->addWidget(BtnLogThis);
    buttons->addWidget(close);
    layout->addLayout(buttons);
}

QWidget* TFormOnAir::buildQuery()
{
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Frequency (kHz, or MHz below 100)"), box), 0, 0);
    EditFrequency = new QLineEdit(box);
    EditFrequency->setObjectName(QStringLiteral("EditFrequency"));
    grid->addWidget(EditFrequency, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("± kHz"), box), 0, 2);
    EditTolerance = new QLineEdit(box);
    EditTolerance->setObjectName(QStringLiteral("EditTolerance"));
    EditTolerance->setPlaceholderText(QStringLiteral("auto"));
    EditTolerance->setMaximumWidth(60);
    grid->addWidget(EditTolerance, 0, 3);
    BtnFromRecord = new QPushButton(QStringLiteral("From Record"), box);
    BtnFromRecord->setObjectName(QStringLiteral("BtnFromRecord"));
    BtnFromRecord->setToolTip(QStringLiteral("The frequency of the record selected in the list"));
    grid->addWidget(BtnFromRecord, 0, 4);
    CheckFollowRadio = new QCheckBox(QStringLiteral("Follow Radio"), box);
    CheckFollowRadio->setObjectName(QStringLiteral("CheckFollowRadio"));
    grid->addWidget(CheckFollowRadio, 0, 5);
    RadioNow = new QRadioButton(QStringLiteral("Now (UTC)"), box);
    RadioNow->setObjectName(QStringLiteral("RadioNow"));
    RadioNow->setChecked(true);
    RadioAt = new QRadioButton(QStringLiteral("At (UTC)"), box);
    RadioAt->setObjectName(QStringLiteral("RadioAt"));
    EditMoment = new QDateTimeEdit(box);
    EditMoment->setObjectName(QStringLiteral("EditMoment"));
    EditMoment->setTimeSpec(Qt::UTC);
    EditMoment->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm"));
    EditMoment->setCalendarPopup(true);
    EditMoment->setDateTime(UiServices::clock().now().toUTC());
    grid->addWidget(RadioNow, 1, 0);
    auto* at = new QHBoxLayout;
    at->addWidget(RadioAt);
    at->addWidget(EditMoment);
    at->addStretch();
    grid->addLayout(at, 1, 1, 1, 4);
    grid->setColumnStretch(1, 1);

    connect(EditFrequency, &QLineEdit::textChanged, this, [this] { refresh(); });
    connect(EditTolerance, &QLineEdit::textChanged, this, [this] { refresh(); });
    connect(RadioNow, &QRadioButton::toggled, this, [this] { refresh(); });
    connect(EditMoment, &QDateTimeEdit::dateTimeChanged, this, [this] {
        if (!RadioAt->isChecked())
            RadioAt->setChecked(true); // refreshes through the toggle
        else
            refresh();
    });
    connect(BtnFromRecord, &QPushButton::clicked, this, &TFormOnAir::BtnFromRecordClick);
    return box;
}

QWidget* TFormOnAir::buildBand()
{
    auto* group = new QGroupBox(QStringLiteral("Band"), this);
    auto* layout = new QVBoxLayout(group);
    auto* row = new QHBoxLayout;
    ComboBand = new QComboBox(group);
    ComboBand->setObjectName(QStringLiteral("ComboBand"));
    for (const BroadcastBand& band : BroadcastBand::all())
        ComboBand->addItem(
            QStringLiteral("%1  (%2–%3 kHz)").arg(band.name).arg(band.lowKhz).arg(band.highKhz));
    ComboBand->setCurrentText(QString());
    row->addWidget(ComboBand);
    auto* legend = new QLabel(QStringLiteral("<span style='color:#1f5fbf'>■</span> on the air   "
                                             "<span style='color:#d96a00'>■</span> in your log"),
                              group);
    row->addWidget(legend);
    row->addStretch();
    layout->addLayout(row);
    Strip = new BandStrip(group);
    layout->addWidget(Strip);
    connect(ComboBand, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0)
            return;
        const BroadcastBand& band = BroadcastBand::all()[size_t(index)];
        Strip->setBand(band.lowKhz, band.highKhz);
        refreshBand();
    });
    connect(Strip, &BandStrip::frequencyPicked, this, [this](double khz) {
        EditFrequency->setText(OnAirText::khzText(khz, LocaleInfo::current()));
    });
    ComboBand->setCurrentIndex(6); // 49 m, the busiest
    return group;
}

std::optional<LLPoint> TFormOnAir::home() const
{
    Registry registry(main_.settingsFile());
    const MapSettings settings = MapSettings::read(registry);
    LLPoint point;
    if (!MapMeasure::homePoint(settings.homeLat, settings.homeLon, LocaleInfo::current(), point))
        return std::nullopt;
    return point;
}

void TFormOnAir::reload()
{
    lookup_.reset();
    season_.clear();
    const QDateTime at = moment();
    loadedFor_ = at.date();
    if (store_.isOpen())
        lookup_ = store_.lookupFor(at.date(), home(), &season_);
    refresh();
}

QDateTime TFormOnAir::moment() const
{
    if (RadioAt->isChecked())
        return EditMoment->dateTime().toUTC();
    return UiServices::clock().now().toUTC();
}

void TFormOnAir::setMoment(const QDateTime& utc)
{
    EditMoment->setDateTime(utc.toUTC());
    RadioAt->setChecked(true);
}

void TFormOnAir::setFrequencyKhz(double khz)
{
    EditFrequency->setText(OnAirText::khzText(khz, LocaleInfo::current()));
}

std::optional<double> TFormOnAir::typedKhz() const
{
    const std::optional<double> typed = LocaleInfo::current().parseNumber(EditFrequency->text());
    if (!typed || *typed <= 0)
        return std::nullopt;
    return OnAirText::toKhz(*typed);
}

void TFormOnAir::refresh()
{
    // A moment in another season (or a new day under "Now") may need another season's list.
    if (moment().date() != loadedFor_ && store_.isOpen()) {
        const auto wanted = store_.seasonFor(moment().date());
        if (wanted && wanted->season.code != season_) {
            reload();
            return;
        }
        loadedFor_ = moment().date();
    }
    hits_.clear();
    const std::optional<double> khz = typedKhz();
    if (!storeError_.isEmpty())
        LabelStatus->setText(storeError_);
    else if (!lookup_)
        LabelStatus->setText(
            QStringLiteral("No schedule has been imported yet: Schedules, Import Schedule…"));
    else if (!khz)
        LabelStatus->setText(QStringLiteral("Season %1. Type a frequency.").arg(season_));
    else {
        double tolerance = OnAirLookup::defaultToleranceKhz(*khz);
        if (const auto typed = LocaleInfo::current().parseNumber(EditTolerance->text());
            typed && *typed >= 0)
            tolerance = *typed;
        hits_ = lookup_->find(*khz, tolerance, moment());
        LabelStatus->setText(
            QStringLiteral("Season %1, %2 UTC: %3 on the air within ±%4 kHz of %5 kHz")
                .arg(season_, moment().toString(QStringLiteral("ddd yyyy-MM-dd HH:mm")))
                .arg(hits_.size())
                .arg(LocaleInfo::current().formatNumber(tolerance),
                     OnAirText::khzText(*khz, LocaleInfo::current())));
        const BroadcastBand& band = BroadcastBand::around(*khz);
        if (*khz < Strip->lowKhz() || *khz > Strip->highKhz()) {
            const auto& all = BroadcastBand::all();
            ComboBand->setCurrentIndex(int(&band - all.data()));
        }
    }
    Strip->setCurrent(khz.value_or(0));
    showHits();
    refreshBand();
}

void TFormOnAir::showHits()
{
    GridOnAir->clearContents();
    GridOnAir->setRowCount(int(hits_.size()));
    const LocaleInfo locale = LocaleInfo::current();
    for (int row = 0; row < int(hits_.size()); ++row) {
        const QStringList cells = OnAirText::cells(hits_[size_t(row)], locale);
        for (int col = 0; col < cells.size(); ++col)
            GridOnAir->setItem(row, col, new QTableWidgetItem(cells[col]));
    }
    GridOnAir->resizeColumnsToContents();
    if (!hits_.empty())
        GridOnAir->selectRow(0);
    BtnLogThis->setEnabled(!hits_.empty());
}

void TFormOnAir::refreshBand()
{
    if (!Strip || !ComboBand)
        return;
    Strip->setOnAir(lookup_ ? lookup_->band(Strip->lowKhz(), Strip->highKhz(), moment())
                            : std::vector<OnAirHit>{});
    std::vector<LoggedMark> logged;
    store::Table& table = main_.table();
    const int hz = table.fieldNumber(QStringLiteral("Hz"));
    const int call = table.fieldNumber(QStringLiteral("Callsign"));
    if (hz >= 0 && call >= 0) {
        const double low = Strip->lowKhz(), high = Strip->highKhz();
        table.scanRecords({hz, call}, [&](const store::ScannedRecord& r) {
            const double khz = r.number(0) * 1000;
            if (khz >= low && khz <= high) {
                const std::string_view name = r.utf8(1);
                logged.push_back({khz, QString::fromUtf8(name.data(), qsizetype(name.size()))});
            }
            return true;
        });
    }
    Strip->setLogged(std::move(logged));
}

// The radio link of the main window tells every change of the radio's state on this thread;
// while "Follow Radio" is checked each new frequency is looked up.
void TFormOnAir::linkRadio()
{
    RadioCommands* radio = RadioCommands::of(main_);
    if (!radio) {
        radioStateChanged({});
        return;
    }
    connect(&radio->control(), &rig::RigControl::stateChanged, this,
            &TFormOnAir::radioStateChanged);
    connect(CheckFollowRadio, &QCheckBox::toggled, this, [this, radio](bool on) {
        if (on)
            radioStateChanged(radio->control().state());
    });
    radioStateChanged(radio->control().state());
}

void TFormOnAir::radioStateChanged(const rig::RigState& state)
{
    RadioCommands* radio = RadioCommands::of(main_);
    const bool configured = radio && radio->settings().configured();
    CheckFollowRadio->setEnabled(configured);
    if (!configured)
        CheckFollowRadio->setToolTip(
            QStringLiteral("No radio is set up (set one up in Preferences)"));
    else if (!state.connected)
        CheckFollowRadio->setToolTip(
            QStringLiteral("The radio is not connected yet: %1").arg(state.reason));
    else
        CheckFollowRadio->setToolTip(
            QStringLiteral("Looks up the radio's frequency as it is tuned"));
    if (configured && state.connected && state.reading.hz > 0 && CheckFollowRadio->isChecked()) {
        const double khz = double(state.reading.hz) / 1000;
        if (typedKhz() != khz)
            setFrequencyKhz(khz);
    }
}

int TFormOnAir::selectedHit() const
{
    const int row = GridOnAir->currentRow();
    return row >= 0 && row < int(hits_.size()) && !GridOnAir->selectedItems().isEmpty() ? row : -1;
}

void TFormOnAir::BtnFromRecordClick()
{
    const qint64 recNum = GridRecord::recNumOfRow(main_, GridRecord::selectedRow(main_));
    QVariant hz;
    if (recNum <= 0 || !main_.table().readField(recNum, QStringLiteral("Hz"), hz) ||
        hz.toDouble() <= 0) {
        MessageRequest request;
        request.caption = QStringLiteral("On Air");
        request.text = QStringLiteral("Please select a record in the list first.");
        request.kind = MessageKind::Information;
        UiServices::ask(request);
        return;
    }
    setFrequencyKhz(hz.toDouble() * 1000);
}

void TFormOnAir::fillEntryDialog(TFormNew& dialog, const OnAirHit& hit)
{
    const LocaleInfo locale = LocaleInfo::current();
    // "##0.0000" MHz as the log keeps it; the box holds nine characters.
    dialog.EditFrequency->setText(locale.formatFixed(hit.entry.khz / 1000, 4));
    dialog.EditCallSign->setText(hit.entry.station);
    dialog.EditLocation->setText(hit.site ? hit.site->name : hit.entry.siteCode);
    dialog.EditOptional->setText(
        QStringList{hit.entry.language, hit.entry.target}.join(QLatin1Char(' ')).trimmed());
    if (!hit.site)
        return;
    const auto [latDeg, latMin] = degreesMinutes(hit.site->lat);
    const auto [lonDeg, lonMin] = degreesMinutes(hit.site->lon);
    dialog.EditDegLat->setText(QString::number(latDeg));
    dialog.EditMinLat->setText(QString::number(latMin));
    (hit.site->lat < 0 ? dialog.RadioSouth : dialog.RadioNorth)->setChecked(true);
    dialog.EditDegLon->setText(QString::number(lonDeg));
    dialog.EditMinLon->setText(QString::number(lonMin));
    (hit.site->lon > 0 ? dialog.RadioEast : dialog.RadioWest)->setChecked(true);
}

void TFormOnAir::BtnLogThisClick()
{
    const int row = GridOnAir->currentRow();
    if (row < 0 || row >= int(hits_.size()))
        return;
    TFormNew dialog(main_);
    fillEntryDialog(dialog, hits_[size_t(row)]);
    dialog.exec();
    refreshBand(); // a new record shows on the strip
}

} // namespace wl::schedule
