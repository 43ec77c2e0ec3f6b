#include "app/EditMode.h"

#include "app/AppConstants.h"
#include "app/CategoryPanel.h"
#include "app/EditSaver.h"
#include "app/PositionPanel.h"
#include "app/RecordCaption.h"
#include "app/RecordCells.h"
#include "app/RecordList.h"
#include "app/TFormMain.h"
#include "app/services/CaptionedMessage.h"
#include "grid/LocaleInfo.h"
#include "grid/TSortableGrid.h"

#include <QFontMetrics>
#include <QLabel>
#include <QToolButton>

#include <algorithm>

namespace wl {

namespace {

constexpr int PositionSlot = 7;

TSortableGrid::TGridOptions withRowSelect(TSortableGrid::TGridOptions options, bool rows)
{
    options.setFlag(TSortableGrid::goRowSelect, rows);
    options.setFlag(TSortableGrid::goEditing, !rows);
    return options;
}

} // namespace

EditMode::EditMode(TFormMain& main)
    : QObject(&main), main_(main), categoryPanel_(new CategoryPanel(&main)),
      positionPanel_(new PositionPanel(&main))
{
    TSortableGrid& grid = *main_.SortableGrid1;
    grid.OnSelectCell = [this](TSortableGrid&, int, int row, bool&) { cellSelected(row); };
    connect(&grid, &QAbstractItemView::clicked, this, [this] { cellClicked(); });

    categoryPanel_->OnPicked = [this](const QString& category) {
        writeCurrentCell(RecordCells::CategorySlot, category);
        panelClosed();
    };
    categoryPanel_->OnClosed = [this] { panelClosed(); };
    positionPanel_->OnAccepted = [this](const QString& position) {
        writeCurrentCell(PositionSlot, position);
        panelClosed();
    };
    positionPanel_->OnCancelled = [this] { panelClosed(); };
    categoryPanel_->move(120, 120);
    positionPanel_->move(160, 120);
}

void EditMode::edit()
{
    // A category tab lacks the Category column and shows part of the records: edit mode
    // belongs to "All Records".
    if (!main_.onAllRecords())
        return;
    if (main_.table().recordCount() <= 0) {
        CaptionedMessage(QStringLiteral("Wavelark "), QStringLiteral("No records to edit."),
                         MessageKind::Plain, 0, QMessageBox::Ok);
        return;
    }
    // The fixed layout must be in place before the fill sets the widths, so the width
    // handler sees edit mode and keeps the user's layout out of it.
    main_.setEditing(true);
    TSortableGrid& grid = *main_.SortableGrid1;
    grid.SetOptions(withRowSelect(grid.Options(), false));
    grid.SetClickSorting(false);
    installEditLayout();
    grid.SetColCount(ColumnCount);
    main_.ReadAllRecords();
    fitEditColumns();
    main_.button(Command::Save)->setEnabled(true);
    main_.button(Command::Add)->setEnabled(false);
    main_.button(Command::Delete)->setEnabled(false);
    main_.editedRows() = QStringList{QStringLiteral("1")};
}

void EditMode::installEditLayout()
{
    MainSettings& layout = main_.settings();
    for (int position = 0; position < ColumnCount; ++position) {
        layout.columnShown[size_t(position)] = true;
        layout.columnWidths[size_t(position)] = position == 2 ? 20 : position == 9 ? 120 : 80;
    }
}

// Every column of edit mode shows its whole heading and its texts, as the fitted columns of
// browse mode do, up to a limit that keeps long notes from pushing the rest off screen. The
// widths are not stored: edit mode's layout is its own.
void EditMode::fitEditColumns()
{
    TSortableGrid& grid = *main_.SortableGrid1;
    const int widest = QFontMetrics(grid.font()).averageCharWidth() * MaxFittedChars;
    for (int col = 0; col < grid.ColCount(); ++col) {
        const int before = grid.ColWidths(col);
        grid.FitColumnWidth(col);
        grid.SetColWidths(col, std::clamp(grid.ColWidths(col), before, std::max(before, widest)));
    }
    RecordList::fitColumnsToText(grid, main_.settings());
}

void EditMode::showBrowseMode()
{
    categoryPanel_->hide();
    positionPanel_->hide();
    TSortableGrid& grid = *main_.SortableGrid1;
    grid.SetOptions(withRowSelect(grid.Options(), true));
    grid.SetClickSorting(true);
    grid.setEnabled(true);
    main_.button(Command::Save)->setEnabled(false);
    for (Command c : {Command::Delete, Command::Cancel})
        main_.button(c)->setEnabled(true);
    main_.button(Command::Edit)->setEnabled(main_.onAllRecords());
    main_.button(Command::Add)->setEnabled(main_.hasCommandHandler(Command::Add));
}

void EditMode::save()
{
    if (!main_.editing())
        return;
    TSortableGrid& grid = *main_.SortableGrid1;
    // Moving the focus off an open cell editor hands its text to the cell.
    grid.setFocus();
    EditSaver saver(grid, main_.table(), main_.settings(), LocaleInfo::current());
    const EditSaver::Outcome outcome =
        saver.save(main_.editedRows(), [this](int row) { return main_.RecNumOfRow(row); });
    if (!outcome.message.isEmpty()) {
        // The rows before the failing one stay written; the user corrects the cell and saves
        // again.
        ShowMessage(outcome.message, outcome.details);
        return;
    }
    main_.SetBrowseMode();
}

void EditMode::cancel()
{
    categoryPanel_->hide();
    if (main_.editing()) {
        // Leaving edit mode brings back the saved layout; unsaved cells are dropped.
        main_.SetBrowseMode();
        return;
    }
    if (main_.button(Command::Delete)->isEnabled())
        return;
    // A heading sort: back to frequency order.
    main_.SetBrowseMode();
    main_.ReadReg(false);
    main_.ReadAllRecords();
}

void EditMode::deleteSelected()
{
    TSortableGrid& grid = *main_.SortableGrid1;
    const int row = grid.Row();
    const qint64 recNum = main_.RecNumOfRow(row);
    if (recNum <= 0)
        return;
    const auto answer = CaptionedMessage(
        QStringLiteral("Confirmation Request"),
        QStringLiteral("Deleting record %1, please confirm.").arg(RecordCaption::of(main_, recNum)),
        MessageKind::Confirmation, 0, QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    // The table goes first: a row taken off the grid for a record still stored would lie.
    if (const store::Status deleted = main_.table().deleteByRecNum(recNum); !deleted) {
        ShowMessage(QStringLiteral("The record could not be deleted."), deleted.error);
        main_.ReadAllRecords();
        return;
    }
    const int top = grid.rowAt(0);
    grid.RemoveRow(row);
    if (grid.RowCount() <= grid.FixedRows()) {
        grid.InsertBlankRow(1);
        grid.SetFixedRows(1);
    }
    grid.GoToCell(grid.Col(), row - 1 > 0 ? row - 1 : 1);
    if (top >= 0)
        grid.scrollTo(grid.model()->index(std::min(top, grid.model()->rowCount() - 1), 0),
                      QAbstractItemView::PositionAtTop);
    main_.PnlTotal->setText(QStringLiteral("Records = ") +
                            QString::number(std::max<qint64>(0, main_.table().recordCount())));
}

void EditMode::cellSelected(int row)
{
    if (main_.editing())
        main_.editedRows() << QString::number(row);
}

void EditMode::cellClicked()
{
    if (!main_.editing())
        return;
    TSortableGrid& grid = *main_.SortableGrid1;
    const int row = grid.Row();
    const int col = grid.Col();
    const int slot = RecordList::slotOfColumn(grid, col);
    if (slot == RecordCells::CategorySlot) {
        grid.setEnabled(false);
        categoryPanel_->pick(main_.categories(), grid.Cells(col, row));
    } else if (slot == PositionSlot) {
        grid.setEnabled(false);
        positionPanel_->pick(grid.Cells(col, row));
    } else if (slot == RecordCells::NotesSlot) {
        main_.openNotesEditor(row);
    }
}

void EditMode::writeCurrentCell(int slot, const QString& text)
{
    TSortableGrid& grid = *main_.SortableGrid1;
    const int col = RecordList::columnOfSlot(grid, slot);
    if (col >= 0 && main_.editing())
        grid.SetCells(col, grid.Row(), text);
}

void EditMode::panelClosed()
{
    main_.SortableGrid1->setEnabled(true);
}

} // namespace wl
