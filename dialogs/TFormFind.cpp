#include "dialogs/TFormFind.h"

#include "app/AppConstants.h"
#include "app/Glyphs.h"
#include "app/TFormMain.h"
#include "app/services/CaptionedMessage.h"
#include "app/services/UiServices.h"
#include "grid/TSortableGrid.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QShortcut>
#include <QToolButton>
#include <QWindow>

#include <algorithm>

namespace wl {

namespace {

const QString SearchCaption = QStringLiteral("Wavelark Search");
constexpr int FirstDataRow = 1;

QToolButton* glyphButton(QWidget* parent, const char* name, Glyph glyph, const QString& hint)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setIcon(Glyphs::icon(glyph));
    button->setIconSize(QSize(20, 20));
    button->setToolTip(hint);
    return button;
}

} // namespace

TFormFind::TFormFind(TFormMain& main) : QWidget(&main), main_(main)
{
    setObjectName(QStringLiteral("FormFind"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint);
    setWindowTitle(QStringLiteral("Enter search item"));
    setFixedSize(292, 65);
    buildControls();
    move(main.x() + main.width() / 2 - width() / 2, main.y() + 10);
    auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
    connect(f1, &QShortcut::activated, this,
            [] { UiServices::help().showContext(app::HelpContext::Find); });
    // Qt activates the window again after each of its own message boxes; only a return from
    // another of the program's windows counts as coming back.
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* now) {
        if (now && now != windowHandle() && !telling_)
            away_ = true;
    });
}

void TFormFind::buildControls()
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 6, 6, 6);
    auto* left = new QVBoxLayout;
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    CheckBox1 = new QCheckBox(QStringLiteral("Case sensitive"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    left->addWidget(Edit1);
    left->addWidget(CheckBox1);
    row->addLayout(left, 1);
    BtnFind = glyphButton(this, "BtnFind", Glyph::Find, QStringLiteral("Find Text"));
    BtnClose = glyphButton(this, "BtnClose", Glyph::Exit, QStringLiteral("Close"));
    row->addWidget(BtnFind);
    row->addWidget(BtnClose);
    connect(BtnFind, &QToolButton::clicked, this, &TFormFind::BtnFindClick);
    // Enter in the text box searches, as the Find button does.
    connect(Edit1, &QLineEdit::returnPressed, this, &TFormFind::BtnFindClick);
    connect(BtnClose, &QToolButton::clicked, this, &TFormFind::BtnCloseClick);
}

bool TFormFind::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && (!activatedOnce_ || away_)) {
        activatedOnce_ = true;
        away_ = false;
        FormActivate();
    }
    return QWidget::event(event);
}

void TFormFind::FormActivate()
{
    move(main_.x() + main_.width() / 2 - 150, main_.y());
    found_ = false;
    Edit1->setFocus();
    TSortableGrid& grid = *main_.SortableGrid1;
    grid.GoToCell(grid.Col(), FirstDataRow);
}

void TFormFind::tell(const QString& text)
{
    telling_ = true;
    CaptionedMessage(SearchCaption, text, MessageKind::Information, app::HelpContext::Find,
                     QMessageBox::Ok);
    telling_ = false;
}

void TFormFind::BtnFindClick()
{
    TSortableGrid& grid = *main_.SortableGrid1;
    // Without "Case sensitive" every letter matches its other case, accented ones included.
    const Qt::CaseSensitivity cs = CheckBox1->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const QString wanted = Edit1->text();
    // Hits of an earlier text say nothing about this one: a new text starts over at row 1.
    if (wanted != foundText_ || cs != foundCase_)
        found_ = false;
    // The grid may have been refilled or cut down since the last press.
    const int start = std::max(found_ ? grid.Row() + 1 : FirstDataRow, grid.FixedRows());
    const int last = grid.RowCount() - 1;
    if (start > last)
        return;
    if (!wanted.isEmpty()) {
        for (int row = start; row <= last; ++row) {
            for (int col = 0; col < grid.ColCount(); ++col) {
                if (!grid.Cells(col, row).contains(wanted, cs))
                    continue;
                grid.GoToCell(col, row);
                found_ = true;
                foundText_ = wanted;
                foundCase_ = cs;
                if (row == last)
                    tell(QStringLiteral("Search Complete"));
                return;
            }
        }
    }
    if (found_) {
        tell(QStringLiteral("Search Complete"));
    } else {
        tell(QStringLiteral("Search item not found."));
        grid.GoToCell(grid.Col(), FirstDataRow);
    }
}

void TFormFind::BtnCloseClick()
{
    Edit1->clear();
    close();
}

} // namespace wl
