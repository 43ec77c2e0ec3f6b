#include "dialogs/RadioCommands.h"

#include "app/AppConstants.h"
#include "app/TFormMain.h"
#include "app/services/CaptionedMessage.h"
#include "app/services/Registry.h"
#include "app/services/UiServices.h"
#include "dialogs/DateBox.h"
#include "dialogs/RadioPage.h"
#include "dialogs/TFormNew.h"
#include "dialogs/TimeBox.h"
#include "grid/LocaleInfo.h"
#include "grid/TSortableGrid.h"
#include "rig/HamlibRadio.h"
#include "rig/RigControl.h"
#include "rig/RigFrequency.h"

#include <QAction>
#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolButton>

namespace wl {

namespace {

const QString NoRadioHint =
    QStringLiteral("No radio is set up. Choose one in Preferences, under Radio.");

} // namespace

RadioCommands::RadioCommands(TFormMain& main)
    : QObject(&main), main_(main), control_(new rig::RigControl(this)),
      scan_(new ScanController(
          *main.SortableGrid1, *control_, [this](int row) { return targetOfRow(row); }, this))
{
    setObjectName(QStringLiteral("RadioCommands"));
    LabelRadio = new QLabel(&main);
    LabelRadio->setObjectName(QStringLiteral("LabelRadio"));
    LabelRadio->setTextFormat(Qt::PlainText);
    main.statusBar()->addPermanentWidget(LabelRadio);
    buildMenu();
    buildToolButtons();
    connect(control_, &rig::RigControl::stateChanged, this, &RadioCommands::showState);
    connect(control_, &rig::RigControl::tuneFinished, this, &RadioCommands::tuneFinished);
    connect(scan_, &ScanController::progress, this,
            [this](const QString& text) { main_.statusBar()->showMessage(text); });
    connect(scan_, &ScanController::finished, this, &RadioCommands::scanFinished);
    showState({});
}

// The grid and status bar may already be gone: the main window deletes its children in the
// order it made them. The scan's timer and the radio link go with this object.
RadioCommands::~RadioCommands() = default;

RadioCommands* RadioCommands::of(QObject& main)
{
    return main.findChild<RadioCommands*>(QStringLiteral("RadioCommands"),
                                          Qt::FindDirectChildrenOnly);
}

void RadioCommands::buildMenu()
{
    auto* menu = new QMenu(QStringLiteral("&Radio"), &main_);
    ActLog = menu->addAction(QStringLiteral("&Log What I Hear"));
    ActLog->setShortcut(QKeySequence(QStringLiteral("Ctrl+L")));
    ActTune = menu->addAction(QStringLiteral("&Tune"));
    ActTune->setShortcut(QKeySequence(QStringLiteral("Ctrl+T")));
    menu->addSeparator();
    ActScan = menu->addAction(QStringLiteral("&Scan"));
    ActPause = menu->addAction(QStringLiteral("&Pause Scan"));
    ActSkip = menu->addAction(QStringLiteral("S&kip"));
    // Before the Internet menu, beside the other record commands.
    QAction* before = nullptr;
    for (QAction* a : main_.menuBar()->actions()) {
        if (a->text() == QLatin1String("&Internet"))
            before = a;
    }
    main_.menuBar()->insertMenu(before, menu);
    for (QAction* a : menu->actions())
        main_.addAction(a); // the shortcuts work wherever the focus is in the window
    connect(ActLog, &QAction::triggered, this, &RadioCommands::LogWhatIHearClick);
    connect(ActTune, &QAction::triggered, this, &RadioCommands::TuneClick);
    connect(ActScan, &QAction::triggered, this, &RadioCommands::ScanClick);
    connect(ActPause, &QAction::triggered, this, [this] {
        scan_->paused() ? scan_->resume() : scan_->pause();
        ActPause->setText(scan_->paused() ? QStringLiteral("&Resume Scan")
                                          : QStringLiteral("&Pause Scan"));
    });
    connect(ActSkip, &QAction::triggered, scan_, &ScanController::skip);
}

void RadioCommands::buildToolButtons()
{
    QWidget* panel = main_.findChild<QWidget*>(QStringLiteral("Panel1"));
    auto* row = panel ? qobject_cast<QBoxLayout*>(panel->layout()) : nullptr;
    if (!row)
        return;
    // Between Globe and Exit.
    int at = row->indexOf(main_.button(Command::Exit));
    at = at > 0 ? at - 1 : row->count();
    row->insertSpacing(at++, 12);
    for (QAction* a : {ActLog, ActTune, ActScan}) {
        auto* b = new QToolButton(panel);
        b->setDefaultAction(a);
        b->setObjectName(QStringLiteral("BtnRadio") + QString::number(at));
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setAutoRaise(true);
        b->setFixedHeight(36);
        QFont small = b->font();
        small.setPixelSize(10);
        b->setFont(small);
        row->insertWidget(at++, b);
    }
    ActLog->setIconText(QStringLiteral("Log"));
    ActTune->setIconText(QStringLiteral("Tune"));
    ActScan->setIconText(QStringLiteral("Scan"));
}

void RadioCommands::apply(const rig::RigSettings& settings)
{
    const bool reconnect = !settings.sameRadio(settings_) || !control_->state().connected;
    settings_ = settings;
    if (reconnect) {
        scan_->stop(QString());
        control_->configure(settings_);
    }
    showState(control_->state());
}

void RadioCommands::showState(const rig::RigState& state)
{
    LabelRadio->setText(RadioPage::stateText(state, settings_.configured()));
    enableCommands();
}

void RadioCommands::enableCommands()
{
    const bool configured = settings_.configured();
    const bool scanning = scan_->running();
    ActLog->setEnabled(configured);
    ActTune->setEnabled(configured && !scanning);
    ActScan->setEnabled(configured);
    ActScan->setText(scanning ? QStringLiteral("Stop &Scan") : QStringLiteral("&Scan"));
    ActScan->setIconText(scanning ? QStringLiteral("Stop") : QStringLiteral("Scan"));
    ActPause->setEnabled(scanning);
    ActSkip->setEnabled(scanning);
    if (!scanning)
        ActPause->setText(QStringLiteral("&Pause Scan"));
    const QString hint = configured ? QString() : NoRadioHint;
    for (QAction* a : {ActLog, ActTune, ActScan}) {
        a->setToolTip(hint.isEmpty() ? a->text().remove(u'&') : hint);
        a->setStatusTip(hint);
    }
}

bool RadioCommands::readyOrSayWhy()
{
    if (!settings_.configured()) {
        tell(NoRadioHint);
        return false;
    }
    const rig::RigState& state = control_->state();
    if (!state.connected) {
        tell(state.reason.isEmpty()
                 ? QStringLiteral("The radio is not connected yet.")
                 : QStringLiteral("The radio is not connected: %1").arg(state.reason));
        return false;
    }
    return true;
}

QString RadioCommands::frequencyText(qint64 hz)
{
    QString text = LocaleInfo::current().formatFixed(rig::megahertzFromHertz(hz), 6);
    // "9.580000" reads as "9.5800"; digits below 100 Hz stay.
    for (int i = 0; i < 2 && text.endsWith(u'0'); ++i)
        text.chop(1);
    return text;
}

void RadioCommands::fillEntry(TFormNew& dialog, const rig::RigReading& reading,
                              const QDateTime& now)
{
    const QString frequency = frequencyText(reading.hz);
    // The box is sized for typing; a radio above 1 GHz reports more digits than that, and a
    // cut-off text would log another frequency.
    dialog.EditFrequency->setMaxLength(
        std::max(dialog.EditFrequency->maxLength(), static_cast<int>(frequency.size())));
    dialog.EditFrequency->setText(frequency);
    dialog.EditOptional->setText(reading.mode);
    dialog.DateEdit1->setDate(now.date());
    dialog.MaskEdit->setTime(now.time());
}

void RadioCommands::LogWhatIHearClick()
{
    if (!readyOrSayWhy())
        return;
    TFormNew dialog(main_);
    fillEntry(dialog, control_->state().reading, UiServices::clock().now());
    dialog.exec();
}

ScanTarget RadioCommands::targetOfRow(int row) const
{
    const qint64 recNum = main_.RecNumOfRow(row);
    if (recNum <= 0)
        return {};
    QVariant hz;
    QVariant special;
    if (!main_.table().readField(recNum, QStringLiteral("Hz"), hz) || hz.isNull())
        return {};
    main_.table().readField(recNum, QStringLiteral("Optional"), special);
    return {rig::hertzFromMegahertz(hz.toDouble()), rig::HamlibRadio::modeName(special.toString())};
}

void RadioCommands::TuneClick()
{
    if (!readyOrSayWhy())
        return;
    const ScanTarget target = targetOfRow(main_.SortableGrid1->Row());
    if (target.hz <= 0) {
        tell(QStringLiteral("Please select a record to tune to."));
        return;
    }
    tuneTicket_ = control_->tune(target.hz, target.mode);
}

void RadioCommands::tuneFinished(quint64 ticket, const QString& error)
{
    if (ticket == tuneTicket_ && !error.isEmpty())
        tell(error);
}

void RadioCommands::ScanClick()
{
    if (scan_->running()) {
        scan_->stop(QString());
        return;
    }
    if (!readyOrSayWhy())
        return;
    scan_->start(settings_);
    enableCommands();
}

void RadioCommands::scanFinished(const QString& why)
{
    enableCommands();
    main_.statusBar()->showMessage(why, 10000);
    if (!why.isEmpty())
        emit reported(why);
}

void RadioCommands::tell(const QString& text)
{
    emit reported(text);
    CaptionedMessage(app::ProductName, text, MessageKind::Information, 0, QMessageBox::Ok);
}

void installRadioCommands(TFormMain& main)
{
    auto* commands = new RadioCommands(main);
    Registry registry(main.settingsFile());
    commands->apply(rig::RigSettings::read(registry));
}

} // namespace wl
