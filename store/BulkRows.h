#pragma once

#include "store/Status.h"
#include "store/Table.h"

#include <QStringView>
#include <QVariant>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace wl::store {

// Rows for Table::bulkAppend, checked and converted for the table's fields as they are added:
// texts cut to their field's size and kept as UTF-8, numbers as doubles. The table then binds
// each value as it stands, so a large append makes no QVariant and converts no text per cell,
// and the rows can be made on another thread than the one that writes them.
//
// Each row holds the values of the non-auto-increment fields in definition order. The first
// value that does not suit its field is kept as the error (with its row) and the table refuses
// the whole set.
class BulkRows
{
public:
    enum class Kind : std::uint8_t
    {
        Null,
        Text,
        Number
    };
    struct Value
    {
        Kind kind = Kind::Null;
        double number = 0;
        std::uint32_t offset = 0; // of the UTF-8 text
        std::uint32_t size = 0;   // bytes
    };

    // The table's definitions, as Table::fieldDefs gives them.
    explicit BulkRows(const std::vector<FieldDef>& fields);

    // The next value of the current row. A text for a text or memo field; a number for a date
    // or number field.
    void addText(QStringView text);
    void addNumber(double value);
    void addNull();
    // Checked through its type, as the cursor's writes check a value.
    void addVariant(const QVariant& value);
    // Ends the current row: every field has its value, the required ones not null.
    void endRow();
    // A whole row of values checked through their types.
    void addRow(const std::vector<QVariant>& values);
    void clear();

    // Values per row (the table's fields without the record number).
    int columns() const { return int(columns_.size()); }
    std::size_t rowCount() const { return rows_; }
    bool empty() const { return rows_ == 0; }
    const Status& error() const { return error_; }
    // Value of a row by column; the field is fieldOf(column) of the definitions.
    const Value& value(std::size_t row, int column) const
    {
        return values_[row * columns_.size() + std::size_t(column)];
    }
    int fieldOf(int column) const { return columns_[std::size_t(column)].field; }
    std::string_view text(const Value& v) const { return {utf8_.data() + v.offset, v.size}; }
    // A text cut to a number of characters without splitting a surrogate pair.
    static QStringView cut(QStringView text, int size);
    // Whether a value is of a number type a number field takes.
    static bool isNumber(const QVariant& value);
    // Whether these rows were made for a table with these definitions.
    bool fits(const std::vector<FieldDef>& fields) const;

private:
    struct Column
    {
        int field = 0;
        FieldType type = FieldType::Text;
        int size = 0;
        bool required = false;
        QString name;
    };
    const Column* next();
    void fail(const QString& reason);

    std::vector<Column> columns_;
    std::vector<Value> values_;
    std::string utf8_;
    std::size_t rows_ = 0;
    std::size_t column_ = 0; // of the row being added
    Status error_ = Status::success();
};

} // namespace wl::store
