#include "app/LongPath.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace wl {
namespace {

TEST(ExpandLongPath, KeepsWhatExistsAndDropsTheRest)
{
    QTemporaryDir dir;
    const QString base = QDir(dir.path()).canonicalPath();
    QDir().mkpath(base + QStringLiteral("/Long Folder Name/inner"));
    struct Case
    {
        QString in;
        QString out;
    };
    const Case cases[] = {
        {base + "/Long Folder Name/inner", base + "/Long Folder Name/inner"},
        // A trailing separator names no file: the folder part is the answer.
        {base + "/Long Folder Name/inner/", base + "/Long Folder Name/inner"},
        {base + "/Long Folder Name/missing", base + "/Long Folder Name"},
        {base + "/Long Folder Name/missing/deeper", base + "/Long Folder Name/missing"},
        {QStringLiteral("/"), QString()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExpandLongPath(c.in), c.out) << c.in.toStdString();
}

} // namespace
} // namespace wl
