#pragma once

#include <QDialog>
#include <QStringList>

class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;

namespace wl {

class TFormMain;

// The category editor: adds, deletes and renames categories, keeping the main window's list,
// its tabs and the category file in step. The file is written first; when that fails nothing
// else changes. A rename can also carry the new name into the stored records.
class TFormCategory : public QDialog
{
    Q_OBJECT
public:
    explicit TFormCategory(TFormMain& main);

    QListWidget* ListCategory = nullptr;
    QLineEdit* EditCategory = nullptr;
    QPushButton* BtnAdd = nullptr;
    QPushButton* BtnDelete = nullptr;
    QPushButton* BtnSave = nullptr;
    QPushButton* BtnClear = nullptr;
    QToolButton* BtnClose = nullptr;

    // Fills the dialog's list from the main window's, nothing selected.
    void FormActivate();
    void BtnAddClick();
    void BtnDeleteClick();
    void BtnSaveClick();
    void BtnClearClick();

    // Adds the edit box's text as a category.
    void AddCategoryRecord();
    // Sets the category of every record in the frequency range that has the old name. All or
    // none are changed; false (after telling the user) when the table could not be written.
    bool RenameCategoryInRecords(const QString& oldName, const QString& newName);

private:
    void buildControls();
    void backToAllRecords();
    void applyCategories(const QStringList& names);
    QString selectedName() const;

    TFormMain& main_;
};

} // namespace wl
