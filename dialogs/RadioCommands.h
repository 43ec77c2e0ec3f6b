#pragma once

#include "dialogs/ScanController.h"
#include "rig/RigSettings.h"
#include "rig/RigState.h"

#include <QObject>

class QAction;
class QDateTime;
class QLabel;
class QToolButton;

namespace wl {

class TFormMain;
class TFormNew;

namespace rig {
class RigControl;
}

// The main window's link to the radio: the "Radio: ..." text in the status bar, the Radio
// menu and tool buttons (Log What I Hear, Tune, Scan with Pause, Skip and Stop) and the one
// radio connection they share. Lives as a child of the main window.
class RadioCommands : public QObject
{
    Q_OBJECT
public:
    explicit RadioCommands(TFormMain& main);
    ~RadioCommands() override;

    // The one in this main window, or nullptr.
    static RadioCommands* of(QObject& main);

    // Takes new settings from the preferences: reconnects when they name another radio.
    void apply(const rig::RigSettings& settings);
    const rig::RigSettings& settings() const { return settings_; }
    rig::RigControl& control() { return *control_; }
    ScanController& scanner() { return *scan_; }

    void LogWhatIHearClick();
    void TuneClick();
    void ScanClick();

    // Fills an entry dialog with what the radio hears and the time now, without saving.
    static void fillEntry(TFormNew& dialog, const rig::RigReading& reading, const QDateTime& now);
    // The frequency as the entry dialog takes it: whole hertz kept, at least four decimals.
    static QString frequencyText(qint64 hz);
    // The record shown in a grid row of the main window, as the radio is to be tuned to it.
    ScanTarget targetOfRow(int row) const;

    QLabel* LabelRadio = nullptr;
    QAction* ActLog = nullptr;
    QAction* ActTune = nullptr;
    QAction* ActScan = nullptr;
    QAction* ActPause = nullptr;
    QAction* ActSkip = nullptr;

signals:
    // A tune or scan ended with a reason the user should see (tests watch it too).
    void reported(const QString& text);

private:
    void buildMenu();
    void buildToolButtons();
    void showState(const rig::RigState& state);
    void enableCommands();
    bool readyOrSayWhy();
    void tuneFinished(quint64 ticket, const QString& error);
    void scanFinished(const QString& why);
    void tell(const QString& text);

    TFormMain& main_;
    rig::RigSettings settings_;
    rig::RigControl* control_;
    ScanController* scan_;
    quint64 tuneTicket_ = 0;
};

// Creates the radio link of the main window from the saved settings.
void installRadioCommands(TFormMain& main);

} // namespace wl
