#include "FilterFuzzDriver.h"

#include "store/FilterCompiler.h"
#include "store/FilterParser.h"
#include "store/FrequencyRecord.h"
#include "store/SqliteDb.h"
#include "store/TableSchema.h"
#include "store/TableView.h"

#include <algorithm>

namespace wl::store::test {

namespace {

// The nesting of the condition a tree stands for: a run of "and", or of "or", is one level.
int levelsBelow(const FilterNode& node, FilterNode::Kind group)
{
    switch (node.kind) {
    case FilterNode::Kind::Compare:
        return 1;
    case FilterNode::Kind::Not:
        return 1 + levelsBelow(*node.left, FilterNode::Kind::Not);
    default:
        if (node.kind == group)
            return std::max(levelsBelow(*node.left, group), levelsBelow(*node.right, group));
        return 1 + levelsBelow(node, node.kind);
    }
}

int depthOf(const FilterNode& node)
{
    return levelsBelow(node, FilterNode::Kind::Not);
}

// An empty frequency table in memory, made once: the queries are prepared against it.
struct Probe
{
    Probe() : schema(FrequencyRecord::fields(), FrequencyRecord::indexes())
    {
        bool ok = bool(db.openMemory());
        for (const char* name : {"idx", "blb"})
            ok = ok &&
                 db.exec(QStringLiteral("ATTACH ':memory:' AS %1").arg(QLatin1StringView(name)));
        for (const QString& sql : schema.createStatements())
            ok = ok && db.exec(sql);
        ready = ok;
        view.setSchema(&schema);
        view.setIndex(schema.indexByName(FrequencyRecord::FrequencyIndex));
        view.setRange(true, 0, 9999);
    }

    TableSchema schema;
    SqliteDb db;
    TableView view;
    bool ready = false;
};

} // namespace

QString runFilter(const std::uint8_t* data, std::size_t size)
{
    static Probe probe;
    if (!probe.ready)
        return QStringLiteral("the probe table could not be made");
    const QString expression =
        QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    QString error;
    const auto tree = FilterParser::parse(expression, error);
    if (!tree)
        return error.isEmpty() ? QStringLiteral("refused without a reason") : QString();
    if (depthOf(*tree) > FilterParser::MaxDepth)
        return QStringLiteral("a tree deeper than the bound was accepted");
    const auto resolve = [](const QString& name) -> std::optional<ResolvedField> {
        const int f = probe.schema.fieldIndex(name);
        if (f < 0)
            return std::nullopt;
        return ResolvedField{QStringLiteral("r.") + probe.schema.column(f),
                             probe.schema.fields()[size_t(f)].type};
    };
    CompiledFilter compiled;
    if (!FilterCompiler::compile(*tree, resolve, TableView::FirstFilterParam, compiled, error))
        return error.isEmpty() ? QStringLiteral("not compiled, without a reason") : QString();
    TableView view = probe.view;
    view.setFilter(compiled, true);
    for (const QString& sql : {view.selectRows(TableView::Seek::After), view.count()}) {
        SqliteStatement st = probe.db.prepare(sql);
        if (!st.isValid())
            return QStringLiteral("an accepted filter was refused: ") + st.prepareError();
    }
    return {};
}

} // namespace wl::store::test
