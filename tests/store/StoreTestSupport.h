#pragma once

#include "store/FrequencyRecord.h"
#include "store/Table.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace wl::store::test {

namespace FR = FrequencyRecord;

// A data folder with a created frequency table, and a handle opened on it.
class StoreFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(create(table, dir.path()));
        ASSERT_TRUE(table.open()) << table.lastError().toStdString();
        ASSERT_TRUE(table.setIndexName(QStringLiteral("By frequency")));
    }

    static bool create(Table& t, const QString& folder)
    {
        t.setDatabaseName(folder);
        t.setTableName(FR::TableFile);
        FR::define(t);
        return bool(t.createTable());
    }

    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }

    // Appends one record through the cursor and returns its RecNum.
    qint64 add(double hz, const QString& category = QStringLiteral("Police"),
               const QString& callsign = QString(), const QVariant& notes = QVariant())
    {
        EXPECT_TRUE(table.append());
        table.setFieldValue(QStringLiteral("Category"), category);
        table.setFieldValue(QStringLiteral("RDate"), 45000.5);
        table.setFieldValue(QStringLiteral("Hz"), hz);
        if (!callsign.isNull())
            table.setFieldValue(QStringLiteral("Callsign"), callsign);
        if (!notes.isNull())
            table.setFieldValue(QStringLiteral("Notes"), notes);
        const Status st = table.post();
        EXPECT_TRUE(st) << st.error.toStdString();
        return table.recNum();
    }

    // The values of a field for every visible record, in cursor order.
    std::vector<QVariant> walk(const QString& field)
    {
        std::vector<QVariant> values;
        EXPECT_TRUE(table.first());
        while (!table.eof()) {
            values.push_back(table.fieldValue(field));
            EXPECT_TRUE(table.next());
        }
        return values;
    }

    QTemporaryDir dir;
    Table table;
};

} // namespace wl::store::test
