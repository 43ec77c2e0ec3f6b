#pragma once

#include <QString>
#include <QStyle>

class QLabel;
class QWidget;

namespace wl {

// The message texts break lines with carriage returns; Qt's labels and boxes break at line
// feeds.
QString withLineFeeds(QString text);

// The icon at the left of the upgrade's small windows.
QLabel* iconLabel(QWidget* parent, QStyle::StandardPixmap which);

} // namespace wl
