#include "dialogs/DialogCommands.h"

#include "app/TFormMain.h"
#include "dialogs/TFormCategory.h"
#include "dialogs/TFormFind.h"
#include "dialogs/TFormNew.h"
#include "dialogs/TFormSetup.h"
#include "dialogs/TFormView.h"

#include <QPointer>

#include <memory>

namespace wl {

void installDialogCommands(TFormMain& main)
{
    main.setCommandHandler(Command::Add, [&main] {
        TFormNew dialog(main);
        dialog.exec();
    });
    main.setCommandHandler(Command::EditCategories, [&main] {
        TFormCategory dialog(main);
        dialog.exec();
    });
    main.setCommandHandler(Command::Preferences, [&main] {
        TFormSetup dialog(main);
        dialog.exec();
    });
    // One find window at a time: pressing Find again brings the open one forward.
    auto find = std::make_shared<QPointer<TFormFind>>();
    main.setCommandHandler(Command::Find, [&main, find] {
        if (!*find)
            *find = new TFormFind(main);
        (*find)->show();
        (*find)->raise();
        (*find)->activateWindow();
    });
    main.setCommandHandler(Command::Notes, [&main] { TFormView::openViewer(main); });
    main.setNotesEditorHandler([&main](int row) { TFormView::openEditor(main, row); });
}

} // namespace wl
