#pragma once

#include "app/services/ClockService.h"
#include "app/services/DesktopService.h"
#include "app/services/DialogService.h"
#include "app/services/HelpService.h"
#include "app/services/MessageService.h"
#include "app/services/ScreenService.h"

namespace wl {

// The one place every window asks for message boxes, common dialogs, the desktop, help, the
// screen and the clock. Each service has a default that talks to the platform; a test installs
// its doubles with the setters (nullptr puts the default back). The hub does not own what is
// installed: the installer keeps it alive until it puts the default back.
class UiServices
{
public:
    static MessageService& messages();
    static DialogService& dialogs();
    static DesktopService& desktop();
    static HelpService& help();
    static ScreenService& screen();
    static ClockService& clock();

    static void setMessages(MessageService* service);
    static void setDialogs(DialogService* service);
    static void setDesktop(DesktopService* service);
    static void setHelp(HelpService* service);
    static void setScreen(ScreenService* service);
    static void setClock(ClockService* service);

    // Shows a message box. Pressing Help shows the request's help topic and asks again, so the
    // answer is never Help: a caller proceeds only on the button it asked about.
    static QMessageBox::StandardButton ask(const MessageRequest& request);
};

} // namespace wl
