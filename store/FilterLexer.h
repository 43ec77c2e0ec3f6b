#pragma once

#include <QString>

#include <vector>

namespace wl::store {

struct FilterToken
{
    enum class Kind
    {
        Identifier,
        Text,
        Number,
        Operator,
        LeftParen,
        RightParen,
        End
    };
    Kind kind = Kind::End;
    QString text;      // identifier, unquoted text, operator or the number as written
    double number = 0; // for Number
    int position = 0;  // character offset, for error messages
};

// Splits a filter expression into tokens: field names, single-quoted texts with doubled quotes
// inside, numbers with a decimal point, comparison operators and parentheses.
class FilterLexer
{
public:
    // Returns false and sets error when the expression holds something that is not a token.
    static bool tokenize(const QString& expression, std::vector<FilterToken>& tokens,
                         QString& error);
};

} // namespace wl::store
