#include "StoreTestSupport.h"

#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <cstdlib>

namespace wl::store::test {
namespace {

// Runs this test binary again as a separate process for one of the child roles below.
QProcess* startChild(QObject* parent, const QString& role, const QString& folder)
{
    auto* child = new QProcess(parent);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("WL_STORE_CHILD"), role);
    env.insert(QStringLiteral("WL_STORE_DIR"), folder);
    child->setProcessEnvironment(env);
    child->setProcessChannelMode(QProcess::MergedChannels);
    child->start(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget(),
                 {QStringLiteral("--gtest_filter=StoreChild.DISABLED_Role"),
                  QStringLiteral("--gtest_also_run_disabled_tests")});
    return child;
}

Table* openIn(Table& t, const QString& folder)
{
    t.setDatabaseName(folder);
    t.setTableName(FR::TableFile);
    return &t;
}

QString noteFor(qint64 n)
{
    return QStringLiteral("note %1\r\n").arg(n).repeated(int(n % 50) + 1);
}

// The child side: "open" reports whether it could open the table; "append" adds records
// forever, each one recognisable from its frequency, until it is killed.
TEST(StoreChild, DISABLED_Role)
{
    const QString role = qEnvironmentVariable("WL_STORE_CHILD");
    Table t;
    openIn(t, qEnvironmentVariable("WL_STORE_DIR"));
    const Status st = t.open();
    if (role == QStringLiteral("open")) {
        std::printf("%s\n", st ? "OPENED" : "REFUSED");
        return;
    }
    ASSERT_TRUE(st) << st.error.toStdString();
    std::printf("READY\n");
    std::fflush(stdout);
    for (qint64 n = t.recordCount() + 1;; ++n) {
        ASSERT_TRUE(t.append());
        t.setFieldValue(QStringLiteral("Category"), QStringLiteral("Cat %1").arg(n));
        t.setFieldValue(QStringLiteral("Callsign"), QStringLiteral("C%1").arg(n));
        t.setFieldValue(QStringLiteral("Notes"), noteFor(n));
        t.setFieldValue(QStringLiteral("RDate"), 45000.0 + double(n));
        t.setFieldValue(QStringLiteral("Hz"), double(n % 97) + double(n) / 1e6);
        ASSERT_TRUE(t.post());
    }
}

TEST(TableProcessTest, AnotherProcessCannotOpenAnOpenTable)
{
    QTemporaryDir dir;
    Table t;
    openIn(t, dir.path());
    FR::define(t);
    ASSERT_TRUE(t.createTable());
    ASSERT_TRUE(t.open());
    QObject owner;
    QProcess* child = startChild(&owner, QStringLiteral("open"), dir.path());
    ASSERT_TRUE(child->waitForFinished(60000));
    EXPECT_TRUE(child->readAll().contains("REFUSED"));
    t.close();
    child = startChild(&owner, QStringLiteral("open"), dir.path());
    ASSERT_TRUE(child->waitForFinished(60000));
    EXPECT_TRUE(child->readAll().contains("OPENED"));
}

// Every record must be whole: its fields, its note and its index entry agree.
void expectConsistent(Table& t)
{
    ASSERT_TRUE(t.setIndexName(QStringLiteral("By Frequency")));
    const qint64 count = t.recordCount();
    qint64 walked = 0;
    ASSERT_TRUE(t.first());
    while (!t.eof()) {
        const QString callsign = t.fieldValue(QStringLiteral("Callsign")).toString();
        ASSERT_TRUE(callsign.startsWith(QLatin1Char('C')));
        const qint64 n = callsign.mid(1).toLongLong();
        EXPECT_EQ(t.fieldValue(QStringLiteral("Category")).toString(),
                  QStringLiteral("Cat %1").arg(n));
        EXPECT_EQ(t.fieldValue(QStringLiteral("Notes")).toString(), noteFor(n));
        EXPECT_EQ(t.fieldValue(QStringLiteral("Hz")).toDouble(), double(n % 97) + double(n) / 1e6);
        ++walked;
        ASSERT_TRUE(t.next());
    }
    EXPECT_EQ(walked, count);
    ASSERT_TRUE(t.setIndexName(QString()));
    EXPECT_EQ(t.recordCount(), count); // the records themselves, without the index
}

TEST(TableProcessTest, KilledWriterLeavesAWholeTable)
{
    QTemporaryDir dir;
    {
        Table t;
        openIn(t, dir.path());
        FR::define(t);
        ASSERT_TRUE(t.createTable());
    }
    QObject owner;
    qint64 previous = 0;
    for (int round = 0; round < 4; ++round) {
        QProcess* child = startChild(&owner, QStringLiteral("append"), dir.path());
        QByteArray output;
        while (!output.contains("READY") && child->waitForReadyRead(60000))
            output += child->readAll();
        ASSERT_TRUE(output.contains("READY")) << output.toStdString();
        QThread::msleep(150 + 70 * round);
        child->kill();
        ASSERT_TRUE(child->waitForFinished(60000));

        Table t;
        openIn(t, dir.path());
        const Status st = t.open();
        ASSERT_TRUE(st) << st.error.toStdString();
        expectConsistent(t);
        const qint64 count = t.recordCount();
        EXPECT_GE(count, previous);
        previous = count;
    }
    EXPECT_GT(previous, 0);
}

} // namespace
} // namespace wl::store::test
