#include "app/services/QtMessageService.h"

#include <QApplication>

namespace wl {

namespace {

QMessageBox::Icon iconOf(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Information:
        return QMessageBox::Information;
    case MessageKind::Warning:
        return QMessageBox::Warning;
    case MessageKind::Error:
        return QMessageBox::Critical;
    case MessageKind::Confirmation:
        return QMessageBox::Question;
    case MessageKind::Plain:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QMessageBox::StandardButton QtMessageService::show(const MessageRequest& request)
{
    QMessageBox box(iconOf(request.kind), request.caption, request.text, request.buttons,
                    QApplication::activeWindow());
    // Texts may come from files or servers: never let them be read as markup.
    box.setTextFormat(Qt::PlainText);
    if (!request.details.isEmpty())
        box.setDetailedText(request.details);
    // F1 in the box shows the topic the message belongs to.
    if (request.helpContext > 0)
        box.setProperty("helpContext", request.helpContext);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace wl
