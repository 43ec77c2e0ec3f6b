#pragma once

#include <QDialog>

#include <optional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace wl {

class MapHost;

// The home-town dialog: the name and the position from which the map measures bearings and
// distances. Save stores them in the settings, hands the coordinate texts to the map window
// and moves the home marker; the caller owns the dialog and runs it with exec().
class TFormHome : public QDialog
{
    Q_OBJECT
public:
    explicit TFormHome(MapHost& host, QWidget* parent = nullptr);

    // Fills the degree and minute boxes from a point picked on the globe.
    void setPoint(const QString& latDegrees, const QString& latMinutes, bool south,
                  const QString& lonDegrees, const QString& lonMinutes, bool east);

    // The handlers. BtnSaveClick closes the dialog only when everything was accepted.
    void BtnSaveClick();
    void BtnCancelClick();
    void EditDegLatChange();
    void EditMinLatChange();
    void EditDegLonChange();
    void EditMinLonChange();

    QLabel* Panel1 = nullptr;
    QLineEdit* EditName = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QRadioButton* RadioButton1 = nullptr; // N
    QRadioButton* RadioButton2 = nullptr; // S
    QLineEdit* EditDegLat = nullptr;
    QLineEdit* EditMinLat = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QRadioButton* RadioButton3 = nullptr; // W
    QRadioButton* RadioButton4 = nullptr; // E
    QLineEdit* EditDegLon = nullptr;
    QLineEdit* EditMinLon = nullptr;
    QPushButton* BtnSave = nullptr;
    QPushButton* BtnClose = nullptr;

private:
    void build();
    void showCurrentHome();
    QGroupBox* coordinateGroup(const QString& title, QRadioButton*& first, const QString& firstText,
                               QRadioButton*& second, const QString& secondText,
                               QLineEdit*& degrees, int degreeLength, QLineEdit*& minutes);
    // Degrees plus minutes / 60 as typed; the degrees alone when the minutes do not read;
    // nothing when the degrees do not read either.
    static std::optional<double> angle(const QLineEdit* degrees, const QLineEdit* minutes);
    static void limitDegrees(QLineEdit* degrees, QLineEdit* minutes, int limit);
    static void limitMinutes(QLineEdit* minutes);
    // The reason when the settings could not be written.
    std::optional<QString> writeSettings(const QString& latitude, const QString& longitude);
    void placeMarker(double latitude, double longitude);

    MapHost& m_host;
};

} // namespace wl
