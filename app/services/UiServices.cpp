#include "app/services/UiServices.h"

#include "app/services/QtClockService.h"
#include "app/services/QtDesktopService.h"
#include "app/services/QtDialogService.h"
#include "app/services/QtMessageService.h"
#include "app/services/QtScreenService.h"

namespace wl {

namespace {

// Until the program installs its help router, help requests go nowhere.
class NoHelp : public HelpService
{
public:
    void showContext(int) override {}
    void showKeyword(const QString&) override {}
    void showContents() override {}
    void quit() override {}
};

template <typename Service, typename Default> struct Slot
{
    Service* installed = nullptr;
    Service& get()
    {
        static Default fallback;
        return installed ? *installed : fallback;
    }
};

Slot<MessageService, QtMessageService>& messageSlot()
{
    static Slot<MessageService, QtMessageService> slot;
    return slot;
}

Slot<DialogService, QtDialogService>& dialogSlot()
{
    static Slot<DialogService, QtDialogService> slot;
    return slot;
}

Slot<DesktopService, QtDesktopService>& desktopSlot()
{
    static Slot<DesktopService, QtDesktopService> slot;
    return slot;
}

Slot<HelpService, NoHelp>& helpSlot()
{
    static Slot<HelpService, NoHelp> slot;
    return slot;
}

Slot<ScreenService, QtScreenService>& screenSlot()
{
    static Slot<ScreenService, QtScreenService> slot;
    return slot;
}

Slot<ClockService, QtClockService>& clockSlot()
{
    static Slot<ClockService, QtClockService> slot;
    return slot;
}

} // namespace

MessageService& UiServices::messages()
{
    return messageSlot().get();
}
DialogService& UiServices::dialogs()
{
    return dialogSlot().get();
}
DesktopService& UiServices::desktop()
{
    return desktopSlot().get();
}
HelpService& UiServices::help()
{
    return helpSlot().get();
}
ScreenService& UiServices::screen()
{
    return screenSlot().get();
}
ClockService& UiServices::clock()
{
    return clockSlot().get();
}

void UiServices::setMessages(MessageService* service)
{
    messageSlot().installed = service;
}
void UiServices::setDialogs(DialogService* service)
{
    dialogSlot().installed = service;
}
void UiServices::setDesktop(DesktopService* service)
{
    desktopSlot().installed = service;
}
void UiServices::setHelp(HelpService* service)
{
    helpSlot().installed = service;
}
void UiServices::setScreen(ScreenService* service)
{
    screenSlot().installed = service;
}
void UiServices::setClock(ClockService* service)
{
    clockSlot().installed = service;
}

QMessageBox::StandardButton UiServices::ask(const MessageRequest& request)
{
    for (;;) {
        const QMessageBox::StandardButton answer = messages().show(request);
        if (answer != QMessageBox::Help)
            return answer;
        help().showContext(request.helpContext);
    }
}

} // namespace wl
