#include "app/ProgramFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace wl {
namespace {

void touch(const QString& file)
{
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

// The folders of a build tree, a portable copy and an installed program, laid out in a
// temporary folder.
TEST(ProgramFolders, FindTheShippedFilesAndKeepUserDataOutOfAnInstallation)
{
    int argc = 1;
    char name[] = "program_folders_test";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Wavelark"));

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString root = dir.path();
    // Installed: programs in bin, data in share/wavelark.
    touch(root + QStringLiteral("/usr/share/wavelark/globe.prf"));
    QDir().mkpath(root + QStringLiteral("/usr/bin"));
    // Portable or build tree: the data beside the program.
    touch(root + QStringLiteral("/portable/globe.prf"));
    // Nothing shipped at all.
    QDir().mkpath(root + QStringLiteral("/bare"));

    const QString bin = root + QStringLiteral("/usr/bin/");
    const QString installed = root + QStringLiteral("/usr/share/wavelark/");
    EXPECT_EQ(programFolder(bin), installed);
    EXPECT_EQ(programFolder(root + QStringLiteral("/portable")),
              root + QStringLiteral("/portable/"));
    EXPECT_EQ(programFolder(root + QStringLiteral("/bare/")), root + QStringLiteral("/bare/"));

    // Even a writable installation (a program run by root) keeps user data out of it.
    EXPECT_EQ(defaultDataFolder(installed, bin), userDataFolder());
    EXPECT_TRUE(userDataFolder().endsWith(QStringLiteral("/Wavelark/")));
    EXPECT_EQ(
        defaultDataFolder(root + QStringLiteral("/portable/"), root + QStringLiteral("/portable/")),
        root + QStringLiteral("/portable/"));
    QFile(root + QStringLiteral("/bare"))
        .setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (!QFileInfo(root + QStringLiteral("/bare")).isWritable()) { // root writes anywhere
        EXPECT_EQ(
            defaultDataFolder(root + QStringLiteral("/bare/"), root + QStringLiteral("/bare/")),
            userDataFolder());
    }
    QFile(root + QStringLiteral("/bare"))
        .setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

} // namespace
} // namespace wl
