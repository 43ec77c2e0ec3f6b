#include "store/CategoryFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace wl::store {
namespace {

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(CategoryFileTest, LinesDecodeToNames)
{
    struct Case
    {
        QByteArray bytes;
        QStringList names;
    } cases[] = {
        {"", {}},
        {"Police\r\nWeather\r\n", {"Police", "Weather"}},
        {"Police\nWeather", {"Police", "Weather"}},
        {"\r\n", {""}},
        {"A\r\n\r\nB\r\n\r\n", {"A", "", "B", ""}},
        {"Caf\xc3\xa9\r\n", {QStringLiteral("Caf\u00e9")}},
        {"\xef\xbb\xbfPolice\r\n", {"Police"}},
        {"Caf\xe9\r\n\x80uro\r\n", {QStringLiteral("Caf\u00e9"), QStringLiteral("\u20acuro")}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CategoryFile::parse(c.bytes), c.names) << c.bytes.toHex().toStdString();
}

TEST(CategoryFileTest, DefaultsAppendAndWriteUseCrLf)
{
    QTemporaryDir dir;
    const CategoryFile file = CategoryFile::inFolder(dir.path());
    EXPECT_FALSE(file.exists());
    QStringList names;
    EXPECT_FALSE(file.read(names));
    ASSERT_TRUE(file.createIfMissing());
    EXPECT_EQ(bytesOf(file.path()), QByteArray("Police\r\nShort Wave\r\nWeather\r\n"));

    ASSERT_TRUE(file.write({"b", "A"}));
    ASSERT_TRUE(file.createIfMissing()); // an existing file stays as it is
    EXPECT_EQ(bytesOf(file.path()), QByteArray("b\r\nA\r\n"));

    QFile raw(file.path());
    ASSERT_TRUE(raw.open(QIODevice::WriteOnly));
    raw.write("Caf\xe9\nNo final break");
    raw.close();
    ASSERT_TRUE(file.append(QStringLiteral("O'Brien")));
    EXPECT_EQ(bytesOf(file.path()), QByteArray("Caf\xc3\xa9\r\nNo final break\r\nO'Brien\r\n"));

    EXPECT_FALSE(file.append(QStringLiteral("two\r\nlines")));
    ASSERT_TRUE(file.read(names));
    EXPECT_EQ(names.size(), 3);
}

TEST(CategoryFileTest, SortedIgnoresCase)
{
    EXPECT_EQ(CategoryFile::sorted({"weather", "", "Police", "air", "Short Wave", "Air"}),
              QStringList({"", "Air", "air", "Police", "Short Wave", "weather"}));
}

TEST(CategoryFileTest, WriteFailureIsReported)
{
    QTemporaryDir dir;
    const CategoryFile file(QDir(dir.path()).filePath(QStringLiteral("missing/larkbase.cat")));
    const Status st = file.write({"Police"});
    EXPECT_FALSE(st);
    EXPECT_FALSE(st.error.isEmpty());
}

} // namespace
} // namespace wl::store
