#include "rig/RigControl.h"
#include "rig/HamlibRadio.h"
#include "rig/RigFrequency.h"
#include "tests/rig/RigTestSupport.h"

#include <QElapsedTimer>
#include <QSignalSpy>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace wl::rig::test {

namespace {

class RigControlTest : public ::testing::Test
{
protected:
    void SetUp() override { ensureCoreApplication(); }

    // Configures control and waits for its first word: connected, or not with a reason.
    static bool settle(RigControl& control, const RigSettings& settings, int timeoutMs)
    {
        control.configure(settings);
        return waitFor(
            [&] { return control.state().connected || !control.state().reason.isEmpty(); },
            timeoutMs);
    }
};

TEST(RigFrequency, WholeHertzSurviveTheTripThroughMegahertz)
{
    for (const qint64 hz : {0LL, 1LL, 9580000LL, 145000000LL, 9999999999LL, 10000000000LL,
                            10000000001LL, 10000000002LL, 43999999999LL}) {
        SCOPED_TRACE(hz);
        EXPECT_EQ(hertzFromMegahertz(megahertzFromHertz(hz)), hz);
    }
    // A typed value lands on the hertz it names, not a hertz below.
    EXPECT_EQ(hertzFromMegahertz(9.58), 9580000);
    EXPECT_EQ(hertzFromMegahertz(10000.000001), 10000000001LL);
}

TEST(HamlibRadio, ModeNamesAreTheLibrarysInAnyCase)
{
    EXPECT_EQ(HamlibRadio::modeName(QStringLiteral(" usb ")), QStringLiteral("USB"));
    EXPECT_EQ(HamlibRadio::modeName(QStringLiteral("AM")), QStringLiteral("AM"));
    EXPECT_EQ(HamlibRadio::modeName(QStringLiteral("cw")), QStringLiteral("CW"));
    EXPECT_TRUE(HamlibRadio::modeName(QStringLiteral("Net 2 at 20:00")).isEmpty());
    EXPECT_TRUE(HamlibRadio::modeName(QString()).isEmpty());
}

TEST_F(RigControlTest, ReadsAndTunesTheDummyRadio)
{
    Rigctld daemon;
    ASSERT_TRUE(daemon.start());
    RigControl control;
    ASSERT_TRUE(settle(control, networkSettings(daemon.port()), 10000)) << "no word in time";
    ASSERT_TRUE(control.state().connected) << control.state().reason.toStdString();
    EXPECT_EQ(control.state().reading.hz, 145000000);
    EXPECT_EQ(control.state().reading.mode, QStringLiteral("FM"));
    EXPECT_TRUE(control.state().reading.strength.has_value());

    QSignalSpy done(&control, &RigControl::tuneFinished);
    const quint64 ticket = control.tune(9580000, QStringLiteral("AM"));
    ASSERT_TRUE(waitFor([&] { return done.count() == 1; }, 5000));
    EXPECT_EQ(done.at(0).at(0).toULongLong(), ticket);
    EXPECT_EQ(done.at(0).at(1).toString(), QString());
    EXPECT_EQ(daemon.rigctl({QStringLiteral("f")}), QStringLiteral("9580000"));
    EXPECT_TRUE(daemon.rigctl({QStringLiteral("m")}).startsWith(QStringLiteral("AM")));
    EXPECT_TRUE(waitFor([&] { return control.state().reading.hz == 9580000; }, 3000));

    // One hertz above ten gigahertz reaches the radio as such.
    control.tune(10000000001LL);
    ASSERT_TRUE(waitFor([&] { return done.count() == 2; }, 5000));
    EXPECT_EQ(done.at(1).at(1).toString(), QString());
    EXPECT_EQ(daemon.rigctl({QStringLiteral("f")}), QStringLiteral("10000000001"));
    EXPECT_TRUE(waitFor([&] { return control.state().reading.hz == 10000000001LL; }, 3000));
}

TEST_F(RigControlTest, AFrequencyChangedAtTheRadioShowsWithinAPoll)
{
    Rigctld daemon;
    ASSERT_TRUE(daemon.start());
    RigControl control;
    ASSERT_TRUE(settle(control, networkSettings(daemon.port()), 10000));
    ASSERT_TRUE(control.state().connected);
    daemon.rigctl({QStringLiteral("F"), QStringLiteral("6070000")});
    EXPECT_TRUE(waitFor([&] { return control.state().reading.hz == 6070000; }, 3000));
}

TEST_F(RigControlTest, ALostRadioIsShownAndReconnected)
{
    Rigctld daemon;
    ASSERT_TRUE(daemon.start());
    RigControl control;
    ASSERT_TRUE(settle(control, networkSettings(daemon.port()), 10000));
    ASSERT_TRUE(control.state().connected);

    daemon.stop();
    ASSERT_TRUE(waitFor([&] { return !control.state().connected; }, 5000));
    EXPECT_FALSE(control.state().reason.isEmpty());

    Rigctld again(daemon.port());
    ASSERT_TRUE(again.start());
    // The pauses between attempts grow from one second; a few attempts fit in this bound.
    EXPECT_TRUE(waitFor([&] { return control.state().connected; }, 12000))
        << control.state().reason.toStdString();
}

TEST_F(RigControlTest, TuningWithoutARadioSaysWhy)
{
    RigControl control;
    QSignalSpy done(&control, &RigControl::tuneFinished);
    control.tune(9580000);
    ASSERT_TRUE(waitFor([&] { return done.count() == 1; }, 3000));
    EXPECT_FALSE(done.at(0).at(1).toString().isEmpty());
}

// Each way a server can fail gives a reason the user can act on, well within the time limits,
// and the window thread is never kept waiting.
TEST_F(RigControlTest, BadServersFailWithAReasonInTime)
{
    struct Case
    {
        const char* name;
        BadRigServer::Manner manner;
        const char* reasonPart;
    };
    const Case cases[] = {
        {"silent", BadRigServer::Manner::Silent, "did not answer in time"},
        {"garbage", BadRigServer::Manner::Garbage, ""},
        {"hang-up", BadRigServer::Manner::HangUp, ""},
        {"five-second delay", BadRigServer::Manner::Slow, "did not answer in time"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BadRigServer server(c.manner);
        ASSERT_NE(server.port(), 0);
        RigControl control(nullptr, 500);
        QElapsedTimer clock;
        clock.start();
        qint64 longestStall = 0;
        qint64 last = 0;
        control.configure(networkSettings(server.port()));
        ASSERT_TRUE(waitFor(
            [&] {
                longestStall = std::max(longestStall, clock.elapsed() - last);
                last = clock.elapsed();
                return !control.state().reason.isEmpty();
            },
            6000));
        EXPECT_FALSE(control.state().connected);
        EXPECT_LT(clock.elapsed(), 4000);
        EXPECT_LT(longestStall, 200);
        EXPECT_TRUE(control.state().reason.contains(QLatin1String(c.reasonPart)))
            << control.state().reason.toStdString();
        EXPECT_TRUE(control.state().reason.contains(address(server.port())))
            << control.state().reason.toStdString();
    }
}

TEST_F(RigControlTest, AddressesThatCannotWorkAreNamed)
{
    const quint16 closed = freePort();
    struct Case
    {
        QString address;
        const char* reasonPart;
    };
    const Case cases[] = {
        {address(closed), "Cannot connect to"},
        {QStringLiteral("127.0.0.1"), "not of the form host:port"},
        {QStringLiteral("127.0.0.1:99999"), "not of the form host:port"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address.toStdString());
        RigControl control;
        RigSettings s;
        s.kind = RigSettings::Kind::Network;
        s.address = c.address;
        ASSERT_TRUE(settle(control, s, 5000));
        EXPECT_FALSE(control.state().connected);
        EXPECT_TRUE(control.state().reason.contains(QLatin1String(c.reasonPart)))
            << control.state().reason.toStdString();
    }
}

TEST_F(RigControlTest, SerialDevicesThatCannotWorkAreNamed)
{
    RigSettings s;
    s.kind = RigSettings::Kind::Serial;
    s.model = 1;
    s.device = QStringLiteral("/dev/no-such-radio");
    HamlibRadio radio;
    EXPECT_TRUE(radio.open(s).contains(QLatin1String("does not exist")));
    s.device.clear();
    EXPECT_TRUE(radio.open(s).contains(QLatin1String("No serial device")));
    EXPECT_FALSE(radio.isOpen());
}

} // namespace

} // namespace wl::rig::test
