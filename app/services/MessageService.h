#pragma once

#include <QMessageBox>
#include <QString>

namespace wl {

// The look of a message box: which icon it carries.
enum class MessageKind
{
    Plain,
    Information,
    Warning,
    Error,
    Confirmation
};

// Everything a message box shows, so a test double can check it word for word.
struct MessageRequest
{
    QString caption;
    QString text;
    MessageKind kind = MessageKind::Plain;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    int helpContext = 0;
    QString details; // extra facts for the curious, shown apart from the text
};

// Shows modal message boxes and returns the button the user pressed.
class MessageService
{
public:
    virtual ~MessageService() = default;
    virtual QMessageBox::StandardButton show(const MessageRequest& request) = 0;
};

} // namespace wl
