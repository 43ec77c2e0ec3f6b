#pragma once

#include <QString>

namespace wl {

// Puts plain text on the system clipboard; throws ExportError when there is no clipboard.
class ClipboardText
{
public:
    static void place(const QString& text);
};

} // namespace wl
