#pragma once

#include "app/services/MessageService.h"

namespace wl {

// Message boxes of the platform, parented to the active window.
class QtMessageService : public MessageService
{
public:
    QMessageBox::StandardButton show(const MessageRequest& request) override;

    // The width a box needs to show its whole caption in the title bar.
    static int titleWidth(const QString& caption);

private:
    static void keepTitleWhole(QMessageBox& box);
};

} // namespace wl
