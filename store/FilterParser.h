#pragma once

#include "store/FilterLexer.h"
#include "store/FilterNode.h"

#include <memory>

namespace wl::store {

// Recursive-descent parser for filter expressions:
//   expr       := and-expr { "or" and-expr }
//   and-expr   := unary { "and" unary }
//   unary      := "not" unary | "(" expr ")" | comparison
//   comparison := operand ( "=" | "<>" | "<" | ">" | "<=" | ">=" ) operand
//   operand    := field-name | 'text' | number
// Keywords are matched without regard to case.
//
// The SQL engine refuses conditions nested too deeply for its parser and lays out a long
// condition in time that grows with the square of its terms, so the parser bounds both: at most
// MaxDepth levels of nesting, counting parentheses and "not" as written and the groups of the
// tree (a run of "and", or of "or", is one group), and at most MaxComparisons comparisons.
// Within these bounds every expression the parser takes can be run. They also keep the
// recursion of the parser and of every walk over the tree short.
class FilterParser
{
public:
    static constexpr int MaxDepth = 24;
    static constexpr int MaxComparisons = 500;

    // Returns the tree, or null with error set.
    static std::unique_ptr<FilterNode> parse(const QString& expression, QString& error);

private:
    explicit FilterParser(std::vector<FilterToken> tokens) : tokens_(std::move(tokens)) {}

    std::unique_ptr<FilterNode> parseOr();
    std::unique_ptr<FilterNode> parseAnd();
    std::unique_ptr<FilterNode> parseUnary();
    std::unique_ptr<FilterNode> parseComparison();
    bool parseOperand(FilterOperand& operand);
    bool atKeyword(const char* keyword) const;
    const FilterToken& peek() const { return tokens_[index_]; }
    const FilterToken& take() { return tokens_[index_++]; }
    std::unique_ptr<FilterNode> fail(const QString& message);
    std::unique_ptr<FilterNode> combine(FilterNode::Kind kind, std::unique_ptr<FilterNode> left,
                                        std::unique_ptr<FilterNode> right);
    std::unique_ptr<FilterNode> tooDeep();

    std::vector<FilterToken> tokens_;
    size_t index_ = 0;
    int nesting_ = 0; // parentheses and "not" open at the current token
    int comparisons_ = 0;
    QString error_;
};

} // namespace wl::store
