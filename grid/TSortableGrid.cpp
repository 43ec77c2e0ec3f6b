#include "grid/TSortableGrid.h"

#include "grid/GridDelegate.h"
#include "grid/PlainText.h"
#include "grid/RowSorter.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSaveFile>
#include <QScrollBar>

#include <algorithm>
#include <climits>

namespace wl {

namespace {

// Shows the hourglass for its lifetime, also when the work inside throws.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Sets a flag for its lifetime.
class FlagGuard
{
public:
    explicit FlagGuard(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~FlagGuard() { flag_ = old_; }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;

private:
    bool& flag_;
    bool old_;
};

} // namespace

TSortableGrid::TSortableGrid(QWidget* parent)
    : QTableView(parent), model_(new GridModel(this)),
      options_(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect)
{
    model_->setFixedRows(1);
    model_->setColCount(5);
    model_->setRowCount(5);
    model_->onEditorText = [this](int col, int row, const QString& text) {
        editorText(col, row, text);
    };
    setModel(model_);
    setItemDelegate(new GridDelegate(*this));
    setWordWrap(false);
    setCornerButtonEnabled(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->viewport()->installEventFilter(this);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &TSortableGrid::columnResized);
    connect(model_, &QAbstractItemModel::modelReset, this, &TSortableGrid::applyWidths);
    connect(model_, &QAbstractItemModel::columnsInserted, this, &TSortableGrid::applyWidths);
    connect(model_, &QAbstractItemModel::columnsRemoved, this, &TSortableGrid::applyWidths);
    connect(model_, &QAbstractItemModel::columnsMoved, this, &TSortableGrid::applyWidths);
    focusConnection_ = connect(qApp, &QApplication::focusChanged, this, &TSortableGrid::focusMoved);
    SetDefaultRowHeight(defaultRowHeight_);
    SetOptions(options_);
    applyWidths();
    RememberCell();
}

TSortableGrid::~TSortableGrid()
{
    // The base destructor moves the focus away; by then this part of the grid is gone.
    disconnect(focusConnection_);
    horizontalHeader()->viewport()->removeEventFilter(this);
}

// ---- properties ----------------------------------------------------------------------------

void TSortableGrid::SetAlignmentHorz(TAlignment value)
{
    alignmentHorz_ = value;
    viewport()->update();
}

void TSortableGrid::SetAlignmentVert(TVertAlignment value)
{
    alignmentVert_ = value;
    viewport()->update();
}

void TSortableGrid::SetBevelStyle(TCellBevelStyle value)
{
    bevelStyle_ = value;
    viewport()->update();
}

void TSortableGrid::SetProportionalScrollBars(bool value)
{
    proportionalScrollBars_ = value;
    UpdateScrollPages();
}

void TSortableGrid::changeCells(const std::function<void()>& change)
{
    const int oldCols = ColCount();
    const int oldRows = RowCount();
    change();
    if (oldCols == ColCount() && oldRows == RowCount())
        return;
    if (OnSizeChanged)
        OnSizeChanged(*this, oldCols, oldRows);
    UpdateScrollPages();
}

void TSortableGrid::SetRowCount(int rows)
{
    changeCells([&] {
        sortMemory_.clear();
        model_->setRowCount(rows);
    });
}

void TSortableGrid::SetColCount(int cols)
{
    changeCells([&] { model_->setColCount(cols); });
}

void TSortableGrid::SetFixedRows(int rows)
{
    changeCells([&] {
        sortMemory_.clear();
        model_->setFixedRows(rows);
        SetDefaultRowHeight(defaultRowHeight_);
    });
}

void TSortableGrid::SetFixedCols(int cols)
{
    changeCells([&] { model_->setFixedCols(cols); });
}

int TSortableGrid::Col() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.column() : FixedCols();
}

int TSortableGrid::Row() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + FixedRows() : FixedRows();
}

TSortableGrid::TGridRect TSortableGrid::Selection() const
{
    const QItemSelection selection = selectionModel()->selection();
    if (selection.isEmpty())
        return {Col(), Row(), Col(), Row()};
    TGridRect rect{INT_MAX, INT_MAX, -1, -1};
    for (const QItemSelectionRange& range : selection) {
        rect.Left = std::min(rect.Left, range.left());
        rect.Right = std::max(rect.Right, range.right());
        rect.Top = std::min(rect.Top, range.top() + FixedRows());
        rect.Bottom = std::max(rect.Bottom, range.bottom() + FixedRows());
    }
    return rect;
}

int TSortableGrid::ColWidths(int col) const
{
    const int width = model_->columnWidth(col);
    return width < 0 ? defaultColWidth_ : width;
}

void TSortableGrid::SetColWidths(int col, int width)
{
    if (col < 0 || col >= ColCount())
        return;
    width = std::max(width, 0);
    model_->setColumnWidth(col, width);
    if (updateDepth_ == 0)
        horizontalHeader()->resizeSection(col, width);
}

void TSortableGrid::SetDefaultColWidth(int width)
{
    defaultColWidth_ = std::max(width, 0);
    horizontalHeader()->setDefaultSectionSize(defaultColWidth_);
    applyWidths();
}

void TSortableGrid::SetDefaultRowHeight(int height)
{
    const bool changed = height != defaultRowHeight_;
    defaultRowHeight_ = std::max(height, 1);
    verticalHeader()->setDefaultSectionSize(defaultRowHeight_);
    horizontalHeader()->setVisible(FixedRows() > 0);
    horizontalHeader()->setFixedHeight(defaultRowHeight_ * std::max(FixedRows(), 1));
    if (changed && OnRowHeightsChanged)
        OnRowHeightsChanged(*this);
    if (changed)
        UpdateScrollPages();
}

void TSortableGrid::SetOptions(TGridOptions options)
{
    options_ = options;
    setShowGrid(options.testAnyFlags(goVertLine | goHorzLine));
    setSelectionBehavior(options.testFlag(goRowSelect) ? SelectRows : SelectItems);
    setSelectionMode(options.testFlag(goRangeSelect) ? ExtendedSelection : SingleSelection);
    model_->setEditable(options.testFlag(goEditing));
    setEditTriggers(options.testFlag(goEditing)
                        ? EditTriggers(DoubleClicked | EditKeyPressed | AnyKeyPressed)
                        : EditTriggers(NoEditTriggers));
    horizontalHeader()->setSectionResizeMode(
        options.testFlag(goColSizing) ? QHeaderView::Interactive : QHeaderView::Fixed);
}

void TSortableGrid::BeginUpdate()
{
    if (updateDepth_++ > 0)
        return;
    widthsBeforeUpdate_.clear();
    for (int col = 0; col < ColCount(); ++col)
        widthsBeforeUpdate_.push_back(ColWidths(col));
    model_->beginBatch();
}

void TSortableGrid::EndUpdate()
{
    if (updateDepth_ == 0 || --updateDepth_ > 0)
        return;
    sortMemory_.clear();
    model_->endBatch(); // the reset re-applies the stored widths
    std::vector<int> widths;
    for (int col = 0; col < ColCount(); ++col)
        widths.push_back(ColWidths(col));
    if (widths != widthsBeforeUpdate_)
        fireWidthsChanged();
    UpdateScrollPages();
}

void TSortableGrid::AppendRows(int count, const std::function<void(int firstRow)>& write)
{
    changeCells([&] {
        // The memory of the last sort covers the rows it sorted only.
        sortMemory_.clear();
        model_->appendRows(count, write);
    });
}

void TSortableGrid::ReplaceCells(std::vector<CellColumn>&& columns, int rows)
{
    changeCells([&] {
        BeginUpdate();
        sortMemory_.clear();
        edited_ = false;
        model_->replaceColumns(std::move(columns), rows);
        EndUpdate();
    });
}

// ---- widths ----------------------------------------------------------------------------------

void TSortableGrid::applyWidths()
{
    if (updateDepth_ > 0)
        return;
    FlagGuard guard(applyingWidths_);
    for (int col = 0; col < ColCount(); ++col)
        horizontalHeader()->resizeSection(col, ColWidths(col));
}

void TSortableGrid::columnResized(int col, int, int newWidth)
{
    if (applyingWidths_ || updateDepth_ > 0)
        return;
    model_->setColumnWidth(col, newWidth);
    if (headerPressed_) {
        // A border drag reports every mouse move; the change is announced once, on release.
        headerResized_ = true;
        return;
    }
    fireWidthsChanged();
}

void TSortableGrid::fireWidthsChanged()
{
    if (OnColumnWidthsChanged)
        OnColumnWidthsChanged(*this);
    UpdateScrollPages();
}

void TSortableGrid::UpdateScrollPages()
{
    // Qt keeps the page step (and so the thumb size) in proportion to the visible part.
    updateGeometries();
}

void TSortableGrid::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    UpdateScrollPages();
}

void TSortableGrid::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    if (dx != 0)
        alignFirstColumn();
}

void TSortableGrid::updateGeometries()
{
    QTableView::updateGeometries();
    alignFirstColumn();
}

// The grid scrolls by whole columns and always shows the first visible one whole at its left
// edge. At the right end of the scroll range the table view would line the last column up with
// the right edge instead, cutting a few pixels off the first visible column (and leaving the
// view shifted after a jump to a cell there).
void TSortableGrid::alignFirstColumn()
{
    if (horizontalScrollMode() != ScrollPerItem)
        return;
    QHeaderView* header = horizontalHeader();
    const int visual = horizontalScrollBar()->value();
    if (visual < 0 || visual >= header->count())
        return;
    const int wanted = header->sectionPosition(header->logicalIndex(visual));
    if (header->offset() == wanted)
        return;
    header->setOffset(wanted);
    viewport()->update();
}

// ---- cursor, selection, focus ----------------------------------------------------------------

bool TSortableGrid::canSelect(int col, int row)
{
    bool accepted = true;
    if (OnSelectCell)
        OnSelectCell(*this, col, row, accepted);
    return accepted;
}

void TSortableGrid::GoToCell(int ACol, int ARow)
{
    if (RowCount() <= FixedRows() || ColCount() <= FixedCols())
        return;
    ACol = std::clamp(ACol, FixedCols(), ColCount() - 1);
    ARow = std::clamp(ARow, FixedRows(), RowCount() - 1);
    if (!canSelect(ACol, ARow))
        return;
    const QModelIndex target = model_->index(ARow - FixedRows(), ACol);
    QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
    if (options_.testFlag(goRowSelect))
        flags |= QItemSelectionModel::Rows;
    selectionModel()->setCurrentIndex(target, flags);
    scrollTo(target);
}

QModelIndex TSortableGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex next = QTableView::moveCursor(action, modifiers);
    if (next.isValid() && next != currentIndex() &&
        !canSelect(next.column(), next.row() + FixedRows()))
        return currentIndex();
    return next;
}

void TSortableGrid::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex at = indexAt(event->position().toPoint());
    if (at.isValid() && at != currentIndex() && !canSelect(at.column(), at.row() + FixedRows())) {
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void TSortableGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous); // commits an open editor first
    if (current != previous)
        click();
}

void TSortableGrid::click()
{
    if (OnClick)
        OnClick(*this);
    if (entered_)
        ValidateCell();
}

bool TSortableGrid::contains(const QWidget* widget) const
{
    return widget && (widget == this || isAncestorOf(widget));
}

void TSortableGrid::focusMoved(QWidget* old, QWidget* now)
{
    const bool wasInside = contains(old);
    const bool isInside = contains(now);
    if (!wasInside && isInside) {
        entered_ = true;
        RememberCell();
    } else if (wasInside && !isInside) {
        // Leaving validates like a click; Entered falls even when the validation throws.
        struct Leave
        {
            bool& entered;
            ~Leave() { entered = false; }
        } leave{entered_};
        click();
    }
}

// ---- editing and validation ------------------------------------------------------------------

void TSortableGrid::editorText(int col, int row, const QString& text)
{
    if (text != Cells(col, row))
        edited_ = true;
    SetCells(col, row, text);
}

void TSortableGrid::RememberCell()
{
    rememberedCol_ = Col();
    rememberedRow_ = Row();
    rememberedText_ = Cells(rememberedCol_, rememberedRow_);
    rememberedEdited_ = edited_;
}

void TSortableGrid::ValidateCell()
{
    const QString current = Cells(rememberedCol_, rememberedRow_);
    if (current != rememberedText_) {
        QString value = current;
        bool valid = true;
        if (OnCellValidate)
            OnCellValidate(*this, rememberedCol_, rememberedRow_, value, valid);
        if (valid) {
            if (value != current)
                SetCells(rememberedCol_, rememberedRow_, value);
        } else {
            SetCells(rememberedCol_, rememberedRow_, value != current ? value : rememberedText_);
            edited_ = rememberedEdited_;
        }
    }
    RememberCell();
}

void TSortableGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    QTableView::closeEditor(editor, hint);
    // Enter in the editor: the text is stored now, and Enter validates.
    if (hint == QAbstractItemDelegate::SubmitModelCache)
        ValidateCell();
}

void TSortableGrid::keyPressEvent(QKeyEvent* event)
{
    int key = event->key();
    if (OnKeyDown) {
        OnKeyDown(*this, key, event->modifiers());
        if (key == 0) {
            event->accept();
            return;
        }
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        ValidateCell();
    QTableView::keyPressEvent(event);
    if (!extendedKeys_ || EditorMode())
        return;
    const Qt::KeyboardModifiers mods =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (mods == Qt::ControlModifier) {
        if (key == Qt::Key_Insert)
            InsertBlankRow(Row());
        else if (key == Qt::Key_Delete && FixedRows() + 1 < RowCount())
            RemoveRow(Row());
    } else if (mods == (Qt::ControlModifier | Qt::ShiftModifier)) {
        if (key == Qt::Key_Insert)
            InsertBlankColumn(Col());
        else if (key == Qt::Key_Delete && FixedCols() + 1 < ColCount())
            RemoveColumn(Col());
    }
}

// ---- heading clicks --------------------------------------------------------------------------

bool TSortableGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != horizontalHeader()->viewport())
        return QTableView::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress) {
        headerPressed_ = true;
        headerResized_ = false;
        // The header shows the resize cursor over a column border: this press sizes a column.
        headerPressOnBorder_ = horizontalHeader()->viewport()->cursor().shape() == Qt::SplitHCursor;
        setFocus(Qt::MouseFocusReason);
    } else if (event->type() == QEvent::MouseButtonRelease) {
        headerRelease(static_cast<QMouseEvent*>(event));
    }
    return QTableView::eventFilter(watched, event);
}

void TSortableGrid::headerRelease(QMouseEvent* event)
{
    const bool resized = headerResized_;
    const bool sized = resized || headerPressOnBorder_;
    headerPressed_ = false;
    headerResized_ = false;
    headerPressOnBorder_ = false;
    if (resized)
        fireWidthsChanged();
    const bool blocked =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (!contains(QApplication::focusWidget()) || EditorMode() || !clickSorting_ || sized ||
        FixedRows() < 1 || blocked || event->buttons() != Qt::NoButton)
        return;
    const QPoint pos = event->position().toPoint();
    const int col = horizontalHeader()->logicalIndexAt(pos);
    if (col < 0 || col >= ColCount())
        return;
    const int height = std::max(horizontalHeader()->height(), 1);
    const int row = std::clamp(pos.y() * FixedRows() / height, 0, FixedRows() - 1);
    try {
        SortByHeaderClick(col, row, event->button());
    } catch (const std::exception& error) {
        qWarning("sorting the grid failed: %s", error.what());
    }
}

void TSortableGrid::SortByHeaderClick(int col, int row, Qt::MouseButton button)
{
    TSortOptions options;
    options.SortKind = TSortKind::skAuto;
    options.Descending = button == Qt::RightButton;
    options.MatchCase = caseSensitive_;
    options.CompareFunc = nullptr;
    if (OnClickSort)
        OnClickSort(*this, col, row, options);
    WaitCursor wait;
    SortColumn(col, options);
}

// ---- sorting ---------------------------------------------------------------------------------

TSortKind TSortableGrid::DetectSortKind(int ACol)
{
    return RowSorter(*model_, LocaleInfo::current()).detectKind(ACol);
}

void TSortableGrid::SortColumn(int ACol, TSortOptions SortOptions)
{
    if (EditorMode() || FixedRows() + 1 >= RowCount() || ACol < 0 || ACol >= ColCount())
        return;
    if (SortOptions.SortKind == TSortKind::skAuto)
        SortOptions.SortKind = DetectSortKind(ACol);
    if (OnBeginSort)
        OnBeginSort(*this, ACol, SortOptions);
    ReorderRowsByColumn(ACol, SortOptions);
    if (OnEndSort)
        OnEndSort(*this, ACol);
}

void TSortableGrid::ReorderRowsByColumn(int ACol, TSortOptions& SortOptions)
{
    sortMemory_.clear();
    const int formerRow = currentIndex().isValid() ? Row() - FixedRows() : -1;
    std::vector<std::uint32_t> order =
        RowSorter(*model_, LocaleInfo::current()).order(ACol, SortOptions);
    model_->applyRowOrder(order);
    sortMemory_ = std::move(order);
    if (formerRow < 0)
        return;
    const auto at = std::find(sortMemory_.begin(), sortMemory_.end(), std::uint32_t(formerRow));
    if (at != sortMemory_.end())
        GoToCell(Col(), FixedRows() + int(at - sortMemory_.begin()));
}

bool TSortableGrid::SortMemoryValid()
{
    if (sortMemory_.size() == std::size_t(RowCount() - FixedRows()))
        return true;
    sortMemory_.clear();
    return false;
}

void TSortableGrid::RestoreUnsortedOrder()
{
    if (!SortMemoryValid())
        return;
    std::vector<std::uint32_t> undo(sortMemory_.size());
    for (std::size_t i = 0; i < sortMemory_.size(); ++i)
        undo[sortMemory_[i]] = std::uint32_t(i);
    const std::size_t position = std::size_t(Row() - FixedRows());
    const int target = position < sortMemory_.size() ? int(sortMemory_[position]) : -1;
    model_->applyRowOrder(undo);
    sortMemory_.clear();
    if (target >= 0)
        GoToCell(Col(), FixedRows() + target);
}

// ---- row and column operations ---------------------------------------------------------------

void TSortableGrid::ClearCells()
{
    sortMemory_.clear();
    model_->clearCells();
    edited_ = false;
}

void TSortableGrid::InsertBlankRow(int ARow)
{
    if (ARow < 0 || ARow > RowCount())
        return;
    changeCells([&] {
        sortMemory_.clear();
        model_->insertRow(ARow);
    });
    GoToCell(Col(), ARow);
    if (OnRowInsert)
        OnRowInsert(*this, ARow);
}

void TSortableGrid::InsertBlankColumn(int ACol)
{
    if (ACol < 0 || ACol > ColCount())
        return;
    changeCells([&] { model_->insertColumn(ACol); });
    GoToCell(ACol, Row());
    if (OnColumnInsert)
        OnColumnInsert(*this, ACol);
}

void TSortableGrid::RemoveRow(int ARow)
{
    if (ARow < 0 || ARow >= RowCount() || RowCount() <= FixedRows())
        return;
    changeCells([&] {
        sortMemory_.clear();
        model_->removeRow(ARow);
    });
    if (OnRowDelete)
        OnRowDelete(*this, ARow);
}

void TSortableGrid::RemoveColumn(int ACol)
{
    if (ACol < 0 || ACol >= ColCount() || ColCount() <= std::max(1, FixedCols()))
        return;
    changeCells([&] { model_->removeColumn(ACol); });
    if (OnColumnDelete)
        OnColumnDelete(*this, ACol);
}

void TSortableGrid::RelocateRow(int FromIndex, int ToIndex)
{
    if (FromIndex == ToIndex || !model_->validCell(0, FromIndex) || !model_->validCell(0, ToIndex))
        return;
    sortMemory_.clear();
    model_->moveRow(FromIndex, ToIndex);
}

void TSortableGrid::RelocateColumn(int FromIndex, int ToIndex)
{
    sortMemory_.clear();
    model_->moveColumn(FromIndex, ToIndex);
}

void TSortableGrid::ExchangeRows(int A, int B)
{
    if (A < B) {
        RelocateRow(B, A);
        RelocateRow(A + 1, B);
    } else if (B < A) {
        RelocateRow(A, B);
        RelocateRow(B + 1, A);
    }
}

void TSortableGrid::ExchangeColumns(int A, int B)
{
    if (A < B) {
        RelocateColumn(B, A);
        RelocateColumn(A + 1, B);
    } else if (B < A) {
        RelocateColumn(A, B);
        RelocateColumn(B + 1, A);
    }
}

// ---- fitting and finding ---------------------------------------------------------------------

int TSortableGrid::textWidth(int col, std::uint32_t id, TextMeasure& measure) const
{
    const CellColumn& column = model_->column(col);
    // A column that keeps each text apart measures each once anyway: a kept width per entry
    // would only add to its memory.
    if (!column.pool.interning())
        return measure.width(column.pool.bytes(id));
    if (column.textWidths.size() < column.pool.size())
        column.textWidths.resize(column.pool.size(), -1);
    int& width = column.textWidths[id];
    if (width < 0)
        width = measure.width(column.pool.bytes(id));
    return width;
}

void TSortableGrid::FitColumnWidth(int ACol)
{
    if (ACol < 0 || ACol >= ColCount())
        return;
    QFont lastFont = font();
    int widest = 0;
    const CellColumn& column = model_->column(ACol);
    if (!OnGetCellFormat) {
        // The same text always measures the same: measure each distinct text once, and keep
        // the measurements for the next fit while the font stays.
        if (!textMeasure_ || textWidthFont_ != lastFont.key()) {
            model_->forgetTextWidths();
            textWidthFont_ = lastFont.key();
            textMeasure_ = std::make_unique<TextMeasure>(lastFont);
        }
        std::vector<std::uint8_t> seen(column.pool.size(), 0);
        for (const TextPool::Id id : column.ids) {
            if (seen[id])
                continue;
            seen[id] = 1;
            widest = std::max(widest, textWidth(ACol, id, *textMeasure_));
        }
        textMeasure_->forgetTexts();
    } else {
        for (int row = 0; row < RowCount(); ++row) {
            const TGridDrawState state = stateOf(ACol, row);
            TFormatOptions format = defaultFormat(state);
            OnGetCellFormat(*this, ACol, row, state, format);
            lastFont = format.CellFont;
            widest = std::max(widest, QFontMetrics(lastFont).horizontalAdvance(Cells(ACol, row)));
        }
    }
    SetColWidths(ACol, widest + QFontMetrics(lastFont).horizontalAdvance(QStringLiteral("x")));
}

// The widths are stored as one batch and handed to the header once: setting them one section
// at a time costs the header a pass over every section each, which a line of a million fields
// turned into minutes.
void TSortableGrid::FitAllColumnWidths(bool IncludeFixed, int Padding)
{
    BeginUpdate();
    const auto fit = [&](int col) {
        FitColumnWidth(col);
        if (Padding != 0)
            SetColWidths(col, ColWidths(col) + Padding);
    };
    if (IncludeFixed) {
        for (int col = 0; col < FixedCols() && col < ColCount(); ++col)
            fit(col);
    }
    for (int col = FixedCols(); col < ColCount(); ++col)
        fit(col);
    EndUpdate();
}

bool TSortableGrid::FindCellText(const QString& Text, int& ACol, int& ARow)
{
    for (int col = 0; col < ColCount(); ++col) {
        const CellColumn& column = model_->column(col);
        std::vector<std::uint8_t> match(column.pool.size(), 0);
        bool any = false;
        for (TextPool::Id id = 0; id < column.pool.size(); ++id) {
            if (column.pool.text(id).compare(Text, Qt::CaseInsensitive) == 0)
                match[id] = any = true;
        }
        if (!any)
            continue;
        for (std::size_t row = 0; row < column.ids.size(); ++row) {
            if (match[column.ids[row]]) {
                ACol = col;
                ARow = int(row);
                return true;
            }
        }
    }
    return false;
}

// ---- delimited files -------------------------------------------------------------------------

bool TSortableGrid::LoadDelimitedFile(const QString& FileName, QChar Separator, QString* error)
{
    ClearCells();
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QStringList lines = PlainText::splitLines(PlainText::decode(bytes));
    changeCells([&] {
        BeginUpdate();
        model_->setRowCount(int(lines.size()));
        model_->setColCount(FixedCols() + 1);
        for (int row = 0; row < lines.size() && row < RowCount(); ++row) {
            const QStringList fields = lines[row].split(Separator);
            if (fields.size() > ColCount())
                model_->setColCount(int(fields.size()));
            for (int col = 0; col < fields.size(); ++col)
                model_->setCell(col, row, fields[col]);
        }
        EndUpdate();
    });
    return true;
}

bool TSortableGrid::SaveDelimitedFile(const QString& FileName, QChar Separator, QString* error)
{
    QSaveFile file(FileName);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    std::string line;
    bool ok = true;
    for (int row = 0; row < RowCount() && ok; ++row) {
        line.clear();
        for (int col = 0; col < ColCount(); ++col) {
            if (col > 0)
                appendUtf8(QStringView(&Separator, 1), line);
            const std::string_view bytes =
                model_->column(col).pool.bytes(model_->column(col).ids[std::size_t(row)]);
            line.append(bytes);
        }
        line += "\r\n";
        ok = file.write(line.data(), qint64(line.size())) == qint64(line.size());
    }
    if (!ok || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

// ---- painting --------------------------------------------------------------------------------

TGridDrawState TSortableGrid::stateOf(int col, int row) const
{
    TGridDrawState state;
    state.Fixed = row < FixedRows() || col < FixedCols();
    state.Focused = hasFocus() && col == Col() && row == Row();
    if (row >= FixedRows()) {
        const QModelIndex index = model_->index(row - FixedRows(), col);
        state.Selected = selectionModel()->isSelected(index);
    }
    return state;
}

TFormatOptions TSortableGrid::defaultFormat(const TGridDrawState& state) const
{
    TFormatOptions format;
    const QPalette& pal = palette();
    if (state.Fixed)
        format.CellBrush = pal.button();
    else if (state.Selected)
        format.CellBrush = pal.highlight();
    else
        format.CellBrush = pal.base();
    format.CellFont = font();
    format.FontColor =
        state.Selected && !state.Fixed ? pal.highlightedText().color() : pal.text().color();
    format.HorzAlign = alignmentHorz_;
    format.VertAlign = alignmentVert_;
    format.CellBevel = bevelStyle_;
    switch (bevelStyle_) {
    case TCellBevelStyle::cbRaised:
        format.BevelLightColor = pal.light().color();
        format.BevelDarkColor = pal.dark().color();
        break;
    case TCellBevelStyle::cbLowered:
        format.BevelLightColor = pal.dark().color();
        format.BevelDarkColor = pal.light().color();
        break;
    case TCellBevelStyle::cbNone:
        format.BevelLightColor = pal.base().color();
        format.BevelDarkColor = pal.base().color();
        break;
    }
    return format;
}

void TSortableGrid::DrawCell(QPainter& painter, const QRect& rect, int col, int row,
                             const TGridDrawState& state)
{
    TFormatOptions format = defaultFormat(state);
    if (OnGetCellFormat)
        OnGetCellFormat(*this, col, row, state, format);
    if (!defaultDrawing_) {
        if (OnDrawCell)
            OnDrawCell(*this, col, row, painter, rect, state);
        return;
    }
    painter.save();
    painter.setClipRect(rect);
    painter.fillRect(rect, format.CellBrush);
    if (!format.TextHidden) {
        const QString text = Cells(col, row);
        painter.setFont(format.CellFont);
        painter.setPen(format.FontColor);
        const QFontMetrics metrics(format.CellFont);
        const int w = metrics.horizontalAdvance(text);
        const int h = metrics.height();
        // QRect's right and bottom are inclusive; the offsets use exclusive edges.
        const int width = rect.width();
        const int height = rect.height();
        int dx = 2;
        if (format.HorzAlign == TAlignment::taRightJustify)
            dx = width - w - 2;
        else if (format.HorzAlign == TAlignment::taCenter)
            dx = (width - w) / 2;
        int dy = 2;
        if (format.VertAlign == TVertAlignment::taBottomJustify)
            dy = height - h - 3;
        else if (format.VertAlign == TVertAlignment::taMiddle)
            dy = (height - h) / 2;
        painter.drawText(rect.left() + dx, rect.top() + dy + metrics.ascent(), text);
    }
    if (format.CellBevel != TCellBevelStyle::cbNone && !state.Fixed) {
        const int left = rect.left();
        const int top = rect.top();
        const int right = rect.left() + rect.width();
        const int bottom = rect.top() + rect.height();
        const bool vert = options_.testFlag(goFixedVertLine);
        const bool horz = options_.testFlag(goFixedHorzLine);
        painter.setPen(format.BevelDarkColor);
        if (vert)
            painter.drawLine(right - 1, top, right - 1, bottom - 1);
        if (horz)
            painter.drawLine(left, bottom - 1, right - 1, bottom - 1);
        painter.setPen(format.BevelLightColor);
        if (vert)
            painter.drawLine(left, top, left, bottom - 1);
        if (horz)
            painter.drawLine(left, top, right - 1, top);
    }
    painter.restore();
}

} // namespace wl
