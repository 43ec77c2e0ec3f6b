#include "grid/GridModel.h"

#include <algorithm>

namespace wl {

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {}

void GridModel::resetAround(const std::function<void()>& change)
{
    if (batching()) {
        change();
        return;
    }
    beginResetModel();
    change();
    endResetModel();
}

void GridModel::setRowCount(int rows)
{
    rows = std::max(rows, fixedRows_);
    if (rows == rowCount_)
        return;
    const auto resize = [this, rows] {
        rowCount_ = rows;
        for (CellColumn& column : columns_)
            column.resize(rows);
    };
    if (batching()) {
        resize();
    } else if (rows > rowCount_) {
        beginInsertRows({}, rowCount_ - fixedRows_, rows - fixedRows_ - 1);
        resize();
        endInsertRows();
    } else {
        beginRemoveRows({}, rows - fixedRows_, rowCount_ - fixedRows_ - 1);
        resize();
        endRemoveRows();
    }
}

void GridModel::setColCount(int cols)
{
    cols = std::max({cols, 1, fixedCols_});
    const int old = ColCount();
    if (cols == old)
        return;
    const auto resize = [this, cols] {
        columns_.resize(std::size_t(cols));
        for (CellColumn& column : columns_)
            column.resize(rowCount_);
    };
    if (batching()) {
        resize();
    } else if (cols > old) {
        beginInsertColumns({}, old, cols - 1);
        resize();
        endInsertColumns();
    } else {
        beginRemoveColumns({}, cols, old - 1);
        resize();
        endRemoveColumns();
    }
}

void GridModel::setFixedRows(int rows)
{
    rows = std::max(rows, 0);
    if (rows == fixedRows_)
        return;
    resetAround([this, rows] {
        fixedRows_ = rows;
        if (rowCount_ < rows) {
            rowCount_ = rows;
            for (CellColumn& column : columns_)
                column.resize(rows);
        }
    });
}

void GridModel::setFixedCols(int cols)
{
    cols = std::max(cols, 0);
    if (cols == fixedCols_)
        return;
    resetAround([this, cols] {
        fixedCols_ = cols;
        if (ColCount() < cols) {
            columns_.resize(std::size_t(cols));
            for (CellColumn& column : columns_)
                column.resize(rowCount_);
        }
    });
}

QString GridModel::cell(int col, int row) const
{
    if (!validCell(col, row))
        return {};
    const CellColumn& column = columns_[std::size_t(col)];
    return column.pool.text(column.ids[std::size_t(row)]);
}

void GridModel::notifyCell(int col, int row)
{
    if (batching())
        return;
    if (row < fixedRows_)
        emit headerDataChanged(Qt::Horizontal, col, col);
    else
        emit dataChanged(index(row - fixedRows_, col), index(row - fixedRows_, col));
}

void GridModel::setCell(int col, int row, const QString& text)
{
    if (!validCell(col, row))
        return;
    CellColumn& column = columns_[std::size_t(col)];
    // A pool that no longer interns would add an entry for a text the cell already holds.
    if (!column.pool.interning() && column.pool.text(column.ids[std::size_t(row)]) == text)
        return;
    const TextPool::Id id = column.pool.intern(text);
    if (column.ids[std::size_t(row)] == id)
        return;
    column.ids[std::size_t(row)] = id;
    notifyCell(col, row);
}

void GridModel::storeCellUtf8(int col, int row, std::string_view text)
{
    if (!validCell(col, row))
        return;
    CellColumn& column = columns_[std::size_t(col)];
    column.ids[std::size_t(row)] = column.pool.internUtf8(text);
}

QVariant GridModel::object(int col, int row) const
{
    if (!validCell(col, row))
        return {};
    const CellColumn& column = columns_[std::size_t(col)];
    return column.hasObjects() ? column.objects.at(std::size_t(row)) : QVariant();
}

void GridModel::setObject(int col, int row, const QVariant& object)
{
    if (!validCell(col, row))
        return;
    CellColumn& column = columns_[std::size_t(col)];
    if (!column.hasObjects()) {
        if (!object.isValid())
            return;
        column.objects.resize(std::size_t(rowCount_));
    }
    column.objects.set(std::size_t(row), object);
}

void GridModel::clearCells()
{
    for (CellColumn& column : columns_) {
        std::fill(column.ids.begin(), column.ids.end(), 0);
        column.pool.clear();
        column.objects.clear();
        column.textWidths.clear();
    }
    if (batching() || columns_.empty())
        return;
    emit headerDataChanged(Qt::Horizontal, 0, ColCount() - 1);
    if (rowCount_ > fixedRows_)
        emit dataChanged(index(0, 0), index(rowCount_ - fixedRows_ - 1, ColCount() - 1));
}

void GridModel::insertRow(int row)
{
    if (row < 0 || row > rowCount_)
        return;
    const auto insert = [this, row] {
        for (CellColumn& column : columns_) {
            column.ids.insert(column.ids.begin() + row, 0);
            if (column.hasObjects())
                column.objects.insertBlank(std::size_t(row));
        }
        ++rowCount_;
    };
    if (row < fixedRows_ || batching()) {
        resetAround(insert);
        return;
    }
    beginInsertRows({}, row - fixedRows_, row - fixedRows_);
    insert();
    endInsertRows();
}

void GridModel::removeRow(int row)
{
    if (row < 0 || row >= rowCount_ || rowCount_ <= fixedRows_)
        return;
    const auto remove = [this, row] {
        for (CellColumn& column : columns_) {
            column.ids.erase(column.ids.begin() + row);
            if (column.hasObjects())
                column.objects.erase(std::size_t(row));
        }
        --rowCount_;
    };
    if (row < fixedRows_ || batching()) {
        resetAround(remove);
        return;
    }
    beginRemoveRows({}, row - fixedRows_, row - fixedRows_);
    remove();
    endRemoveRows();
}

namespace {
template <typename T> void moveItem(std::vector<T>& items, int from, int to)
{
    if (from < to)
        std::rotate(items.begin() + from, items.begin() + from + 1, items.begin() + to + 1);
    else
        std::rotate(items.begin() + to, items.begin() + from, items.begin() + from + 1);
}
} // namespace

void GridModel::moveRow(int from, int to)
{
    if (from == to || !validCell(0, from) || !validCell(0, to))
        return;
    const auto move = [this, from, to] {
        for (CellColumn& column : columns_) {
            moveItem(column.ids, from, to);
            if (column.hasObjects())
                column.objects.move(std::size_t(from), std::size_t(to));
        }
    };
    if (from < fixedRows_ || to < fixedRows_ || batching()) {
        resetAround(move);
        return;
    }
    const int f = from - fixedRows_;
    const int t = to - fixedRows_;
    beginMoveRows({}, f, f, {}, t > f ? t + 1 : t);
    move();
    endMoveRows();
}

void GridModel::insertColumn(int col)
{
    if (col < 0 || col > ColCount())
        return;
    const auto insert = [this, col] {
        CellColumn column;
        column.resize(rowCount_);
        columns_.insert(columns_.begin() + col, std::move(column));
    };
    if (batching()) {
        insert();
        return;
    }
    beginInsertColumns({}, col, col);
    insert();
    endInsertColumns();
}

void GridModel::removeColumn(int col)
{
    if (col < 0 || col >= ColCount() || ColCount() <= std::max(1, fixedCols_))
        return;
    if (batching()) {
        columns_.erase(columns_.begin() + col);
        return;
    }
    beginRemoveColumns({}, col, col);
    columns_.erase(columns_.begin() + col);
    endRemoveColumns();
}

void GridModel::moveColumn(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= ColCount() || to >= ColCount())
        return;
    if (batching()) {
        moveItem(columns_, from, to);
        return;
    }
    beginMoveColumns({}, from, from, {}, to > from ? to + 1 : to);
    moveItem(columns_, from, to);
    endMoveColumns();
}

void GridModel::applyRowOrder(const std::vector<std::uint32_t>& order)
{
    const std::size_t dataRows = std::size_t(rowCount_ - fixedRows_);
    if (order.size() != dataRows)
        return;
    if (!batching())
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const std::size_t base = std::size_t(fixedRows_);
    std::vector<TextPool::Id> ids;
    for (CellColumn& column : columns_) {
        ids.assign(column.ids.begin(), column.ids.begin() + std::ptrdiff_t(base));
        ids.resize(std::size_t(rowCount_));
        for (std::size_t i = 0; i < dataRows; ++i)
            ids[base + i] = column.ids[base + order[i]];
        column.ids.swap(ids);
        if (column.hasObjects())
            column.objects.reorder(base, order);
    }
    if (batching())
        return;
    const QModelIndexList before = persistentIndexList();
    if (!before.isEmpty()) {
        std::vector<std::uint32_t> newPosition(dataRows);
        for (std::size_t i = 0; i < dataRows; ++i)
            newPosition[order[i]] = std::uint32_t(i);
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex& old : before)
            after.append(index(int(newPosition[std::size_t(old.row())]), old.column()));
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void GridModel::appendRows(int count, const std::function<void(int firstRow)>& write)
{
    if (count <= 0)
        return;
    const int first = rowCount_;
    const auto grow = [&] {
        rowCount_ += count;
        for (CellColumn& column : columns_)
            column.resize(rowCount_);
        // The cells of the new rows are announced by the insertion itself.
        ++batchDepth_;
        write(first);
        --batchDepth_;
    };
    if (batching()) {
        grow();
        return;
    }
    beginInsertRows({}, first - fixedRows_, first + count - fixedRows_ - 1);
    grow();
    endInsertRows();
}

void GridModel::replaceColumns(std::vector<CellColumn>&& columns, int rows)
{
    if (columns.empty())
        columns.resize(1);
    const int keptWidth = columnWidth(0);
    resetAround([&] {
        columns_ = std::move(columns);
        rowCount_ = std::max(rows, fixedRows_);
        for (CellColumn& column : columns_) {
            column.resize(rowCount_);
            column.objects.clear();
            column.textWidths.clear();
        }
        columns_.front().width = keptWidth;
        if (ColCount() < fixedCols_) {
            columns_.resize(std::size_t(fixedCols_));
            for (CellColumn& column : columns_)
                column.resize(rowCount_);
        }
    });
}

void GridModel::beginBatch()
{
    if (batchDepth_++ == 0)
        beginResetModel();
}

void GridModel::endBatch()
{
    if (batchDepth_ > 0 && --batchDepth_ == 0)
        endResetModel();
}

int GridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rowCount_ - fixedRows_;
}

int GridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColCount();
}

QVariant GridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return cell(index.column(), index.row() + fixedRows_);
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const int row = index.row() + fixedRows_;
    if (onEditorText)
        onEditorText(index.column(), row, value.toString());
    else
        setCell(index.column(), row, value.toString());
    return true;
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (index.column() < fixedCols_)
        return Qt::ItemIsEnabled;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (editable_)
        flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || fixedRows_ == 0)
        return {};
    QStringList lines;
    for (int row = 0; row < fixedRows_; ++row)
        lines.append(cell(section, row));
    return lines.join(u'\n');
}

int GridModel::columnWidth(int col) const
{
    return col >= 0 && col < ColCount() ? columns_[std::size_t(col)].width : -1;
}

void GridModel::setColumnWidth(int col, int width)
{
    if (col >= 0 && col < ColCount())
        columns_[std::size_t(col)].width = width;
}

void GridModel::forgetTextWidths()
{
    for (CellColumn& column : columns_)
        column.textWidths.clear();
}

std::size_t GridModel::memoryBytes() const
{
    std::size_t bytes = columns_.capacity() * sizeof(CellColumn);
    for (const CellColumn& column : columns_)
        bytes += column.ids.capacity() * sizeof(TextPool::Id) + column.pool.memoryBytes() +
                 column.objects.memoryBytes();
    return bytes;
}

} // namespace wl
