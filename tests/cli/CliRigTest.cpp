#include "cli/ExitCode.h"
#include "rig/RigSettings.h"
#include "tests/cli/CliTestSupport.h"
#include "tests/rig/RigTestSupport.h"

namespace wl::cli::test {

namespace {

class CliRigTest : public CliTest
{
protected:
    void useRadio(quint16 port) const
    {
        Registry registry(settingsFile());
        ASSERT_TRUE(rig::test::networkSettings(port).write(registry));
    }
};

TEST_F(CliRigTest, StatusAndTuneTalkToTheRadio)
{
    rig::test::Rigctld daemon;
    ASSERT_TRUE(daemon.start());
    useRadio(daemon.port());

    CliRun run = cli({QStringLiteral("rig"), QStringLiteral("status")});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QLatin1String("Frequency: 145.000000 MHz")))
        << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QLatin1String("Mode: FM"))) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QLatin1String("Strength: "))) << run.out.toStdString();

    run = cli({QStringLiteral("rig"), QStringLiteral("tune"), QStringLiteral("10000.000001")});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(daemon.rigctl({QStringLiteral("f")}), QStringLiteral("10000000001"));

    // A record's frequency, and the mode its Special field names.
    makeTable(data(), {{"Shortwave", 9.58, "RADIO AUSTRALIA"}});
    {
        store::Table t;
        t.setDatabaseName(data());
        t.setTableName(store::FrequencyRecord::TableFile);
        store::FrequencyRecord::define(t);
        ASSERT_TRUE(t.open());
        ASSERT_TRUE(t.updateByRecNum(1, {{QStringLiteral("Optional"), QStringLiteral("usb")}}));
    }
    run = cli({QStringLiteral("rig"), QStringLiteral("tune"), QStringLiteral("--record"),
               QStringLiteral("1")});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(daemon.rigctl({QStringLiteral("f")}), QStringLiteral("9580000"));
    EXPECT_TRUE(daemon.rigctl({QStringLiteral("m")}).startsWith(QLatin1String("USB")));
}

TEST_F(CliRigTest, FailuresSayWhyAndExitNonZero)
{
    struct Case
    {
        QStringList args;
        bool withRadio;
        int code;
        const char* errPart;
    };
    const quint16 closed = rig::test::freePort();
    const Case cases[] = {
        {{QStringLiteral("status")}, false, Failed, "no radio is set up"},
        {{QStringLiteral("status")}, true, Failed, "Cannot connect to"},
        {{QStringLiteral("tune"), QStringLiteral("9,58")}, true, UsageError, "not a frequency"},
        {{QStringLiteral("tune")}, true, UsageError, "rig tune FREQ"},
        {{QStringLiteral("spin")}, true, UsageError, "rig status"},
        {{QStringLiteral("tune"), QStringLiteral("--record"), QStringLiteral("x")},
         true,
         UsageError,
         "not a record number"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        QFile::remove(settingsFile());
        if (c.withRadio)
            useRadio(closed);
        const CliRun run = cli(QStringList{QStringLiteral("rig")} + c.args);
        EXPECT_EQ(run.code, c.code) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QLatin1String(c.errPart))) << run.err.toStdString();
    }
}

} // namespace

} // namespace wl::cli::test
