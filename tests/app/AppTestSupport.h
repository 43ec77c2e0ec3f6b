#pragma once

#include "app/TFormMain.h"

#include <QApplication>
#include <QTemporaryDir>

namespace wl::test {

// The widgets need one application object for the whole test program; it is left alive on
// purpose, as tearing it down among static destructors gains nothing.
inline void ensureApplication()
{
    if (QApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "app_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    // As the program entry does before any window exists.
    QApplication::setApplicationName(QStringLiteral("Wavelark"));
}

// A program folder, data folder and settings file of its own for one test.
struct TempInstall
{
    QTemporaryDir dir;
    QString programFolder() const { return dir.path() + QStringLiteral("/program/"); }
    QString settingsFile() const { return dir.path() + QStringLiteral("/config/settings.ini"); }

    TempInstall() { QDir().mkpath(programFolder()); }
    MainWindowSetup setup() const
    {
        MainWindowSetup s;
        s.programFolder = programFolder();
        s.defaultDataFolder = programFolder();
        s.settingsFile = settingsFile();
        return s;
    }
};

} // namespace wl::test
