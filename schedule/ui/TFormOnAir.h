#pragma once

#include "map/OnAirSites.h"
#include "schedule/OnAirLookup.h"
#include "schedule/ScheduleStore.h"

#include "rig/RigState.h"

#include <QDateTime>
#include <QWidget>

#include <optional>

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QTimer;

namespace wl {

class TFormMain;
class TFormNew;

namespace schedule {

class BandStrip;

// "On Air": who the kept schedules have on a frequency at a moment, best first, with the
// band around it at a glance. The frequency is typed, taken from the main window's selected
// record, or fed in by setFrequencyKhz; with "Follow Radio" it follows the connected radio's
// frequency. With "Now" the list follows the clock. The map plots the sites of its list.
class TFormOnAir : public QWidget, public OnAirSource
{
    Q_OBJECT
public:
    explicit TFormOnAir(TFormMain& main);

    QLineEdit* EditFrequency = nullptr;
    QLineEdit* EditTolerance = nullptr;
    QPushButton* BtnFromRecord = nullptr;
    QCheckBox* CheckFollowRadio = nullptr;
    QRadioButton* RadioNow = nullptr;
    QRadioButton* RadioAt = nullptr;
    QDateTimeEdit* EditMoment = nullptr;
    QLabel* LabelStatus = nullptr;
    QTableWidget* GridOnAir = nullptr;
    QPushButton* BtnLogThis = nullptr;
    QComboBox* ComboBand = nullptr;
    BandStrip* Strip = nullptr;

    // Shows what is on this frequency; the band strip moves to the band around it.
    void setFrequencyKhz(double khz);
    // The moment looked at: now, or the one chosen (UTC).
    QDateTime moment() const;
    void setMoment(const QDateTime& utc);
    // Reads the store again (after an import).
    void reload();
    // Lists what is on the air for the fields as they are.
    void refresh();
    const std::vector<OnAirHit>& hits() const { return hits_; }

    // OnAirSource
    const std::vector<OnAirHit>& onAirHits() const override { return hits_; }
    int selectedHit() const override;
    QDateTime onAirMoment() const override { return moment(); }

    // Fills the record entry dialog from an entry: frequency, station as the callsign, site as
    // the location, language and target as the special field, the site's position.
    static void fillEntryDialog(TFormNew& dialog, const OnAirHit& hit);

    void BtnFromRecordClick();
    void BtnLogThisClick();

private:
    void buildControls();
    void linkRadio();
    void radioStateChanged(const rig::RigState& state);
    QWidget* buildQuery();
    QWidget* buildBand();
    void showHits();
    void refreshBand();
    std::optional<double> typedKhz() const;
    std::optional<LLPoint> home() const;

    TFormMain& main_;
    ScheduleStore store_;
    QString storeError_;
    std::optional<OnAirLookup> lookup_;
    QString season_;
    QDate loadedFor_;
    std::vector<OnAirHit> hits_;
    QTimer* clock_ = nullptr;
};

} // namespace schedule
} // namespace wl
