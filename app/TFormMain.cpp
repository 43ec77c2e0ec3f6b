#include "app/TFormMain.h"

#include "app/AppConstants.h"
#include "app/CategoryAccess.h"
#include "app/EditMode.h"
#include "app/FillProgress.h"
#include "app/Glyphs.h"
#include "app/LongPath.h"
#include "app/ProgramFolders.h"
#include "app/RecordList.h"
#include "app/SettingsTree.h"
#include "app/TFormAbout.h"
#include "app/WaitCursor.h"
#include "app/WindowFit.h"
#include "app/services/CaptionedMessage.h"
#include "app/services/Registry.h"
#include "app/services/UiServices.h"
#include "grid/LocaleInfo.h"
#include "grid/TSortableGrid.h"
#include "store/CategoryFile.h"
#include "store/FrequencyRecord.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <memory>

#include <algorithm>

namespace wl {

namespace {

constexpr int ToolButtonSize = 36;
constexpr int NarrowScreen = 640;
constexpr int SmallScreen = 800;

MainWindowSetup completed(MainWindowSetup setup)
{
    if (setup.programFolder.isEmpty())
        setup.programFolder = programFolder();
    if (!setup.programFolder.endsWith(QLatin1Char('/')))
        setup.programFolder += QLatin1Char('/');
    if (setup.defaultDataFolder.isEmpty())
        setup.defaultDataFolder = defaultDataFolder(setup.programFolder);
    if (setup.settingsFile.isEmpty())
        setup.settingsFile = Registry::defaultFileName();
    return setup;
}

// A tab shows "&" as a mnemonic mark; a category name is shown as it is written.
QString tabText(const QString& category)
{
    QString text = category;
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

TFormMain::TFormMain(MainWindowSetup setup, QWidget* parent)
    : QMainWindow(parent), setup_(completed(std::move(setup)))
{
    setObjectName(QStringLiteral("FormMain"));
    setWindowIcon(Glyphs::programIcon());
    buildMenus();
    buildToolBar();
    buildCentre();
    buildPopupMenu();
    editMode_ = new EditMode(*this);
    connectCommands();
    FormCreate();
}

TFormMain::~TFormMain() = default;

// ----------------------------------------------------------------------------------------
// Building the window

QAction* TFormMain::addCommand(QMenu* menu, Command command, const QString& caption)
{
    QAction* act = menu->addAction(caption);
    actions_[command] = act;
    return act;
}

void TFormMain::buildMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    addCommand(file, Command::NewDatabase, QStringLiteral("&New Database "));
    addCommand(file, Command::SelectDatabase, QStringLiteral("&Select Database"));
    addCommand(file, Command::MergeData, QStringLiteral("&Merge Data"));
    addCommand(file, Command::RepairDatabase, QStringLiteral("&Repair Database"));
    file->addSeparator();
    addCommand(file, Command::Import, QStringLiteral("&Import"));
    addCommand(file, Command::Export, QStringLiteral("&Export"));
    file->addSeparator();
    addCommand(file, Command::DataBackup, QStringLiteral("&Data Backup"));
    addCommand(file, Command::BackupFolder, QStringLiteral("Set Data Backup &Folder"));
    addCommand(file, Command::RestoreBackup, QStringLiteral("Res&tore From Backup\u2026"));
    file->addSeparator();
    addCommand(file, Command::Exit, QStringLiteral("E&xit"));

    actions_[Command::EditCategories] = menuBar()->addAction(QStringLiteral("&Edit Categories"));
    actions_[Command::Preferences] = menuBar()->addAction(QStringLiteral("&Preferences"));

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    addCommand(view, Command::Statistics, QStringLiteral("&Statistics"))->setEnabled(false);

    QMenu* internet = menuBar()->addMenu(QStringLiteral("&Internet"));
    addCommand(internet, Command::HomePage, QStringLiteral("Wavelark &Homepage"));
    addCommand(internet, Command::MailHelp, QStringLiteral("&E-mail Help"));
    addCommand(internet, Command::CheckUpdates, QStringLiteral("Check For Program Updates"));

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    addCommand(help, Command::HelpContents, QStringLiteral("&Contents"));
    addCommand(help, Command::About, QStringLiteral("&About"));

    // The commands whose windows are not part of the program yet stay visible but disabled.
    for (Command c : {Command::NewDatabase, Command::SelectDatabase, Command::MergeData,
                      Command::RepairDatabase, Command::Import, Command::Export,
                      Command::DataBackup, Command::BackupFolder, Command::RestoreBackup,
                      Command::EditCategories, Command::Preferences, Command::CheckUpdates})
        actions_[c]->setEnabled(false);
}

QToolButton* TFormMain::addToolButton(QWidget* parent, Command command, Glyph glyph,
                                      const QString& caption, const QString& hint)
{
    auto* btn = new QToolButton(parent);
    btn->setObjectName(QStringLiteral("Btn") + caption);
    btn->setText(caption);
    btn->setIcon(Glyphs::icon(glyph));
    btn->setIconSize(QSize(18, 18));
    btn->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    btn->setAutoRaise(true);
    btn->setFixedSize(ToolButtonSize, ToolButtonSize);
    QFont small = btn->font();
    small.setPixelSize(10);
    btn->setFont(small);
    if (!hint.isEmpty()) {
        btn->setToolTip(hint.section(QLatin1Char('|'), 0, 0));
        btn->setStatusTip(hint);
    }
    buttons_[command] = btn;
    return btn;
}

void TFormMain::buildToolBar()
{
    toolPanel_ = new QWidget(this);
    toolPanel_->setObjectName(QStringLiteral("Panel1"));
    auto* row = new QHBoxLayout(toolPanel_);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(2);
    row->addWidget(addToolButton(toolPanel_, Command::Add, Glyph::Add, QStringLiteral("Add"),
                                 QStringLiteral("Add New Record")));
    row->addWidget(addToolButton(toolPanel_, Command::Edit, Glyph::Edit, QStringLiteral("Edit"),
                                 QStringLiteral("Edit Records")));
    row->addWidget(addToolButton(toolPanel_, Command::Cancel, Glyph::Cancel,
                                 QStringLiteral("Cancel"), QStringLiteral("Cancel Edit")));
    row->addWidget(addToolButton(toolPanel_, Command::Delete, Glyph::Delete,
                                 QStringLiteral("Delete"),
                                 QStringLiteral("Delete Selected Record")));
    row->addWidget(addToolButton(toolPanel_, Command::Save, Glyph::Save, QStringLiteral("Save"),
                                 QStringLiteral("Save Edit Changes")));
    row->addSpacing(12);
    row->addWidget(addToolButton(toolPanel_, Command::Find, Glyph::Find, QStringLiteral("Find"),
                                 QStringLiteral("Search Database")));
    row->addWidget(addToolButton(toolPanel_, Command::Print, Glyph::Print, QStringLiteral("Print"),
                                 QStringLiteral("Print Preview")));
    row->addWidget(addToolButton(toolPanel_, Command::Notes, Glyph::Notes, QStringLiteral("Notes"),
                                 QStringLiteral("View Note Field")));
    row->addWidget(addToolButton(toolPanel_, Command::Globe, Glyph::Globe, QStringLiteral("Globe"),
                                 QStringLiteral("Display Globe")));
    row->addWidget(addToolButton(toolPanel_, Command::Statistics, Glyph::Notes,
                                 QStringLiteral("Stats"), QStringLiteral("Log Statistics")));
    buttons_[Command::Statistics]->setEnabled(false);
    row->addSpacing(12);
    row->addWidget(
        addToolButton(toolPanel_, Command::Exit, Glyph::Exit, QStringLiteral("Exit"), QString()));
    row->addStretch(1);

    PnlTotal = new QLabel(toolPanel_);
    PnlTotal->setObjectName(QStringLiteral("PnlTotal"));
    PnlTotal->setTextFormat(Qt::PlainText);
    PnlTotal->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PnlTotal->setMinimumWidth(140);
    PnlTotal->setFixedHeight(24);
    PnlTotal->setAlignment(Qt::AlignCenter);
    QPalette navy = PnlTotal->palette();
    navy.setColor(QPalette::WindowText, QColor(QStringLiteral("navy")));
    PnlTotal->setPalette(navy);
    row->addWidget(PnlTotal);

    // Covers Find to Globe while edit mode is on; those commands do not apply then.
    PnlEditing = new QLabel(QStringLiteral("EDITING"), toolPanel_);
    PnlEditing->setObjectName(QStringLiteral("PnlEditing"));
    PnlEditing->setAlignment(Qt::AlignCenter);
    PnlEditing->setAutoFillBackground(true);
    QFont bold = PnlEditing->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 4);
    PnlEditing->setFont(bold);
    QPalette red = PnlEditing->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    PnlEditing->setPalette(red);
    PnlEditing->hide();

    for (Command c : {Command::Add, Command::Edit, Command::Cancel, Command::Delete, Command::Save,
                      Command::Find, Command::Print, Command::Notes, Command::Globe})
        buttons_[c]->setEnabled(false);
}

void TFormMain::buildCentre()
{
    auto* centre = new QWidget(this);
    auto* column = new QVBoxLayout(centre);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(toolPanel_);

    Tab1 = new QTabBar(centre);
    Tab1->setObjectName(QStringLiteral("Tab1"));
    Tab1->setExpanding(false);
    Tab1->setDrawBase(false);
    column->addWidget(Tab1);

    SortableGrid1 = new TSortableGrid(centre);
    SortableGrid1->setObjectName(QStringLiteral("SortableGrid1"));
    RecordList::setUpGrid(*SortableGrid1);
    SortableGrid1->SetColCount(ColumnCount);
    SortableGrid1->SetRowCount(2);
    SortableGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SortableGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SortableGrid1->OnColumnWidthsChanged = [this](TSortableGrid&) {
        SortableGrid1ColumnWidthsChanged();
    };
    SortableGrid1->OnClickSort = [this](TSortableGrid&, int col, int, TSortOptions& options) {
        SortableGrid1ClickSort(col, options);
    };
    column->addWidget(SortableGrid1, 1);
    setCentralWidget(centre);

    auto* status = statusBar();
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(true);
}

void TFormMain::buildPopupMenu()
{
    auto* popup = new QMenu(this);
    auto forward = [this, popup](const QString& caption, Command command) {
        QAction* item = popup->addAction(caption);
        connect(item, &QAction::triggered, this, [this, command] {
            // "Add New Record" and "Edit Records" act only while their buttons do.
            if (QToolButton* b = button(command)) {
                if (b->isEnabled())
                    b->click();
            } else if (QAction* a = action(command); a && a->isEnabled()) {
                a->trigger();
            }
        });
        return item;
    };
    forward(QStringLiteral("Add New Record"), Command::Add);
    forward(QStringLiteral("Edit Records"), Command::Edit);
    forward(QStringLiteral("Find"), Command::Find);
    forward(QStringLiteral("Print"), Command::Print);
    forward(QStringLiteral("Edit Categories"), Command::EditCategories);
    forward(QStringLiteral("Preferences"), Command::Preferences);
    SortableGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(SortableGrid1, &QWidget::customContextMenuRequested, this, [this, popup](QPoint at) {
        const auto enabledAs = [this](QAction* item, Command command) {
            if (QToolButton* b = button(command))
                item->setEnabled(b->isEnabled());
            else if (QAction* a = action(command))
                item->setEnabled(a->isEnabled());
        };
        const QList<QAction*> items = popup->actions();
        const Command order[] = {Command::Add,   Command::Edit,           Command::Find,
                                 Command::Print, Command::EditCategories, Command::Preferences};
        for (int i = 0; i < items.size(); ++i)
            enabledAs(items[i], order[i]);
        popup->popup(SortableGrid1->viewport()->mapToGlobal(at));
    });
}

void TFormMain::connectCommands()
{
    connect(action(Command::Exit), &QAction::triggered, this, &QWidget::close);
    connect(button(Command::Exit), &QToolButton::clicked, this, &QWidget::close);
    connect(action(Command::About), &QAction::triggered, this, &TFormMain::showAbout);
    connect(action(Command::HelpContents), &QAction::triggered, this,
            [] { UiServices::help().showContents(); });
    connect(action(Command::HomePage), &QAction::triggered, this, [this] {
        openAddress(app::HomePageUrl,
                    QStringLiteral("No web browser could be opened for the Wavelark home page. "
                                   "Its address is %1")
                        .arg(app::HomePageUrl));
    });
    connect(action(Command::MailHelp), &QAction::triggered, this, [this] {
        openAddress(QStringLiteral("mailto:") + app::SupportMailAddress +
                        QStringLiteral("?subject=Wavelark"),
                    QStringLiteral("No mail program could be opened. Write to %1 with the "
                                   "subject \"Wavelark\".")
                        .arg(app::SupportMailAddress));
    });
    connect(button(Command::Edit), &QToolButton::clicked, this, [this] {
        if (writableFor(Command::Edit))
            editMode_->edit();
    });
    connect(button(Command::Save), &QToolButton::clicked, editMode_, &EditMode::save);
    connect(button(Command::Cancel), &QToolButton::clicked, editMode_, &EditMode::cancel);
    connect(button(Command::Delete), &QToolButton::clicked, editMode_, &EditMode::deleteSelected);
    connect(Tab1, &QTabBar::currentChanged, this, &TFormMain::Tab1Click);
    auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
    connect(f1, &QShortcut::activated, this, &TFormMain::showHelpForWindow);
}

void TFormMain::setCommandHandler(Command command, std::function<void()> handler)
{
    auto shared = std::make_shared<std::function<void()>>(std::move(handler));
    const auto run = [this, command, shared] {
        if (writableFor(command) && editFinishedFor(command))
            (*shared)();
    };
    handled_.insert(command);
    if (QAction* a = action(command)) {
        connect(a, &QAction::triggered, this, run);
        a->setEnabled(true);
    }
    if (QToolButton* b = button(command)) {
        connect(b, &QToolButton::clicked, this, run);
        b->setEnabled(true);
    }
}

bool TFormMain::editFinishedFor(Command command)
{
    // These windows refill the grid or change records under it: unsaved cells would be lost
    // without a word, or written later onto a list that no longer matches them.
    static const std::set<Command> refilling = {
        Command::NewDatabase, Command::SelectDatabase, Command::MergeData,  Command::RepairDatabase,
        Command::Import,      Command::EditCategories, Command::Preferences};
    if (!editing_ || !refilling.contains(command))
        return true;
    const auto answer = CaptionedMessage(
        QStringLiteral("Edit Not Saved"), QStringLiteral("Do you wish to complete your edit?"),
        MessageKind::Confirmation, app::HelpContext::MainEdit, QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::No)
        return false;
    SetBrowseMode();
    return true;
}

void TFormMain::setNotesEditorHandler(std::function<void(int row)> handler)
{
    notesEditor_ = std::move(handler);
}

void TFormMain::openNotesEditor(int row)
{
    if (notesEditor_)
        notesEditor_(row);
}

QAction* TFormMain::action(Command command) const
{
    const auto found = actions_.find(command);
    return found != actions_.end() ? found->second : nullptr;
}

QToolButton* TFormMain::button(Command command) const
{
    const auto found = buttons_.find(command);
    return found != buttons_.end() ? found->second : nullptr;
}

// ----------------------------------------------------------------------------------------
// Start-up

void TFormMain::FormCreate()
{
    const QSize screen = UiServices::screen().screenSize();
    const QRect workArea = UiServices::screen().workArea();

    ReadReg(true);
    if (const store::Status made = MakeTable(); !made)
        ShowMessage(QStringLiteral("Table create failure"), made.error);
    if (const store::Status opened = OpenTable(); !opened)
        ShowMessage(QStringLiteral("Database read failure"), opened.error);

    if (settings_.maximized || screen.width() == NarrowScreen)
        setWindowState(windowState() | Qt::WindowMaximized);

    helpContext_ = app::HelpContext::MainBrowse;
    QCoreApplication::setApplicationName(app::ProductName);

    if (screen.width() < SmallScreen) {
        CaptionedMessage(QStringLiteral("Error"),
                         QStringLiteral("A screen resolution of 800x600 or higher is required "
                                        "by this program."),
                         MessageKind::Error, 0, QMessageBox::Ok);
    }
    if (screen.width() == SmallScreen) {
        WindowFit::fit(*this, QRect(0, 0, SmallScreen, workArea.height()));
    }
    createCategoryFileIfMissing();
}

void TFormMain::createCategoryFileIfMissing()
{
    QString error;
    if (!CategoryAccess::createDefaultIfMissing(settings_.dataBasePath, &error))
        ShowMessage(error);
}

void TFormMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        // The window itself appears only once this event has been handled.
        if (setup_.fillOnScreen)
            QTimer::singleShot(0, this, &TFormMain::FormShow);
        else
            FormShow();
    }
    placeEditingPanel();
}

void TFormMain::FormShow()
{
    ReadCategories();
    setCategories(listCategory_);
    // On the first start no width was ever chosen: the defaults would cut headings and
    // dates, so the columns are fitted to their texts once and the widths kept. (The fill
    // itself stores the widths it sets, so the question comes first.)
    // The fit comes after browse mode is set: widths are stored only in browse mode.
    const bool firstStart = !columnWidthsStored();
    // The list can be scrolled while it is still filling.
    SortableGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    SortableGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ReadAllRecords();
    setWindowTitle(MainCaption());
    SetBrowseMode();
    if (firstStart) {
        RecordList::fitColumnsToText(*SortableGrid1, settings_);
        SortableGrid1ColumnWidthsChanged();
    }
}

void TFormMain::setCategories(const QStringList& names)
{
    listCategory_ = store::CategoryFile::sorted(names);
    const QSignalBlocker quiet(Tab1);
    while (Tab1->count() > 0)
        Tab1->removeTab(0);
    Tab1->addTab(QStringLiteral("All Records"));
    for (const QString& name : listCategory_) {
        const int index = Tab1->addTab(tabText(name));
        Tab1->setTabData(index, name);
    }
    Tab1->setCurrentIndex(0);
}

// ----------------------------------------------------------------------------------------
// Settings, table and categories

void TFormMain::ReadReg(bool fullRead)
{
    Registry registry(setup_.settingsFile);
    if (const QString problem = Registry::takeReadProblem(); !problem.isEmpty())
        ShowMessage(problem);
    SettingsTree::readReg(registry, settings_, fullRead, setup_.defaultDataFolder);
    if (fullRead)
        applyGeometry();
    if (!registry.flush())
        reportSettingsError(registry.errorString());
}

void TFormMain::reportSettingsError(const QString& error)
{
    // Told once: the layout is read at every tab change and written at every width change.
    if (settingsErrorShown_)
        return;
    settingsErrorShown_ = true;
    ShowMessage(QStringLiteral("The settings could not be saved."), error);
}

void TFormMain::applyGeometry()
{
    // Settings read back while the window is maximized (the preferences do) leave it so.
    if (isMaximized())
        return;
    move(settings_.geometry.topLeft());
    resize(settings_.geometry.size());
}

bool TFormMain::WriteRegistry()
{
    settings_.maximized = isMaximized();
    if (!settings_.maximized)
        settings_.geometry = QRect(pos(), size());
    Registry registry(setup_.settingsFile);
    const bool written = SettingsTree::writeRegistry(registry, settings_);
    settingsError_ = registry.errorString();
    return written;
}

store::Status TFormMain::MakeTable()
{
    WaitCursor wait;
    // The user's data folder of an installed program may not exist before the first start.
    if (QDir::cleanPath(settings_.dataBasePath) == QDir::cleanPath(setup_.defaultDataFolder))
        QDir().mkpath(settings_.dataBasePath);
    table_.setDatabaseName(settings_.dataBasePath);
    table_.setTableName(store::FrequencyRecord::TableFile);
    store::FrequencyRecord::define(table_);
    if (table_.exists())
        return store::Status::success();
    return table_.createTable();
}

store::Status TFormMain::OpenTable()
{
    table_.close();
    table_.setDatabaseName(settings_.dataBasePath);
    table_.setTableName(store::FrequencyRecord::TableFile);
    if (store::Status s = openWritingOrReading(); !s)
        return s;
    if (store::Status s = table_.setIndexName(QStringLiteral("By frequency")); !s)
        return s;
    return table_.setRange(settings_.lowFrequency, settings_.hiFrequency);
}

store::Status TFormMain::openWritingOrReading()
{
    const QString wasReadOnly = readOnlyReason_;
    readOnlyReason_.clear();
    const store::Status writing =
        setup_.openForWriting ? setup_.openForWriting(table_) : table_.open();
    // Only a folder or files that cannot be written fall back to reading; a table in use or
    // damaged is refused as before.
    if (writing ||
        !writing.error.startsWith(QStringLiteral("The table cannot be opened for writing")))
        return writing;
    table_.close();
    if (const store::Status reading = table_.openForReading(); !reading)
        return writing;
    readOnlyReason_ = writing.error;
    if (readOnlyReason_ != wasReadOnly)
        ShowMessage(QStringLiteral("The log is open read-only: its records can be listed, "
                                   "printed, exported and backed up, but not changed."),
                    readOnlyReason_);
    return store::Status::success();
}

bool TFormMain::writableFor(Command command)
{
    static const std::set<Command> writing = {
        Command::Add,       Command::Edit,           Command::Delete,
        Command::Save,      Command::Import,         Command::RepairDatabase,
        Command::MergeData, Command::EditCategories, Command::RestoreBackup};
    if (!readOnly() || !writing.contains(command))
        return true;
    ShowMessage(QStringLiteral("The log is open read-only, so its records cannot be changed. "
                               "Make its folder writable (or free space on its disk) and open "
                               "it again."),
                readOnlyReason_);
    return false;
}

void TFormMain::ReadCategories()
{
    QString error;
    if (std::optional<QStringList> names = CategoryAccess::read(settings_.dataBasePath, &error)) {
        listCategory_ = *names;
    } else if (!error.isEmpty()) {
        ShowMessage(error);
    }
}

// ----------------------------------------------------------------------------------------
// The record list

QString TFormMain::CategoryFilter(const QString& category)
{
    return RecordList::categoryFilter(category);
}

QString TFormMain::DisplayDateFormat() const
{
    return LocaleInfo::current().DisplayDateFormat();
}

void TFormMain::ReadAllRecords()
{
    const int tab = Tab1->currentIndex();
    std::optional<QString> category;
    if (tab > 0)
        category = Tab1->tabData(tab).toString();
    FillProgress progress(*this, *SortableGrid1, *PnlTotal);
    const RecordList::Outcome outcome = RecordList::fill(
        *SortableGrid1, table_, settings_, category,
        [&progress](qint64 rows, qint64 expected) { return progress.update(rows, expected); });
    PnlTotal->setText(
        FillProgress::totalText(outcome.records, outcome.expected, outcome.cancelled));
    if (!outcome.error.isEmpty())
        ShowMessage(QStringLiteral("The records could not be read."), outcome.error);
    // Closing was held back while the table was being read.
    if (progress.closeRequested())
        QTimer::singleShot(0, this, &QWidget::close);
}

qint64 TFormMain::RecNumOfRow(int row) const
{
    return RecordList::recNumOfRow(*SortableGrid1, row);
}

void TFormMain::SortableGrid1ColumnWidthsChanged()
{
    // Edit mode shows a fixed layout of its own, which is not the user's.
    if (!PnlEditing->isHidden())
        return;
    const int first = Tab1->currentIndex() > 0 ? 1 : 0;
    for (int position = first; position < ColumnCount; ++position) {
        const int col = position - first;
        settings_.columnWidths[size_t(position)] = col < SortableGrid1->ColCount()
                                                       ? SortableGrid1->ColWidths(col)
                                                       : SortableGrid1->DefaultColWidth();
    }
    WriteColumns();
}

bool TFormMain::columnWidthsStored() const
{
    Registry registry(setup_.settingsFile);
    return registry.openKey(app::SettingsKey + app::ColumnDataKey, false) &&
           !registry.valueNames().isEmpty();
}

void TFormMain::WriteColumns()
{
    Registry registry(setup_.settingsFile);
    registry.openKey(app::SettingsKey + app::ColumnDataKey, true);
    for (int k = 0; k < ColumnCount; ++k)
        registry.writeInteger(QStringLiteral("Width ") + QString::number(k),
                              settings_.columnWidths[size_t(k)]);
    registry.closeKey();
    if (!registry.flush())
        reportSettingsError(registry.errorString());
}

void TFormMain::SortableGrid1ClickSort(int col, TSortOptions& options)
{
    if (editing_ || col < 0 || col >= ColumnCount)
        return;
    // A sorted grid no longer lists the records in frequency order; Delete comes back with
    // browse mode.
    button(Command::Delete)->setEnabled(false);
    bool& descending = sortDescending_[size_t(col)];
    options.Descending = descending;
    descending = !descending;
}

void TFormMain::Tab1Click(int index)
{
    if (editing_) {
        const auto answer = CaptionedMessage(QStringLiteral("Edit Not Saved"),
                                             QStringLiteral("Do you wish to complete your edit?"),
                                             MessageKind::Confirmation, app::HelpContext::MainEdit,
                                             QMessageBox::Yes | QMessageBox::No);
        if (answer != QMessageBox::No) {
            const QSignalBlocker quiet(Tab1);
            Tab1->setCurrentIndex(0);
            return;
        }
    }
    runTabChange(index);
}

void TFormMain::runTabChange(int index)
{
    ReadReg(false);
    if (index > 0) {
        if (editing_)
            SetBrowseMode();
        PnlEditing->hide();
        button(Command::Edit)->setEnabled(false);
        button(Command::Save)->setEnabled(false);
        ReadAllRecords();
    } else {
        ReadAllRecords();
        SetBrowseMode();
    }
}

void TFormMain::SetBrowseMode()
{
    // Edit mode is left without writing anything.
    const bool wasEditing = editing_;
    setEditing(false);
    editMode_->showBrowseMode();
    if (wasEditing) {
        // The fixed layout of edit mode gives way to the user's saved one.
        ReadReg(false);
        ReadAllRecords();
    }
}

bool TFormMain::onAllRecords() const
{
    return Tab1->currentIndex() <= 0;
}

void TFormMain::setEditing(bool on)
{
    editing_ = on;
    if (!on)
        editedRows_.clear();
    PnlEditing->setVisible(on);
    helpContext_ = on ? app::HelpContext::MainEdit : app::HelpContext::MainBrowse;
    placeEditingPanel();
}

// ----------------------------------------------------------------------------------------
// Captions, hints, help

QString TFormMain::MainCaption() const
{
    const QString file = ExpandLongPath(settings_.dataBasePath) + QLatin1Char('/') +
                         store::FrequencyRecord::TableFile;
    return app::ProductName + QStringLiteral(" - ") + QDir::toNativeSeparators(file) +
           QStringLiteral("   ") + QString::number(settings_.lowFrequency) + QStringLiteral(" - ") +
           QString::number(settings_.hiFrequency) + QStringLiteral(" MHz");
}

QString TFormMain::longHint(const QString& hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.mid(bar + 1);
}

void TFormMain::DisplayHint(const QString& hint)
{
    statusBar()->showMessage(longHint(hint));
}

bool TFormMain::event(QEvent* event)
{
    if (event->type() == QEvent::StatusTip) {
        DisplayHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TFormMain::showHelpForWindow()
{
    UiServices::help().showContext(helpContext_);
}

void TFormMain::showAbout()
{
    TFormAbout about(this);
    about.exec();
}

void TFormMain::openAddress(const QString& address, const QString& failure)
{
    // Without a browser or mail program nothing would happen at all: say so, with the address.
    if (!UiServices::desktop().openUrl(QUrl(address)))
        CaptionedMessage(app::ProductName, failure, MessageKind::Information,
                         app::HelpContext::Internet, QMessageBox::Ok);
}

void TFormMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    placeEditingPanel();
}

void TFormMain::placeEditingPanel()
{
    const QRect cover =
        button(Command::Find)->geometry().united(button(Command::Globe)->geometry());
    PnlEditing->setGeometry(cover);
    PnlEditing->raise();
}

// ----------------------------------------------------------------------------------------
// Closing

void TFormMain::selectAllRecordsTab()
{
    // The window is closing: the tab and the table's filter go back to "All Records" so the
    // next start and anything reading the table see every record, but the grid is not refilled
    // for a window nobody will see again (a million records took seconds to read for nothing).
    if (Tab1->currentIndex() <= 0)
        return;
    {
        const QSignalBlocker quiet(Tab1);
        Tab1->setCurrentIndex(0);
    }
    table_.setFiltered(false);
}

void TFormMain::closeEvent(QCloseEvent* event)
{
    if (editing_) {
        const auto answer = CaptionedMessage(QStringLiteral("Confirm"),
                                             QStringLiteral("Exit without saving changes?"),
                                             MessageKind::Confirmation, app::HelpContext::MainEdit,
                                             QMessageBox::Yes | QMessageBox::No);
        if (answer != QMessageBox::Yes) {
            event->ignore();
            return;
        }
        // The unsaved grid edits are dropped: nothing is written to the table.
        setEditing(false);
    }
    selectAllRecordsTab();
    if (!WriteRegistry())
        ShowMessage(QStringLiteral("The settings could not be saved."), settingsError_);
    UiServices::help().quit();
    table_.close();
    event->accept();
}

} // namespace wl
