#pragma once

#include "exchange/export/ExportTypes.h"

#include <QDialog>
#include <QIcon>

#include <functional>
#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace wl {

// Lets the user pick the export format and whether to view the result on screen or save it
// to a file, showing the icon of the program that will show it.
class TExportChoiceForm : public QDialog
{
    Q_OBJECT
public:
    using ViewCheck = std::function<bool(TExportType)>;
    using IconSource = std::function<QIcon(TExportType)>;

    TExportChoiceForm(ViewCheck canView, IconSource iconOf, QWidget* parent = nullptr);

    // Set by the caller before showing.
    int ItemCount = 0;
    TExportType ChosenType = TExportType::xText; // replaced on OK
    QString ChosenName;                          // the name chosen, set on OK
    bool ViewChoice() const { return view_; }

    QGroupBox* GroupBox1 = nullptr;
    QComboBox* ExportTypeComboBox = nullptr;
    QRadioButton* ViewRadioButton = nullptr;
    QRadioButton* FileRadioButton = nullptr;
    QLabel* Image1 = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

    void FormShow();
    void ViewRadioButtonClick(QRadioButton* clicked);
    void OKBtnClick();
    void ExportTypeComboBoxChange();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    // Empty for a format written by the caller rather than by a writer of the export.
    std::optional<TExportType> selectedType() const;
    void showIcon(TExportType type);

    ViewCheck canView_;
    IconSource iconOf_;
    bool view_ = true;
};

} // namespace wl
