#include "store/FilterParser.h"

#include <algorithm>

namespace wl::store {

namespace {

QString describe(const FilterToken& token)
{
    if (token.kind == FilterToken::Kind::End)
        return QStringLiteral("end of expression");
    return QStringLiteral("'%1' at position %2").arg(token.text).arg(token.position + 1);
}

} // namespace

std::unique_ptr<FilterNode> FilterParser::parse(const QString& expression, QString& error)
{
    std::vector<FilterToken> tokens;
    if (!FilterLexer::tokenize(expression, tokens, error))
        return nullptr;
    FilterParser parser(std::move(tokens));
    auto tree = parser.parseOr();
    if (tree && parser.peek().kind != FilterToken::Kind::End)
        tree = parser.fail(QStringLiteral("Unexpected %1").arg(describe(parser.peek())));
    if (!tree)
        error = parser.error_;
    return tree;
}

std::unique_ptr<FilterNode> FilterParser::fail(const QString& message)
{
    if (error_.isEmpty())
        error_ = message;
    return nullptr;
}

std::unique_ptr<FilterNode> FilterParser::tooDeep()
{
    return fail(QStringLiteral("The expression is nested more than %1 levels deep").arg(MaxDepth));
}

std::unique_ptr<FilterNode> FilterParser::combine(FilterNode::Kind kind,
                                                  std::unique_ptr<FilterNode> left,
                                                  std::unique_ptr<FilterNode> right)
{
    // A child of the same kind is part of this node's group, not a level of its own.
    const auto levels = [kind](const std::unique_ptr<FilterNode>& child) {
        if (!child)
            return 0;
        return kind != FilterNode::Kind::Not && child->kind == kind ? child->depth - 1
                                                                    : child->depth;
    };
    const int depth = 1 + std::max(levels(left), levels(right));
    if (depth > MaxDepth)
        return tooDeep();
    auto node = std::make_unique<FilterNode>();
    node->kind = kind;
    node->depth = depth;
    node->left = std::move(left);
    node->right = std::move(right);
    return node;
}

bool FilterParser::atKeyword(const char* keyword) const
{
    return peek().kind == FilterToken::Kind::Identifier &&
           peek().text.compare(QLatin1StringView(keyword), Qt::CaseInsensitive) == 0;
}

std::unique_ptr<FilterNode> FilterParser::parseOr()
{
    auto left = parseAnd();
    while (left && atKeyword("or")) {
        take();
        auto right = parseAnd();
        if (!right)
            return nullptr;
        left = combine(FilterNode::Kind::Or, std::move(left), std::move(right));
    }
    return left;
}

std::unique_ptr<FilterNode> FilterParser::parseAnd()
{
    auto left = parseUnary();
    while (left && atKeyword("and")) {
        take();
        auto right = parseUnary();
        if (!right)
            return nullptr;
        left = combine(FilterNode::Kind::And, std::move(left), std::move(right));
    }
    return left;
}

std::unique_ptr<FilterNode> FilterParser::parseUnary()
{
    const bool isNot = atKeyword("not");
    if (!isNot && peek().kind != FilterToken::Kind::LeftParen)
        return parseComparison();
    // Bounded before descending: the recursion itself must not run away.
    if (nesting_ >= MaxDepth)
        return tooDeep();
    take();
    ++nesting_;
    auto inner = isNot ? parseUnary() : parseOr();
    --nesting_;
    if (!inner)
        return nullptr;
    if (isNot)
        return combine(FilterNode::Kind::Not, std::move(inner), nullptr);
    if (peek().kind != FilterToken::Kind::RightParen)
        return fail(QStringLiteral("Expected ')' but found %1").arg(describe(peek())));
    take();
    return inner;
}

std::unique_ptr<FilterNode> FilterParser::parseComparison()
{
    if (++comparisons_ > MaxComparisons)
        return fail(
            QStringLiteral("The expression has more than %1 comparisons").arg(MaxComparisons));
    auto node = std::make_unique<FilterNode>();
    if (!parseOperand(node->lhs))
        return nullptr;
    if (peek().kind != FilterToken::Kind::Operator)
        return fail(QStringLiteral("Expected a comparison but found %1").arg(describe(peek())));
    node->op = take().text;
    if (!parseOperand(node->rhs))
        return nullptr;
    return node;
}

bool FilterParser::parseOperand(FilterOperand& operand)
{
    const FilterToken& token = peek();
    switch (token.kind) {
    case FilterToken::Kind::Identifier:
        if (atKeyword("and") || atKeyword("or") || atKeyword("not"))
            break;
        operand.kind = FilterOperand::Kind::Field;
        operand.text = token.text;
        take();
        return true;
    case FilterToken::Kind::Text:
        operand.kind = FilterOperand::Kind::Text;
        operand.text = token.text;
        take();
        return true;
    case FilterToken::Kind::Number:
        operand.kind = FilterOperand::Kind::Number;
        operand.number = token.number;
        take();
        return true;
    default:
        break;
    }
    fail(QStringLiteral("Expected a field, text or number but found %1").arg(describe(token)));
    return false;
}

} // namespace wl::store
