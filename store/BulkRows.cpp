#include "store/BulkRows.h"

#include <cmath>
#include <limits>

namespace wl::store {

namespace {

// ASCII, the usual case, is copied as it stands; anything else goes through the converter.
void appendUtf8(QStringView text, std::string& out)
{
    const qsizetype start = qsizetype(out.size());
    out.resize(out.size() + std::size_t(text.size()));
    char* to = out.data() + start;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x80) {
            out.resize(std::size_t(start + i));
            const QByteArray rest = text.sliced(i).toUtf8();
            out.append(rest.constData(), std::size_t(rest.size()));
            return;
        }
        to[i] = char(c);
    }
}

} // namespace

QStringView BulkRows::cut(QStringView text, int size)
{
    if (text.size() <= size)
        return text;
    qsizetype end = size;
    if (end > 0 && text.at(end - 1).isHighSurrogate())
        --end;
    return text.first(end);
}

bool BulkRows::isNumber(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

BulkRows::BulkRows(const std::vector<FieldDef>& fields)
{
    for (int f = 0; f < int(fields.size()); ++f) {
        const FieldDef& def = fields[std::size_t(f)];
        if (def.type != FieldType::AutoInc)
            columns_.push_back({f, def.type, def.size, def.required, def.name});
    }
}

bool BulkRows::fits(const std::vector<FieldDef>& fields) const
{
    std::size_t column = 0;
    for (int f = 0; f < int(fields.size()); ++f) {
        const FieldDef& def = fields[std::size_t(f)];
        if (def.type == FieldType::AutoInc)
            continue;
        if (column == columns_.size())
            return false;
        const Column& c = columns_[column++];
        if (c.field != f || c.type != def.type || c.size != def.size)
            return false;
    }
    return column == columns_.size();
}

void BulkRows::fail(const QString& reason)
{
    if (error_)
        error_ = Status::failure(QStringLiteral("Row %1: %2").arg(rows_ + 1).arg(reason));
}

const BulkRows::Column* BulkRows::next()
{
    if (column_ >= columns_.size()) {
        fail(QStringLiteral("more than %1 values.").arg(columns_.size()));
        return nullptr;
    }
    return &columns_[column_++];
}

void BulkRows::addText(QStringView text)
{
    const Column* c = next();
    if (!c)
        return;
    if (c->type != FieldType::Text && c->type != FieldType::Memo) {
        fail(QStringLiteral("Field '%1' needs a number.").arg(c->name));
        values_.push_back({});
        return;
    }
    const QStringView kept = c->type == FieldType::Text ? cut(text, c->size) : text;
    const std::size_t offset = utf8_.size();
    appendUtf8(kept, utf8_);
    // Offsets are 32-bit: a chunk of rows is far below 4 GB of text.
    if (utf8_.size() > std::numeric_limits<std::uint32_t>::max()) {
        fail(QStringLiteral("the rows hold too much text for one append."));
        values_.push_back({});
        return;
    }
    values_.push_back({Kind::Text, 0, std::uint32_t(offset), std::uint32_t(utf8_.size() - offset)});
}

void BulkRows::addNumber(double value)
{
    const Column* c = next();
    if (!c)
        return;
    if (c->type == FieldType::Text || c->type == FieldType::Memo) {
        fail(QStringLiteral("Field '%1' needs a text.").arg(c->name));
        values_.push_back({});
        return;
    }
    if (!std::isfinite(value))
        fail(QStringLiteral("Field '%1' needs a number.").arg(c->name));
    values_.push_back({Kind::Number, value, 0, 0});
}

void BulkRows::addNull()
{
    if (next())
        values_.push_back({});
}

void BulkRows::addVariant(const QVariant& value)
{
    if (value.isNull()) {
        addNull();
        return;
    }
    if (value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QChar) {
        addText(value.toString());
        return;
    }
    if (isNumber(value)) {
        addNumber(value.toDouble());
        return;
    }
    // Neither a text nor a number: refused with the reason its field gives.
    const Column* c = next();
    if (!c)
        return;
    const bool text = c->type == FieldType::Text || c->type == FieldType::Memo;
    fail((text ? QStringLiteral("Field '%1' needs a text.")
               : QStringLiteral("Field '%1' needs a number."))
             .arg(c->name));
    values_.push_back({});
}

void BulkRows::endRow()
{
    if (column_ != columns_.size()) {
        fail(QStringLiteral("%1 values instead of %2.").arg(column_).arg(columns_.size()));
        values_.resize((rows_ + 1) * columns_.size());
    }
    const std::size_t first = rows_ * columns_.size();
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        if (columns_[c].required && values_[first + c].kind == Kind::Null)
            fail(QStringLiteral("Field '%1' must have a value.").arg(columns_[c].name));
    }
    ++rows_;
    column_ = 0;
}

void BulkRows::addRow(const std::vector<QVariant>& values)
{
    if (values.size() != columns_.size()) {
        fail(QStringLiteral("%1 values instead of %2.").arg(values.size()).arg(columns_.size()));
        values_.resize((rows_ + 1) * columns_.size());
        ++rows_;
        return;
    }
    for (const QVariant& value : values)
        addVariant(value);
    endRow();
}

void BulkRows::clear()
{
    values_.clear();
    utf8_.clear();
    rows_ = 0;
    column_ = 0;
    error_ = Status::success();
}

} // namespace wl::store
