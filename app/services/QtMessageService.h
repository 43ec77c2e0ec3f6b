#pragma once

#include "app/services/MessageService.h"

namespace wl {

// Message boxes of the platform, parented to the active window.
class QtMessageService : public MessageService
{
public:
    QMessageBox::StandardButton show(const MessageRequest& request) override;
};

} // namespace wl
