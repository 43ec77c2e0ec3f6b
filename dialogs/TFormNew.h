#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace wl {

class DateBox;
class TFormMain;
class TimeBox;

// The record entry dialog: the user types new records one after another; each Save appends one
// record to the main window's table and clears the typing fields for the next. When the dialog
// closes after a save, by Done or by the close box, the main window's grid is refilled.
class TFormNew : public QDialog
{
    Q_OBJECT
public:
    explicit TFormNew(TFormMain& main);

    QListWidget* ListCategory = nullptr;
    QLineEdit* EditFrequency = nullptr;
    QRadioButton* RadioSimplex = nullptr;
    QRadioButton* RadioUp = nullptr;
    QRadioButton* RadioDown = nullptr;
    QLineEdit* EditCallSign = nullptr;
    QLineEdit* EditUser = nullptr;
    QLineEdit* EditLocation = nullptr;
    QLineEdit* EditOptional = nullptr;
    QPlainTextEdit* EditNotes = nullptr;
    QLineEdit* EditDegLat = nullptr;
    QLineEdit* EditMinLat = nullptr;
    QRadioButton* RadioNorth = nullptr;
    QRadioButton* RadioSouth = nullptr;
    QLineEdit* EditDegLon = nullptr;
    QLineEdit* EditMinLon = nullptr;
    QRadioButton* RadioWest = nullptr;
    QRadioButton* RadioEast = nullptr;
    DateBox* DateEdit1 = nullptr;
    TimeBox* MaskEdit = nullptr;
    QPushButton* BtnSave = nullptr;
    QPushButton* BtnCancel = nullptr;
    QPushButton* BtnExit = nullptr;
    QLabel* LabelSaved = nullptr;
    QLabel* LabelCallSign = nullptr;
    QLabel* LabelUser = nullptr;
    QLabel* LabelLocation = nullptr;
    QLabel* LabelOptional = nullptr;

    bool saved() const { return saved_; }

    // Takes the category list again, empties the notes, focuses the frequency and sets today.
    void FormActivate();
    void BtnSaveClick();
    void BtnCancelClick();
    void BtnExitClick();
    // Appends one record built from the fields; false (after telling the user) when nothing
    // was stored.
    bool AppendRecords();

    // Refills the main grid when a record was saved, however the dialog is closed.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    // Says so when a saved frequency lies outside the range the main list shows.
    void tellWhenOutsideRange(double hz) const;
    void buildControls();
    QWidget* buildHeader();
    QWidget* buildFields();
    QWidget* buildCoordinates();
    QWidget* buildDateTime();
    void buildPopupMenu();
    void clearTextBoxes();
    void limitDegrees(QLineEdit* degrees, QLineEdit* minutes, int limit);
    void watchOtherWindows();

    TFormMain& main_;
    bool saved_ = false;
    bool shownOnce_ = false;
    // Set when the user went to another of the program's windows, so coming back counts as
    // activation; the dialog's own message boxes and pop-ups do not set it.
    bool awayToOtherWindow_ = false;
};

} // namespace wl
