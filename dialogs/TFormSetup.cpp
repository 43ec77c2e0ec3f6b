#include "dialogs/TFormSetup.h"

#include "app/AppConstants.h"
#include "app/Glyphs.h"
#include "app/TFormMain.h"
#include "app/services/CaptionedMessage.h"
#include "app/services/Registry.h"
#include "app/services/UiServices.h"
#include "dialogs/FieldBox.h"
#include "dialogs/RadioPage.h"
#include "grid/LocaleInfo.h"
#include "grid/TSortableGrid.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <QTabBar>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

#include <cmath>

namespace wl {

namespace {

constexpr int CaptionLength = 20;
constexpr int OptionalNameLength = 13;
constexpr int FirstFreeSlot = 3;
constexpr int LastFreeSlot = 6;
constexpr int LastDataColumn = 8;
const QString OptionalHint = QStringLiteral("Enter Optional Field Name");
const QString PermanentHint = QStringLiteral("Permanent Field Name");

QString numbered(const char* name, int n)
{
    return QLatin1String(name) + QString::number(n);
}

// The fixed texts of the "Selected Names" boxes that cannot be edited, by slot.
QString permanentName(int slot)
{
    switch (slot) {
    case 1:
        return QStringLiteral("Frequency");
    case 2:
        return QStringLiteral("+ -");
    case 7:
        return QStringLiteral("Position");
    case 8:
        return QStringLiteral("Date/Time");
    default:
        return {};
    }
}

bool isFreeSlot(int slot)
{
    return slot >= FirstFreeSlot && slot <= LastFreeSlot;
}

struct Run
{
    const char* text;
    bool bold;
    bool navy;
};

} // namespace

TFormSetup::TFormSetup(TFormMain& main) : QDialog(&main), main_(main)
{
    setObjectName(QStringLiteral("FormSetup"));
    setWindowTitle(QStringLiteral("Wavelark Preferences"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(800, 550);
    buildControls();
    auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
    connect(f1, &QShortcut::activated, this,
            [] { UiServices::help().showContext(app::HelpContext::Preferences); });
    FormActivate();
}

QPixmap TFormSetup::instructionPicture()
{
    const Run lines[3][5] = {
        {{"To edit field names, select ", false, false},
         {"Edit Field Names", true, false},
         {" and type a new name in the ", false, false},
         {"Selected Names", true, true},
         {" window.", false, false}},
        {{"To change column order, select ", false, false},
         {"Change Column Order", true, false},
         {" and drag ", false, false},
         {"Selected Name", true, true},
         {" to ", false, false}},
        {{"Click the ", false, false},
         {"Save", true, false},
         {" button to save your selections, click ", false, false},
         {"F1", true, false},
         {" for more help.", false, false}},
    };
    QPixmap picture(532, 64);
    picture.fill(QToolTip::palette().color(QPalette::ToolTipBase));
    QPainter painter(&picture);
    QFont plain(QStringLiteral("Arial"));
    plain.setPointSize(8);
    QFont bold = plain;
    bold.setBold(true);
    for (int line = 0; line < 3; ++line) {
        int x = 8;
        const int y = 8 + 16 * line;
        auto draw = [&](const QString& text, bool isBold, bool navy) {
            painter.setFont(isBold ? bold : plain);
            painter.setPen(navy ? QColor(QStringLiteral("navy")) : QColor(Qt::black));
            const QFontMetrics metrics(painter.font());
            painter.drawText(x, y + metrics.ascent(), text);
            x += metrics.horizontalAdvance(text);
        };
        for (const Run& run : lines[line])
            draw(QString::fromLatin1(run.text), run.bold, run.navy);
        // The second line ends with a navy run after its last plain one.
        if (line == 1) {
            draw(QStringLiteral("column window"), true, true);
            draw(QStringLiteral("."), false, false);
        }
    }
    return picture;
}

void TFormSetup::buildControls()
{
    auto* page = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    auto* modeBox = new QGroupBox(this);
    auto* modes = new QVBoxLayout(modeBox);
    RG1 = new QButtonGroup(this);
    const QString modeNames[] = {QStringLiteral("Edit Field Names"),
                                 QStringLiteral("Change Column Order")};
    for (int i = 0; i < 2; ++i) {
        auto* radio = new QRadioButton(modeNames[i], modeBox);
        RG1->addButton(radio, i);
        modes->addWidget(radio);
    }
    RG1->button(0)->setChecked(true);
    connect(RG1, &QButtonGroup::idClicked, this, [this](int) { RG1Click(); });
    top->addWidget(modeBox);

    auto* infoPanel = new QLabel(this);
    infoPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ImageInfo = infoPanel;
    ImageInfo->setObjectName(QStringLiteral("ImageInfo"));
    ImageInfo->setPixmap(instructionPicture());
    ImageInfo->setFixedSize(536, 68);
    top->addWidget(ImageInfo);
    top->addStretch(1);
    page->addLayout(top);

    page->addWidget(buildFieldOptions());
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(buildFrequencyOptions());
    bottom->addWidget(buildDateOptions());
    bottom->addStretch(1);

    BtnDef = new QPushButton(QStringLiteral("Use &Defaults"), this);
    BtnDef->setObjectName(QStringLiteral("BtnDef"));
    Btnsave1 = new QPushButton(QStringLiteral("&Save"), this);
    Btnsave1->setObjectName(QStringLiteral("Btnsave1"));
    Btnsave1->setToolTip(QStringLiteral("Save Preferences"));
    BtnClose = new QToolButton(this);
    BtnClose->setObjectName(QStringLiteral("BtnClose"));
    BtnClose->setIcon(Glyphs::icon(Glyph::Exit));
    BtnClose->setToolTip(QStringLiteral("Close"));
    bottom->addWidget(RadioPage::makeButton(this, main_.settingsFile()), 0, Qt::AlignBottom);
    for (QAbstractButton* b :
         {static_cast<QAbstractButton*>(BtnDef), static_cast<QAbstractButton*>(Btnsave1),
          static_cast<QAbstractButton*>(BtnClose)})
        bottom->addWidget(b, 0, Qt::AlignBottom);
    page->addLayout(bottom);

    connect(BtnDef, &QPushButton::clicked, this, [this] { BtnDefClick(); });
    connect(Btnsave1, &QPushButton::clicked, this, [this] { Btnsave1Click(); });
    connect(BtnClose, &QToolButton::clicked, this, &QDialog::close);

    PopupMenu = new QMenu(this);
    connect(PopupMenu->addAction(QStringLiteral("Save")), &QAction::triggered, this,
            [this] { Btnsave1Click(); });
    connect(PopupMenu->addAction(QStringLiteral("Cancel")), &QAction::triggered, this,
            &QDialog::close);
    PopupMenu->addSeparator();
    connect(PopupMenu->addAction(QStringLiteral("Use Defaults")), &QAction::triggered, this,
            [this] { BtnDefClick(); });
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { PopupMenu->popup(mapToGlobal(at)); });
}

QWidget* TFormSetup::buildFieldOptions()
{
    auto* group = new QGroupBox(QStringLiteral("Field Options"), this);
    auto* column = new QVBoxLayout(group);

    auto* editor = new QGroupBox(QStringLiteral("Field Name Editor"), group);
    editor->setToolTip(QStringLiteral("type optional field name "));
    auto* names = new QGridLayout(editor);
    names->addWidget(new QLabel(QStringLiteral("Default Names"), editor), 0, 0);
    names->addWidget(new QLabel(QStringLiteral("Selected Names"), editor), 1, 0);
    for (int i = 0; i < ColumnBoxes; ++i) {
        const int slot = i + 1;
        auto* box = new FieldBox(editor);
        box->setObjectName(numbered("EditOpt", i));
        box->setTag(slot);
        if (isFreeSlot(slot)) {
            box->setMaxLength(OptionalNameLength);
            box->setToolTip(OptionalHint);
            names->addWidget(new QLabel(MainSettings::defaultColumnName(slot), editor), 0, slot);
        } else {
            box->setText(permanentName(slot));
            box->setReadOnly(true);
            box->setToolTip(PermanentHint);
            box->onClick = [this] {
                if (!EditOpt[2]->draggable())
                    EditOpt[2]->setFocus();
            };
        }
        EditOpt[size_t(i)] = box;
        names->addWidget(box, 1, slot);
    }
    column->addWidget(editor);

    auto* columns = new QGroupBox(QStringLiteral("Column Options and Windows"), group);
    auto* grid = new QGridLayout(columns);
    for (int i = 0; i < ColumnBoxes; ++i) {
        grid->addWidget(new QLabel(numbered("Column ", i + 2), columns), 0, i);
        auto* box = new FieldBox(columns);
        box->setObjectName(QStringLiteral("Edit") + QChar(u'A' + i));
        box->setReadOnly(true);
        box->setToolTip(QStringLiteral("Current Field Name"));
        box->setDraggable(true);
        box->setAcceptsFields(true);
        ColumnBox[size_t(i)] = box;
        grid->addWidget(box, 1, i);
        auto* display = new QCheckBox(QStringLiteral("Display"), columns);
        display->setObjectName(numbered("P", i + 1));
        P[size_t(i)] = display;
        grid->addWidget(display, 2, i);
    }
    P[8] = new QCheckBox(QStringLiteral("Display Notes In Last Column"), columns);
    P[8]->setObjectName(QStringLiteral("P9"));
    grid->addWidget(P[8], 3, 0, 1, 4);
    column->addWidget(columns);
    return group;
}

QWidget* TFormSetup::buildFrequencyOptions()
{
    auto* group = new QGroupBox(QStringLiteral("Frequency Options"), this);
    auto* row = new QHBoxLayout(group);
    row->addWidget(new QLabel(QStringLiteral("Frequency Range [MHZ]"), group));
    auto* digits =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,4}")), group);
    auto makeBox = [&](const char* name, const char* hint) {
        auto* box = new QLineEdit(group);
        box->setObjectName(QLatin1String(name));
        box->setToolTip(QLatin1String(hint));
        box->setMaxLength(4);
        box->setValidator(digits);
        box->setFixedWidth(60);
        row->addWidget(box);
        return box;
    };
    EditBottom = makeBox("EditBottom", "lowest frequency");
    row->addWidget(new QLabel(QStringLiteral("-"), group));
    EditTop = makeBox("EditTop", "highest frequency");
    return group;
}

QWidget* TFormSetup::buildDateOptions()
{
    auto* group = new QGroupBox(QStringLiteral("Date/Time Options"), this);
    group->setObjectName(QStringLiteral("RG2"));
    auto* column = new QVBoxLayout(group);
    RG2 = new QButtonGroup(this);
    const QString options[] = {QStringLiteral("Date and 12 Hour Clock"),
                               QStringLiteral("Date and 24 Hour Clock"),
                               QStringLiteral("Date Only")};
    for (int i = 0; i < 3; ++i) {
        auto* radio = new QRadioButton(options[i], group);
        RG2->addButton(radio, i);
        column->addWidget(radio);
    }
    return group;
}

void TFormSetup::FormActivate()
{
    // The date option and the display flags come from the settings: while the grid is in edit
    // mode the main window's own display flags are those of the edit layout.
    Registry registry(main_.settingsFile());
    const bool found = registry.openKey(app::SettingsKey, false);
    const int option = found ? registry.readInteger(QStringLiteral("Date Option"), 0) : 0;
    if (QAbstractButton* b = RG2->button(option >= 0 && option <= 2 ? option : 0))
        b->setChecked(true);
    const bool fields = registry.openKey(app::SettingsKey + app::FieldDataKey, false);
    for (int n = 1; n <= 9; ++n)
        P[size_t(n - 1)]->setChecked(!fields || registry.readBool(numbered("Disp", n), true));
    registry.closeKey();

    const MainSettings& s = main_.settings();
    for (int i = 0; i < ColumnBoxes; ++i) {
        const int slot = s.columnNumbers[size_t(i + 1)];
        ColumnBox[size_t(i)]->showField(slot, s.columnNames[size_t(slot)]);
    }
    for (int slot = FirstFreeSlot; slot <= LastFreeSlot; ++slot)
        EditOpt[size_t(slot - 1)]->setText(s.columnNames[size_t(slot)]);
    EditBottom->setText(QString::number(s.lowFrequency));
    EditTop->setText(QString::number(s.hiFrequency));
}

void TFormSetup::RG1Click()
{
    const bool ordering = RG1->checkedId() == 1;
    for (FieldBox* box : EditOpt) {
        box->setDraggable(ordering);
        if (!isFreeSlot(box->tag()))
            continue;
        box->setCursor(ordering ? Qt::ArrowCursor : Qt::IBeamCursor);
        box->setToolTip(ordering ? QString() : OptionalHint);
    }
}

void TFormSetup::DropOnto(FieldBox& column, const FieldBox& source)
{
    column.takeFrom(source);
}

std::optional<int> TFormSetup::wholeMHz(const QLineEdit& box) const
{
    const std::optional<double> value = LocaleInfo::current().parseNumber(box.text());
    if (!value || *value < 0 || *value > 9999 || std::floor(*value) != *value)
        return std::nullopt;
    return int(*value);
}

bool TFormSetup::tagsArePermutation() const
{
    std::array<bool, ColumnBoxes + 1> seen{};
    for (const FieldBox* box : ColumnBox) {
        const int tag = box->tag();
        if (tag < 1 || tag > LastDataColumn || seen[size_t(tag)])
            return false;
        seen[size_t(tag)] = true;
    }
    return true;
}

bool TFormSetup::Btnsave1Click()
{
    // Everything is checked before anything is written, so a refused entry leaves the
    // settings and the main window as they were.
    if (!tagsArePermutation()) {
        CaptionedMessage(QStringLiteral("Duplicate Fields Selected"),
                         QStringLiteral("Please re-order fields."), MessageKind::Warning,
                         app::HelpContext::Preferences, QMessageBox::Ok);
        return false;
    }
    const std::optional<int> low = wholeMHz(*EditBottom);
    const std::optional<int> high = wholeMHz(*EditTop);
    if (!low || !high) {
        CaptionedMessage(QStringLiteral("Frequency Range"),
                         QStringLiteral("Please enter the lowest and the highest frequency as "
                                        "whole numbers of MHz from 0 to 9999."),
                         MessageKind::Warning, app::HelpContext::Preferences, QMessageBox::Ok);
        (low ? EditTop : EditBottom)->setFocus();
        return false;
    }
    // A range from high to low would show no record at all.
    if (*low > *high) {
        CaptionedMessage(QStringLiteral("Frequency Range"),
                         QStringLiteral("The lowest frequency, %1 MHz, is above the highest, %2 "
                                        "MHz. Please enter the range from low to high.")
                             .arg(*low)
                             .arg(*high),
                         MessageKind::Warning, app::HelpContext::Preferences, QMessageBox::Ok);
        EditBottom->setFocus();
        return false;
    }
    if (!writeSettings(*low, *high))
        return false;
    refillMain();
    accept();
    return true;
}

bool TFormSetup::writeSettings(int low, int high)
{
    std::array<QString, ColumnCount> names = main_.settings().columnNames;
    for (int slot = FirstFreeSlot; slot <= LastFreeSlot; ++slot) {
        const QString text = EditOpt[size_t(slot - 1)]->text();
        if (!text.isEmpty())
            names[size_t(slot)] = text.left(CaptionLength);
    }
    Registry registry(main_.settingsFile());
    registry.openKey(app::SettingsKey, true);
    registry.writeInteger(QStringLiteral("Low Frequency"), low);
    registry.writeInteger(QStringLiteral("Hi Frequency"), high);
    registry.writeInteger(QStringLiteral("Date Option"), std::max(0, RG2->checkedId()));
    registry.openKey(app::SettingsKey + app::FieldDataKey, true);
    for (int n = 0; n < ColumnCount; ++n) {
        const int number = n == 0 ? 0 : n == ColumnCount - 1 ? n : ColumnBox[size_t(n - 1)]->tag();
        registry.writeInteger(numbered("Column Number ", n), number);
        registry.writeBool(numbered("Disp", n), n == 0 || P[size_t(n - 1)]->isChecked());
        registry.writeString(numbered("Column Name ", n), names[size_t(n)]);
    }
    registry.closeKey();
    if (!registry.flush()) {
        ShowMessage(QStringLiteral("The preferences could not be saved."), registry.errorString());
        return false;
    }
    return true;
}

void TFormSetup::refillMain()
{
    // New and Select Database change the data folder only in memory until shutdown; reading
    // the settings back must not send the window back to the folder of the last session.
    const QString openFolder = main_.settings().dataBasePath;
    main_.table().close();
    main_.ReadReg(true);
    main_.settings().dataBasePath = openFolder;
    if (const store::Status opened = main_.OpenTable(); !opened)
        ShowMessage(QStringLiteral("Database read failure"), opened.error);
    main_.SortableGrid1->SetColCount(ColumnCount);
    {
        const QSignalBlocker quiet(main_.Tab1);
        main_.Tab1->setCurrentIndex(0);
    }
    main_.ReadAllRecords();
    main_.SetBrowseMode();
    const QString plain = app::ProductName + QStringLiteral(" - ");
    main_.setWindowTitle(app::ProductName + QStringLiteral(" 4.3 - ") +
                         main_.MainCaption().mid(plain.size()));
}

bool TFormSetup::BtnDefClick()
{
    Registry registry(main_.settingsFile());
    registry.deleteKey(app::SettingsKey + app::FieldDataKey);
    registry.deleteKey(app::SettingsKey + app::ColumnDataKey);
    if (!registry.flush()) {
        ShowMessage(QStringLiteral("The preferences could not be reset."), registry.errorString());
        return false;
    }
    main_.ReadReg(false);
    main_.SortableGrid1->SetColCount(ColumnCount);
    {
        const QSignalBlocker quiet(main_.Tab1);
        main_.Tab1->setCurrentIndex(0);
    }
    main_.ReadAllRecords();
    main_.SetBrowseMode();
    accept();
    return true;
}

} // namespace wl
