#include "app/SettingsTree.h"
#include "app/AppConstants.h"
#include "app/services/Registry.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace wl {
namespace {

const QString Key = app::SettingsKey;
const QString Old = app::OldSettingsKey;

class SettingsTreeTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString file() const { return dir.filePath(QStringLiteral("settings.ini")); }

    MainSettings read(bool full = true)
    {
        Registry reg(file());
        MainSettings s;
        SettingsTree::readReg(reg, s, full, QStringLiteral("/program/"));
        return s;
    }
    void put(const QString& key, const QString& name, const QString& value)
    {
        Registry reg(file());
        reg.openKey(key, true);
        reg.writeString(name, value);
    }
    QString get(const QString& key, const QString& name)
    {
        Registry reg(file());
        if (!reg.openKey(key, false))
            return QStringLiteral("<no key>");
        return reg.valueExists(name) ? reg.readString(name) : QStringLiteral("<none>");
    }
};

TEST_F(SettingsTreeTest, FirstRunReadsDefaultsAndLeavesOnlyTheTwoLayoutKeys)
{
    const MainSettings s = read();
    EXPECT_EQ(s.dataBasePath, QStringLiteral("/program/"));
    EXPECT_EQ(get(Key, QStringLiteral("DataBasePath")), QStringLiteral("<none>"));
    EXPECT_EQ(s.lowFrequency, 0);
    EXPECT_EQ(s.hiFrequency, 9999);
    EXPECT_EQ(s.dateOption, 0);
    EXPECT_EQ(s.geometry, QRect(0, 0, 800, 600));
    EXPECT_FALSE(s.maximized);
    EXPECT_EQ(s.columnWidths, (std::array<int, 10>{80, 80, 20, 80, 80, 80, 80, 80, 80, 80}));
    EXPECT_EQ(s.columnNumbers, (std::array<int, 10>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(s.columnNames[1], QStringLiteral("Frequency(MHz)"));
    EXPECT_EQ(s.columnNames[6], QStringLiteral("Special"));
    for (bool shown : s.columnShown)
        EXPECT_TRUE(shown);

    Registry reg(file());
    EXPECT_TRUE(reg.keyExists(Key + app::ColumnDataKey));
    EXPECT_TRUE(reg.keyExists(Key + app::FieldDataKey));
    ASSERT_TRUE(reg.openKey(Key, false));
    EXPECT_TRUE(reg.valueNames().isEmpty()); // the main values wait for the first shutdown
    reg.openKey(Key + app::ColumnDataKey, false);
    EXPECT_TRUE(reg.valueNames().isEmpty());
}

TEST_F(SettingsTreeTest, ShutdownWritesTheWindowAndTheDataFolder)
{
    MainSettings s = read();
    s.geometry = QRect(-30, -5, 900, 700); // dragged partly off the left and top edges
    s.dataBasePath = QStringLiteral("/data/log/");
    {
        Registry reg(file());
        ASSERT_TRUE(SettingsTree::writeRegistry(reg, s));
    }
    EXPECT_EQ(get(Key, QStringLiteral("Left")), QStringLiteral("0"));
    EXPECT_EQ(get(Key, QStringLiteral("Top")), QStringLiteral("0"));
    EXPECT_EQ(get(Key, QStringLiteral("Width")), QStringLiteral("900"));
    EXPECT_EQ(get(Key, QStringLiteral("Height")), QStringLiteral("700"));
    EXPECT_EQ(get(Key, QStringLiteral("Window")), QStringLiteral("0"));
    EXPECT_EQ(get(Key, QStringLiteral("DataBasePath")), QStringLiteral("/data/log/"));
    EXPECT_EQ(get(Key, QStringLiteral("Low Frequency")), QStringLiteral("<none>"));

    // A maximized window keeps the last normal place for the next start.
    s.maximized = true;
    s.geometry = QRect(0, 0, 1280, 1000);
    {
        Registry reg(file());
        SettingsTree::writeRegistry(reg, s);
    }
    EXPECT_EQ(get(Key, QStringLiteral("Window")), QStringLiteral("1"));
    EXPECT_EQ(get(Key, QStringLiteral("Width")), QStringLiteral("900"));
    const MainSettings next = read();
    EXPECT_TRUE(next.maximized);
    EXPECT_EQ(next.geometry, QRect(0, 0, 900, 700));
}

TEST_F(SettingsTreeTest, OldKeyIsMovedOverWhenTheCurrentOneIsMissing)
{
    put(Old, QStringLiteral("DataFile Name"), QStringLiteral("larkbase.dat"));
    put(Old, QStringLiteral("Hi Frequency"), QStringLiteral("500"));
    put(Old, QStringLiteral("DataBasePath"), QStringLiteral("/old/data/"));
    put(Old + app::FieldDataKey, QStringLiteral("Column Name 3"), QStringLiteral("Station"));

    const MainSettings s = read();
    EXPECT_EQ(s.hiFrequency, 500);
    EXPECT_EQ(s.dataBasePath, QStringLiteral("/old/data/"));
    EXPECT_EQ(s.columnNames[3], QStringLiteral("Station"));
    EXPECT_EQ(get(Key, QStringLiteral("Hi Frequency")), QStringLiteral("500"));
    EXPECT_EQ(get(Key, QStringLiteral("DataFile Name")), QStringLiteral("<none>"));
    EXPECT_EQ(get(Old, QStringLiteral("Hi Frequency")), QStringLiteral("<no key>"));
}

TEST_F(SettingsTreeTest, OldKeyIsDroppedWhenTheCurrentOneExists)
{
    put(Key, QStringLiteral("Hi Frequency"), QStringLiteral("30"));
    put(Old, QStringLiteral("Hi Frequency"), QStringLiteral("500"));
    put(Old, QStringLiteral("Low Frequency"), QStringLiteral("7"));

    const MainSettings s = read();
    EXPECT_EQ(s.hiFrequency, 30);
    EXPECT_EQ(s.lowFrequency, 0);
    EXPECT_EQ(get(Key, QStringLiteral("Low Frequency")), QStringLiteral("<none>"));
    Registry reg(file());
    EXPECT_FALSE(reg.keyExists(Old));
}

TEST_F(SettingsTreeTest, ValuesThatCannotBeRightReadAsDefaults)
{
    put(Key, QStringLiteral("Low Frequency"), QStringLiteral("abc"));
    put(Key, QStringLiteral("Hi Frequency"), QStringLiteral(""));
    put(Key, QStringLiteral("Date Option"), QStringLiteral("7"));
    put(Key, QStringLiteral("Width"), QStringLiteral("-5"));
    put(Key, QStringLiteral("Height"), QStringLiteral("1e3"));
    put(Key, QStringLiteral("Window"), QStringLiteral("true"));
    put(Key + app::ColumnDataKey, QStringLiteral("Width 2"), QStringLiteral("x"));
    put(Key + app::ColumnDataKey, QStringLiteral("Width 4"), QStringLiteral("-1"));
    put(Key + app::ColumnDataKey, QStringLiteral("Width 5"), QStringLiteral("120"));
    put(Key + app::FieldDataKey, QStringLiteral("Column Name 0"),
        QStringLiteral("A caption far longer than twenty"));
    put(Key, QStringLiteral("DataBasePath"), QStringLiteral("/data/").repeated(2 * 1024 * 1024));

    const MainSettings s = read();
    EXPECT_EQ(s.dataBasePath, QStringLiteral("/program/"));
    EXPECT_EQ(get(Key, QStringLiteral("DataBasePath")), QStringLiteral("<none>"));
    EXPECT_EQ(s.lowFrequency, 0);
    EXPECT_EQ(s.hiFrequency, 9999);
    EXPECT_EQ(s.dateOption, 0);
    EXPECT_EQ(s.geometry.size(), QSize(800, 600));
    EXPECT_FALSE(s.maximized);
    EXPECT_EQ(s.columnWidths[2], 20);
    EXPECT_EQ(s.columnWidths[4], 80);
    EXPECT_EQ(s.columnWidths[5], 120);
    EXPECT_EQ(s.columnNames[0], QStringLiteral("A caption far longer"));
}

// Window numbers far beyond any screen are held to what a screen can show, so that the window's
// edges (left + width) are still numbers and the window lands somewhere it can be found.
TEST_F(SettingsTreeTest, HugeWindowNumbersAreHeldToAScreen)
{
    struct Case
    {
        const char* left;
        const char* top;
        const char* width;
        const char* height;
    };
    const Case cases[] = {
        {"2147483647", "2147483647", "2147483647", "2147483647"},
        {"-2147483648", "-2147483648", "2147483647", "1"},
        {"2147483000", "0", "800", "2147483647"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.left);
        put(Key, QStringLiteral("Left"), QLatin1String(c.left));
        put(Key, QStringLiteral("Top"), QLatin1String(c.top));
        put(Key, QStringLiteral("Width"), QLatin1String(c.width));
        put(Key, QStringLiteral("Height"), QLatin1String(c.height));
        const QRect g = read().geometry;
        EXPECT_GE(g.right(), g.left());
        EXPECT_GE(g.bottom(), g.top());
        for (const int v : {g.left(), g.top(), g.right(), g.bottom()})
            EXPECT_LE(std::abs(qint64(v)), 70000);
        EXPECT_GT(g.width(), 0);
        EXPECT_GT(g.height(), 0);
    }
}

TEST_F(SettingsTreeTest, ColumnNumbersMustArrangeTheTenSlots)
{
    const std::array<int, 10> identity{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    struct Case
    {
        int column;
        const char* value;
        bool kept;
    };
    // Each case swaps columns 3 and 4 (a valid layout) and then spoils one entry.
    const Case cases[] = {{5, "5", true},  {5, "10", false},    {5, "-1", false},
                          {5, "4", false}, {9, "99999", false}, {1, "x", true}};
    for (const Case& c : cases) {
        QTemporaryDir fresh;
        Registry reg(fresh.filePath(QStringLiteral("s.ini")));
        reg.openKey(Key + app::FieldDataKey, true);
        reg.writeInteger(QStringLiteral("Column Number 3"), 4);
        reg.writeInteger(QStringLiteral("Column Number 4"), 3);
        reg.writeString(QStringLiteral("Column Number ") + QString::number(c.column),
                        QString::fromLatin1(c.value));
        MainSettings s;
        SettingsTree::readReg(reg, s, false, QString());
        std::array<int, 10> swapped = identity;
        std::swap(swapped[3], swapped[4]);
        EXPECT_EQ(s.columnNumbers, c.kept ? swapped : identity) << c.column << "=" << c.value;
    }
}

} // namespace
} // namespace wl
