#include "exchange/export/ClipboardText.h"

#include "exchange/export/ExportError.h"

#include <QClipboard>
#include <QGuiApplication>

namespace wl {

void ClipboardText::place(const QString& text)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw ExportError(QStringLiteral("There is no clipboard."));
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        throw ExportError(QStringLiteral("There is no clipboard."));
    clipboard->setText(text);
}

} // namespace wl
