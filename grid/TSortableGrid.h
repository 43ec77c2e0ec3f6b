#pragma once

#include "grid/GridModel.h"
#include "grid/TFormatOptions.h"
#include "grid/TSortOptions.h"
#include "grid/TextMeasure.h"

#include <QTableView>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QPainter;

namespace wl {

class TSortableGrid;

// Events. Each is a plain std::function member of the grid, called only when assigned; the
// grid itself is always the first argument. Reference parameters may be changed by the handler.
using TFormatDrawCellEvent =
    std::function<void(TSortableGrid& sender, int col, int row, const TGridDrawState& state,
                       TFormatOptions& formatOptions)>;
using TClickSortEvent =
    std::function<void(TSortableGrid& sender, int col, int row, TSortOptions& sortOptions)>;
using TBeginSortEvent =
    std::function<void(TSortableGrid& sender, int col, TSortOptions& sortOptions)>;
using TEndSortEvent = std::function<void(TSortableGrid& sender, int col)>;
using TUpdateGridEvent = std::function<void(TSortableGrid& sender, int index)>;
using TNotifyEvent = std::function<void(TSortableGrid& sender)>;
using TSizeChangedEvent =
    std::function<void(TSortableGrid& sender, int oldColCount, int oldRowCount)>;
using TCellValidateEvent =
    std::function<void(TSortableGrid& sender, int col, int row, QString& value, bool& valid)>;
using TSelectCellEvent =
    std::function<void(TSortableGrid& sender, int col, int row, bool& canSelect)>;
using TKeyEvent =
    std::function<void(TSortableGrid& sender, int& key, Qt::KeyboardModifiers modifiers)>;
using TDrawCellEvent =
    std::function<void(TSortableGrid& sender, int col, int row, QPainter& painter,
                       const QRect& rect, const TGridDrawState& state)>;

// The program's string grid: text and an optional object per cell, fixed heading rows that
// are part of the cell array, sorting by a heading click with the comparison chosen from the
// column, validation of edits, row and column operations, column fitting and delimited files.
//
// Cells are addressed (col, row) over the whole array: rows 0 .. FixedRows() - 1 are the
// heading rows, shown as the header; data rows follow. A million rows cost little: texts are
// stored per column with repeated values shared (see GridModel).
class TSortableGrid : public QTableView
{
    Q_OBJECT

public:
    enum GridOption
    {
        goFixedVertLine = 0x1,
        goFixedHorzLine = 0x2,
        goVertLine = 0x4,
        goHorzLine = 0x8,
        goRangeSelect = 0x10,
        goColSizing = 0x20,
        goEditing = 0x40,
        goRowSelect = 0x80,
        goAlwaysShowEditor = 0x100,
    };
    Q_DECLARE_FLAGS(TGridOptions, GridOption)

    // A cell rectangle in grid coordinates (fixed rows counted).
    struct TGridRect
    {
        int Left = 0;
        int Top = 0;
        int Right = 0;
        int Bottom = 0;
    };

    explicit TSortableGrid(QWidget* parent = nullptr);
    ~TSortableGrid() override;

    // Properties of the sortable grid.
    bool CaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool value) { caseSensitive_ = value; }
    TAlignment AlignmentHorz() const { return alignmentHorz_; }
    void SetAlignmentHorz(TAlignment value);
    TVertAlignment AlignmentVert() const { return alignmentVert_; }
    void SetAlignmentVert(TVertAlignment value);
    bool ClickSorting() const { return clickSorting_; }
    void SetClickSorting(bool value) { clickSorting_ = value; }
    TCellBevelStyle BevelStyle() const { return bevelStyle_; }
    void SetBevelStyle(TCellBevelStyle value);
    // Qt sizes scroll-bar thumbs in proportion already; the flag is kept for callers.
    bool ProportionalScrollBars() const { return proportionalScrollBars_; }
    void SetProportionalScrollBars(bool value);
    bool ExtendedKeys() const { return extendedKeys_; }
    void SetExtendedKeys(bool value) { extendedKeys_ = value; }

    // The string grid underneath.
    int RowCount() const { return model_->RowCount(); }
    void SetRowCount(int rows);
    int ColCount() const { return model_->ColCount(); }
    void SetColCount(int cols);
    int FixedRows() const { return model_->FixedRows(); }
    void SetFixedRows(int rows);
    int FixedCols() const { return model_->FixedCols(); }
    void SetFixedCols(int cols);
    QString Cells(int col, int row) const { return model_->cell(col, row); }
    void SetCells(int col, int row, const QString& text) { model_->setCell(col, row, text); }
    QVariant Objects(int col, int row) const { return model_->object(col, row); }
    void SetObjects(int col, int row, const QVariant& object)
    {
        model_->setObject(col, row, object);
    }
    int Col() const;
    int Row() const;
    TGridRect Selection() const;
    int ColWidths(int col) const;
    void SetColWidths(int col, int width);
    int DefaultColWidth() const { return defaultColWidth_; }
    void SetDefaultColWidth(int width);
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(int height);
    TGridOptions Options() const { return options_; }
    void SetOptions(TGridOptions options);
    bool DefaultDrawing() const { return defaultDrawing_; }
    void SetDefaultDrawing(bool value) { defaultDrawing_ = value; }
    bool EditorMode() const { return state() == QAbstractItemView::EditingState; }
    // True once the in-place editor has handed over a changed text; ClearCells clears it.
    bool Edited() const { return edited_; }
    // Many cell and count changes as one: views see a single reset at the end. Nestable.
    void BeginUpdate();
    void EndUpdate();
    // Adds rows at the end whose cells `write` sets, shown as one insertion: the view keeps its
    // place, so rows can arrive while the user scrolls.
    void AppendRows(int count, const std::function<void(int firstRow)>& write);
    // Takes cells filled away from the grid (see GridModel::replaceColumns) in one change, as
    // ClearCells and a fill would leave them.
    void ReplaceCells(std::vector<CellColumn>&& columns, int rows);
    GridModel& Model() { return *model_; }
    const GridModel& Model() const { return *model_; }

    // Operations.
    virtual TSortKind DetectSortKind(int ACol);
    virtual void GoToCell(int ACol, int ARow);
    virtual void ClearCells();
    virtual void InsertBlankRow(int ARow);
    virtual void InsertBlankColumn(int ACol);
    virtual void RemoveRow(int ARow);
    virtual void RemoveColumn(int ACol);
    virtual void RelocateRow(int FromIndex, int ToIndex);
    virtual void RelocateColumn(int FromIndex, int ToIndex);
    virtual void ExchangeRows(int A, int B);
    virtual void ExchangeColumns(int A, int B);
    virtual void FitColumnWidth(int ACol);
    virtual void FitAllColumnWidths(bool IncludeFixed, int Padding);
    virtual void SortColumn(int ACol, TSortOptions SortOptions);
    virtual bool FindCellText(const QString& Text, int& ACol, int& ARow);
    // Reading and writing report failures through the result and *error; a failed read leaves
    // the grid cleared.
    virtual bool LoadDelimitedFile(const QString& FileName, QChar Separator,
                                   QString* error = nullptr);
    virtual bool SaveDelimitedFile(const QString& FileName, QChar Separator,
                                   QString* error = nullptr);
    virtual void RestoreUnsortedOrder();
    // What a heading click does once it qualifies: options, OnClickSort, the sort under the
    // hourglass cursor (restored even when the sort throws).
    void SortByHeaderClick(int col, int row, Qt::MouseButton button);

    // Events of the sortable grid.
    TFormatDrawCellEvent OnGetCellFormat;
    TClickSortEvent OnClickSort;
    TBeginSortEvent OnBeginSort;
    TEndSortEvent OnEndSort;
    TUpdateGridEvent OnRowInsert;
    TUpdateGridEvent OnRowDelete;
    TUpdateGridEvent OnColumnInsert;
    TUpdateGridEvent OnColumnDelete;
    TNotifyEvent OnColumnWidthsChanged;
    TNotifyEvent OnRowHeightsChanged;
    TSizeChangedEvent OnSizeChanged;
    TCellValidateEvent OnCellValidate;
    // Events of the string grid underneath.
    TNotifyEvent OnClick;          // the current cell changed (mouse or keys)
    TSelectCellEvent OnSelectCell; // may refuse a cell before it becomes current
    TKeyEvent OnKeyDown;           // before the grid handles a key; key = 0 swallows it
    TDrawCellEvent OnDrawCell;     // only with DefaultDrawing off

protected:
    virtual void ReorderRowsByColumn(int ACol, TSortOptions& SortOptions);
    virtual void UpdateScrollPages();
    virtual void RememberCell();
    virtual bool SortMemoryValid();
    virtual void ValidateCell();
    // Paints one cell (the item delegate calls it).
    virtual void DrawCell(QPainter& painter, const QRect& rect, int col, int row,
                          const TGridDrawState& state);

    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class GridDelegate;
    void alignFirstColumn();

    TFormatOptions defaultFormat(const TGridDrawState& state) const;
    TGridDrawState stateOf(int col, int row) const;
    bool canSelect(int col, int row);
    void click();
    void focusMoved(QWidget* old, QWidget* now);
    bool contains(const QWidget* widget) const;
    void applyWidths();
    void columnResized(int col, int oldWidth, int newWidth);
    void headerRelease(QMouseEvent* event);
    void fireWidthsChanged();
    // Runs a change of the cell array; fires OnSizeChanged when a count changed.
    void changeCells(const std::function<void()>& change);
    void editorText(int col, int row, const QString& text);
    int textWidth(int col, std::uint32_t id, TextMeasure& measure) const;

    GridModel* model_;
    bool caseSensitive_ = false;
    TAlignment alignmentHorz_ = TAlignment::taLeftJustify;
    TVertAlignment alignmentVert_ = TVertAlignment::taTopJustify;
    bool clickSorting_ = true;
    TCellBevelStyle bevelStyle_ = TCellBevelStyle::cbNone;
    bool proportionalScrollBars_ = true;
    bool extendedKeys_ = false;
    TGridOptions options_;
    bool defaultDrawing_ = true;
    int defaultColWidth_ = 64;
    int defaultRowHeight_ = 24;

    // The memory of the last sort: entry i is the former data row now shown at data row i.
    std::vector<std::uint32_t> sortMemory_;
    bool edited_ = false;
    int rememberedCol_ = 0;
    int rememberedRow_ = 0;
    QString rememberedText_;
    bool rememberedEdited_ = false;
    bool entered_ = false;

    int updateDepth_ = 0;
    std::vector<int> widthsBeforeUpdate_;
    bool applyingWidths_ = false;
    bool headerPressed_ = false;
    bool headerPressOnBorder_ = false;
    bool headerResized_ = false;
    QString textWidthFont_;
    std::unique_ptr<TextMeasure> textMeasure_;
    QMetaObject::Connection focusConnection_;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TSortableGrid::TGridOptions)

} // namespace wl
