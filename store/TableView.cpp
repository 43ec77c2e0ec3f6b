#include "store/TableView.h"

namespace wl::store {

void TableView::setRange(bool on, double low, double high)
{
    rangeOn_ = on;
    low_ = low;
    high_ = high;
}

void TableView::setFilter(const CompiledFilter& filter, bool on)
{
    filter_ = filter;
    filterOn_ = on && !filter.sql.isEmpty();
}

bool TableView::secondary() const
{
    return schema_->isSecondary(index_);
}

QString TableView::keyColumn() const
{
    return secondary() ? QStringLiteral("i.key")
                       : QStringLiteral("r.") + schema_->column(schema_->recNumField());
}

QString TableView::from(bool needRecords) const
{
    if (!secondary())
        return QStringLiteral("main.records AS r");
    if (!needRecords)
        return schema_->indexTable(index_) + QStringLiteral(" AS i");
    // CROSS JOIN keeps the index table as the outer loop, so rows come in index order.
    return QStringLiteral("%1 AS i CROSS JOIN main.records AS r ON r.%2 = i.RecNum")
        .arg(schema_->indexTable(index_), schema_->column(schema_->recNumField()));
}

QString TableView::where(Seek seek) const
{
    QStringList parts;
    const QString key = keyColumn();
    if (rangeOn_)
        parts << QStringLiteral("%1 >= ?1 AND %1 <= ?2").arg(key);
    if (filterOn_)
        parts << filter_.sql;
    static const char* const ops[] = {"", ">", ">=", "<"};
    if (seek != Seek::None) {
        const QLatin1StringView op(ops[int(seek)]);
        if (secondary())
            parts << QStringLiteral("(i.key, i.RecNum) %1 (?3, ?4)").arg(op);
        else
            parts << QStringLiteral("%1 %2 ?4").arg(key, op);
    }
    return parts.isEmpty() ? QString()
                           : QStringLiteral(" WHERE ") + parts.join(QStringLiteral(" AND "));
}

QString TableView::order(bool descending) const
{
    const QString dir = descending ? QStringLiteral(" DESC") : QString();
    if (secondary())
        return QStringLiteral(" ORDER BY i.key%1, i.RecNum%1").arg(dir);
    return QStringLiteral(" ORDER BY %1%2").arg(keyColumn(), dir);
}

QString TableView::selectRows(Seek seek) const
{
    return QStringLiteral("SELECT ") + schema_->columnList(QStringLiteral("r")) +
           QStringLiteral(" FROM ") + from(true) + where(seek) + order(false);
}

QString TableView::selectKeysBefore() const
{
    const QString recNum = secondary() ? QStringLiteral("i.RecNum") : keyColumn();
    return QStringLiteral("SELECT %1, %2 FROM ").arg(keyColumn(), recNum) + from(filterOn_) +
           where(Seek::Before) + order(true);
}

QString TableView::count() const
{
    return QStringLiteral("SELECT count(*) FROM ") + from(filterOn_) + where(Seek::None);
}

QString TableView::selectOrder() const
{
    const QString recNum = secondary() ? QStringLiteral("i.RecNum") : keyColumn();
    QString sql = QStringLiteral("SELECT %1 FROM ").arg(recNum) + from(false);
    if (rangeOn_)
        sql += QStringLiteral(" WHERE %1 >= ?1 AND %1 <= ?2").arg(keyColumn());
    return sql + order(false);
}

QString TableView::selectRecords(const QString& columns) const
{
    QString sql = QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM main.records AS r");
    if (filterOn_)
        sql += QStringLiteral(" WHERE ") + filter_.sql;
    return sql + QStringLiteral(" ORDER BY r.") + schema_->column(schema_->recNumField());
}

void TableView::bind(SqliteStatement& st, const QVariant& key, qint64 recNum) const
{
    st.reset();
    if (rangeOn_) {
        st.bindDouble(1, low_);
        st.bindDouble(2, high_);
    }
    st.bind(3, key);
    st.bindInt(4, recNum);
    if (filterOn_) {
        for (size_t i = 0; i < filter_.params.size(); ++i)
            st.bind(FirstFilterParam + int(i), filter_.params[i]);
    }
}

QVariant TableView::keyOf(const std::vector<QVariant>& row) const
{
    if (secondary())
        return row[size_t(schema_->indexField(index_))];
    return row[size_t(schema_->recNumField())];
}

} // namespace wl::store
