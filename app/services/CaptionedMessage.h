#pragma once

#include "app/services/MessageService.h"

namespace wl {

// A standard message box of the given kind and buttons, but with its own caption and help
// context; returns the button pressed (never Help: Help shows the topic and asks again).
// Details, when given, are shown apart from the text in a box that scrolls.
QMessageBox::StandardButton CaptionedMessage(const QString& caption, const QString& text,
                                             MessageKind kind, int helpContext,
                                             QMessageBox::StandardButtons buttons,
                                             const QString& details = {});

// The platform's plain message box: the program's title as caption and an OK button.
void ShowMessage(const QString& text, const QString& details = {});

} // namespace wl
