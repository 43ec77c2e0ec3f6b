#pragma once

#include <QString>

#include <memory>

namespace wl::store {

// One side of a comparison in a filter expression.
struct FilterOperand
{
    enum class Kind
    {
        Field,
        Text,
        Number
    };
    Kind kind = Kind::Text;
    QString text; // field name or text value
    double number = 0;
};

// A node of the parsed filter expression: a logical combination or a comparison.
struct FilterNode
{
    enum class Kind
    {
        And,
        Or,
        Not,
        Compare
    };
    Kind kind = Kind::Compare;
    int depth = 1; // levels of nesting of its condition; a run of and, or of or, is one
    std::unique_ptr<FilterNode> left;  // And, Or, Not
    std::unique_ptr<FilterNode> right; // And, Or
    QString op;                        // Compare: = <> < > <= >=
    FilterOperand lhs;
    FilterOperand rhs;
};

} // namespace wl::store
