#include "schedule/ui/ScheduleCommands.h"

#include "app/TFormMain.h"
#include "schedule/ui/ScheduleImportDialog.h"
#include "schedule/ui/TFormOnAir.h"

#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include <memory>

namespace wl::schedule {

void installScheduleCommands(TFormMain& main)
{
    auto* menu = new QMenu(QStringLiteral("&Schedules"), &main);
    menu->setObjectName(QStringLiteral("MenuSchedules"));
    // Before the Help menu, which stays last.
    QAction* before = nullptr;
    for (QAction* action : main.menuBar()->actions()) {
        if (action->text() == QLatin1String("&Help"))
            before = action;
    }
    main.menuBar()->insertMenu(before, menu);

    auto onAir = std::make_shared<QPointer<TFormOnAir>>();
    const auto reloadOnAir = [onAir] {
        if (*onAir)
            (*onAir)->reload();
    };
    QAction* importSchedule = menu->addAction(QStringLiteral("Import Schedule…"));
    QObject::connect(importSchedule, &QAction::triggered, &main, [&main, reloadOnAir] {
        if (ScheduleImportDialog::run(&main, main.settings().dataBasePath,
                                      ScheduleImportDialog::Kind::Schedule))
            reloadOnAir();
    });
    QAction* importSites = menu->addAction(QStringLiteral("Import Sites…"));
    QObject::connect(importSites, &QAction::triggered, &main, [&main, reloadOnAir] {
        if (ScheduleImportDialog::run(&main, main.settings().dataBasePath,
                                      ScheduleImportDialog::Kind::Sites))
            reloadOnAir();
    });
    menu->addSeparator();
    QAction* show = menu->addAction(QStringLiteral("On Air…"));
    QObject::connect(show, &QAction::triggered, &main, [&main, onAir] {
        if (!*onAir)
            *onAir = new TFormOnAir(main);
        (*onAir)->show();
        (*onAir)->raise();
        (*onAir)->activateWindow();
    });
}

} // namespace wl::schedule
