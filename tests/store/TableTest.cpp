#include "StoreTestSupport.h"

#include "store/BulkRows.h"

#include <QFile>

#include <functional>
#include <limits>

namespace wl::store::test {
namespace {

using TableTest = StoreFixture;

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST_F(TableTest, FreshTableIsEmptyAndCreateNeverTouchesAnExistingOne)
{
    EXPECT_EQ(table.recordCount(), 0);
    EXPECT_TRUE(table.first());
    EXPECT_TRUE(table.eof());
    EXPECT_EQ(table.recNum(), 0);
    for (const QString& name : {FR::TableFile, FR::IndexFile, FR::MemoFile})
        EXPECT_TRUE(QFile::exists(path(name))) << name.toStdString();

    add(10.0);
    table.close();
    const QByteArray before = readAll(path(FR::TableFile));
    Table again;
    EXPECT_FALSE(create(again, dir.path()));
    EXPECT_EQ(readAll(path(FR::TableFile)), before);
    ASSERT_TRUE(table.open());
    EXPECT_EQ(table.recordCount(), 1);
}

TEST_F(TableTest, RangeIsInclusiveOnWholeNumbers)
{
    for (double hz : {0.0, 5.5, 9999.0, 9999.5, 10000.0})
        add(hz);
    struct Case
    {
        double low, high;
        std::vector<double> visible;
    } cases[] = {
        {0, 9999, {0.0, 5.5, 9999.0}},
        {5, 6, {5.5}},
        {9999, 9999, {9999.0}},
        {10, 5, {}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(table.setRange(c.low, c.high));
        std::vector<double> seen;
        for (const QVariant& v : walk(QStringLiteral("hz")))
            seen.push_back(v.toDouble());
        EXPECT_EQ(seen, c.visible) << c.low << ".." << c.high;
        EXPECT_EQ(table.recordCount(), qint64(c.visible.size()));
    }
    table.cancelRange();
    EXPECT_EQ(table.recordCount(), 5);
}

TEST_F(TableTest, EqualFrequenciesKeepRecNumOrderAndMoveByCounts)
{
    const qint64 a = add(7.0, QStringLiteral("Police"), QStringLiteral("A"));
    add(3.0, QStringLiteral("Police"), QStringLiteral("Low"));
    const qint64 b = add(7.0, QStringLiteral("Police"), QStringLiteral("B"));
    const qint64 c = add(7.0, QStringLiteral("Police"), QStringLiteral("C"));
    add(9.0, QStringLiteral("Police"), QStringLiteral("High"));
    ASSERT_TRUE(table.setRange(0, 9999));
    std::vector<QString> order;
    for (const QVariant& v : walk(QStringLiteral("CallSign")))
        order.push_back(v.toString());
    EXPECT_EQ(order, (std::vector<QString>{"Low", "A", "B", "C", "High"}));

    // Grid row R is reached by going to the first record and moving R - 1.
    const std::vector<qint64> rowRecNums = {0, a, b, c};
    for (int r = 2; r <= 4; ++r) {
        ASSERT_TRUE(table.first());
        EXPECT_EQ(table.moveBy(r - 1), r - 1);
        EXPECT_EQ(table.recNum(), rowRecNums[size_t(r - 1)]);
    }
    EXPECT_EQ(table.moveBy(-2), -2);
    EXPECT_EQ(table.recNum(), a);
    EXPECT_EQ(table.moveBy(-5), -1); // only "Low" lies before
    EXPECT_EQ(table.fieldValue(QStringLiteral("callsign")).toString(), "Low");
    EXPECT_EQ(table.moveBy(10), 4);
    EXPECT_TRUE(table.eof());
    EXPECT_EQ(table.fieldValue(QStringLiteral("callsign")).toString(), "High");
}

TEST_F(TableTest, FiltersMatchLiteralsOnlyAndTreatNullAsNeitherEqualNorUnequal)
{
    add(1.0, QStringLiteral("O'Brien"));
    add(2.0, QStringLiteral("x' OR '1'='1"));
    add(3.0, QStringLiteral("Police"));
    ASSERT_TRUE(
        table.updateByRecNum(3, {{QStringLiteral("RLat"), 45.5}, {QStringLiteral("RLon"), 122.5}}));
    ASSERT_TRUE(
        table.updateByRecNum(2, {{QStringLiteral("RLat"), 0.0}, {QStringLiteral("RLon"), 10.0}}));
    ASSERT_TRUE(table.setFiltered(true));

    struct Case
    {
        QString expression;
        std::vector<double> visible;
    } cases[] = {
        {QStringLiteral("Category = 'O''Brien'"), {1.0}},
        {QStringLiteral("Category = 'x'' OR ''1''=''1'"), {2.0}},
        {QStringLiteral("Category = 'x' OR '1'='1'"), {1.0, 2.0, 3.0}}, // the language's own "or"
        {QStringLiteral("(RLat <> 0 ) and (RLon <> 0 )"), {3.0}},
        {QStringLiteral("RLat = 0"), {2.0}},
        {QStringLiteral("not (Category = 'Police')"), {1.0, 2.0}},
        {QStringLiteral("category <> 'Police' and Hz > 1.5"), {2.0}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(table.setFilter(c.expression)) << c.expression.toStdString();
        std::vector<double> seen;
        for (const QVariant& v : walk(QStringLiteral("Hz")))
            seen.push_back(v.toDouble());
        EXPECT_EQ(seen, c.visible) << c.expression.toStdString();
        EXPECT_EQ(table.recordCount(), qint64(c.visible.size())) << c.expression.toStdString();
    }

    ASSERT_TRUE(table.setFilter(QStringLiteral("Category = 'Police'")));
    for (const char* bad : {"Category = 'Police", "Category =", "Category = 'a' and", "Nope = 'a'",
                            "Notes = 'a'", "Hz = 'a'", "Category = 5", "(Hz = 1", "Hz = 1)",
                            "Hz == 1", "Category = 'a'; DROP TABLE records", "Hz = 1.2.3"}) {
        EXPECT_FALSE(table.setFilter(QString::fromLatin1(bad))) << bad;
        EXPECT_EQ(table.filter(), QStringLiteral("Category = 'Police'"));
        EXPECT_EQ(table.recordCount(), 1) << bad;
    }
    ASSERT_TRUE(table.setFiltered(false));
    EXPECT_EQ(table.recordCount(), 3);
}

TEST_F(TableTest, ValuesAreCutCheckedAndNullsStayNull)
{
    ASSERT_TRUE(table.append());
    EXPECT_TRUE(table.setFieldValue(QStringLiteral("Category"), QString(30, QLatin1Char('c'))));
    EXPECT_TRUE(table.setFieldValue(QStringLiteral("Modifier"), QStringLiteral("+-")));
    EXPECT_TRUE(table.setFieldValue(QStringLiteral("user"),
                                    QStringLiteral("1234567890123456789\U0001F4FB")));
    EXPECT_TRUE(table.setFieldValue(QStringLiteral("RDate"), 45000));
    EXPECT_TRUE(table.setFieldValue(QStringLiteral("Hz"), 146.52));
    EXPECT_FALSE(table.setFieldValue(QStringLiteral("Hz"), QStringLiteral("146.52")));
    EXPECT_FALSE(table.setFieldValue(QStringLiteral("RLat"), std::nan("")));
    EXPECT_FALSE(table.setFieldValue(QStringLiteral("RecNum"), 5));
    EXPECT_FALSE(table.setFieldValue(QStringLiteral("NoSuchField"), 5));
    ASSERT_TRUE(table.post());
    table.close();
    ASSERT_TRUE(table.open());
    ASSERT_TRUE(table.first());
    EXPECT_EQ(table.fieldValue(QStringLiteral("category")).toString(),
              QString(20, QLatin1Char('c')));
    EXPECT_EQ(table.fieldValue(QStringLiteral("MODIFIER")).toString(), "+");
    // The cut never splits a character made of two UTF-16 units.
    EXPECT_EQ(table.fieldValue(QStringLiteral("User")).toString(), "1234567890123456789");
    EXPECT_EQ(table.fieldValue(QStringLiteral("RDate")).toDouble(), 45000.0);
    for (const char* name :
         {"Callsign", "Notes", "Location", "Optional", "Position", "RLat", "RLon"})
        EXPECT_TRUE(table.fieldValue(QString::fromLatin1(name)).isNull()) << name;
    ASSERT_TRUE(table.edit());
    ASSERT_TRUE(table.setFieldValue(QStringLiteral("RLat"), 0.0));
    ASSERT_TRUE(table.setFieldValue(QStringLiteral("Location"), QVariant()));
    ASSERT_TRUE(table.post());
    EXPECT_FALSE(table.fieldValue(QStringLiteral("RLat")).isNull());
    EXPECT_TRUE(table.fieldValue(QStringLiteral("Location")).isNull());
}

TEST_F(TableTest, RequiredFieldsAreEnforcedAtPost)
{
    ASSERT_TRUE(table.append());
    table.setFieldValue(QStringLiteral("Hz"), 10.0);
    table.setFieldValue(QStringLiteral("RDate"), 45000.0);
    const Status st = table.post();
    EXPECT_FALSE(st);
    EXPECT_TRUE(st.error.contains(QStringLiteral("Category")));
    EXPECT_EQ(table.state(), Table::EditState::Insert);
    table.setFieldValue(QStringLiteral("Category"), QStringLiteral("Police"));
    ASSERT_TRUE(table.post());
    const qint64 rec = table.recNum();
    EXPECT_FALSE(table.updateByRecNum(rec, {{QStringLiteral("Hz"), QVariant()}}));
    ASSERT_TRUE(table.edit());
    table.setFieldValue(QStringLiteral("Category"), QVariant());
    EXPECT_FALSE(table.post());
    table.cancel();
    EXPECT_EQ(table.fieldValue(QStringLiteral("Category")).toString(), "Police");
    EXPECT_EQ(table.recordCount(), 1);
}

TEST_F(TableTest, MemosKeepLargeTextWithCrLfExactly)
{
    QString note;
    for (int i = 0; note.size() < 100 * 1024; ++i)
        note += QStringLiteral("Line %1 \u00e9\u00e8 with text\r\n").arg(i);
    note += QStringLiteral("\r\n\r\nlast\n\r");
    const qint64 rec = add(5.0, QStringLiteral("Police"), QString(), note);
    add(6.0, QStringLiteral("Police"), QString(), QString());
    table.close();
    ASSERT_TRUE(table.open());
    QVariant value;
    ASSERT_TRUE(table.readField(rec, QStringLiteral("notes"), value));
    EXPECT_EQ(value.toString().toUtf8(), note.toUtf8());
    ASSERT_TRUE(table.locate(rec + 1));
    EXPECT_FALSE(table.fieldValue(QStringLiteral("Notes")).isNull());
    EXPECT_EQ(table.fieldValue(QStringLiteral("Notes")).toString(), QString());
    ASSERT_TRUE(table.edit());
    ASSERT_TRUE(table.setFieldValue(QStringLiteral("Notes"), QVariant()));
    ASSERT_TRUE(table.post());
    EXPECT_TRUE(table.fieldValue(QStringLiteral("Notes")).isNull());
}

TEST_F(TableTest, EditReordersAndDeleteRestsOnANeighbour)
{
    for (double hz : {1.0, 2.0, 3.0, 4.0})
        add(hz, QStringLiteral("Police"), QString::number(hz));
    ASSERT_TRUE(table.setRange(0, 9999));
    ASSERT_TRUE(table.first());
    ASSERT_TRUE(table.edit());
    ASSERT_TRUE(table.setFieldValue(QStringLiteral("Hz"), 2.5));
    ASSERT_TRUE(table.next()); // posts first, then moves on from the record's new place
    EXPECT_EQ(table.fieldValue(QStringLiteral("Hz")).toDouble(), 3.0);
    std::vector<double> order;
    for (const QVariant& v : walk(QStringLiteral("Hz")))
        order.push_back(v.toDouble());
    EXPECT_EQ(order, (std::vector<double>{2.0, 2.5, 3.0, 4.0}));

    ASSERT_TRUE(table.first());
    ASSERT_TRUE(table.moveBy(1));
    ASSERT_TRUE(table.deleteRecord());
    EXPECT_EQ(table.fieldValue(QStringLiteral("Hz")).toDouble(), 3.0);
    ASSERT_TRUE(table.moveBy(1));
    ASSERT_TRUE(table.deleteRecord()); // the last: rests on the one before
    EXPECT_FALSE(table.eof());
    EXPECT_EQ(table.fieldValue(QStringLiteral("Hz")).toDouble(), 3.0);
    EXPECT_EQ(table.recordCount(), 2);
    ASSERT_TRUE(table.deleteRecord());
    ASSERT_TRUE(table.deleteRecord());
    EXPECT_TRUE(table.eof());
    EXPECT_EQ(table.recNum(), 0);
    EXPECT_FALSE(table.deleteRecord());
    EXPECT_EQ(table.recordCount(), 0);
}

TEST_F(TableTest, RecordsAreReachedByRecNumOutsideRangeAndFilter)
{
    const qint64 low = add(1.0, QStringLiteral("Police"));
    const qint64 out = add(20000.0, QStringLiteral("Weather"));
    ASSERT_TRUE(table.setRange(0, 9999));
    ASSERT_TRUE(table.setFilter(QStringLiteral("Category = 'Police'")));
    ASSERT_TRUE(table.setFiltered(true));
    EXPECT_EQ(table.recordCount(), 1);

    QVariant v;
    ASSERT_TRUE(table.readField(out, QStringLiteral("category"), v));
    EXPECT_EQ(v.toString(), "Weather");
    ASSERT_TRUE(table.updateByRecNum(out, {{QStringLiteral("Callsign"), QStringLiteral("W1")}}));
    ASSERT_TRUE(table.locate(out));
    EXPECT_EQ(table.fieldValue(QStringLiteral("Callsign")).toString(), "W1");
    ASSERT_TRUE(table.deleteByRecNum(out));
    EXPECT_FALSE(table.locate(out));
    EXPECT_FALSE(table.readField(out, QStringLiteral("Hz"), v));
    EXPECT_FALSE(table.deleteByRecNum(out));
    ASSERT_TRUE(table.setFiltered(false));
    table.cancelRange();
    EXPECT_EQ(table.recordCount(), 1);
    EXPECT_EQ(table.recNum(), low);
    // A RecNum is never given out again, even after the highest one was deleted.
    EXPECT_GT(add(2.0), out);
}

TEST_F(TableTest, TransactionsAndBulkAppendCommitOrRollBackTogether)
{
    ASSERT_TRUE(table.beginTransaction());
    add(1.0);
    add(2.0);
    ASSERT_TRUE(table.rollback());
    EXPECT_EQ(table.recordCount(), 0);
    ASSERT_TRUE(table.beginTransaction());
    add(3.0);
    ASSERT_TRUE(table.commit());

    auto row = [](double hz, const QVariant& category) {
        return std::vector<QVariant>{category,
                                     QStringLiteral("K1ABC"),
                                     QStringLiteral("note\r\n"),
                                     45000.0,
                                     hz,
                                     QStringLiteral(" "),
                                     QVariant(),
                                     QVariant(),
                                     QVariant(),
                                     QVariant(),
                                     QVariant(),
                                     QVariant()};
    };
    ASSERT_TRUE(table.bulkAppend(
        {row(9.0, QStringLiteral("Weather")), row(4.0, QStringLiteral("Police"))}));
    EXPECT_FALSE(table.bulkAppend({row(5.0, QStringLiteral("Police")), row(6.0, QVariant())}));
    EXPECT_FALSE(table.bulkAppend({{QStringLiteral("too short")}}));
    table.close();
    ASSERT_TRUE(table.open());
    ASSERT_TRUE(table.setIndexName(QStringLiteral("BY FREQUENCY")));
    std::vector<double> order;
    for (const QVariant& v : walk(QStringLiteral("Hz")))
        order.push_back(v.toDouble());
    EXPECT_EQ(order, (std::vector<double>{3.0, 4.0, 9.0}));
    ASSERT_TRUE(table.first());
    ASSERT_TRUE(table.next());
    EXPECT_EQ(table.fieldValue(QStringLiteral("Notes")).toString(), "note\r\n");
}

// A bulk row of the frequency table: the values of every field but RecNum, in order.
std::vector<QVariant> bulkRow(double hz, const QVariant& category = QStringLiteral("Police"))
{
    std::vector<QVariant> row(12); // Category, Callsign, Notes, RDate, Hz, then null fields
    row[0] = category;
    row[1] = QStringLiteral("K1ABC");
    row[3] = 45000.0;
    row[4] = hz;
    return row;
}

// Appends made of many calls in one transaction: the index shows every appended record to a
// read in the middle and after the commit, in key order among the records already there.
TEST_F(TableTest, ChunkedBulkAppendKeepsTheIndexComplete)
{
    add(5.0);
    add(1.0);
    ASSERT_TRUE(table.beginTransaction());
    ASSERT_TRUE(table.bulkAppend({bulkRow(3.0), bulkRow(7.0)}));
    ASSERT_TRUE(table.bulkAppend({bulkRow(2.0)}));
    auto hz = [&] {
        std::vector<double> order;
        for (const QVariant& v : walk(QStringLiteral("Hz")))
            order.push_back(v.toDouble());
        return order;
    };
    EXPECT_EQ(hz(), (std::vector<double>{1.0, 2.0, 3.0, 5.0, 7.0}));
    ASSERT_TRUE(table.bulkAppend({bulkRow(0.5), bulkRow(3.0)}));
    add(4.0); // a single record between appends
    ASSERT_TRUE(table.bulkAppend({bulkRow(6.0)}));
    ASSERT_TRUE(table.commit());
    table.close();
    ASSERT_TRUE(table.open());
    ASSERT_TRUE(table.setIndexName(QStringLiteral("By frequency")));
    EXPECT_EQ(hz(), (std::vector<double>{0.5, 1.0, 2.0, 3.0, 3.0, 4.0, 5.0, 6.0, 7.0}));
    ASSERT_TRUE(table.setRange(3.0, 3.0));
    EXPECT_EQ(table.recordCount(), 2);
}

// A large append that fails on a later chunk, or is abandoned, leaves the records and the
// index exactly as they were, and the next append is indexed in full.
TEST_F(TableTest, FailedOrAbandonedBulkAppendLeavesTableAndIndexAsBefore)
{
    for (bool failOnLastChunk : {true, false}) {
        SCOPED_TRACE(failOnLastChunk ? "failed" : "abandoned");
        add(2.0);
        add(8.0);
        auto recNums = [&] {
            std::vector<qint64> order;
            for (const QVariant& v : walk(QStringLiteral("RecNum")))
                order.push_back(v.toLongLong());
            return order;
        };
        const std::vector<qint64> before = recNums();
        ASSERT_TRUE(table.beginTransaction());
        std::vector<std::vector<QVariant>> chunk;
        for (int i = 0; i < 500; ++i)
            chunk.push_back(bulkRow(double(1000 - i)));
        ASSERT_TRUE(table.bulkAppend(chunk));
        ASSERT_TRUE(table.bulkAppend(chunk));
        if (failOnLastChunk) {
            EXPECT_FALSE(table.bulkAppend({bulkRow(5.0), bulkRow(6.0, QVariant())}));
        }
        ASSERT_TRUE(table.rollback());
        EXPECT_EQ(recNums(), before);
        table.close();
        ASSERT_TRUE(table.open());
        ASSERT_TRUE(table.setIndexName(QStringLiteral("By frequency")));
        EXPECT_EQ(recNums(), before);

        ASSERT_TRUE(table.bulkAppend({bulkRow(5.0)}));
        std::vector<double> hz;
        for (const QVariant& v : walk(QStringLiteral("Hz")))
            hz.push_back(v.toDouble());
        EXPECT_EQ(hz.size(), before.size() + 1);
        EXPECT_TRUE(std::is_sorted(hz.begin(), hz.end()));
    }
}

// Rows made for the table's fields store exactly what the cursor stores for the same values:
// texts cut to their sizes (never inside a surrogate pair, non-ASCII across the cut), empty
// texts kept as texts, nulls as nulls, notes with their line breaks, numbers to the last bit.
TEST_F(TableTest, TypedRowsStoreWhatTheCursorStores)
{
    using Values = std::vector<std::pair<const char*, QVariant>>;
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80"); // two UTF-16 units
    const std::vector<Values> cases = {
        {{"Category", QStringLiteral("Police")},
         {"Callsign", QStringLiteral("K1ABC")},
         {"Notes", QStringLiteral("first\r\nsecond")},
         {"RDate", 45000.5},
         {"Hz", 146.52},
         {"Modifier", QStringLiteral(" ")}},
        {{"Category", QStringLiteral("Fire and rescue services")},
         {"Callsign", QStringLiteral("K1ABCDEFGHIJKLMNOPQRSTUVWXYZ")},
         {"RDate", 0.0},
         {"Hz", 0.1 + 0.2},
         {"Modifier", QStringLiteral("ABC")},
         {"User", QString()},
         {"Location", QString::fromUtf8("Z\xC3\xBCrich \xE2\x80\x93 \xC3\xA9\xC3\xA9\xC3\xA9"
                                        "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9")},
         {"Optional", QString(19, u'o') + smile + QStringLiteral("tail")}},
        {{"Category", QStringLiteral("Air")},
         {"Notes", QString::fromUtf8("H\xC3\xB6he ") + smile},
         {"RDate", -1.25},
         {"Hz", 1e-9},
         {"User", QStringLiteral("")},
         {"Position", QString(41, u' ')},
         {"RLat", -33.8675},
         {"RLon", 151.2071}},
    };
    const std::vector<FieldDef>& fields = table.fieldDefs();
    for (const Values& values : cases) {
        SCOPED_TRACE(values.front().second.toString().toStdString());
        const auto valueOf = [&](const QString& name) {
            for (const auto& [field, value] : values) {
                if (name.compare(QLatin1String(field), Qt::CaseInsensitive) == 0)
                    return value;
            }
            return QVariant();
        };
        ASSERT_TRUE(table.append());
        for (const auto& [field, value] : values)
            ASSERT_TRUE(table.setFieldValue(QLatin1String(field), value));
        ASSERT_TRUE(table.post());
        const qint64 byCursor = table.recNum();

        BulkRows rows(fields);
        for (const FieldDef& field : fields) {
            const QVariant value = valueOf(field.name);
            if (field.type == FieldType::AutoInc)
                continue;
            if (value.isNull())
                rows.addNull();
            else if (value.typeId() == QMetaType::QString)
                rows.addText(value.toString());
            else
                rows.addNumber(value.toDouble());
        }
        rows.endRow();
        ASSERT_TRUE(table.bulkAppendTyped(rows)) << table.lastError().toStdString();
        const qint64 typed = byCursor + 1;

        for (const FieldDef& field : fields) {
            if (field.type == FieldType::AutoInc)
                continue;
            SCOPED_TRACE(field.name.toStdString());
            ASSERT_TRUE(table.locate(byCursor));
            const QVariant expected = table.fieldValue(field.name);
            ASSERT_TRUE(table.locate(typed));
            const QVariant stored = table.fieldValue(field.name);
            EXPECT_EQ(stored.isNull(), expected.isNull());
            EXPECT_EQ(stored.typeId(), expected.typeId());
            EXPECT_EQ(stored, expected);
        }
    }
    // The cut itself, as the cursor makes it.
    ASSERT_TRUE(table.locate(4));
    EXPECT_EQ(table.fieldValue(QStringLiteral("Optional")).toString(), QString(19, u'o'));
    EXPECT_EQ(table.fieldValue(QStringLiteral("Modifier")).toString(), QStringLiteral("A"));
    EXPECT_EQ(table.fieldValue(QStringLiteral("User")).toString(), QString());
    EXPECT_FALSE(table.fieldValue(QStringLiteral("User")).isNull());
}

// Rows with a value that does not suit its field are refused whole, naming the row and the
// field, and leave the table as it was.
TEST_F(TableTest, TypedRowsWithAnUnsuitableValueAreRefusedWhole)
{
    add(3.0);
    const std::vector<FieldDef>& fields = table.fieldDefs();
    // Fills a row of the frequency table; `change` then replaces the value of one column.
    const auto fill = [&](BulkRows& rows, int column, const std::function<void()>& change) {
        for (int c = 0; c < rows.columns(); ++c) {
            if (c == column) {
                change();
                continue;
            }
            switch (c) {
            case 0:
                rows.addText(QStringLiteral("Police"));
                break;
            case 3:
                rows.addNumber(45000.0);
                break;
            case 4:
                rows.addNumber(7.0);
                break;
            default:
                rows.addNull();
            }
        }
        rows.endRow();
    };
    struct Case
    {
        int column;
        std::function<void(BulkRows&)> value;
        const char* error;
    };
    const std::vector<Case> cases = {
        {1, [](BulkRows& r) { r.addNumber(5.0); }, "Row 2: Field 'Callsign' needs a text."},
        {4, [](BulkRows& r) { r.addText(QStringLiteral("7")); },
         "Row 2: Field 'Hz' needs a number."},
        {4, [](BulkRows& r) { r.addNumber(std::numeric_limits<double>::infinity()); },
         "Row 2: Field 'Hz' needs a number."},
        {0, [](BulkRows& r) { r.addNull(); }, "Row 2: Field 'Category' must have a value."},
        {11, [](BulkRows&) {}, "Row 2: 11 values instead of 12."},
        {-1, [](BulkRows& r) { r.addNull(); }, "Row 2: more than 12 values."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        BulkRows rows(fields);
        fill(rows, -1, [] {});
        if (c.column < 0) {
            for (int i = 0; i < rows.columns(); ++i)
                rows.addNull();
            c.value(rows);
            rows.endRow();
        } else {
            fill(rows, c.column, [&] { c.value(rows); });
        }
        EXPECT_FALSE(table.bulkAppendTyped(rows));
        EXPECT_EQ(table.lastError(), QLatin1String(c.error));
        EXPECT_EQ(table.recordCount(), 1);
    }
    // Rows made for other fields are not written into this table.
    std::vector<FieldDef> other = fields;
    other[2].size = 40;
    BulkRows foreign(other);
    fill(foreign, -1, [] {});
    EXPECT_FALSE(table.bulkAppendTyped(foreign));
    EXPECT_EQ(table.recordCount(), 1);
    EXPECT_EQ(walk(QStringLiteral("Hz")), std::vector<QVariant>({3.0}));
}

TEST_F(TableTest, FieldsReadByPositionMatchFieldsReadByName)
{
    add(145.5, QStringLiteral("Police"), QStringLiteral("K1ABC"), QStringLiteral("a\r\nnote"));
    add(146.0); // no callsign, no note: nulls
    ASSERT_TRUE(table.first());
    while (!table.eof()) {
        for (const FieldDef& def : FR::fields()) {
            const int field = table.fieldNumber(def.name.toLower());
            ASSERT_GE(field, 0) << def.name.toStdString();
            EXPECT_EQ(table.fieldValueAt(field), table.fieldValue(def.name));
        }
        ASSERT_TRUE(table.next());
    }
    EXPECT_EQ(table.fieldNumber(QStringLiteral("Frequency")), -1);
    EXPECT_TRUE(table.fieldValueAt(-1).isNull());
    EXPECT_TRUE(table.fieldValueAt(int(FR::fields().size())).isNull());
}

TEST(TableClosedTest, OperationsOnAClosedOrMissingTableFailCleanly)
{
    QTemporaryDir dir;
    Table t;
    t.setDatabaseName(dir.path());
    t.setTableName(FR::TableFile);
    FR::define(t);
    EXPECT_FALSE(t.exists());
    EXPECT_FALSE(t.open());
    EXPECT_FALSE(t.isOpen());
    EXPECT_FALSE(t.first());
    EXPECT_FALSE(t.next());
    EXPECT_TRUE(t.eof());
    EXPECT_EQ(t.moveBy(3), 0);
    EXPECT_EQ(t.recordCount(), -1);
    EXPECT_TRUE(t.fieldValue(QStringLiteral("Hz")).isNull());
    EXPECT_EQ(t.recNum(), 0);
    EXPECT_FALSE(t.append());
    EXPECT_FALSE(t.edit());
    EXPECT_FALSE(t.setFieldValue(QStringLiteral("Hz"), 1.0));
    EXPECT_FALSE(t.post());
    EXPECT_FALSE(t.deleteRecord());
    EXPECT_FALSE(t.locate(1));
    EXPECT_FALSE(t.deleteByRecNum(1));
    EXPECT_FALSE(t.beginTransaction());
    EXPECT_FALSE(t.commit());
    EXPECT_FALSE(t.bulkAppend({}));
    EXPECT_FALSE(t.lastError().isEmpty());
}

TEST_F(TableTest, ASecondHandleCannotOpenTheTable)
{
    Table other;
    other.setDatabaseName(dir.path());
    other.setTableName(FR::TableFile);
    const Status st = other.open();
    EXPECT_FALSE(st);
    EXPECT_FALSE(other.isOpen());
    table.close();
    EXPECT_TRUE(other.open()) << other.lastError().toStdString();
    EXPECT_EQ(other.fieldDefs().size(), FR::fields().size());
}

} // namespace
} // namespace wl::store::test
