#include "exchange/import/ImportFile.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace wl {
namespace {

// Only regular files within the limit are read; anything else is refused at once, before a
// byte is read: a pipe would block the import and /dev/zero would fill the memory.
TEST(ImportFileTest, OnlyRegularFilesWithinTheLimitAreRead)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fifo = dir.filePath(QStringLiteral("pipe.csv"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // A sparse file one byte over the limit takes no room on the disk.
    const QString huge = dir.filePath(QStringLiteral("huge.csv"));
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(ImportFile::MaxBytes + 1));
    }
    const struct
    {
        QString path;
        const char* says;
    } refused[] = {
        {fifo, "is not a regular file"},
        {QStringLiteral("/dev/zero"), "is not a regular file"},
        {dir.path(), "is a folder"},
        {huge, "more than an import reads (1 GiB)"},
        {dir.filePath(QStringLiteral("none.csv")), "does not exist"},
    };
    for (const auto& r : refused) {
        QElapsedTimer timer;
        timer.start();
        QString error;
        EXPECT_FALSE(ImportFile::read(r.path, &error)) << r.path.toStdString();
        EXPECT_LT(timer.elapsed(), 1000);
        EXPECT_TRUE(error.contains(QLatin1String(r.says))) << error.toStdString();
        EXPECT_EQ(ImportFile::refusal(r.path), error);
    }

    const QString good = dir.filePath(QStringLiteral("good.csv"));
    {
        QFile f(good);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("146.52,,A\r\n");
    }
    QString error;
    EXPECT_EQ(ImportFile::read(good, &error), QByteArray("146.52,,A\r\n"));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_TRUE(ImportFile::refusal(good).isEmpty());
}

} // namespace
} // namespace wl
