#pragma once

#include <QDialog>

#include <array>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace wl {

class FieldBox;
class TFormMain;

// The preferences: captions of the four free fields, the field shown in grid columns 1 to 8
// and whether each column is displayed, the frequency range and the date display. Nothing
// reaches the settings or the main window unless Save or Use Defaults is pressed, and Save
// writes nothing until every entry has been checked.
class TFormSetup : public QDialog
{
    Q_OBJECT
public:
    explicit TFormSetup(TFormMain& main);

    static constexpr int ColumnBoxes = 8;

    // "Edit Field Names" (0) or "Change Column Order" (1).
    QButtonGroup* RG1 = nullptr;
    QLabel* ImageInfo = nullptr;
    // The "Selected Names" row; tags 1..8 are the slots 1..8.
    std::array<FieldBox*, ColumnBoxes> EditOpt{};
    // The column boxes under "Column 2" ... "Column 9"; the tag is the slot shown.
    std::array<FieldBox*, ColumnBoxes> ColumnBox{};
    // "Display" under each column box, then "Display Notes In Last Column".
    std::array<QCheckBox*, 9> P{};
    QLineEdit* EditBottom = nullptr;
    QLineEdit* EditTop = nullptr;
    // 0 date and 12-hour clock, 1 date and 24-hour clock, 2 date only.
    QButtonGroup* RG2 = nullptr;
    QPushButton* BtnDef = nullptr;
    QPushButton* Btnsave1 = nullptr;
    QToolButton* BtnClose = nullptr;
    QMenu* PopupMenu = nullptr;

    // Loads the boxes from the settings and the main window.
    void FormActivate();
    void RG1Click();
    // What a drop does: the column box takes the source's text and tag.
    static void DropOnto(FieldBox& column, const FieldBox& source);
    // Saves and closes; false (after saying why) when something was refused or not written.
    bool Btnsave1Click();
    bool BtnDefClick();

    // The instruction picture.
    static QPixmap instructionPicture();

private:
    void buildControls();
    QWidget* buildFieldOptions();
    QWidget* buildFrequencyOptions();
    QWidget* buildDateOptions();
    std::optional<int> wholeMHz(const QLineEdit& box) const;
    bool tagsArePermutation() const;
    bool writeSettings(int low, int high);
    void refillMain();

    TFormMain& main_;
};

} // namespace wl
