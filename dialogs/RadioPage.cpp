#include "dialogs/RadioPage.h"

#include "app/AppConstants.h"
#include "app/services/CaptionedMessage.h"
#include "app/services/Registry.h"
#include "dialogs/RadioCommands.h"
#include "grid/LocaleInfo.h"
#include "rig/RigControl.h"
#include "rig/RigFrequency.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace wl {

namespace {

using Kind = rig::RigSettings::Kind;

const int Speeds[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

QString withoutFinalStop(QString text)
{
    while (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

} // namespace

QString RadioPage::stateText(const rig::RigState& state, bool configured)
{
    if (!configured)
        return QStringLiteral("Radio: none (set one up in Preferences)");
    if (!state.connected)
        return state.reason.isEmpty() ? QStringLiteral("Radio: connecting")
                                      : QStringLiteral("Radio: not connected (%1)")
                                            .arg(withoutFinalStop(state.reason));
    QString text =
        QStringLiteral("Radio: %1 MHz")
            .arg(LocaleInfo::current().formatFrequency(rig::megahertzFromHertz(state.reading.hz)));
    if (!state.reading.mode.isEmpty())
        text += QLatin1Char(' ') + state.reading.mode;
    return text;
}

RadioPage::RadioPage(const QString& settingsFile, QWidget* parent)
    : QDialog(parent), settingsFile_(settingsFile), models_(rig::rigModels())
{
    setObjectName(QStringLiteral("FormRadio"));
    setWindowTitle(QStringLiteral("Radio"));
    auto* page = new QVBoxLayout(this);
    page->addWidget(buildConnection(), 1);
    page->addWidget(buildScan());

    auto* testRow = new QHBoxLayout;
    BtnTest = new QPushButton(QStringLiteral("Test"), this);
    BtnTest->setObjectName(QStringLiteral("BtnTest"));
    LabelTest = new QLabel(this);
    LabelTest->setObjectName(QStringLiteral("LabelTest"));
    LabelTest->setTextFormat(Qt::PlainText);
    LabelTest->setWordWrap(true);
    testRow->addWidget(BtnTest);
    testRow->addWidget(LabelTest, 1);
    page->addLayout(testRow);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    BtnSave = buttons->button(QDialogButtonBox::Save);
    page->addWidget(buttons);
    connect(BtnTest, &QPushButton::clicked, this, &RadioPage::BtnTestClick);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { BtnSaveClick(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    Registry registry(settingsFile_);
    load(rig::RigSettings::read(registry));
    resize(560, 560);
}

RadioPage::~RadioPage() = default;

QPushButton* RadioPage::makeButton(QWidget* preferences, const QString& settingsFile)
{
    auto* button = new QPushButton(QStringLiteral("&Radio..."), preferences);
    button->setObjectName(QStringLiteral("BtnRadio"));
    button->setToolTip(QStringLiteral("The radio the log reads and tunes"));
    connect(button, &QPushButton::clicked, preferences, [preferences, settingsFile] {
        RadioPage page(settingsFile, preferences);
        // The main window's radio link takes the new settings at once.
        QWidget* main = preferences->parentWidget();
        if (RadioCommands* commands = main ? RadioCommands::of(*main) : nullptr)
            connect(&page, &RadioPage::saved, commands, &RadioCommands::apply);
        page.exec();
    });
    return button;
}

QWidget* RadioPage::buildConnection()
{
    auto* box = new QGroupBox(QStringLiteral("Connection"), this);
    auto* column = new QVBoxLayout(box);
    RadioKind = new QButtonGroup(this);
    const std::pair<Kind, QString> kinds[] = {
        {Kind::None, QStringLiteral("&None")},
        {Kind::Serial, QStringLiteral("Radio &model on a serial device")},
        {Kind::Network, QStringLiteral("Net&work address (rigctld or an SDR program)")}};
    QRadioButton* buttons[3] = {};
    int i = 0;
    for (const auto& [kind, caption] : kinds) {
        buttons[i] = new QRadioButton(caption, box);
        RadioKind->addButton(buttons[i], static_cast<int>(kind));
        ++i;
    }
    column->addWidget(buttons[0]);
    column->addWidget(buttons[1]);

    auto* serial = new QFormLayout;
    EditModelSearch = new QLineEdit(box);
    EditModelSearch->setObjectName(QStringLiteral("EditModelSearch"));
    EditModelSearch->setPlaceholderText(QStringLiteral("Search by maker or model"));
    EditModelSearch->setClearButtonEnabled(true);
    ListModels = new QListWidget(box);
    ListModels->setObjectName(QStringLiteral("ListModels"));
    for (const rig::RigModel& m : models_) {
        auto* item = new QListWidgetItem(QStringLiteral("%1 %2").arg(m.maker, m.model), ListModels);
        item->setData(Qt::UserRole, m.id);
    }
    EditDevice = new QLineEdit(box);
    EditDevice->setObjectName(QStringLiteral("EditDevice"));
    EditDevice->setPlaceholderText(QStringLiteral("/dev/ttyUSB0"));
    ComboSpeed = new QComboBox(box);
    ComboSpeed->setObjectName(QStringLiteral("ComboSpeed"));
    for (int speed : Speeds)
        ComboSpeed->addItem(QString::number(speed), speed);
    serial->addRow(QStringLiteral("Model:"), EditModelSearch);
    serial->addRow(QString(), ListModels);
    serial->addRow(QStringLiteral("Device:"), EditDevice);
    serial->addRow(QStringLiteral("Speed:"), ComboSpeed);
    column->addLayout(serial, 1);

    column->addWidget(buttons[2]);
    auto* network = new QFormLayout;
    EditAddress = new QLineEdit(box);
    EditAddress->setObjectName(QStringLiteral("EditAddress"));
    EditAddress->setPlaceholderText(QStringLiteral("localhost:4532"));
    network->addRow(QStringLiteral("Address:"), EditAddress);
    column->addLayout(network);

    connect(EditModelSearch, &QLineEdit::textChanged, this, &RadioPage::filterModels);
    connect(RadioKind, &QButtonGroup::idClicked, this, [this](int) { enableFields(); });
    return box;
}

QWidget* RadioPage::buildScan()
{
    auto* box = new QGroupBox(QStringLiteral("Scan"), this);
    auto* form = new QFormLayout(box);
    SpinDwell = new QSpinBox(box);
    SpinDwell->setObjectName(QStringLiteral("SpinDwell"));
    SpinDwell->setRange(1, 3600);
    SpinDwell->setSuffix(QStringLiteral(" s"));
    CheckStopOnSignal = new QCheckBox(QStringLiteral("Stop on signal above"), box);
    CheckStopOnSignal->setObjectName(QStringLiteral("CheckStopOnSignal"));
    SpinLevel = new QSpinBox(box);
    SpinLevel->setObjectName(QStringLiteral("SpinLevel"));
    SpinLevel->setRange(-60, 60);
    SpinLevel->setSuffix(QStringLiteral(" dB over S9"));
    form->addRow(QStringLiteral("Listen to each record for:"), SpinDwell);
    form->addRow(CheckStopOnSignal, SpinLevel);
    connect(CheckStopOnSignal, &QCheckBox::toggled, SpinLevel, &QWidget::setEnabled);
    return box;
}

void RadioPage::load(const rig::RigSettings& s)
{
    RadioKind->button(static_cast<int>(s.kind))->setChecked(true);
    for (int row = 0; row < ListModels->count(); ++row) {
        if (ListModels->item(row)->data(Qt::UserRole).toInt() == s.model)
            ListModels->setCurrentRow(row);
    }
    EditDevice->setText(s.device);
    const int speed = ComboSpeed->findData(s.speed);
    ComboSpeed->setCurrentIndex(speed >= 0 ? speed
                                           : ComboSpeed->findData(rig::RigSettings::DefaultSpeed));
    EditAddress->setText(s.address);
    SpinDwell->setValue(s.dwellSeconds);
    CheckStopOnSignal->setChecked(s.stopOnSignal);
    SpinLevel->setValue(s.signalLevel);
    SpinLevel->setEnabled(s.stopOnSignal);
    enableFields();
}

rig::RigSettings RadioPage::settingsOnPage() const
{
    rig::RigSettings s;
    s.kind = static_cast<Kind>(std::max(0, RadioKind->checkedId()));
    if (QListWidgetItem* item = ListModels->currentItem())
        s.model = item->data(Qt::UserRole).toInt();
    s.device = EditDevice->text().trimmed();
    s.speed = ComboSpeed->currentData().toInt();
    s.address = EditAddress->text().trimmed();
    s.dwellSeconds = SpinDwell->value();
    s.stopOnSignal = CheckStopOnSignal->isChecked();
    s.signalLevel = SpinLevel->value();
    return s;
}

void RadioPage::filterModels(const QString& text)
{
    const QStringList words = text.split(u' ', Qt::SkipEmptyParts);
    for (int row = 0; row < ListModels->count(); ++row) {
        QListWidgetItem* item = ListModels->item(row);
        bool match = true;
        for (const QString& word : words)
            match = match && item->text().contains(word, Qt::CaseInsensitive);
        item->setHidden(!match);
    }
}

void RadioPage::enableFields()
{
    const int kind = RadioKind->checkedId();
    const bool serial = kind == static_cast<int>(Kind::Serial);
    for (QWidget* w : {static_cast<QWidget*>(EditModelSearch), static_cast<QWidget*>(ListModels),
                       static_cast<QWidget*>(EditDevice), static_cast<QWidget*>(ComboSpeed)})
        w->setEnabled(serial);
    EditAddress->setEnabled(kind == static_cast<int>(Kind::Network));
    BtnTest->setEnabled(kind != static_cast<int>(Kind::None));
}

void RadioPage::BtnTestClick()
{
    const rig::RigSettings s = settingsOnPage();
    if (s.kind == Kind::Serial && s.model == 0) {
        LabelTest->setText(QStringLiteral("Choose a radio model first."));
        return;
    }
    // A connection of the test's own, so the page never waits on the radio; the first word it
    // gives is the answer.
    test_ = std::make_unique<rig::RigControl>();
    LabelTest->setText(QStringLiteral("Reading the frequency..."));
    BtnTest->setEnabled(false);
    connect(test_.get(), &rig::RigControl::stateChanged, this, &RadioPage::showTest);
    test_->configure(s);
}

void RadioPage::showTest(const rig::RigState& state)
{
    if (!state.connected && state.reason.isEmpty())
        return;
    LabelTest->setText(state.connected ? stateText(state, true).mid(7) // without "Radio: "
                                       : state.reason);
    BtnTest->setEnabled(true);
    // Dropped from the event loop: this runs inside the connection's own signal.
    if (rig::RigControl* done = test_.release())
        done->deleteLater();
}

bool RadioPage::BtnSaveClick()
{
    const rig::RigSettings s = settingsOnPage();
    if (s.kind == Kind::Serial && (s.model == 0 || s.device.isEmpty())) {
        CaptionedMessage(app::ProductName,
                         QStringLiteral("Please choose a radio model and a serial device."),
                         MessageKind::Information, app::HelpContext::Preferences, QMessageBox::Ok);
        return false;
    }
    if (s.kind == Kind::Network && !s.address.contains(u':')) {
        CaptionedMessage(app::ProductName,
                         QStringLiteral("Please enter the network address as host:port, for "
                                        "example localhost:4532."),
                         MessageKind::Information, app::HelpContext::Preferences, QMessageBox::Ok);
        return false;
    }
    Registry registry(settingsFile_);
    if (!s.write(registry)) {
        CaptionedMessage(
            app::ProductName,
            QStringLiteral("The radio settings could not be saved: %1").arg(registry.errorString()),
            MessageKind::Error, app::HelpContext::Preferences, QMessageBox::Ok);
        return false;
    }
    emit saved(s);
    accept();
    return true;
}

} // namespace wl
