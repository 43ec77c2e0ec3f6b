#include "update/UpdaterFormParts.h"

#include <QLabel>
#include <QWidget>

namespace wl {

QString withLineFeeds(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace('\r', '\n');
}

QLabel* iconLabel(QWidget* parent, QStyle::StandardPixmap which)
{
    auto* icon = new QLabel(parent);
    icon->setPixmap(parent->style()->standardIcon(which).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);
    return icon;
}

} // namespace wl
