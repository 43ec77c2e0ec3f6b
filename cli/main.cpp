#include "app/AppConstants.h"
#include "cli/CliProgram.h"
#include "exchange/export/CNumbersScope.h"

#include <QGuiApplication>

#include <memory>

int main(int argc, char* argv[])
{
    // Only the map draws (on an image, never in a window); the other commands start without
    // the graphics layer, which is quicker and quiet where no desktop session runs.
    std::unique_ptr<QCoreApplication> application;
    if (wl::cli::CliProgram::needsGraphics(argc, argv)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    // The application object has taken the user's locale for the C library; files written
    // through printf (the workbook) must not follow its decimal comma.
    wl::CNumbersScope::useForProcess();
    // The same name as the program, so both find the same user folders.
    QCoreApplication::setApplicationName(wl::app::ProductName);
    QCoreApplication::setApplicationVersion(wl::app::VersionText);
    return wl::cli::CliProgram().run(QCoreApplication::arguments());
}
