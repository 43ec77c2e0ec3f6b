#pragma once

#include "store/FilterNode.h"
#include "store/Table.h"

#include <QVariant>

#include <functional>
#include <optional>
#include <vector>

namespace wl::store {

// A filter turned into an SQL condition. Every literal is a numbered parameter, so no text
// of the expression ever becomes SQL.
struct CompiledFilter
{
    QString sql;
    std::vector<QVariant> params; // bound to ?firstParam, ?firstParam+1, ...
};

struct ResolvedField
{
    QString sqlColumn; // already quoted
    FieldType type = FieldType::Text;
};

class FilterCompiler
{
public:
    using Resolver = std::function<std::optional<ResolvedField>(const QString& name)>;

    // Returns false and sets error for unknown fields, memo fields and mismatched types.
    static bool compile(const FilterNode& tree, const Resolver& resolve, int firstParam,
                        CompiledFilter& out, QString& error);
};

} // namespace wl::store
