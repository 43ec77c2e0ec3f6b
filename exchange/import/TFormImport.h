#pragma once

#include "exchange/import/ImportWriter.h"

#include <QDialog>
#include <QStringList>

#include <optional>
#include <vector>

class QCheckBox;
class QFile;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace wl {

class MovablePanel;
class TExportStringGrid;
class TFormMain;
class TSortableGrid;
class ImportRecordBuilder;
struct ImportRecord;

// The import assistant: shows a comma-delimited text file as a spreadsheet, lets the user
// shape it into the eight columns of a record (insert, delete, move and combine columns,
// delete rows, fix the case of names) and appends one record per data row to the main
// window's table under a chosen category.
//
// Row 0 of the spreadsheet is its heading row; data rows start at 1. Converting either stores
// every data row or, when a row cannot be read or the table fails, none.
class TFormImport : public QDialog
{
    Q_OBJECT
public:
    // The help context of the window.
    static constexpr int HelpContext = 95;
    // The most columns the spreadsheet holds. A record has eight fields, so wider lines are
    // of no use to an import, and a grid of a million columns would take minutes to lay out.
    static constexpr int MaxColumns = 256;

    explicit TFormImport(TFormMain& main);
    ~TFormImport() override;

    QPushButton* BtnOpen = nullptr;
    QComboBox* ComboFormat = nullptr; // the file's layout: the 8 columns or another program's
    QPushButton* BtnDelete = nullptr;
    QPushButton* BtnInsert = nullptr;
    QGroupBox* RG1 = nullptr;
    QRadioButton* RG1Columns = nullptr;
    QRadioButton* RG1Rows = nullptr;
    QPushButton* BtnProperName = nullptr;
    QPushButton* BtnClear = nullptr;
    QPushButton* BtnComb1 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QLineEdit* EditHZ = nullptr;
    QPushButton* BtnConvert = nullptr;
    QPushButton* BtnExport = nullptr;
    QPushButton* BtnClose = nullptr;
    QListWidget* ListCategory = nullptr;
    QWidget* Panel4 = nullptr;
    TSortableGrid* SortableGrid2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label5 = nullptr;
    MovablePanel* Panel5 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QCheckBox* CB1 = nullptr;
    QToolButton* btncombine = nullptr;
    QToolButton* BtnHide = nullptr;
    TExportStringGrid* ExportStringGrid1 = nullptr;

    // The text of the help panel.
    static QString HelpText();

    void FormActivate();
    // Asks for a file and reads it; a cancelled dialog changes nothing.
    void BtnOpenDialClick();
    // Reads a file into the spreadsheet. An unreadable or empty file is reported and the
    // spreadsheet keeps what it held.
    void FillGrid(const QString& fileName);
    // Reads a file in another program's format, shows the column mapping and the report, and
    // stores all its records under the selected category or none.
    void importFormatFile(int format, const QString& fileName);
    // Stores the records under the category (a record with a category of its own keeps it)
    // with a progress window whose Cancel stores nothing, after the user agreed to any texts
    // being cut, then says how many were stored. Categories the records bring that the list
    // lacks join it.
    void storeRecords(const std::vector<ImportRecord>& records, const QString& category);
    void BtnDeleteClick();
    void BtnInsertClick();
    void RG1Click();
    void SortableGrid2Click();
    void SortableGrid2KeyDown(int& key);
    void SortableGrid2ColumnInsert();
    void BtnProperNameClick();
    void BtnClearClick();
    void BtnComb1Click();
    void BtnHideClick();
    void Edit1Change();
    void btncombineClick();
    void BtnConvertClick();
    void BtnExportClick();
    void BtnCloseClick();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    QWidget* buildToolRow();
    QWidget* buildFieldNames();
    void buildCombinePanel();
    void placeWindow();
    bool columnsMode() const;
    void selectCurrent();
    void reHead();
    void fitAllColumns();
    void showCounts();
    void showRowsMessage(const QStringList& problems);
    bool checkSheet(const ImportRecordBuilder& builder, const QString& category);
    void showRefusedRow(int row);
    // Lists the texts that storing would cut and asks whether to go on; true when none.
    bool acceptCuts(const QStringList& cuts);
    static QStringList shortList(const QStringList& lines);
    void refreshMainWindow();
    std::vector<QStringList> gridRows(int firstRow) const;
    void setGridRows(std::vector<QStringList> rows);
    // The whole file, or nothing when it cannot be read (the user is told why).
    static std::optional<QByteArray> readImportFile(const QString& fileName);
    // The bytes of the file: its mapped pages while `file` stays open, or else the whole file
    // read into `copy`; nothing when it cannot be read (the user is told why).
    static std::optional<QByteArrayView> mapImportFile(QFile& file, QByteArray& copy);
    void storeSheet(const ImportRecordBuilder& builder, const QString& category);
    // Stores with a progress window whose Cancel stores nothing and reports the outcome, except
    // refused rows, which the caller reports. newCategories join the category list once
    // records are stored.
    ImportWriter::Outcome storeFeed(const ImportWriter::Feed& feed, int expected,
                                    const QString& category,
                                    const QStringList& newCategories = {});
    // Adds names to the category file and the main window's list; the lines telling the user
    // what was added, or why not.
    QStringList addCategories(const QStringList& names);
    bool Edit1KeyPress(const QString& typed);

    TFormMain& main_;
};

} // namespace wl
