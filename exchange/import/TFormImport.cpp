#include "exchange/import/TFormImport.h"

#include "app/MainSettings.h"
#include "app/MovablePanel.h"
#include "app/TFormMain.h"
#include "app/WaitCursor.h"
#include "app/WindowFit.h"
#include "app/services/CaptionedMessage.h"
#include "app/services/UiServices.h"
#include "exchange/export/TExportStringGrid.h"
#include "exchange/import/ImportCategories.h"
#include "exchange/import/ImportColumns.h"
#include "exchange/import/ImportFile.h"
#include "exchange/import/ImportMessages.h"
#include "exchange/import/ImportRecordBuilder.h"
#include "exchange/import/ImportText.h"
#include "exchange/import/ImportWriter.h"
#include "exchange/import/ProperName.h"
#include "exchange/import/RowNumberHeader.h"
#include "exchange/import/SheetFiller.h"
#include "exchange/import/formats/ImportFormats.h"
#include "grid/LocaleInfo.h"
#include "grid/TSortableGrid.h"
#include "store/CategoryFile.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>

namespace wl {

namespace {

constexpr int DesignWidth = 800;
constexpr int DesignHeight = 560;
constexpr int ProblemsShown = 12;

// About how many lines the bytes hold, from the lines of their first megabyte, so the
// spreadsheet's columns are sized once without a pass over the whole file.
int expectedRows(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return 1;
    const QByteArrayView sample = bytes.first(std::min<qsizetype>(bytes.size(), 1 << 20));
    qsizetype lines = 1;
    for (const char *p = sample.data(), *end = p + sample.size();
         (p = static_cast<const char*>(std::memchr(p, '\n', std::size_t(end - p)))) != nullptr; ++p)
        ++lines;
    const double perByte = double(lines) / double(std::max<qsizetype>(sample.size(), 1));
    return int(std::min(double(bytes.size()) * perByte * 1.05 + 1, double(1 << 24)));
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& hint = {})
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    if (!hint.isEmpty()) {
        button->setToolTip(hint);
        button->setStatusTip(hint);
    }
    button->setAutoDefault(false);
    return button;
}

QLabel* plainLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

// Keeps a window's own controls from taking input, and the window from closing, while records
// are stored from its spreadsheet: a worker thread reads the cells meanwhile, and the progress
// window that would block the input shows only after a second. Its own windows (the progress
// window) stay usable, so Cancel works.
class InputHold : public QObject
{
public:
    explicit InputHold(QWidget& window) : window_(window) { qApp->installEventFilter(this); }
    ~InputHold() override { qApp->removeEventFilter(this); }
    InputHold(const InputHold&) = delete;
    InputHold& operator=(const InputHold&) = delete;

protected:
    bool eventFilter(QObject* target, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Close:
            if (target != &window_)
                return false;
            event->ignore();
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop: {
            const auto* widget = qobject_cast<const QWidget*>(target);
            return widget && widget->window() == &window_;
        }
        default:
            return false;
        }
    }

private:
    QWidget& window_;
};

} // namespace

// The spreadsheet outlives this part of the window: focus leaving it while the dialog goes
// away would otherwise call back into a window that no longer exists.
TFormImport::~TFormImport()
{
    SortableGrid2->OnClick = nullptr;
    SortableGrid2->OnKeyDown = nullptr;
    SortableGrid2->OnColumnInsert = nullptr;
}

TFormImport::TFormImport(TFormMain& main) : QDialog(&main), main_(main)
{
    setObjectName(QStringLiteral("FormImport"));
    setWindowTitle(ImportMessages::Caption);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);
    QFont face(QStringLiteral("Arial"));
    face.setPixelSize(11);
    setFont(face);
    resize(DesignWidth, DesignHeight);
    buildControls();
    placeWindow();
    auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
    connect(f1, &QShortcut::activated, this,
            [] { UiServices::help().showContext(TFormImport::HelpContext); });
    reHead();
    FormActivate();
}

// ---- building --------------------------------------------------------------------------------

void TFormImport::buildControls()
{
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(buildToolRow());
    outer->addWidget(buildFieldNames());

    auto* middle = new QHBoxLayout;
    SortableGrid2 = new TSortableGrid(this);
    SortableGrid2->setObjectName(QStringLiteral("SortableGrid2"));
    SortableGrid2->SetFixedCols(0);
    SortableGrid2->SetColCount(1);
    SortableGrid2->SetRowCount(2);
    SortableGrid2->SetFixedRows(1);
    SortableGrid2->SetOptions(SortableGrid2->Options() | TSortableGrid::goColSizing);
    SortableGrid2->SetClickSorting(false);
    SortableGrid2->SetCaseSensitive(false);
    SortableGrid2->SetAlignmentHorz(TAlignment::taLeftJustify);
    SortableGrid2->SetAlignmentVert(TVertAlignment::taTopJustify);
    SortableGrid2->SetBevelStyle(TCellBevelStyle::cbNone);
    SortableGrid2->SetProportionalScrollBars(true);
    SortableGrid2->SetExtendedKeys(false);
    SortableGrid2->OnClick = [this](TSortableGrid&) { SortableGrid2Click(); };
    SortableGrid2->OnKeyDown = [this](TSortableGrid&, int& key, Qt::KeyboardModifiers) {
        SortableGrid2KeyDown(key);
    };
    SortableGrid2->OnColumnInsert = [this](TSortableGrid&, int) { SortableGrid2ColumnInsert(); };
    // A mouse click selects the clicked cell after the click handler ran; the handler's column
    // or row selection is put back when the button is released.
    SortableGrid2->viewport()->installEventFilter(this);
    // Row numbers down the side: the messages about refused rows name them.
    const int rowHeight = SortableGrid2->verticalHeader()->defaultSectionSize();
    SortableGrid2->setVerticalHeader(new RowNumberHeader(SortableGrid2));
    SortableGrid2->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    SortableGrid2->verticalHeader()->setMinimumSectionSize(1);
    SortableGrid2->verticalHeader()->setDefaultSectionSize(rowHeight);
    SortableGrid2->verticalHeader()->show();
    middle->addWidget(SortableGrid2, 1);

    // The category list with the commands that finish the work beside the spreadsheet.
    auto* side = new QVBoxLayout;
    ListCategory = new QListWidget(this);
    ListCategory->setObjectName(QStringLiteral("ListCategory"));
    ListCategory->setSelectionMode(QAbstractItemView::SingleSelection);
    ListCategory->setFixedWidth(140);
    side->addWidget(ListCategory, 1);
    BtnConvert = makeButton(this, "BtnConvert", QStringLiteral("Convert"),
                            QStringLiteral("Convert Spreadsheet And Save As Frequency Datafile"));
    BtnExport = makeButton(this, "BtnExport", QStringLiteral("Export"),
                           QStringLiteral("Export Spreadsheet Data"));
    BtnClose = makeButton(this, "BtnClose", QStringLiteral("Close"));
    for (QPushButton* button : {BtnConvert, BtnExport, BtnClose})
        side->addWidget(button);
    middle->addLayout(side);
    outer->addLayout(middle, 1);

    auto* status = new QHBoxLayout;
    Label1 = plainLabel(QStringLiteral("Rows ="), this);
    Label2 = plainLabel(QStringLiteral("Columns ="), this);
    Label3 = plainLabel(QStringLiteral("Selected Column = "), this);
    for (QLabel* label : {Label1, Label2, Label3}) {
        label->setMinimumWidth(140);
        status->addWidget(label);
    }
    status->addStretch(1);
    outer->addLayout(status);

    Label5 = plainLabel(QString(), this);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setAutoFillBackground(true);
    Label5->setBackgroundRole(QPalette::ToolTipBase);
    Label5->setForegroundRole(QPalette::ToolTipText);
    Label5->setWordWrap(true);
    Label5->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    outer->addWidget(Label5);

    buildCombinePanel();

    ExportStringGrid1 = new TExportStringGrid(this, SortableGrid2);
    ExportStringGrid1->setObjectName(QStringLiteral("ExportStringGrid1"));

    connect(BtnOpen, &QPushButton::clicked, this, &TFormImport::BtnOpenDialClick);
    connect(BtnDelete, &QPushButton::clicked, this, &TFormImport::BtnDeleteClick);
    connect(BtnInsert, &QPushButton::clicked, this, &TFormImport::BtnInsertClick);
    connect(RG1Columns, &QRadioButton::clicked, this, &TFormImport::RG1Click);
    connect(RG1Rows, &QRadioButton::clicked, this, &TFormImport::RG1Click);
    connect(BtnProperName, &QPushButton::clicked, this, &TFormImport::BtnProperNameClick);
    connect(BtnClear, &QPushButton::clicked, this, &TFormImport::BtnClearClick);
    connect(BtnComb1, &QPushButton::clicked, this, &TFormImport::BtnComb1Click);
    connect(BtnConvert, &QPushButton::clicked, this, &TFormImport::BtnConvertClick);
    connect(BtnExport, &QPushButton::clicked, this, &TFormImport::BtnExportClick);
    connect(BtnClose, &QPushButton::clicked, this, &TFormImport::BtnCloseClick);
}

QWidget* TFormImport::buildToolRow()
{
    // Two rows of tools, so that the window fits a screen of 1024 pixels with its frame.
    auto* row = new QWidget(this);
    auto* rows = new QVBoxLayout(row);
    rows->setContentsMargins(0, 0, 0, 0);
    auto* layout = new QHBoxLayout;
    auto* second = new QHBoxLayout;
    rows->addLayout(layout);
    rows->addLayout(second);
    BtnOpen = makeButton(row, "BtnOpen", QStringLiteral("Select"),
                         QStringLiteral("Select Comma Delimited Textfiles"));
    BtnDelete = makeButton(row, "BtnDelete", QStringLiteral("Delete"),
                           QStringLiteral("Delete Selected Column or Row"));
    BtnInsert =
        makeButton(row, "BtnInsert", QStringLiteral("Insert"), QStringLiteral("Insert New Column"));
    ComboFormat = new QComboBox(row);
    ComboFormat->setObjectName(QStringLiteral("ComboFormat"));
    ComboFormat->setToolTip(QStringLiteral("The layout of the file to select"));
    ComboFormat->addItem(QStringLiteral("Comma Delimited (8 columns)"), -1);
    for (ImportFormat f : {ImportFormat::OwnCsv, ImportFormat::ChannelCsv,
                           ImportFormat::DirectoryCsv, ImportFormat::Adif})
        ComboFormat->addItem(ImportFormats::title(f), int(f));
    layout->addWidget(ComboFormat);
    layout->addWidget(BtnOpen);
    layout->addWidget(BtnDelete);
    layout->addWidget(BtnInsert);

    RG1 = new QGroupBox(QStringLiteral("Edit"), row);
    RG1->setObjectName(QStringLiteral("RG1"));
    auto* modes = new QHBoxLayout(RG1);
    RG1Columns = new QRadioButton(QStringLiteral("Columns"), RG1);
    RG1Rows = new QRadioButton(QStringLiteral("Rows"), RG1);
    RG1Columns->setChecked(true);
    modes->addWidget(RG1Columns);
    modes->addWidget(RG1Rows);
    layout->addWidget(RG1);
    layout->addStretch(1);

    BtnProperName = makeButton(row, "BtnProperName", QStringLiteral("Case"),
                               QStringLiteral("Convert Column Text To Proper Name Format"));
    BtnClear =
        makeButton(row, "BtnClear", QStringLiteral("Clear"), QStringLiteral("Clear Spreadsheet"));
    BtnComb1 =
        makeButton(row, "BtnComb1", QStringLiteral("Comb."), QStringLiteral("Combine Columns"));
    second->addWidget(BtnProperName);
    second->addWidget(BtnClear);
    second->addWidget(BtnComb1);

    GroupBox2 = new QGroupBox(QStringLiteral("Hertz Multiplier"), row);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    auto* multiplier = new QHBoxLayout(GroupBox2);
    EditHZ = new QLineEdit(QStringLiteral("1"), GroupBox2);
    EditHZ->setObjectName(QStringLiteral("EditHZ"));
    EditHZ->setMaximumWidth(80);
    multiplier->addWidget(EditHZ);
    second->addWidget(GroupBox2);
    second->addStretch(1);
    return row;
}

QWidget* TFormImport::buildFieldNames()
{
    Panel4 = new QFrame(this);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    static_cast<QFrame*>(Panel4)->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* layout = new QHBoxLayout(Panel4);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(plainLabel(QStringLiteral("  Field Names ="), Panel4));
    for (const char* name : {"Frequency (MHz)", "+-", "Callsign", "User", "Location", "Special",
                             "Date/Time", "Notes"}) {
        QLabel* label = plainLabel(QString::fromLatin1(name), Panel4);
        label->setFrameStyle(QFrame::Panel | QFrame::Raised);
        label->setAlignment(Qt::AlignCenter);
        layout->addWidget(label, 1);
    }
    return Panel4;
}

void TFormImport::buildCombinePanel()
{
    Panel5 = new MovablePanel(this);
    Panel5->setObjectName(QStringLiteral("Panel5"));
    auto* layout = new QHBoxLayout(Panel5);
    GroupBox1 = new QGroupBox(QStringLiteral("Combine Columns"), Panel5);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setToolTip(QStringLiteral("Combine Indicated Columns"));
    auto* inner = new QHBoxLayout(GroupBox1);
    Edit1 = new QLineEdit(GroupBox1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(1);
    Edit1->setFixedWidth(28);
    Edit1->installEventFilter(this);
    // The label shows the ampersand itself: plain text has no accelerators.
    QLabel* andLabel = plainLabel(QStringLiteral("&"), GroupBox1);
    Edit2 = new QLineEdit(GroupBox1);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setMaxLength(1);
    Edit2->setFixedWidth(28);
    Edit2->setReadOnly(true);
    Edit2->installEventFilter(this);
    CB1 = new QCheckBox(QStringLiteral("Selected Row Only"), GroupBox1);
    CB1->setObjectName(QStringLiteral("CB1"));
    CB1->setEnabled(false);
    inner->addWidget(Edit1);
    inner->addWidget(andLabel);
    inner->addWidget(Edit2);
    inner->addWidget(CB1);
    layout->addWidget(GroupBox1);

    btncombine = new QToolButton(Panel5);
    btncombine->setObjectName(QStringLiteral("btncombine"));
    btncombine->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    btncombine->setToolTip(QStringLiteral("OK"));
    BtnHide = new QToolButton(Panel5);
    BtnHide->setObjectName(QStringLiteral("BtnHide"));
    BtnHide->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    BtnHide->setToolTip(QStringLiteral("Close"));
    layout->addWidget(btncombine);
    layout->addWidget(BtnHide);
    Panel5->adjustSize();
    Panel5->move(60, 90);
    Panel5->hide();

    connect(Edit1, &QLineEdit::textChanged, this, &TFormImport::Edit1Change);
    connect(btncombine, &QToolButton::clicked, this, &TFormImport::btncombineClick);
    connect(BtnHide, &QToolButton::clicked, this, &TFormImport::BtnHideClick);
}

// Over the main window where that lies whole on the work area; otherwise the whole work area,
// frame included, so that no button and no close box is off screen.
void TFormImport::placeWindow()
{
    const ScreenService& screen = UiServices::screen();
    const QRect area = screen.workArea();
    const QSize least = minimumSizeHint();
    if (screen.screenSize().width() > DesignWidth && area.contains(main_.frameGeometry()) &&
        main_.width() >= least.width() && main_.height() >= least.height()) {
        setGeometry(main_.geometry());
        return;
    }
    WindowFit::fit(*this, area);
}

// ---- shared pieces ---------------------------------------------------------------------------

QString TFormImport::HelpText()
{
    const QStringList lines = {
        QStringLiteral("The above window displays data in a spreadsheet format whose rows and "
                       "columns can be moved, inserted, combined and deleted (its cells cannot "
                       "be typed into) and then added to a Wavelark database."),
        QStringLiteral("Each column cell represents a field, and each row represents one record."),
        QString(),
        QStringLiteral("1. You should have created a new empty database before starting this "
                       "procedure. (under File, New Database on the main window Menu Bar)"),
        QStringLiteral("2. Click the SELECT button and select a comma delimited textfile (CSV "
                       "extension), the data will be displayed in a spreadsheet format."),
        QStringLiteral("3. The columns must follow the field names shown above the spreadsheet: "
                       "column 1 holds the frequency, column 7 a date or nothing."),
        QStringLiteral("4  You may insert, delete or combine columns. You should end up with 8 "
                       "columns. "),
        QStringLiteral("5. Columns may be moved by first selecting a column and then using the "
                       "left/right arrow keys."),
        QStringLiteral("6. If the frequency is not in MHz, use the Hertz Multiplier."),
        QStringLiteral("7. When spreadsheet format is correct, select a category and click "
                       "CONVERT. Data will be added to the current database (an empty database "
                       "is recommended)."),
        QStringLiteral("8. Click F1 for more help."),
    };
    const QString indent(7, u' ');
    QString text = QStringLiteral(" \n");
    for (qsizetype i = 0; i < lines.size(); ++i) {
        text += indent + lines[i];
        if (i + 1 < lines.size())
            text += u'\n';
    }
    return text;
}

bool TFormImport::columnsMode() const
{
    return RG1Columns->isChecked();
}

void TFormImport::reHead()
{
    for (int col = 0; col < SortableGrid2->ColCount(); ++col)
        SortableGrid2->SetCells(col, 0, ImportColumns::heading(col));
}

void TFormImport::fitAllColumns()
{
    SortableGrid2->FitAllColumnWidths(true, 0);
}

void TFormImport::showCounts()
{
    Label1->setText(QStringLiteral("Rows = ") + QString::number(SortableGrid2->RowCount() - 1));
    Label2->setText(QStringLiteral("Columns = ") + QString::number(SortableGrid2->ColCount()));
}

std::vector<QStringList> TFormImport::gridRows(int firstRow) const
{
    std::vector<QStringList> rows;
    const TSortableGrid& grid = *SortableGrid2;
    for (int row = firstRow; row < grid.RowCount(); ++row) {
        QStringList& cells = rows.emplace_back();
        for (int col = 0; col < grid.ColCount(); ++col)
            cells << grid.Cells(col, row);
    }
    return rows;
}

// Puts rows into the grid from row 0 (the heading row, whose texts reHead writes again). Each
// row is freed once the grid holds it, so a big file is not held twice over.
void TFormImport::setGridRows(std::vector<QStringList> rows)
{
    SheetFiller filler(MaxColumns, int(rows.size()));
    for (std::size_t row = 1; row < rows.size(); ++row) {
        filler.add(rows[row]);
        rows[row] = QStringList();
    }
    filler.install(*SortableGrid2);
}

// ---- activation and help -----------------------------------------------------------------

bool TFormImport::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return QDialog::event(event);
}

// The list is filled again on every activation so that it follows changes made elsewhere. The
// chosen category stays chosen while it is still listed: activations come with every message box
// and, on some desktops, with the click that chose it.
void TFormImport::FormActivate()
{
    const QList<QListWidgetItem*> chosen = ListCategory->selectedItems();
    const QString keep = chosen.isEmpty() ? QString() : chosen.front()->text();
    ListCategory->clear();
    ListCategory->addItems(main_.categories());
    ListCategory->setCurrentRow(-1);
    ListCategory->clearSelection();
    const QList<QListWidgetItem*> again =
        keep.isNull() ? QList<QListWidgetItem*>() : ListCategory->findItems(keep, Qt::MatchExactly);
    if (!again.isEmpty())
        ListCategory->setCurrentItem(again.front());
    Label5->setText(HelpText());
}

// ---- reading a file --------------------------------------------------------------------------

void TFormImport::BtnOpenDialClick()
{
    if (const int format = ComboFormat->currentData().toInt(); format >= 0) {
        const QString fileName = UiServices::dialogs().openFileName(
            this, QStringLiteral("Open"), QString(),
            ImportFormat(format) == ImportFormat::Adif
                ? QStringLiteral("ADIF Logs (*.adi *.adx);;All Files (*)")
                : QStringLiteral("Comma Delimited Files (*.csv);;All Files (*)"));
        if (!fileName.isEmpty())
            importFormatFile(format, fileName);
        return;
    }
    const QString fileName = UiServices::dialogs().openFileName(
        this, QStringLiteral("Open"), QString(),
        QStringLiteral("Comma Delimited Files (*.csv);;Text Files (*.txt)"));
    if (fileName.isEmpty())
        return;
    FillGrid(fileName);
}

std::optional<QByteArray> TFormImport::readImportFile(const QString& fileName)
{
    if (const QString refusal = ImportFile::refusal(fileName);
        !refusal.isEmpty() && QFileInfo::exists(fileName)) {
        ShowMessage(refusal);
        return std::nullopt;
    }
    QString error;
    std::optional<QByteArray> bytes = ImportFile::read(fileName, &error);
    if (!bytes)
        ShowMessage(ImportMessages::ConversionError, error);
    return bytes;
}

std::optional<QByteArrayView> TFormImport::mapImportFile(QFile& file, QByteArray& copy)
{
    // A pipe or device would block or never end, and a huge file is refused before it is read.
    if (const QString refusal = ImportFile::refusal(file.fileName());
        !refusal.isEmpty() && file.exists()) {
        ShowMessage(refusal);
        return std::nullopt;
    }
    if (file.open(QIODevice::ReadOnly) && file.size() > 0) {
        if (const uchar* pages = file.map(0, file.size()))
            return QByteArrayView(pages, file.size());
    }
    file.close();
    // Files that cannot be mapped (empty ones, devices) are read whole.
    std::optional<QByteArray> bytes = readImportFile(file.fileName());
    if (!bytes)
        return std::nullopt;
    copy = std::move(*bytes);
    return QByteArrayView(copy);
}

void TFormImport::FillGrid(const QString& fileName)
{
    // The file is read straight from its mapped pages into cells kept away from the grid, which
    // takes them only once the whole file was accepted: a refused or empty file leaves the
    // spreadsheet as it was.
    QFile file(fileName);
    QByteArray copy;
    const std::optional<QByteArrayView> bytes = mapImportFile(file, copy);
    if (!bytes)
        return;
    SheetFiller filler(MaxColumns, expectedRows(*bytes));
    ImportRead read;
    {
        const WaitCursor wait;
        read = ImportText::streamUtf8(*bytes, filler);
    }
    file.close();
    copy.clear();
    if (read.badRow != 0) {
        ShowMessage(ImportMessages::ControlCharacter(read.badRow, read.badCode), fileName);
        return;
    }
    if (filler.rows() == 0) {
        ShowMessage(ImportMessages::EmptyFile, fileName);
        return;
    }
    {
        const WaitCursor wait;
        filler.install(*SortableGrid2);
        reHead();
        fitAllColumns();
        SortableGrid2->verticalScrollBar()->setValue(0);
        SortableGrid2->GoToCell(0, 1);
        showCounts();
        Label3->setText(QStringLiteral("Selected Column = 1"));
    }
    if (filler.widest() > MaxColumns)
        ShowMessage(ImportMessages::ColumnsLeftOut(filler.widest(), MaxColumns));
}

void TFormImport::importFormatFile(int format, const QString& fileName)
{
    const QList<QListWidgetItem*> chosen = ListCategory->selectedItems();
    if (chosen.isEmpty()) {
        ShowMessage(ImportMessages::NoCategory);
        return;
    }
    const QString category = chosen.front()->text();
    std::optional<QByteArray> bytes = readImportFile(fileName);
    if (!bytes)
        return;
    FormatImport read;
    {
        const WaitCursor wait;
        read = ImportFormats::read(ImportFormat(format), *bytes, UiServices::clock().now().date());
    }
    const QString mapping = QStringLiteral("Column mapping:\n") + read.mapping.join(u'\n');
    QStringList notes = shortList(read.remarks);
    if (!read.batch.problems.isEmpty()) {
        CaptionedMessage(ImportMessages::Caption,
                         ImportMessages::FileRowsRefused + QStringLiteral("\n\n") +
                             shortList(read.batch.problems).join(u'\n') + QStringLiteral("\n\n") +
                             mapping,
                         MessageKind::Warning, HelpContext, QMessageBox::Ok);
        return;
    }
    if (read.batch.records.empty()) {
        ShowMessage(ImportMessages::NothingToImport, mapping);
        return;
    }
    const QString question =
        QStringLiteral("Import %1 records under \"%2\"?\n\n%3%4")
            .arg(read.batch.records.size())
            .arg(category, mapping,
                 notes.isEmpty() ? QString() : QStringLiteral("\n\n") + notes.join(u'\n'));
    if (CaptionedMessage(ImportMessages::Caption, question, MessageKind::Confirmation, HelpContext,
                         QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    storeRecords(read.batch.records, category);
}

// ---- edit mode and the grid ------------------------------------------------------------------

void TFormImport::RG1Click()
{
    if (columnsMode()) {
        CB1->setChecked(false);
        CB1->setEnabled(false);
    } else {
        CB1->setEnabled(true);
    }
    SortableGrid2Click();
    SortableGrid2->setFocus();
}

void TFormImport::SortableGrid2Click()
{
    const int col = SortableGrid2->Col();
    const int row = SortableGrid2->Row();
    if (columnsMode()) {
        Label3->setText(QStringLiteral("Selected Column = ") + QString::number(col + 1));
        Edit1->setText(QString::number(col + 1));
    } else {
        Label3->setText(QStringLiteral("Selected Row = ") + QString::number(row));
    }
    selectCurrent();
}

// Columns mode selects the current column's data rows, rows mode the whole current row.
void TFormImport::selectCurrent()
{
    TSortableGrid& grid = *SortableGrid2;
    const int dataRows = grid.RowCount() - grid.FixedRows();
    if (dataRows <= 0 || grid.ColCount() <= 0)
        return;
    const QAbstractItemModel& model = grid.Model();
    const int col = std::clamp(grid.Col(), 0, grid.ColCount() - 1);
    const int row = std::clamp(grid.Row() - grid.FixedRows(), 0, dataRows - 1);
    const QItemSelection selection =
        columnsMode() ? QItemSelection(model.index(0, col), model.index(dataRows - 1, col))
                      : QItemSelection(model.index(row, 0), model.index(row, grid.ColCount() - 1));
    grid.selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

bool TFormImport::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == SortableGrid2->viewport() && event->type() == QEvent::MouseButtonRelease) {
        selectCurrent();
    } else if (watched == Edit1 && event->type() == QEvent::KeyPress) {
        return Edit1KeyPress(static_cast<QKeyEvent*>(event)->text());
    } else if (watched == Edit2 && event->type() == QEvent::MouseButtonPress) {
        Edit1->setFocus();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFormImport::SortableGrid2KeyDown(int& key)
{
    TSortableGrid& grid = *SortableGrid2;
    const int col = grid.Col();
    if (key == Qt::Key_Delete) {
        BtnDeleteClick();
        key = 0;
    } else if (columnsMode() && (key == Qt::Key_Right || key == Qt::Key_Left)) {
        const int to = key == Qt::Key_Right ? col + 1 : col - 1;
        if (to < 0 || to >= grid.ColCount()) {
            key = 0;
            return;
        }
        grid.RelocateColumn(col, to);
        grid.GoToCell(to, grid.Row());
        // The column has moved with the cursor; the grid must not move it again.
        key = 0;
    }
    // The columns keep their widths when they move, so only the headings change.
    reHead();
}

void TFormImport::SortableGrid2ColumnInsert()
{
    reHead();
}

// ---- row and column commands -----------------------------------------------------------------

void TFormImport::BtnDeleteClick()
{
    TSortableGrid& grid = *SortableGrid2;
    if (!columnsMode()) {
        if (grid.Row() > 0 && grid.Row() < grid.RowCount() && grid.RowCount() > grid.FixedRows())
            grid.RemoveRow(grid.Row());
        showCounts();
    } else {
        const int left = std::max(grid.columnAt(0), 0);
        const int col = grid.Col();
        grid.RemoveColumn(col);
        grid.GoToCell(std::min(col, grid.ColCount() - 1), grid.Row());
        grid.horizontalScrollBar()->setValue(
            grid.horizontalScrollMode() == QAbstractItemView::ScrollPerItem
                ? std::min(left, grid.ColCount() - 1)
                : grid.columnViewportPosition(std::min(left, grid.ColCount() - 1)));
        grid.verticalScrollBar()->setValue(0);
        reHead();
        showCounts();
    }
    SortableGrid2Click();
}

void TFormImport::BtnInsertClick()
{
    TSortableGrid& grid = *SortableGrid2;
    if (grid.ColCount() >= ImportColumns::RecordColumns)
        return;
    grid.InsertBlankColumn(grid.Col());
    reHead();
    showCounts();
}

void TFormImport::BtnProperNameClick()
{
    TSortableGrid& grid = *SortableGrid2;
    const int col = grid.Col();
    for (int row = 1; row < grid.RowCount(); ++row) {
        const QString text = grid.Cells(col, row);
        if (!text.isEmpty())
            grid.SetCells(col, row, ProperName(text));
    }
}

void TFormImport::BtnClearClick()
{
    TSortableGrid& grid = *SortableGrid2;
    grid.ClearCells();
    grid.SetColCount(1);
    grid.SetRowCount(2);
    grid.SetDefaultColWidth(64);
    grid.SetColWidths(0, 64);
    reHead();
    showCounts();
    RG1Columns->setChecked(true);
    RG1Click();
}

// ---- combining columns -------------------------------------------------------------------

void TFormImport::BtnComb1Click()
{
    Panel5->show();
    Panel5->raise();
}

void TFormImport::BtnHideClick()
{
    Panel5->hide();
}

// Takes one digit 1 to 9: whatever was there goes first.
bool TFormImport::Edit1KeyPress(const QString& typed)
{
    // Keys that type nothing, and Tab, Enter and Escape, keep their usual meaning.
    if (typed.isEmpty() || (typed.front().isSpace() && typed.front() != u' ') ||
        typed.front() == QChar(0x1B))
        return false;
    Edit1->clear();
    const QChar c = typed.front();
    return !(typed.size() == 1 && c >= u'1' && c <= u'9');
}

void TFormImport::Edit1Change()
{
    bool ok = false;
    const int n = Edit1->text().toInt(&ok);
    if (ok)
        Edit2->setText(QString::number(n + 1));
}

void TFormImport::btncombineClick()
{
    bool ok = false;
    const int n = Edit1->text().toInt(&ok);
    TSortableGrid& grid = *SortableGrid2;
    if (!ok || n < 1 || n >= grid.ColCount())
        return;
    const WaitCursor wait;
    const int currentRow = grid.Row();
    std::vector<QStringList> rows = gridRows(0);
    ImportColumns::joinColumns(rows, n - 1, CB1->isChecked() ? currentRow : -1);
    setGridRows(std::move(rows));
    fitAllColumns();
    showCounts();
    reHead();
    grid.GoToCell(std::min(n, grid.ColCount() - 1), currentRow);
}

// ---- converting ----------------------------------------------------------------------------

void TFormImport::BtnConvertClick()
{
    const QList<QListWidgetItem*> chosen = ListCategory->selectedItems();
    if (chosen.isEmpty()) {
        ShowMessage(ImportMessages::NoCategory);
        return;
    }
    const QString category = chosen.front()->text();
    if (SortableGrid2->ColCount() != ImportColumns::RecordColumns) {
        CaptionedMessage(ImportMessages::WrongColumnCountCaption, ImportMessages::WrongColumnCount,
                         MessageKind::Error, HelpContext, QMessageBox::Ok);
        return;
    }
    const LocaleInfo locale = LocaleInfo::current();
    const std::optional<double> multiplier =
        ImportRecordBuilder::readMultiplier(EditHZ->text(), locale);
    if (!multiplier) {
        ShowMessage(ImportMessages::BadMultiplier);
        return;
    }
    const ImportRecordBuilder builder(locale, *multiplier, UiServices::clock().now().date());
    storeSheet(builder, category);
}

// The records are made from the spreadsheet's rows chunk by chunk as they are stored, so they
// are never all held at once. A row that cannot be read stops the storing; the rest are read
// only to complete the report, and nothing stays in the table.
//
// The feed runs on the writer's worker thread. It only reads the spreadsheet, which nothing
// changes meanwhile: this thread is inside storeFeed until the worker has ended, and the input
// hold there keeps the user's clicks and keys away from the window's controls until then.
void TFormImport::storeSheet(const ImportRecordBuilder& builder, const QString& category)
{
    if (!checkSheet(builder, category))
        return;
    const TSortableGrid& grid = *SortableGrid2;
    QStringList problems;
    QStringList cells;
    int next = 1;
    const auto readRow = [&](int row) {
        cells.clear();
        for (int col = 0; col < grid.ColCount(); ++col)
            cells << grid.Cells(col, row);
        return !ImportRecordBuilder::isBlank(cells);
    };
    const ImportWriter::Feed feed = [&](std::vector<ImportRecord>& chunk, std::size_t room) {
        for (; next < grid.RowCount() && chunk.size() < room; ++next) {
            if (!readRow(next))
                continue;
            if (std::optional<ImportRecord> made = builder.record(cells, next, problems))
                chunk.push_back(std::move(*made));
        }
        if (!problems.isEmpty()) {
            for (; next < grid.RowCount(); ++next) {
                if (readRow(next))
                    builder.record(cells, next, problems);
            }
            return ImportWriter::FeedState::Refused;
        }
        return next < grid.RowCount() ? ImportWriter::FeedState::More
                                      : ImportWriter::FeedState::Done;
    };
    if (storeFeed(feed, grid.RowCount() - 1, category).refused)
        showRowsMessage(problems);
}

// Reads every row once before anything is stored: refused rows are shown in the spreadsheet,
// and texts too long for their fields are listed so the user can cancel before they are cut.
bool TFormImport::checkSheet(const ImportRecordBuilder& builder, const QString& category)
{
    const TSortableGrid& grid = *SortableGrid2;
    QStringList problems;
    QStringList cuts;
    int firstRefused = 0;
    {
        const WaitCursor wait;
        std::vector<ImportRecord> chunk;
        QStringList cells;
        const auto flush = [&] {
            if (problems.isEmpty())
                cuts << ImportWriter::cuts(main_.table(), chunk, category);
            chunk.clear();
        };
        for (int row = 1; row < grid.RowCount(); ++row) {
            cells.clear();
            for (int col = 0; col < grid.ColCount(); ++col)
                cells << grid.Cells(col, row);
            if (ImportRecordBuilder::isBlank(cells))
                continue;
            std::optional<ImportRecord> made = builder.record(cells, row, problems);
            if (!made && firstRefused == 0)
                firstRefused = row;
            else if (made && problems.isEmpty())
                chunk.push_back(std::move(*made));
            if (chunk.size() >= std::size_t(ImportWriter::ChunkSize))
                flush();
        }
        flush();
    }
    if (!problems.isEmpty()) {
        showRefusedRow(firstRefused);
        showRowsMessage(problems);
        return false;
    }
    return acceptCuts(cuts);
}

// Rows mode with the row selected and in view, so Delete removes it at once.
void TFormImport::showRefusedRow(int row)
{
    if (row <= 0 || row >= SortableGrid2->RowCount())
        return;
    RG1Rows->setChecked(true);
    CB1->setEnabled(true);
    SortableGrid2->GoToCell(std::clamp(SortableGrid2->Col(), 0, SortableGrid2->ColCount() - 1),
                            row);
    SortableGrid2Click();
    SortableGrid2->scrollTo(SortableGrid2->Model().index(row - SortableGrid2->FixedRows(), 0),
                            QAbstractItemView::PositionAtCenter);
    SortableGrid2->setFocus();
}

bool TFormImport::acceptCuts(const QStringList& cuts)
{
    if (cuts.isEmpty())
        return true;
    QStringList lines = cuts;
    for (QString& line : lines)
        line.replace(QStringLiteral(" was cut to "), QStringLiteral(" will be cut to "));
    return CaptionedMessage(ImportMessages::Caption, ImportMessages::TextsTooLong(lines),
                            MessageKind::Confirmation, HelpContext,
                            QMessageBox::Yes | QMessageBox::No,
                            lines.join(u'\n')) == QMessageBox::Yes;
}

void TFormImport::storeRecords(const std::vector<ImportRecord>& records, const QString& category)
{
    if (!acceptCuts(ImportWriter::cuts(main_.table(), records, category)))
        return;
    std::size_t next = 0;
    const ImportWriter::Feed feed = [&](std::vector<ImportRecord>& chunk, std::size_t room) {
        const std::size_t last = std::min(records.size(), next + room);
        chunk.assign(records.begin() + std::ptrdiff_t(next),
                     records.begin() + std::ptrdiff_t(last));
        next = last;
        return next < records.size() ? ImportWriter::FeedState::More
                                     : ImportWriter::FeedState::Done;
    };
    storeFeed(feed, int(records.size()), category,
              ImportCategories::missing(main_.categories(), records));
}

ImportWriter::Outcome TFormImport::storeFeed(const ImportWriter::Feed& feed, int expected,
                                             const QString& category,
                                             const QStringList& newCategories)
{
    ImportWriter::Outcome written;
    {
        const WaitCursor wait;
        const InputHold hold(*this);
        // Shown only when the write takes a while; Cancel stores nothing.
        QProgressDialog progress(QStringLiteral("Importing records..."), QStringLiteral("Cancel"),
                                 0, expected, this);
        progress.setWindowTitle(ImportMessages::Caption);
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(1000);
        // A Cancel pressed while the last chunk is written still stops the import, so the
        // dialog must not reset itself, and forget the press, when it reaches the end.
        progress.setAutoReset(false);
        progress.setAutoClose(false);
        const auto onProgress = [&](int done) {
            progress.setValue(std::min(done, expected));
            return !progress.wasCanceled();
        };
        written = ImportWriter::appendFeed(main_.table(), feed, category, onProgress);
    }
    if (written.cancelled || written.refused)
        return written;
    if (!written) {
        ShowMessage(ImportMessages::WriteFailed, written.status.error);
        return written;
    }
    if (written.written == 0) {
        ShowMessage(ImportMessages::NothingToImport);
        return written;
    }
    // The records are stored by then: a category that cannot be added is told, not fatal.
    const QStringList added = addCategories(newCategories);
    refreshMainWindow();
    QString done = ImportMessages::Imported(written.written);
    if (!added.isEmpty())
        done += QStringLiteral("\n\n") + added.join(u'\n');
    ShowMessage(done);
    return written;
}

QStringList TFormImport::addCategories(const QStringList& names)
{
    if (names.isEmpty())
        return {};
    const store::CategoryFile file = store::CategoryFile::inFolder(main_.settings().dataBasePath);
    QStringList list = main_.categories();
    QStringList told;
    for (const QString& name : names) {
        if (store::Status st = file.append(name); !st) {
            told << QStringLiteral("The category \"%1\" could not be added to the category list: "
                                   "%2")
                        .arg(name, st.error);
            break;
        }
        list << name;
        told << QStringLiteral("The category \"%1\" was added to the category list.").arg(name);
    }
    main_.setCategories(list);
    FormActivate();
    return told;
}

QStringList TFormImport::shortList(const QStringList& lines)
{
    QStringList shown = lines.mid(0, ProblemsShown);
    if (lines.size() > ProblemsShown)
        shown << QStringLiteral("... and %1 more.").arg(lines.size() - ProblemsShown);
    return shown;
}

void TFormImport::showRowsMessage(const QStringList& problems)
{
    const QStringList lines = shortList(problems);
    CaptionedMessage(ImportMessages::Caption,
                     ImportMessages::RowsRefused + QStringLiteral("\n\n") + lines.join(u'\n'),
                     MessageKind::Warning, HelpContext, QMessageBox::Ok,
                     problems.size() > ProblemsShown ? problems.join(u'\n') : QString());
}

void TFormImport::refreshMainWindow()
{
    main_.SortableGrid1->SetColCount(ColumnCount);
    main_.ReadAllRecords();
    main_.SortableGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    main_.SortableGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

// ---- export and close ----------------------------------------------------------------------

void TFormImport::BtnExportClick()
{
    ExportStringGrid1->ChooseAndExport();
}

void TFormImport::BtnCloseClick()
{
    close();
}

} // namespace wl
