#include "dialogs/TFormNew.h"

#include "app/AppConstants.h"
#include "app/Glyphs.h"
#include "app/RecordDate.h"
#include "app/TFormMain.h"
#include "app/WaitCursor.h"
#include "app/services/CaptionedMessage.h"
#include "app/services/UiServices.h"
#include "dialogs/CoordinateEntry.h"
#include "dialogs/DateBox.h"
#include "dialogs/TimeBox.h"
#include "grid/LocaleInfo.h"
#include "grid/TSortableGrid.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace wl {

namespace {

constexpr int FreeFieldLength = 20;
constexpr int FrequencyLength = 9;
constexpr int SavedFlashMs = 500;

QLineEdit* makeBox(QWidget* parent, const char* name, int maxLength, const QString& pattern = {})
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setMaxLength(maxLength);
    // A validator also stops pasted and dropped text that the keys would not allow.
    if (!pattern.isEmpty())
        box->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), box));
    return box;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, Glyph glyph)
{
    auto* button = new QPushButton(Glyphs::icon(glyph), caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setFlat(true);
    button->setAutoDefault(false);
    return button;
}

// Wide enough to show a field's whole length of ordinary text without scrolling it.
void fitToLength(QLineEdit* box)
{
    const QFontMetrics metrics(box->font());
    const int text = std::max(metrics.horizontalAdvance(QString(box->maxLength(), u'0')),
                              metrics.averageCharWidth() * box->maxLength());
    // The frame and inner margins of the box, as the style draws them.
    const int frame = box->sizeHint().width() - metrics.horizontalAdvance(QString(17, u'x'));
    box->setMinimumWidth(text + std::max(frame, 2 * metrics.averageCharWidth()));
}

QRadioButton* makeRadio(QWidget* parent, QButtonGroup* group, const char* name,
                        const QString& caption)
{
    auto* radio = new QRadioButton(caption, parent);
    radio->setObjectName(QLatin1String(name));
    group->addButton(radio);
    return radio;
}

QToolButton* makeArrow(QWidget* parent, Qt::ArrowType arrow, const char* name)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFixedSize(16, 11);
    return button;
}

void warn(const QString& caption, const QString& text)
{
    CaptionedMessage(caption, text, MessageKind::Warning, app::HelpContext::NewRecord,
                     QMessageBox::Ok);
}

} // namespace

TFormNew::TFormNew(TFormMain& main) : QDialog(&main), main_(main)
{
    setObjectName(QStringLiteral("FormNew"));
    setWindowTitle(app::ProductName + QStringLiteral(" 4.4"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    resize(641, 536);
    buildControls();
    buildPopupMenu();
    auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
    connect(f1, &QShortcut::activated, this,
            [] { UiServices::help().showContext(app::HelpContext::NewRecord); });
    watchOtherWindows();
}

void TFormNew::buildControls()
{
    auto* column = new QVBoxLayout(this);
    column->addWidget(buildHeader());
    auto* fields = new QGroupBox(QStringLiteral("Fields"), this);
    auto* grid = new QGridLayout(fields);
    grid->addWidget(buildFields(), 0, 0);
    grid->addWidget(buildCoordinates(), 1, 0);
    grid->addWidget(buildDateTime(), 2, 0);
    column->addWidget(fields, 1);
}

QWidget* TFormNew::buildHeader()
{
    auto* header = new QWidget(this);
    auto* row = new QHBoxLayout(header);
    auto* title = new QLabel(QStringLiteral("New Record Data Entry"), header);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    row->addWidget(title);
    BtnSave = makeButton(header, "BtnSave", QStringLiteral("&Save"), Glyph::Save);
    BtnCancel = makeButton(header, "BtnCancel", QStringLiteral("&Cancel"), Glyph::Cancel);
    BtnExit = makeButton(header, "BtnExit", QStringLiteral("E&xit"), Glyph::Exit);
    for (QPushButton* b : {BtnSave, BtnCancel, BtnExit})
        row->addWidget(b);
    LabelSaved = new QLabel(QStringLiteral("Record Saved"), header);
    LabelSaved->setObjectName(QStringLiteral("LabelSaved"));
    LabelSaved->hide();
    row->addWidget(LabelSaved);
    row->addStretch(1);
    connect(BtnSave, &QPushButton::clicked, this, &TFormNew::BtnSaveClick);
    connect(BtnCancel, &QPushButton::clicked, this, &TFormNew::BtnCancelClick);
    connect(BtnExit, &QPushButton::clicked, this, &TFormNew::BtnExitClick);
    return header;
}

// Three columns: the category list; the frequency, modifier and notes; the four free fields,
// each label on the line of its box.
QWidget* TFormNew::buildFields()
{
    auto* panel = new QWidget(this);
    auto* columns = new QHBoxLayout(panel);

    auto* categories = new QVBoxLayout;
    ListCategory = new QListWidget(panel);
    ListCategory->setObjectName(QStringLiteral("ListCategory"));
    ListCategory->setSelectionMode(QAbstractItemView::SingleSelection);
    categories->addWidget(new QLabel(QStringLiteral("Category"), panel));
    categories->addWidget(ListCategory, 1);
    columns->addLayout(categories);

    auto* middle = new QVBoxLayout;
    auto* frequency = new QFormLayout;
    EditFrequency = makeBox(panel, "EditFrequency", FrequencyLength, QStringLiteral("[0-9,.\\-]*"));
    fitToLength(EditFrequency);
    frequency->addRow(QStringLiteral("Frequency(MHZ)"), EditFrequency);
    middle->addLayout(frequency);

    auto* modifier = new QGroupBox(QStringLiteral("Modifier"), panel);
    modifier->setToolTip(QStringLiteral("2 meter modifiers"));
    auto* modRow = new QHBoxLayout(modifier);
    auto* modGroup = new QButtonGroup(modifier);
    RadioSimplex = makeRadio(modifier, modGroup, "RadioSimplex", QStringLiteral("Simplex"));
    RadioUp = makeRadio(modifier, modGroup, "RadioUp", QStringLiteral("Up"));
    RadioDown = makeRadio(modifier, modGroup, "RadioDown", QStringLiteral("Down"));
    for (QRadioButton* r : {RadioSimplex, RadioUp, RadioDown})
        modRow->addWidget(r);
    RadioSimplex->setChecked(true);
    middle->addWidget(modifier);

    EditNotes = new QPlainTextEdit(panel);
    EditNotes->setObjectName(QStringLiteral("EditNotes"));
    EditNotes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    EditNotes->setTabChangesFocus(true);
    middle->addWidget(new QLabel(QStringLiteral("Notes"), panel));
    middle->addWidget(EditNotes, 1);
    columns->addLayout(middle, 1);

    auto* free = new QFormLayout;
    free->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    free->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    EditCallSign = makeBox(panel, "EditCallSign", FreeFieldLength);
    EditUser = makeBox(panel, "EditUser", FreeFieldLength);
    EditLocation = makeBox(panel, "EditLocation", FreeFieldLength);
    EditOptional = makeBox(panel, "EditOptional", FreeFieldLength);
    QLabel** labels[] = {&LabelCallSign, &LabelUser, &LabelLocation, &LabelOptional};
    QLineEdit* boxes[] = {EditCallSign, EditUser, EditLocation, EditOptional};
    for (int i = 0; i < 4; ++i) {
        *labels[i] = new QLabel(panel);
        (*labels[i])->setBuddy(boxes[i]);
        fitToLength(boxes[i]);
        free->addRow(*labels[i], boxes[i]);
    }
    auto* right = new QVBoxLayout;
    right->addLayout(free);
    right->addStretch(1);
    columns->addLayout(right);
    return panel;
}

QWidget* TFormNew::buildCoordinates()
{
    auto* panel = new QWidget(this);
    auto* row = new QHBoxLayout(panel);
    auto build = [&](const QString& title, const char* deg, int degLength, const char* min,
                     QLineEdit*& degBox, QLineEdit*& minBox, QRadioButton*& first,
                     QRadioButton*& second, const char* firstName, const char* secondName) {
        auto* group = new QGroupBox(title, panel);
        group->setToolTip(QStringLiteral("example: 15.5 "));
        auto* grid = new QGridLayout(group);
        degBox = makeBox(group, deg, degLength, QStringLiteral("[0-9]*"));
        minBox = makeBox(group, min, 2, QStringLiteral("[0-9]*"));
        auto* sides = new QButtonGroup(group);
        first = makeRadio(group, sides, firstName, QString::fromLatin1(firstName).right(1));
        second = makeRadio(group, sides, secondName, QString::fromLatin1(secondName).right(1));
        first->setChecked(true);
        grid->addWidget(new QLabel(QStringLiteral("Deg"), group), 0, 0);
        grid->addWidget(new QLabel(QStringLiteral("Min"), group), 0, 1);
        grid->addWidget(degBox, 1, 0);
        grid->addWidget(minBox, 1, 1);
        grid->addWidget(first, 0, 2);
        grid->addWidget(second, 1, 2);
        row->addWidget(group);
    };
    build(QStringLiteral("Latitude"), "EditDegLat", 2, "EditMinLat", EditDegLat, EditMinLat,
          RadioNorth, RadioSouth, "RadioN", "RadioS");
    build(QStringLiteral("Longitude"), "EditDegLon", 3, "EditMinLon", EditDegLon, EditMinLon,
          RadioWest, RadioEast, "RadioW", "RadioE");
    limitDegrees(EditDegLat, EditMinLat, 90);
    limitDegrees(EditDegLon, EditMinLon, 180);
    return panel;
}

QWidget* TFormNew::buildDateTime()
{
    auto* panel = new QWidget(this);
    auto* row = new QHBoxLayout(panel);
    row->addWidget(new QLabel(QStringLiteral("Date/Time"), panel));
    DateEdit1 = new DateBox(panel);
    row->addWidget(DateEdit1);
    MaskEdit = new TimeBox(main_.settings().dateOption == 1, panel);
    row->addWidget(MaskEdit);
    // Each pair of arrows steps one part of the time; a label beside it says which.
    auto spin = [&](const QString& part, const char* upName, const char* downName, auto up,
                    auto down) {
        auto* pair = new QVBoxLayout;
        pair->setSpacing(0);
        QToolButton* upButton = makeArrow(panel, Qt::UpArrow, upName);
        QToolButton* downButton = makeArrow(panel, Qt::DownArrow, downName);
        upButton->setToolTip(QStringLiteral("One %1 later").arg(part.toLower()));
        downButton->setToolTip(QStringLiteral("One %1 earlier").arg(part.toLower()));
        upButton->setAccessibleName(part + QStringLiteral(" up"));
        downButton->setAccessibleName(part + QStringLiteral(" down"));
        row->addWidget(new QLabel(part, panel));
        connect(upButton, &QToolButton::clicked, this, up);
        connect(downButton, &QToolButton::clicked, this, down);
        pair->addWidget(upButton);
        pair->addWidget(downButton);
        row->addLayout(pair);
    };
    spin(
        QStringLiteral("Hour"), "HourUp", "HourDown", [this] { MaskEdit->stepHour(1); },
        [this] { MaskEdit->stepHour(-1); });
    spin(
        QStringLiteral("Minute"), "MinuteUp", "MinuteDown", [this] { MaskEdit->stepMinute(1); },
        [this] { MaskEdit->stepMinute(-1); });
    row->addStretch(1);
    return panel;
}

void TFormNew::buildPopupMenu()
{
    setContextMenuPolicy(Qt::ActionsContextMenu);
    const std::pair<QString, void (TFormNew::*)()> items[] = {
        {QStringLiteral("Save"), &TFormNew::BtnSaveClick},
        {QStringLiteral("Clear"), &TFormNew::BtnCancelClick},
        {QStringLiteral("Done"), &TFormNew::BtnExitClick}};
    for (const auto& [caption, slot] : items) {
        auto* action = new QAction(caption, this);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
    }
}

void TFormNew::limitDegrees(QLineEdit* degrees, QLineEdit* minutes, int limit)
{
    // Values out of range stay as typed: Save says what is wrong with them, where clearing
    // the box would drop the position without a word.
    connect(degrees, &QLineEdit::textChanged, this,
            [degrees, minutes, limit] { minutes->setEnabled(degrees->text().toInt() != limit); });
}

void TFormNew::watchOtherWindows()
{
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* window) {
        if (!window || window == windowHandle() || !isVisible())
            return;
        QWidget* widget = QWidget::find(window->winId());
        // Message boxes and pop-ups come and go over the dialog; they are not "elsewhere".
        if (!widget || qobject_cast<QMessageBox*>(widget) || widget->windowType() == Qt::Popup ||
            widget->windowType() == Qt::ToolTip)
            return;
        awayToOtherWindow_ = true;
    });
}

void TFormNew::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (shownOnce_)
        return;
    shownOnce_ = true;
    const auto& names = main_.settings().columnNames;
    LabelCallSign->setText(names[3]);
    LabelUser->setText(names[4]);
    LabelLocation->setText(names[5]);
    LabelOptional->setText(names[6]);
    FormActivate();
}

bool TFormNew::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && awayToOtherWindow_) {
        awayToOtherWindow_ = false;
        FormActivate();
    }
    return QDialog::event(event);
}

void TFormNew::FormActivate()
{
    ListCategory->clear();
    ListCategory->addItems(main_.categories());
    if (ListCategory->count() > 0)
        ListCategory->setCurrentRow(0);
    EditNotes->clear();
    EditFrequency->setFocus();
    DateEdit1->setDate(UiServices::clock().now().date());
}

void TFormNew::clearTextBoxes()
{
    for (QLineEdit* box : {EditFrequency, EditCallSign, EditUser, EditLocation, EditOptional,
                           EditDegLat, EditMinLat, EditDegLon, EditMinLon})
        box->clear();
    EditNotes->clear();
}

void TFormNew::BtnSaveClick()
{
    if (ListCategory->selectedItems().isEmpty()) {
        CaptionedMessage(app::ProductName, QStringLiteral("Please enter a category."),
                         MessageKind::Information, app::HelpContext::NewRecord, QMessageBox::Ok);
        return;
    }
    if (EditFrequency->text().trimmed().isEmpty()) {
        warn(QStringLiteral("Frequency Entry Error"),
             QStringLiteral("Please re-enter a frequency."));
        return;
    }
    if (!AppendRecords())
        return;
    clearTextBoxes();
    saved_ = true;
    EditFrequency->setFocus();
    LabelSaved->show();
    QTimer::singleShot(SavedFlashMs, LabelSaved, &QLabel::hide);
}

void TFormNew::tellWhenOutsideRange(double hz) const
{
    const MainSettings& range = main_.settings();
    if (hz >= range.lowFrequency && hz <= range.hiFrequency)
        return;
    // Saved, but the main list shows only its range: without a word the record would seem lost.
    CaptionedMessage(app::ProductName,
                     QStringLiteral("The record was saved. Its frequency of %1 MHz is outside the "
                                    "range shown, %2 - %3 MHz, so the list will not show it; "
                                    "widen the range under Preferences to see it.")
                         .arg(LocaleInfo::current().formatNumber(hz))
                         .arg(range.lowFrequency)
                         .arg(range.hiFrequency),
                     MessageKind::Information, app::HelpContext::NewRecord, QMessageBox::Ok);
}

bool TFormNew::AppendRecords()
{
    const auto date = DateEdit1->date();
    if (!date) {
        warn(QStringLiteral("Date Entry Error"), QStringLiteral("Please check date entry."));
        return false;
    }
    const auto time = MaskEdit->time();
    if (!time) {
        warn(QStringLiteral("Time Entry Error"), QStringLiteral("Please check time data."));
        return false;
    }
    const auto hz = LocaleInfo::current().parseNumber(EditFrequency->text());
    if (!hz) {
        warn(QStringLiteral("Frequency Entry Error"),
             QStringLiteral("Please re-enter a frequency."));
        return false;
    }
    // No list could ever show a record below 0 MHz.
    if (*hz < 0) {
        warn(QStringLiteral("Frequency Entry Error"),
             QStringLiteral("A frequency cannot be negative. Please re-enter a frequency."));
        return false;
    }
    const CoordinateEntry entry{EditDegLat->text(), EditMinLat->text(), RadioSouth->isChecked(),
                                EditDegLon->text(), EditMinLon->text(), RadioEast->isChecked()};
    if (const QString problem = entry.problem(); !problem.isEmpty()) {
        warn(QStringLiteral("Position Entry Error"),
             problem + QStringLiteral(" Please correct the position."));
        (problem.contains(QStringLiteral("latitude")) ? EditDegLat : EditDegLon)->setFocus();
        return false;
    }
    const CoordinateEntry::Result position = entry.toRecord();
    const QString modifier = RadioUp->isChecked()     ? QStringLiteral("+")
                             : RadioDown->isChecked() ? QStringLiteral("-")
                                                      : QStringLiteral(" ");
    // Notes are stored with the CR LF line ends of the program's text.
    QString notes = EditNotes->toPlainText();
    notes.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));

    const std::pair<const char*, QVariant> values[] = {
        {"Category", ListCategory->selectedItems().front()->text()},
        {"Callsign", EditCallSign->text()},
        {"Notes", notes},
        {"RDate", RecordDate::fromDateTime(QDateTime(*date, *time))},
        {"Hz", *hz},
        {"Modifier", modifier},
        {"User", EditUser->text()},
        {"Location", EditLocation->text()},
        {"Optional", EditOptional->text()},
        {"Position", position.position},
        {"RLat", position.rlat},
        {"RLon", position.rlon}};
    store::Status status;
    {
        const WaitCursor hourglass;
        store::Table& table = main_.table();
        status = table.append();
        for (const auto& [field, value] : values) {
            if (status.ok)
                status = table.setFieldValue(QLatin1String(field), value);
        }
        if (status.ok)
            status = table.post();
        if (!status.ok)
            table.cancel();
    }
    // A store failure must not pass for a save: the entries stay for another try.
    if (!status.ok) {
        ShowMessage(QStringLiteral("The record could not be saved."), status.error);
        return false;
    }
    tellWhenOutsideRange(*hz);
    return true;
}

void TFormNew::BtnCancelClick()
{
    clearTextBoxes();
}

void TFormNew::BtnExitClick()
{
    accept();
}

void TFormNew::done(int result)
{
    // Also for the close box: a grid left stale after new records would misplace later edits.
    if (saved_) {
        main_.SortableGrid1->SetColCount(ColumnCount);
        main_.ReadAllRecords();
        main_.SetBrowseMode();
    }
    QDialog::done(result);
}

} // namespace wl
