#include "app/services/CaptionedMessage.h"

#include "app/services/UiServices.h"

#include <QCoreApplication>

namespace wl {

QMessageBox::StandardButton CaptionedMessage(const QString& caption, const QString& text,
                                             MessageKind kind, int helpContext,
                                             QMessageBox::StandardButtons buttons,
                                             const QString& details)
{
    MessageRequest request;
    request.caption = caption;
    request.text = text;
    request.kind = kind;
    request.buttons = buttons;
    request.helpContext = helpContext;
    request.details = details;
    return UiServices::ask(request);
}

void ShowMessage(const QString& text, const QString& details)
{
    MessageRequest request;
    request.caption = QCoreApplication::applicationName();
    request.text = text;
    request.details = details;
    UiServices::ask(request);
}

} // namespace wl
