#pragma once

#include "app/Glyphs.h"
#include "app/MainSettings.h"
#include "app/services/MessageService.h"
#include "store/Table.h"

#include <QMainWindow>
#include <QStringList>

#include <array>
#include <functional>
#include <map>
#include <set>

class QAction;
class QLabel;
class QMenu;
class QTabBar;
class QToolButton;
class QWidget;

namespace wl {

class EditMode;
class TSortableGrid;
struct TSortOptions;

// Where the main window finds its program folder, its default data folder and its settings.
// Empty texts take the running program's values.
struct MainWindowSetup
{
    QString programFolder;
    QString defaultDataFolder;
    QString settingsFile;
    // The first fill of the list waits until the window is on screen, so that its first rows
    // show while the rest is still being read. Off, the list is complete when show() returns.
    bool fillOnScreen = false;
    // The writing open of the frequency table; empty opens it as usual. Tests refuse it the
    // way a folder without write access does.
    std::function<store::Status(store::Table&)> openForWriting;
};

// The commands of the main window's menus and tool bar.
enum class Command
{
    NewDatabase,
    SelectDatabase,
    MergeData,
    RepairDatabase,
    Import,
    Export,
    DataBackup,
    BackupFolder,
    RestoreBackup,
    Exit,
    EditCategories,
    Preferences,
    HelpContents,
    About,
    HomePage,
    MailHelp,
    CheckUpdates,
    Add,
    Edit,
    Cancel,
    Delete,
    Save,
    Find,
    Print,
    Notes,
    Globe,
    Statistics
};

// The program's main window: it reads the settings, creates and opens the frequency table,
// shows the records of the chosen tab and writes the window's place back when it closes.
// Other windows reach the open table, the category list, the column layout and the range here.
class TFormMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit TFormMain(MainWindowSetup setup = {}, QWidget* parent = nullptr);
    ~TFormMain() override;

    // Shared state.
    QString programFolder() const { return setup_.programFolder; }
    QString settingsFile() const { return setup_.settingsFile; }
    MainSettings& settings() { return settings_; }
    const MainSettings& settings() const { return settings_; }
    store::Table& table() { return table_; }
    store::Table& mergeTable() { return mergeTable_; }
    const QStringList& categories() const { return listCategory_; }
    // Replaces the category list (kept sorted without regard to case) and the tabs.
    void setCategories(const QStringList& names);
    bool editing() const { return editing_; }
    // The "All Records" tab is selected: the only one on which records can be edited.
    bool onAllRecords() const;
    void setEditing(bool on);
    QStringList& editedRows() { return editedRows_; }

    // Operations other windows call.
    void ReadReg(bool fullRead);
    bool WriteRegistry();
    store::Status MakeTable();
    // Opens the table for writing; when its folder or files cannot be written, for reading
    // only, and says so once: the records are listed, backed up and exported, nothing else.
    store::Status OpenTable();
    bool readOnly() const { return !readOnlyReason_.isEmpty(); }
    // False, with the reason shown, when command would change the records of a read-only table.
    bool writableFor(Command command);
    void ReadCategories();
    void ReadAllRecords();
    // Writes the column widths by visible position to the settings.
    void WriteColumns();
    // The date part of the grid's date-time format.
    QString DisplayDateFormat() const;
    // The record shown in a grid row (row 0 is the heading row), 0 for none. Rows are matched
    // to records only through this: after a heading click row R is no longer the R-th record.
    qint64 RecNumOfRow(int row) const;
    // Browse mode: ends edit mode (dropping unsaved cells and bringing back the saved layout)
    // and makes the grid select rows and sort on heading clicks again.
    void SetBrowseMode();
    EditMode& editMode() { return *editMode_; }
    QString MainCaption() const;
    void DisplayHint(const QString& hint);
    static QString CategoryFilter(const QString& category);

    // Widgets and commands, named as the other windows know them.
    QTabBar* Tab1 = nullptr;
    TSortableGrid* SortableGrid1 = nullptr;
    QLabel* PnlTotal = nullptr;
    QLabel* PnlEditing = nullptr;
    QAction* action(Command command) const;
    QToolButton* button(Command command) const;
    // Lets a window library that builds on the main window carry out a command: the command's
    // menu item and tool button run the handler and are enabled from then on.
    // Commands that refill or change the records ask first while edit mode is on.
    void setCommandHandler(Command command, std::function<void()> handler);
    bool hasCommandHandler(Command command) const { return handled_.contains(command); }
    // The notes editor of a grid row, opened by a click on the Notes column in edit mode; it
    // lives in the record windows' library, which installs it here.
    void setNotesEditorHandler(std::function<void(int row)> handler);
    void openNotesEditor(int row);
    int helpContext() const { return helpContext_; }

    // The long part of a "short|long" hint.
    static QString longHint(const QString& hint);

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void Tab1Click(int index);
    void selectAllRecordsTab();
    void runTabChange(int index);
    void applyGeometry();
    void createCategoryFileIfMissing();
    store::Status openWritingOrReading();
    void buildMenus();
    void buildToolBar();
    void buildCentre();
    void buildPopupMenu();
    QAction* addCommand(QMenu* menu, Command command, const QString& caption);
    QToolButton* addToolButton(QWidget* parent, Command command, Glyph glyph,
                               const QString& caption, const QString& hint);
    void connectCommands();
    bool editFinishedFor(Command command);
    void placeEditingPanel();
    void SortableGrid1ColumnWidthsChanged();
    bool columnWidthsStored() const;
    void SortableGrid1ClickSort(int col, TSortOptions& options);
    void reportSettingsError(const QString& error);
    void showAbout();
    void openAddress(const QString& address, const QString& failure);
    void showHelpForWindow();

    MainWindowSetup setup_;
    MainSettings settings_;
    store::Table table_;
    store::Table mergeTable_;
    QStringList listCategory_;
    bool editing_ = false;
    QStringList editedRows_;
    QString settingsError_;
    // Why the open table could only be opened for reading; empty when it is writable.
    QString readOnlyReason_;
    bool settingsErrorShown_ = false;
    int helpContext_ = 0;
    bool shownOnce_ = false;
    QWidget* toolPanel_ = nullptr;
    // Per grid column: the next heading click sorts descending. Kept for the whole run.
    std::array<bool, ColumnCount> sortDescending_{};
    std::function<void(int row)> notesEditor_;
    std::map<Command, QAction*> actions_;
    std::map<Command, QToolButton*> buttons_;
    std::set<Command> handled_;
    EditMode* editMode_ = nullptr;
};

} // namespace wl
