#include "dialogs/TFormView.h"

#include "app/AppConstants.h"
#include "app/RecordCaption.h"
#include "app/TFormMain.h"
#include "app/WaitCursor.h"
#include "app/services/CaptionedMessage.h"
#include "app/services/UiServices.h"
#include "dialogs/GridRecord.h"
#include "dialogs/NotesPrinter.h"

#include <QDir>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QShortcut>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace wl {

namespace {

const QString NotesField = QStringLiteral("Notes");
const QString NoNotes = QStringLiteral("Selected record has no notes.");
constexpr int WatchIntervalMs = 250;

std::optional<QString> readNotes(TFormMain& main, qint64 recNum)
{
    QVariant value;
    if (const store::Status read = main.table().readField(recNum, NotesField, value); !read) {
        ShowMessage(QStringLiteral("The notes could not be read."), read.error);
        return std::nullopt;
    }
    return value.toString();
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& hint)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(hint);
    button->setAutoDefault(false);
    return button;
}

} // namespace

TFormView* TFormView::openViewer(TFormMain& main)
{
    const qint64 recNum = GridRecord::recNumOfRow(main, GridRecord::selectedRow(main));
    if (recNum <= 0) {
        ShowMessage(NoNotes);
        return nullptr;
    }
    const std::optional<QString> notes = readNotes(main, recNum);
    if (!notes)
        return nullptr;
    if (notes->trimmed().isEmpty()) {
        ShowMessage(NoNotes);
        return nullptr;
    }
    auto* view = new TFormView(main, Role::Viewer, recNum, *notes);
    view->show();
    return view;
}

TFormView* TFormView::openEditor(TFormMain& main, int row)
{
    const qint64 recNum = GridRecord::recNumOfRow(main, row);
    if (recNum <= 0) {
        ShowMessage(QStringLiteral("The selected row shows no record."));
        return nullptr;
    }
    const std::optional<QString> notes = readNotes(main, recNum);
    if (!notes)
        return nullptr;
    auto* view = new TFormView(main, Role::Editor, recNum, *notes);
    view->show();
    return view;
}

TFormView::TFormView(TFormMain& main, Role role, qint64 recNum, const QString& notes)
    : QWidget(&main), main_(main), role_(role), recNum_(recNum),
      folder_(main.table().databaseName())
{
    setObjectName(QStringLiteral("FormView"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint);
    // The title says whose notes these are: the window stays open while the list moves on.
    setWindowTitle(
        (role == Role::Editor ? QStringLiteral("Notes Editor") : QStringLiteral("Wavelark Notes")) +
        QStringLiteral(" - ") + RecordCaption::of(main, recNum));
    buildControls();
    BtnSaveNotes->setVisible(role == Role::Editor);
    BtnPrintNotes->setVisible(role == Role::Viewer);
    RE1->setReadOnly(role == Role::Viewer);
    RE1->setPlainText(NotesPrinter::splitLines(notes).join(QLatin1Char('\n')));
    RE1->document()->setModified(false);
    placeOver(main.geometry());
    auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
    connect(f1, &QShortcut::activated, this,
            [] { UiServices::help().showContext(app::HelpContext::NotesViewer); });
    watchTable();
}

// Over the right part of the main window, which stays in sight to the left of it: the notes
// window is on top and would otherwise hide the list it belongs to.
void TFormView::placeOver(const QRect& main)
{
    const QSize size(std::min(DesignSize.width(), main.width() * 2 / 3),
                     std::min(DesignSize.height(), main.height() * 3 / 4));
    QRect place(QPoint(0, 0), size);
    place.moveTopRight(main.topRight() + QPoint(-Inset, Inset * 2));
    setGeometry(place);
}

void TFormView::buildControls()
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    auto* top = new QHBoxLayout;
    top->setContentsMargins(6, 4, 6, 4);
    BtnSaveNotes = makeButton(this, "BtnSaveNotes", QStringLiteral("Save"),
                              QStringLiteral("Save Changes To Notes Field"));
    BtnPrintNotes = makeButton(this, "BtnPrintNotes", QStringLiteral("Print"),
                               QStringLiteral("Print Note Field"));
    BtnClose = makeButton(this, "BtnClose", QStringLiteral("Close"), QStringLiteral("Close"));
    top->addWidget(BtnSaveNotes);
    top->addWidget(BtnPrintNotes);
    top->addWidget(BtnClose);
    top->addStretch(1);
    column->addLayout(top);
    RE1 = new QPlainTextEdit(this);
    RE1->setObjectName(QStringLiteral("RE1"));
    RE1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    column->addWidget(RE1, 1);
    connect(BtnSaveNotes, &QPushButton::clicked, this, [this] { BtnSaveNotesClick(); });
    connect(BtnPrintNotes, &QPushButton::clicked, this, [this] { BtnPrintNotesClick(); });
    connect(BtnClose, &QPushButton::clicked, this, &QWidget::close);
}

bool TFormView::tableStillOpen() const
{
    return main_.table().isOpen() && main_.table().databaseName() == folder_;
}

void TFormView::watchTable()
{
    // The main window announces no table changes, so the window looks for itself; the check
    // is two field reads.
    watch_ = new QTimer(this);
    watch_->setInterval(WatchIntervalMs);
    connect(watch_, &QTimer::timeout, this, [this] {
        // A table closed for a moment (a backup, a repair) comes back: only another database
        // in its place ends the window, and never while it holds text not saved yet.
        const store::Table& table = main_.table();
        const bool replaced = table.isOpen() && table.databaseName() != folder_;
        if (replaced && !hasUnsavedText())
            close();
    });
    watch_->start();
}

bool TFormView::hasUnsavedText() const
{
    return role_ == Role::Editor && RE1->document()->isModified();
}

bool TFormView::BtnSaveNotesClick()
{
    if (!tableStillOpen()) {
        ShowMessage(QStringLiteral("The database these notes belong to is no longer open; the "
                                   "notes were not saved."));
        return false;
    }
    QVariant exists;
    if (!main_.table().readField(recNum_, QStringLiteral("RecNum"), exists) || exists.isNull()) {
        ShowMessage(QStringLiteral("The record of these notes no longer exists; the notes were "
                                   "not saved."));
        return false;
    }
    const QString text = RE1->toPlainText().split(QLatin1Char('\n')).join(QStringLiteral("\r\n"));
    if (const store::Status saved = main_.table().updateByRecNum(recNum_, {{NotesField, text}});
        !saved) {
        ShowMessage(QStringLiteral("The notes could not be saved."), saved.error);
        return false;
    }
    RE1->document()->setModified(false);
    return true;
}

bool TFormView::BtnPrintNotesClick()
{
    QPrinter printer(QPrinter::HighResolution);
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        const QString file = UiServices::dialogs().saveFileName(
            this, QStringLiteral("Print Notes To PDF"), QDir::homePath(),
            QStringLiteral("PDF files (*.pdf)"));
        if (file.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
    } else if (!UiServices::dialogs().print(this, printer)) {
        return false;
    }
    WaitCursor wait;
    if (!NotesPrinter::print(printer, RE1->toPlainText(), RE1->font())) {
        ShowMessage(QStringLiteral("The notes could not be printed."));
        return false;
    }
    return true;
}

} // namespace wl
