#pragma once

#include "rig/RigModels.h"
#include "rig/RigSettings.h"
#include "rig/RigState.h"

#include <QDialog>

#include <memory>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QWidget;

namespace wl {

namespace rig {
class RigControl;
}

// The Radio page of the preferences: no radio, a radio model on a serial device with its
// speed, or a network address of rigctld or an SDR program; how a scan dwells and whether a
// signal stops it; and Test, which reads the frequency through the settings on the page
// without waiting on the radio. Save writes the settings under the program's "\Radio" key.
class RadioPage : public QDialog
{
    Q_OBJECT
public:
    RadioPage(const QString& settingsFile, QWidget* parent);
    ~RadioPage() override;

    // The button the preferences window shows to open this page.
    static QPushButton* makeButton(QWidget* preferences, const QString& settingsFile);

    QButtonGroup* RadioKind = nullptr; // ids are RigSettings::Kind values
    QLineEdit* EditModelSearch = nullptr;
    QListWidget* ListModels = nullptr;
    QLineEdit* EditDevice = nullptr;
    QComboBox* ComboSpeed = nullptr;
    QLineEdit* EditAddress = nullptr;
    QSpinBox* SpinDwell = nullptr;
    QCheckBox* CheckStopOnSignal = nullptr;
    QSpinBox* SpinLevel = nullptr;
    QPushButton* BtnTest = nullptr;
    QLabel* LabelTest = nullptr;
    QPushButton* BtnSave = nullptr;

    rig::RigSettings settingsOnPage() const;
    void BtnTestClick();
    // Writes the settings and closes; false (after saying why) when they could not be written.
    bool BtnSaveClick();

    // What the status bar and the Test button say about the radio.
    static QString stateText(const rig::RigState& state, bool configured);

signals:
    void saved(const wl::rig::RigSettings& settings);

private:
    QWidget* buildConnection();
    QWidget* buildScan();
    void load(const rig::RigSettings& settings);
    void filterModels(const QString& text);
    void enableFields();
    void showTest(const rig::RigState& state);

    QString settingsFile_;
    QList<rig::RigModel> models_;
    std::unique_ptr<rig::RigControl> test_;
};

} // namespace wl
