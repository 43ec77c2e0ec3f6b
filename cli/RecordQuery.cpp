#include "cli/RecordQuery.h"

#include "app/MainSettings.h"
#include "app/RecordCells.h"
#include "cli/CliContext.h"
#include "cli/CliNumbers.h"
#include "grid/LocaleInfo.h"
#include "store/FrequencyRecord.h"
#include "store/Table.h"

#include <QCommandLineParser>

namespace wl::cli {

namespace {

const QString CategoryOption = QStringLiteral("category");
const QString LowOption = QStringLiteral("low");
const QString HighOption = QStringLiteral("high");
const QString FilterOption = QStringLiteral("filter");

QString quoted(const QString& text)
{
    QString inner = text;
    return QLatin1Char('\'') + inner.replace(QLatin1Char('\''), QStringLiteral("''")) +
           QLatin1Char('\'');
}

} // namespace

void RecordQuery::define(QCommandLineParser& parser)
{
    parser.addOption(
        {CategoryOption, QStringLiteral("Only the records of category C."), QStringLiteral("C")});
    parser.addOption(
        {LowOption, QStringLiteral("Lowest frequency in MHz (inclusive)."), QStringLiteral("MHZ")});
    parser.addOption({HighOption, QStringLiteral("Highest frequency in MHz (inclusive)."),
                      QStringLiteral("MHZ")});
    parser.addOption({FilterOption,
                      QStringLiteral("A filter such as \"Callsign = 'KOP1' or Hz > 150\"."),
                      QStringLiteral("EXPR")});
}

bool RecordQuery::read(const CliContext& context, const QCommandLineParser& parser)
{
    if (parser.isSet(CategoryOption))
        category_ = parser.value(CategoryOption);
    filter_ = parser.value(FilterOption).trimmed();
    ranged_ = parser.isSet(LowOption) || parser.isSet(HighOption);
    low_ = -1e300;
    high_ = 1e300;
    for (const auto& [name, bound] : {std::pair{LowOption, &low_}, std::pair{HighOption, &high_}}) {
        if (!parser.isSet(name))
            continue;
        const std::optional<double> value = parseCliNumber(parser.value(name));
        if (!value) {
            context.fail(UsageError, QStringLiteral("--%1 needs a number of MHz such as 146.52, "
                                                    "not \"%2\"")
                                         .arg(name, parser.value(name)));
            return false;
        }
        *bound = *value;
    }
    return true;
}

int RecordQuery::open(const CliContext& context, const QCommandLineParser& parser,
                      store::Table& table)
{
    if (!read(context, parser))
        return UsageError;
    // Listing and exporting write nothing to the table.
    if (const int opened = context.openTableForReading(table); opened != Success)
        return opened;
    return apply(context, table);
}

int RecordQuery::apply(const CliContext& context, store::Table& table) const
{
    // The user's filter is checked alone first, so an error points into the text as typed.
    if (!filter_.isEmpty()) {
        if (store::Status st = table.setFilter(filter_); !st)
            return context.fail(UsageError,
                                QStringLiteral("the filter cannot be used: ") + st.error);
    }
    store::Status st = table.setIndexName(store::FrequencyRecord::FrequencyIndex);
    if (st && ranged_)
        st = table.setRange(low_, high_);
    QStringList parts;
    if (category_)
        parts << QStringLiteral("Category = ") + quoted(*category_);
    if (!filter_.isEmpty())
        parts << QLatin1Char('(') + filter_ + QLatin1Char(')');
    if (st && !parts.isEmpty()) {
        st = table.setFilter(parts.join(QStringLiteral(" and ")));
        if (st)
            st = table.setFiltered(true);
    }
    if (!st)
        return context.fail(Failed, QStringLiteral("cannot read the table: ") + st.error);
    return Success;
}

QStringList RecordQuery::captions()
{
    QStringList names;
    for (int slot = 0; slot < RecordCells::SlotCount; ++slot)
        names << MainSettings::defaultColumnName(slot);
    return names;
}

bool RecordQuery::forEachRow(const CliContext& context, store::Table& table,
                             const std::function<void(const QStringList&)>& take) const
{
    const RecordCells cells(LocaleInfo::current(), 0);
    QStringList row;
    for (store::Status st = table.first();; st = table.next()) {
        if (!st) {
            context.fail(Failed, QStringLiteral("cannot read the table: ") + st.error);
            return false;
        }
        if (table.eof())
            return true;
        row.clear();
        for (int slot = 0; slot < RecordCells::SlotCount; ++slot)
            row << cells.text(slot, table.fieldValue(RecordCells::fieldName(slot)));
        take(row);
    }
}

} // namespace wl::cli
