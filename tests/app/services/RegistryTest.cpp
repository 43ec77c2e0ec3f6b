#include "app/services/Registry.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace wl {
namespace {

class RegistryTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString file() const { return dir.filePath(QStringLiteral("settings.ini")); }
};

TEST_F(RegistryTest, ValuesAreStoredAsTextAndSurviveANewInstance)
{
    {
        Registry reg(file());
        ASSERT_TRUE(reg.openKey(QStringLiteral("\\Software\\Brevant\\Wavelark\\4.3"), true));
        reg.writeInteger(QStringLiteral("Low Frequency"), -12);
        reg.writeBool(QStringLiteral("Window"), true);
        reg.writeBool(QStringLiteral("Shadow"), false);
        reg.writeString(QStringLiteral("DataBasePath"),
                        QStringLiteral(" C:\\data, with; odd=chars "));
        ASSERT_TRUE(reg.flush());
    }
    // What lands in the file is text: "true" or a typed number would not read back elsewhere.
    QSettings raw(file(), QSettings::IniFormat);
    const QString base = QStringLiteral("Software/Brevant/Wavelark/4.3/");
    EXPECT_EQ(raw.value(base + "Window").toString(), QStringLiteral("1"));
    EXPECT_EQ(raw.value(base + "Shadow").toString(), QStringLiteral("0"));
    EXPECT_EQ(raw.value(base + "Low Frequency").toString(), QStringLiteral("-12"));

    Registry reg(file());
    ASSERT_TRUE(reg.openKey(QStringLiteral("\\Software\\Brevant\\Wavelark\\4.3"), false));
    EXPECT_EQ(reg.readInteger(QStringLiteral("Low Frequency"), 0), -12);
    EXPECT_TRUE(reg.readBool(QStringLiteral("Window"), false));
    EXPECT_FALSE(reg.readBool(QStringLiteral("Shadow"), true));
    EXPECT_EQ(reg.readString(QStringLiteral("DataBasePath")),
              QStringLiteral(" C:\\data, with; odd=chars "));
    EXPECT_EQ(reg.valueNames().size(), 4);
}

TEST_F(RegistryTest, IntegersThatAreNotDecimalReadAsTheDefault)
{
    struct Case
    {
        const char* stored;
        int expected;
    };
    const Case cases[] = {{"42", 42}, {"-7", -7},         {"", 5},
                          {"abc", 5}, {"12abc", 5},       {"0x10", 5},
                          {"1.5", 5}, {"99999999999", 5}, {"2147483647", 2147483647}};
    Registry reg(file());
    reg.openKey(QStringLiteral("\\K"), true);
    for (const Case& c : cases) {
        reg.writeString(QStringLiteral("V"), QString::fromLatin1(c.stored));
        EXPECT_EQ(reg.readInteger(QStringLiteral("V"), 5), c.expected) << c.stored;
    }
    EXPECT_EQ(reg.readInteger(QStringLiteral("Missing"), 5), 5);
    // A boolean reads true for any non-zero integer.
    reg.writeString(QStringLiteral("B"), QStringLiteral("2"));
    EXPECT_TRUE(reg.readBool(QStringLiteral("B"), false));
    reg.writeString(QStringLiteral("B"), QStringLiteral("yes"));
    EXPECT_FALSE(reg.readBool(QStringLiteral("B"), false));
}

TEST_F(RegistryTest, ReadingNeverCreatesAKeyOrAValue)
{
    {
        Registry reg(file());
        EXPECT_FALSE(reg.openKey(QStringLiteral("\\Software\\Missing"), false));
        EXPECT_FALSE(reg.keyExists(QStringLiteral("\\Software\\Missing")));
        EXPECT_EQ(reg.readString(QStringLiteral("Anything"), QStringLiteral("d")),
                  QStringLiteral("d"));
        EXPECT_TRUE(reg.flush());
    }
    EXPECT_FALSE(QFile::exists(file()));
}

TEST_F(RegistryTest, AnEmptyKeyExistsOnceCreated)
{
    {
        Registry reg(file());
        ASSERT_TRUE(reg.openKey(QStringLiteral("\\A\\Column Data"), true));
        EXPECT_TRUE(reg.valueNames().isEmpty());
    }
    Registry reg(file());
    EXPECT_TRUE(reg.keyExists(QStringLiteral("\\A\\Column Data")));
    EXPECT_TRUE(reg.keyExists(QStringLiteral("\\A")));
    ASSERT_TRUE(reg.openKey(QStringLiteral("\\A"), false));
    EXPECT_EQ(reg.keyNames(), QStringList{QStringLiteral("Column Data")});
    // A relative path continues from the current key.
    EXPECT_TRUE(reg.openKey(QStringLiteral("Column Data"), false));
    EXPECT_EQ(reg.currentKey(), QStringLiteral("\\A\\Column Data"));
}

TEST_F(RegistryTest, DeleteValueAndKey)
{
    Registry reg(file());
    reg.openKey(QStringLiteral("\\A\\B"), true);
    reg.writeString(QStringLiteral("x"), QStringLiteral("1"));
    reg.writeString(QStringLiteral("y"), QStringLiteral("2"));
    EXPECT_TRUE(reg.deleteValue(QStringLiteral("x")));
    EXPECT_FALSE(reg.deleteValue(QStringLiteral("x")));
    EXPECT_EQ(reg.valueNames(), QStringList{QStringLiteral("y")});
    reg.deleteValue(QStringLiteral("y"));
    EXPECT_TRUE(reg.keyExists(QStringLiteral("\\A\\B"))); // emptied, not deleted
    reg.closeKey();
    EXPECT_TRUE(reg.deleteKey(QStringLiteral("\\A")));
    EXPECT_FALSE(reg.keyExists(QStringLiteral("\\A\\B")));
    EXPECT_FALSE(reg.deleteKey(QStringLiteral("\\A")));
}

TEST_F(RegistryTest, CopyKeyTakesValuesAndSubkeys)
{
    Registry reg(file());
    reg.openKey(QStringLiteral("\\Old"), true);
    reg.writeString(QStringLiteral("Left"), QStringLiteral("10"));
    reg.openKey(QStringLiteral("\\Old\\Field Data\\Deep"), true);
    reg.writeString(QStringLiteral("Column Name 3"), QStringLiteral("Station"));
    reg.openKey(QStringLiteral("\\Old\\Empty"), true);
    reg.closeKey();

    ASSERT_TRUE(reg.copyKey(QStringLiteral("\\Old"), QStringLiteral("\\New")));
    EXPECT_FALSE(reg.copyKey(QStringLiteral("\\Old"), QStringLiteral("\\Old\\Inside")));
    EXPECT_FALSE(reg.copyKey(QStringLiteral("\\Nowhere"), QStringLiteral("\\Else")));
    ASSERT_TRUE(reg.flush());

    Registry again(file());
    ASSERT_TRUE(again.openKey(QStringLiteral("\\New"), false));
    EXPECT_EQ(again.readString(QStringLiteral("Left")), QStringLiteral("10"));
    EXPECT_TRUE(again.keyExists(QStringLiteral("\\New\\Empty")));
    ASSERT_TRUE(again.openKey(QStringLiteral("\\New\\Field Data\\Deep"), false));
    EXPECT_EQ(again.readString(QStringLiteral("Column Name 3")), QStringLiteral("Station"));
    EXPECT_TRUE(again.keyExists(QStringLiteral("\\Old\\Field Data"))); // the source stays
}

TEST_F(RegistryTest, AFailedWriteIsReported)
{
    // The settings "folder" is a file, so nothing can be written below it.
    const QString blocker = dir.filePath(QStringLiteral("blocker"));
    QFile f(blocker);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    Registry reg(blocker + QStringLiteral("/settings.ini"));
    reg.openKey(QStringLiteral("\\K"), true);
    reg.writeString(QStringLiteral("V"), QStringLiteral("1"));
    EXPECT_FALSE(reg.flush());
    EXPECT_FALSE(reg.errorString().isEmpty());
}

TEST_F(RegistryTest, AFileThatCannotBeReadIsKeptAsItWasAndSaidOnce)
{
    // A hand edit that left a section heading unclosed: the file no longer parses.
    const QByteArray edited = "[Software\\Brevant\\Wavelark\\4.3\n"
                              "DataBasePath=/home/me/my log\n"
                              "Low Frequency=100\n";
    {
        QFile f(file());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(edited);
    }
    {
        Registry reg(file());
        const QString told = Registry::takeReadProblem();
        EXPECT_TRUE(told.contains(QStringLiteral("settings.ini.unreadable"))) << told.toStdString();
        EXPECT_TRUE(Registry::takeReadProblem().isEmpty()); // told once
        // Start-up reads, creates the layout keys and writes at the end.
        reg.openKey(QStringLiteral("\\Software\\Brevant\\Wavelark\\4.3\\Column Data"), true);
        reg.writeString(QStringLiteral("Width 0"), QStringLiteral("80"));
        EXPECT_TRUE(reg.flush());
    }
    // The user's text is still there, byte for byte, where the message says.
    QFile original(file() + QStringLiteral(".unreadable"));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    EXPECT_EQ(original.readAll(), edited);
    // The next start finds a sound file and has nothing to say.
    Registry again(file());
    EXPECT_TRUE(Registry::takeReadProblem().isEmpty());
    EXPECT_TRUE(
        again.openKey(QStringLiteral("\\Software\\Brevant\\Wavelark\\4.3\\Column Data"), false));
}

TEST(RegistryFileName, TheEnvironmentVariableChoosesTheFile)
{
    qputenv("WAVELARK_SETTINGS", "/some/where/portable.ini");
    EXPECT_EQ(Registry::defaultFileName(), QStringLiteral("/some/where/portable.ini"));
    qunsetenv("WAVELARK_SETTINGS");
    EXPECT_TRUE(Registry::defaultFileName().endsWith(QStringLiteral("/Wavelark/Wavelark.ini")));
}

} // namespace
} // namespace wl
