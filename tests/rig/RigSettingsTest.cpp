#include "rig/RigSettings.h"
#include "app/services/Registry.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace wl::rig {

namespace {

TEST(RigSettings, KeepsTheRadioUnderTheProgramsKey)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("settings.ini"));
    RigSettings s;
    s.kind = RigSettings::Kind::Serial;
    s.model = 1035;
    s.device = QStringLiteral("/dev/ttyUSB0");
    s.speed = 38400;
    s.address = QStringLiteral("localhost:4532");
    s.dwellSeconds = 7;
    s.stopOnSignal = true;
    s.signalLevel = -12;
    {
        Registry registry(file);
        EXPECT_EQ(RigSettings::read(registry), RigSettings()); // nothing stored: no radio
        ASSERT_TRUE(s.write(registry));
        EXPECT_TRUE(
            registry.keyExists(QStringLiteral("\\Software\\Brevant\\Wavelark\\4.3\\Radio")));
    }
    Registry again(file);
    EXPECT_EQ(RigSettings::read(again), s);
}

} // namespace

} // namespace wl::rig
