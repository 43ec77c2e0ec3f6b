#include "app/AppConstants.h"
#include "app/Glyphs.h"
#include "app/MaintenanceCommands.h"
#include "app/TFormMain.h"
#include "app/THelpRouter.h"
#include "app/report/ReportCommands.h"
#include "app/services/UiServices.h"
#include "dialogs/DialogCommands.h"
#include "dialogs/RadioCommands.h"
#include "exchange/export/CNumbersScope.h"
#include "exchange/export/ExportCommands.h"
#include "exchange/import/ImportCommands.h"
#include "map/MapCommands.h"
#include "schedule/ui/ScheduleCommands.h"
#include "statsview/StatsCommands.h"
#include "update/UpdateCommands.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    // The application object has taken the user's locale for the C library; files written
    // through printf (the workbook) must not follow its decimal comma. Qt's own number texts
    // go through the locale service and are unaffected.
    wl::CNumbersScope::useForProcess();
    // The help router answers every help request from here on, also those of the main
    // window's start-up.
    wl::THelpRouter helpRouter;
    wl::UiServices::setHelp(&helpRouter);
    QApplication::setApplicationName(wl::app::ProductName);
    QApplication::setWindowIcon(wl::Glyphs::programIcon());

    int result = 0;
    {
        wl::MainWindowSetup setup;
        setup.fillOnScreen = true;
        wl::TFormMain mainWindow(setup);
        wl::installDialogCommands(mainWindow);
        wl::installMapCommands(mainWindow);
        wl::installStatsCommands(mainWindow);
        wl::installExportCommands(mainWindow);
        wl::installImportCommands(mainWindow);
        wl::installReportCommands(mainWindow);
        wl::installMaintenanceCommands(mainWindow);
        wl::installUpdateCommands(mainWindow);
        wl::schedule::installScheduleCommands(mainWindow);
        wl::installRadioCommands(mainWindow);
        mainWindow.show();
        result = QApplication::exec();
    }
    wl::UiServices::setHelp(nullptr);
    return result;
}
