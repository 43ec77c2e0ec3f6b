#include "store/FilterCompiler.h"

namespace wl::store {

namespace {

enum class ValueKind
{
    Text,
    Number
};

struct Operand
{
    QString sql;
    ValueKind kind = ValueKind::Text;
};

class Compiler
{
public:
    Compiler(const FilterCompiler::Resolver& resolve, int firstParam, CompiledFilter& out)
        : resolve_(resolve), next_(firstParam), out_(out)
    {
    }

    bool node(const FilterNode& n, QString& sql)
    {
        switch (n.kind) {
        case FilterNode::Kind::And:
        case FilterNode::Kind::Or:
            return logical(n, sql);
        case FilterNode::Kind::Not: {
            QString inner;
            if (!node(*n.left, inner))
                return false;
            sql = QStringLiteral("(NOT %1)").arg(inner);
            return true;
        }
        case FilterNode::Kind::Compare:
            return compare(n, sql);
        }
        return false;
    }

    QString error;

private:
    // A run of the same operator is written as one flat group: nested parentheses would soon
    // overflow the SQL engine's parser.
    bool logical(const FilterNode& n, QString& sql)
    {
        QStringList terms;
        if (!collect(n, n.kind, terms))
            return false;
        const auto word =
            n.kind == FilterNode::Kind::And ? QStringLiteral(" AND ") : QStringLiteral(" OR ");
        sql = QLatin1Char('(') + terms.join(word) + QLatin1Char(')');
        return true;
    }

    bool collect(const FilterNode& n, FilterNode::Kind kind, QStringList& terms)
    {
        if (n.kind == kind)
            return collect(*n.left, kind, terms) && collect(*n.right, kind, terms);
        QString term;
        if (!node(n, term))
            return false;
        terms << term;
        return true;
    }

    bool compare(const FilterNode& n, QString& sql)
    {
        Operand lhs;
        Operand rhs;
        if (!operand(n.lhs, lhs) || !operand(n.rhs, rhs))
            return false;
        if (lhs.kind != rhs.kind) {
            error = QStringLiteral("Type mismatch in expression");
            return false;
        }
        // Text compares by exact characters; a null on either side makes the comparison
        // neither true nor false, so a record with a null never passes "=" or "<>".
        sql = QLatin1Char('(') + lhs.sql + QLatin1Char(' ') + n.op + QLatin1Char(' ') + rhs.sql +
              QLatin1Char(')');
        return true;
    }

    bool operand(const FilterOperand& in, Operand& out)
    {
        switch (in.kind) {
        case FilterOperand::Kind::Field:
            return field(in.text, out);
        case FilterOperand::Kind::Text:
            out.sql = parameter(QVariant(in.text));
            out.kind = ValueKind::Text;
            return true;
        case FilterOperand::Kind::Number:
            out.sql = parameter(QVariant(in.number));
            out.kind = ValueKind::Number;
            return true;
        }
        return false;
    }

    bool field(const QString& name, Operand& out)
    {
        const auto resolved = resolve_(name);
        if (!resolved) {
            error = QStringLiteral("Field '%1' not found").arg(name);
            return false;
        }
        switch (resolved->type) {
        case FieldType::Memo:
            error = QStringLiteral("Field '%1' is a memo and cannot be filtered").arg(name);
            return false;
        case FieldType::Text:
            out.kind = ValueKind::Text;
            break;
        default:
            out.kind = ValueKind::Number;
        }
        out.sql = resolved->sqlColumn;
        return true;
    }

    QString parameter(QVariant value)
    {
        out_.params.push_back(std::move(value));
        return QStringLiteral("?%1").arg(next_++);
    }

    const FilterCompiler::Resolver& resolve_;
    int next_;
    CompiledFilter& out_;
};

} // namespace

bool FilterCompiler::compile(const FilterNode& tree, const Resolver& resolve, int firstParam,
                             CompiledFilter& out, QString& error)
{
    out = {};
    Compiler compiler(resolve, firstParam, out);
    if (!compiler.node(tree, out.sql)) {
        error = compiler.error;
        out = {};
        return false;
    }
    return true;
}

} // namespace wl::store
